// almx ftpset: shows or changes the upload settings beside a schedule file. almx ftp: sends
// the pages of the last HTML output as "ftp転送" does; almx hands it to almx-net, which alone
// links libcurl.

#include <iostream>
#include <optional>
#include <ostream>
#include <string>

#include "base/file_io.h"
#include "base/ini_settings_store.h"
#include "cli/command_registry.h"
#include "document/document_messages.h"
#include "document/ftp_settings.h"
#include "exchange/ftp_upload.h"

#ifndef ALMX_NET_PROGRAM
#include "cli/net_handoff.h"
#endif

namespace almx::cli {

namespace {

// Reads the file's settings; false (and said why) when the schedule file is missing or the
// settings file is damaged.
bool Load(const std::string& file, FtpSettings& settings, const char* name, std::ostream& err) {
    if (!PathExists(file)) {
        err << "almx " << name << ": " << doc_messages::kCannotOpen << '\n';
        return false;
    }
    if (LoadFtpSettings(FtpSettingsPath(file), settings) == FtpSettingsLoad::Malformed) {
        err << "almx " << name << ": " << doc_messages::kFtpSettingsUnreadable << '\n';
        return false;
    }
    return true;
}

std::optional<bool> ZeroOrOne(const std::string& text) {
    if (text == "0") return false;
    if (text == "1") return true;
    return std::nullopt;
}

int RunFtpSet(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    FtpSettings changes;
    std::string passive, tls;
    const bool hasHost = options.Value("--host", changes.host);
    const bool hasUser = options.Value("--user", changes.user);
    const bool hasFolder = options.Value("--folder", changes.folder);
    const bool hasPassive = options.Value("--passive", passive);
    const bool hasTls = options.Value("--tls", tls);
    const bool passwordFromStdin = options.Flag("--password-stdin");
    const bool askPassword = options.Flag("--ask-password");
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx ftpset: unknown option " << unknown << '\n';
        return 2;
    }
    if (options.Positional().size() != 1) {
        err << "almx ftpset: give one FILE\n";
        return 2;
    }
    const std::optional<bool> passiveValue = ZeroOrOne(passive);
    const std::optional<bool> tlsValue = ZeroOrOne(tls);
    if ((hasPassive && !passiveValue) || (hasTls && !tlsValue)) {
        err << "almx ftpset: --passive and --tls take 0 or 1\n";
        return 2;
    }
    const std::string& file = options.Positional()[0];
    FtpSettings settings;
    if (!Load(file, settings, "ftpset", err)) return 1;
    const bool change =
        hasHost || hasUser || hasFolder || hasPassive || hasTls || passwordFromStdin || askPassword;
    if (!change) {
        out << "host=" << settings.host << "\nuser=" << settings.user
            << "\npassword=" << (settings.password.empty() ? "" : "********")
            << "\nfolder=" << settings.folder << "\npassive=" << (settings.passive ? 1 : 0)
            << "\ntls=" << (settings.tls ? 1 : 0)
            << "\nask-password=" << (settings.askPassword ? 1 : 0) << '\n';
        return 0;
    }
    if (hasHost) settings.host = changes.host;
    if (hasUser) settings.user = changes.user;
    if (hasFolder) settings.folder = changes.folder;
    if (hasPassive) settings.passive = *passiveValue;
    if (hasTls) settings.tls = *tlsValue;
    if (passwordFromStdin) {
        std::string line;
        std::getline(std::cin, line);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        settings.password = line;
        settings.askPassword = false;
    }
    if (askPassword) {
        settings.askPassword = true;
        settings.password.clear();
    }
    if (HasControlCharacter(settings.host) || HasControlCharacter(settings.user) ||
        HasControlCharacter(settings.password) || HasControlCharacter(settings.folder)) {
        err << "almx ftpset: " << ftp_messages::kBadCharacters << '\n';
        return 1;
    }
    if (!settings.host.empty() && !ParseFtpHost(settings.host)) {
        err << "almx ftpset: " << ftp_messages::kBadHost << '\n';
        return 1;
    }
    if (!SaveFtpSettings(FtpSettingsPath(file), settings)) {
        err << "almx ftpset: " << doc_messages::kFtpSettingsNotWritten << '\n';
        return 1;
    }
    return 0;
}

int RunFtp(const Arguments& args, std::ostream& out, std::ostream& err) {
#ifndef ALMX_NET_PROGRAM
    (void)out;
    return HandOffToNetProgram("ftp", args, err);
#else
    OptionReader options(args);
    std::string caFile;
    const bool hasCaFile = options.Value("--cacert", caFile);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx ftp: unknown option " << unknown << '\n';
        return 2;
    }
    if (options.Positional().size() != 1) {
        err << "almx ftp: give one FILE\n";
        return 2;
    }
    FtpSettings settings;
    if (!Load(options.Positional()[0], settings, "ftp", err)) return 1;
    if (hasCaFile && caFile.empty()) {
        err << "almx ftp: --cacert needs a FILE\n";
        return 2;
    }
    if (settings.askPassword) {
        std::getline(std::cin, settings.password);
        if (!settings.password.empty() && settings.password.back() == '\r') {
            settings.password.pop_back();
        }
    }
    IniSettingsStore store(IniSettingsStore::DefaultPath());
    std::vector<FtpFile> files = PlanFtpUpload(store, RegularFileExists);
    if (files.empty()) {
        err << ftp_messages::kNothingToSend << '\n';
        return 1;
    }
    CVeltaFtp ftp(std::move(settings), std::move(files));
    if (hasCaFile) ftp.SetCaFile(caFile);
    std::string shown;
    ftp.Run([&] {
        std::string line = ftp.Status();
        if (ftp.CurrentFile() >= 0) {
            line += ' ';
            line += ftp.Files()[static_cast<std::size_t>(ftp.CurrentFile())].localPath;
        }
        if (line != shown) err << line << '\n';
        shown = line;
        return true;
    });
    if (ftp.Result() != CVeltaFtp::Outcome::Succeeded) {
        err << ftp.Message() << '\n';
        return 1;
    }
    out << ftp.FilesSent() << '\n';
    return 0;
#endif
}

const CommandRegistrar ftpSetRegistrar({
    "ftpset",
    "FILE [--host H[:PORT]] [--user U] [--password-stdin] [--ask-password] [--folder F] "
    "[--passive 0|1] [--tls 0|1]",
    "shows the upload settings beside FILE (password masked), or changes them",
    RunFtpSet,
});

const CommandRegistrar ftpRegistrar({
    "ftp",
    "FILE [--cacert FILE]",
    "uploads the pages of the last HTML output as the program's upload does",
    RunFtp,
});

}  // namespace

}  // namespace almx::cli
