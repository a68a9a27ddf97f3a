// Recipient fields, names, subject and body of any bytes: a message the composer accepts is
// 7-bit, has CR LF line ends only and lines within 998 octets, and its envelope addresses hold
// no control character, blank or bracket.
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "mail/mail_address.h"
#include "mail/mail_composer.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> fields(6);
    std::size_t field = 0;
    for (char c : bytes) {
        if (c == '\x1f' && field + 1 < fields.size()) {
            ++field;
            continue;
        }
        fields[field] += c;
    }
    almx::mail::CMail mail;
    mail.to = fields[0];
    mail.cc = fields[1];
    mail.subject = fields[2];
    mail.body = fields[3];
    mail.from = fields[4];
    mail.references = fields[5];
    almx::mail::MailServerConfig config;
    config.fromAddress = "me@example.jp";
    almx::mail::ComposeContext context;
    context.config = &config;
    context.now = almx::DateTime::FromParts(2026, 12, 8, 9, 0);
    context.seed = size;
    const almx::mail::ComposedMail out = almx::mail::ComposeMail(mail, context);
    if (!out.Ok()) return 0;
    for (const std::string& address : out.envelope) {
        FUZZ_CHECK(almx::mail::IsValidAddress(address));
    }
    FUZZ_CHECK(almx::mail::IsValidAddress(out.mailFrom));
    const std::string wire = almx::mail::DotStuff(out.content);
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < wire.size(); ++i) {
        const auto c = static_cast<unsigned char>(wire[i]);
        FUZZ_CHECK(c < 0x80);
        if (c == '\r') FUZZ_CHECK(i + 1 < wire.size() && wire[i + 1] == '\n');
        if (c == '\n') {
            FUZZ_CHECK(i > 0 && wire[i - 1] == '\r');
            FUZZ_CHECK(i - 1 - lineStart <= 998);
            lineStart = i + 1;
        }
    }
    return 0;
}
