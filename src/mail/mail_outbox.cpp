#include "mail/mail_outbox.h"

#include "base/prompter.h"
#include "base/settings_store.h"
#include "mail/mail_settings.h"

namespace almx {

namespace m = mail_outbox_messages;

MailReadiness CheckMailReadiness(const MailSettings& mail) {
    if (mail.Accounts().empty()) return MailReadiness::NoAccount;
    if (mail.Accounts().front().smtp.empty()) return MailReadiness::NoServer;
    return MailReadiness::Ready;
}

bool SendTestMail(const MailSettings& mail, const SettingsStore& settings,
                  const MailSendFunction& send, Prompter& prompter) {
    switch (CheckMailReadiness(mail)) {
        case MailReadiness::NoAccount:
            prompter.ShowMessage(m::kMailNotSet, MessageKind::Error);
            return false;
        case MailReadiness::NoServer:
            prompter.ShowMessage(m::kMailServerNotSet, MessageKind::Error);
            return false;
        case MailReadiness::Ready:
            break;
    }
    const std::string to = settings.GetString("System", "MailTo", "");
    if (to.find_first_not_of(" \t") == std::string::npos) {
        prompter.ShowMessage(m::kNoRecipient, MessageKind::Warning);
        return false;
    }
    if (!send) {
        prompter.ShowMessage(m::kSendUnavailable, MessageKind::Information);
        return false;
    }
    return send({OutgoingMail{to, m::kTestSubject, m::kTestBody}});
}

}  // namespace almx
