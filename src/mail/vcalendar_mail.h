#pragma once
// The vCalendar mail: one entry sent as a .vcs attachment through the program's mail sending.

#include <string>

#include "base/date_time.h"
#include "exchange/vcalendar.h"
#include "mail/mail_outbox.h"

namespace almx {

class CAlmxData;
class Prompter;
class SettingsStore;

namespace vcs_mail_texts {
inline constexpr const char* kMailSubject = "Almanix 送信メール";
inline constexpr const char* kRecipientPrompt = "送信先:";
inline constexpr const char* kConfigureMail = "メール設定を行ってください";
}  // namespace vcs_mail_texts

// The vCalendar mail of the record selected on day: asks for the recipient (preset with and
// stored in "System"/"VcsTo"), checks the mail settings, writes "ALMX<now>.vcs" in a private
// folder made for it under tempRoot (the system's when empty), hands the mail with that
// attachment to send and removes the folder again, whatever happened. True when send took
// the mail.
struct VcsMailEnvironment {
    SettingsStore& settings;
    Prompter& prompter;
    MailReadiness readiness;
    const MailSendFunction& send;
    std::string tempRoot;
};
bool MailVCalendar(const CAlmxData& record, const DateTime& day, int todayLimit,
                   const CalendarStamp& stamp, const VcsMailEnvironment& environment);

}  // namespace almx
