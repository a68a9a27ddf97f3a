#include "exchange/ftp_upload.h"

#include <sys/stat.h>

#include "base/settings_store.h"
#include "exchange/html_calendar.h"

namespace almx {

namespace {

constexpr const char* kSection = "HtmlMonthOut";

bool ValidMonth(int year, int month) {
    return year >= 1583 && year <= 9998 && month >= 1 && month <= 12;
}

}  // namespace

bool RegularFileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<FtpFile> PlanFtpUpload(const SettingsStore& settings,
                                   const std::function<bool(const std::string&)>& exists) {
    std::vector<FtpFile> files;
    std::string folder = settings.GetString(kSection, "Folder", "");
    // No folder: the output never ran; the working folder is not sent instead.
    if (folder.empty()) return files;
    if (folder.back() != '/') folder.push_back('/');
    const std::string topName = settings.GetString(kSection, "TopName", "");
    const std::string mobileTop = settings.GetString(kSection, "MobileTop", "");
    const std::string fileName = settings.GetString(kSection, "FileName", "");
    const std::string mobileFile = settings.GetString(kSection, "MobileFile", "");
    int year = settings.GetInt(kSection, "StartYear", 0);
    int month = settings.GetInt(kSection, "StartMonth", 0);
    const int endYear = settings.GetInt(kSection, "EndYear", 0);
    const int endMonth = settings.GetInt(kSection, "EndMonth", 0);

    auto add = [&](const std::string& name) {
        if (!IsUsableFileName(name)) return;
        const std::string path = folder + name;
        if (exists(path)) files.push_back(FtpFile{path, name, true});
    };
    if (!topName.empty()) add(topName + ".html");
    if (!mobileTop.empty()) add(mobileTop + ".html");
    if (ValidMonth(year, month) && ValidMonth(endYear, endMonth)) {
        while (year * 12 + month <= endYear * 12 + endMonth) {
            if (!fileName.empty()) add(MonthFileName(fileName, year, month));
            if (!mobileFile.empty()) {
                add(MonthFileName(mobileFile, year, month));
                add(MonthFileName(mobileFile, year, month, "body.html"));
            }
            StepMonth(year, month, 1);
        }
    }
    if (settings.GetInt("HtmlExport", "CssOut", 1) != 0) {
        add(kMonthStyleSheet);
        add(kTopStyleSheet);
    }
    return files;
}

}  // namespace almx

#include "base/prompter.h"
#include "document/document.h"
#include "document/document_messages.h"

namespace almx {

bool ApplyFtpSettings(CAlmxDoc& doc, const FtpSettings& edited, Prompter& prompter) {
    if (HasControlCharacter(edited.host) || HasControlCharacter(edited.user) ||
        HasControlCharacter(edited.password) || HasControlCharacter(edited.folder)) {
        prompter.ShowMessage(ftp_messages::kBadCharacters, MessageKind::Warning);
        return false;
    }
    if (!edited.host.empty() && !ParseFtpHost(edited.host)) {
        prompter.ShowMessage(ftp_messages::kBadHost, MessageKind::Warning);
        return false;
    }
    FtpSettings kept = edited;
    if (kept.askPassword) kept.password.clear();
    doc.Ftp() = kept;
    if (doc.Path().empty()) return true;
    if (!SaveFtpSettings(FtpSettingsPath(doc.Path()), kept)) {
        prompter.ShowMessage(doc_messages::kFtpSettingsNotWritten, MessageKind::Error);
    }
    return true;
}

std::optional<CVeltaFtp> PrepareFtpUpload(const FtpSettings& settings, const SettingsStore& store,
                                          Prompter& prompter,
                                          const std::function<bool(const std::string&)>& exists) {
    std::vector<FtpFile> files = PlanFtpUpload(store, exists);
    if (files.empty()) {
        prompter.ShowMessage(ftp_messages::kNothingToSend, MessageKind::Information);
        return std::nullopt;
    }
    FtpSettings session = settings;
    if (session.askPassword) {
        std::optional<std::string> password = prompter.AskPassword(kFtpPasswordPrompt);
        if (!password) return std::nullopt;
        session.password = *password;
    }
    return CVeltaFtp(std::move(session), std::move(files));
}

void ReportFtpOutcome(const CVeltaFtp& ftp, Prompter& prompter) {
    if (ftp.Result() == CVeltaFtp::Outcome::Failed) {
        prompter.ShowMessage(ftp.Message(), MessageKind::Error);
    }
}

}  // namespace almx
