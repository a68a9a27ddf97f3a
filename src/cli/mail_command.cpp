// almx mail compose: a message's exact bytes as they would go after DATA (dot-stuffed, with the
// final "."), the clock fixed by --now. almx mail send: sends it through the mail engine and
// exits 0 only when every message got its 250 after the data. almx hands "send" to almx-net,
// which alone links the network libraries.

#include <chrono>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/file_io.h"
#include "cli/command_registry.h"
#include "cli/console_prompter.h"
#include "mail/mail_composer.h"
#include "mail/mail_engine.h"
#include "text/numbers.h"

#ifdef ALMX_MAIL_NET
#include "mail/ui/net/blocking_send.h"
#endif
#ifndef ALMX_NET_PROGRAM
#include "cli/net_handoff.h"
#endif

namespace almx::cli {

namespace {

using mail::CMail;
using mail::MailServerConfig;

bool ReadInt(const std::string& text, int low, int high, int& value) {
    if (!text::AllDigits(text) || text.empty() || text.size() > 9) return false;
    value = text::LeadingInt(text);
    return value >= low && value <= high;
}

std::optional<std::string> ReadFileText(const std::string& path) {
    FileBytes file = ReadFileBytes(path);
    if (file.status != ReadStatus::Complete) return std::nullopt;
    return std::move(file.bytes);
}

// "YYYY/MM/DD HH:MM[:SS]"
std::optional<DateTime> ReadNow(const std::string& text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos) return std::nullopt;
    return ParseTime(text.substr(0, blank), text.substr(blank + 1));
}

struct MailOptions {
    CMail mail;
    MailServerConfig config;
    std::optional<DateTime> now;
    std::uint64_t seed = 1;
    int count = 1;
    bool reportTime = false;
};

// Reads the message and account options; returns an error text or "".
std::string ReadOptions(OptionReader& options, MailOptions& o) {
    std::string value;
    options.Value("--to", o.mail.to);
    options.Value("--cc", o.mail.cc);
    options.Value("--bcc", o.mail.bcc);
    options.Value("--from", o.mail.from);
    options.Value("--subject", o.mail.subject);
    options.Value("--references", o.mail.references);
    options.Value("--attach", o.mail.attachment);
    options.Value("--body", o.mail.body);
    if (options.Value("--body-file", value)) {
        auto body = ReadFileText(value);
        if (!body) return "cannot read " + value;
        o.mail.body = *body;
    }
    if (options.Value("--now", value)) {
        o.now = ReadNow(value);
        if (!o.now) return "--now wants \"YYYY/MM/DD HH:MM[:SS]\"";
    }
    int number = 0;
    if (options.Value("--seed", value)) {
        if (!ReadInt(value, 0, 999999999, number)) return "--seed wants a number";
        o.seed = static_cast<std::uint64_t>(number);
    }
    o.reportTime = options.Flag("--report-time");
    if (options.Value("--count", value)) {
        if (!ReadInt(value, 1, 10000, o.count)) return "--count wants 1-10000";
    }
    MailServerConfig& c = o.config;
    options.Value("--server", c.smtpServer);
    if (options.Value("--port", value) && !ReadInt(value, 1, 65535, c.smtpPort))
        return "--port wants 1-65535";
    options.Value("--user", c.user);
    if (options.Value("--password-file", value)) {
        auto password = ReadFileText(value);
        if (!password) return "cannot read " + value;
        while (!password->empty() && (password->back() == '\n' || password->back() == '\r'))
            password->pop_back();
        c.password = *password;
    }
    c.smtpAuth = options.Flag("--auth");
    if (options.Value("--ssl", value) && !ReadInt(value, 0, 2, c.smtpSsl))
        return "--ssl wants 0, 1 or 2";
    options.Value("--ca-file", c.caFile);
    options.Value("--address", c.fromAddress);
    options.Value("--name", c.fromName);
    c.popBefore = options.Flag("--pop-before");
    options.Value("--pop-server", c.popServer);
    if (options.Value("--pop-ssl", value) && !ReadInt(value, 0, 2, c.popSsl))
        return "--pop-ssl wants 0, 1 or 2";
    c.popPort = c.popSsl == 2 ? 995 : 110;
    if (options.Value("--pop-port", value) && !ReadInt(value, 1, 65535, c.popPort))
        return "--pop-port wants 1-65535";
    c.apop = options.Flag("--apop");
    if (options.Value("--smail-time", value) && !ReadInt(value, 0, 600000, c.smailTimeMs))
        return "--smail-time wants milliseconds";
    if (c.popServer.empty()) c.popServer = c.smtpServer;
    if (!options.Positional().empty()) return "unexpected argument " + options.Positional().front();
    if (!options.Unknown().empty()) return "unknown option " + options.Unknown();
    return "";
}

int Compose(MailOptions& o, std::ostream& out, std::ostream& err) {
    ConsolePrompter prompter(err);
    mail::ComposeContext context;
    context.config = &o.config;
    context.prompter = &prompter;
    context.now = o.now ? *o.now : SystemClock().Now();
    context.seed = o.seed;
    context.readFile = ReadFileText;
    const mail::ComposedMail composed = mail::ComposeMail(o.mail, context);
    if (!composed.Ok()) {
        if (!composed.error.empty()) err << "almx mail: " << composed.error << '\n';
        return 1;
    }
    out << "MAIL FROM:<" << composed.mailFrom << ">\n";
    for (const std::string& rcpt : composed.envelope) out << "RCPT TO:<" << rcpt << ">\n";
    out << "DATA\n" << mail::DotStuff(composed.content);
    return 0;
}

#ifdef ALMX_MAIL_NET
int Send(MailOptions& o, std::ostream& err) {
    ConsolePrompter prompter(err);
    prompter.SetYesNo(Answer::Yes);
    SystemClock clock;
    const std::vector<CMail> mails(static_cast<std::size_t>(o.count), o.mail);
    const auto started = std::chrono::steady_clock::now();
    const mail::SendOutcome outcome = mail::SendAndWait(mails, o.config, prompter, clock);
    if (o.reportTime) {
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - started);
        err << "almx mail: " << mails.size() << " message(s) in " << took.count() / 1000.0
            << " ms\n";
    }
    return outcome.AllSent() ? 0 : 1;
}
#endif

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || (args[0] != "compose" && args[0] != "send")) {
        err << "almx mail: compose or send\n";
        return 2;
    }
    OptionReader options(Arguments(args.begin() + 1, args.end()));
    MailOptions o;
    const std::string problem = ReadOptions(options, o);
    if (!problem.empty()) {
        err << "almx mail: " << problem << '\n';
        return 2;
    }
    if (args[0] == "compose") return Compose(o, out, err);
#ifndef ALMX_NET_PROGRAM
    return HandOffToNetProgram("mail", args, err);
#elif defined(ALMX_MAIL_NET)
    return Send(o, err);
#else
    err << "almx mail: this almx was built without Qt Network; it cannot send\n";
    return 1;
#endif
}

const CommandRegistrar registrar({
    "mail",
    "compose|send [--to A] [--cc A] [--bcc A] [--from A] [--subject S] [--body T | --body-file F] "
    "[--attach F] [--references R] [--now T] [--seed N] [--count N] [--server H] [--port P] "
    "[--user U] [--password-file F] [--auth] [--ssl 0|1|2] [--ca-file F] [--address A] "
    "[--name N] [--pop-before] [--pop-server H] [--pop-port P] [--pop-ssl 0|1|2] [--apop] "
    "[--smail-time MS] [--report-time]",
    "prints a message's bytes as sent after DATA, or sends it over SMTP",
    Run,
});

}  // namespace

}  // namespace almx::cli
