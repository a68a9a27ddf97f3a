#pragma once
// The program's one mail engine: the Qt transport on the window thread, the window
// "電子メール" and the program's message boxes. Callers (the test mail, alarms, schedule mail)
// hand it CMail lists with the current account's MailServerConfig.

#include <memory>

#include "base/clock.h"
#include "mail/mail_engine.h"
#include "mail/ui/mail_status_window.h"
#include "mail/ui/net/qt_mail_transport.h"
#include "ui/qt_prompter.h"

namespace almx::mail {

class ProgramMail {
  public:
    explicit ProgramMail(QWidget* parent);

    void SendQueue(const std::vector<CMail>& mails, const MailServerConfig& config,
                   MailEngine::Done done);
    void SetComposeHooks(ComposeContext hooks) { engine_.SetComposeHooks(std::move(hooks)); }
    bool Busy() const { return engine_.Busy(); }
    CStatusDlg& Window() { return window_; }

  private:
    QtPrompter prompter_;
    SystemClock clock_;
    QtMailTransport transport_;
    CStatusDlg window_;
    MailEngine engine_;
};

}  // namespace almx::mail
