#include "mail/vcalendar_mail.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "exchange/calendar_exchange.h"

namespace almx {

namespace t = calendar_texts;
namespace m = vcs_mail_texts;
namespace fs = std::filesystem;

namespace {

// Removes a private folder and what it holds when it goes.
class PrivateFolder {
  public:
    explicit PrivateFolder(const std::string& root) {
        std::error_code error;
        const fs::path base = root.empty() ? fs::temp_directory_path(error) : fs::path(root);
        if (error) return;
        std::string pattern = (base / "almx-vcs-XXXXXX").string();
        // mkdtemp makes the folder with mode 0700: nobody else can read or replace the file.
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~PrivateFolder() {
        if (path_.empty()) return;
        std::error_code error;
        fs::remove_all(path_, error);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

std::string MailFileName(const DateTime& now) {
    char name[40];
    std::snprintf(name, sizeof name, "ALMX%04d%02d%02d%02d%02d%02d.vcs", now.Year(), now.Month(),
                  now.Day(), now.Hour(), now.Minute(), now.Second());
    return name;
}

}  // namespace

bool MailVCalendar(const CAlmxData& record, const DateTime& day, int todayLimit,
                   const CalendarStamp& stamp, const VcsMailEnvironment& environment) {
    Prompter& prompter = environment.prompter;
    const std::optional<std::string> answer = prompter.AskText(
        m::kRecipientPrompt, environment.settings.GetString(t::kSystem, t::kVcsToKey, ""));
    if (!answer) return false;
    environment.settings.SetString(t::kSystem, t::kVcsToKey, *answer);
    if (answer->find_first_not_of(" \t") == std::string::npos) {
        prompter.ShowMessage(mail_outbox_messages::kNoRecipient, MessageKind::Warning);
        return false;
    }
    if (environment.readiness != MailReadiness::Ready || !environment.send) {
        prompter.ShowMessage(m::kConfigureMail, MessageKind::Warning);
        return false;
    }
    const PrivateFolder folder(environment.tempRoot);
    std::string why;
    const std::string path = folder.Path().empty()
                                 ? std::string()
                                 : (fs::path(folder.Path()) / MailFileName(stamp.now)).string();
    if (path.empty() ||
        !WriteCalendarFile(path, VCalendarText(record, day, todayLimit, stamp), why)) {
        if (!why.empty()) prompter.ShowMessage(why, MessageKind::Error);
        prompter.ShowMessage(vcal_messages::kSaveFailed, MessageKind::Error);
        return false;
    }
    OutgoingMail mail{*answer, m::kMailSubject, ""};
    mail.attachment = path;
    // The engine reads the attachment while it composes, before send returns.
    return environment.send({mail});
}

}  // namespace almx
