#pragma once
// The mail commands: the mail settings dialog (32906), the test mail (32976), the schedule
// mail (32977, the document's) and the state of the mail settings the alarm-mail toggle asks.

#include <string>

#include "app/frame_options.h"
#include "mail/mail_outbox.h"

class QWidget;

namespace almx {

struct AppContext;
class CAlmxDoc;
namespace mail {
class ProgramMail;
}

namespace cmd {
inline constexpr int kTestMail = 32976;
inline constexpr int kScheduleMail = 32977;
}  // namespace cmd

// The folder of the mail ini file the context names.
std::string MailFolderOf(const AppContext& context);

// The real mail settings as the alarm-mail toggle checks them.
MailSetup CurrentMailSetup(const AppContext& context);

// The send function of the context: the messages go to the program's engine with the current
// account, the address book and the signatures as the mail settings hold them when sent.
MailSendFunction ProgramMailSender(const AppContext& context, mail::ProgramMail& engine);

void RunMailSettings(AppContext& context, QWidget* parent);
void RunTestMail(AppContext& context);
void RunScheduleMail(CAlmxDoc& doc, AppContext& context, QWidget* parent);

}  // namespace almx
