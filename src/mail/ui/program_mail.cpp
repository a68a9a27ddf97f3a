#include "mail/ui/program_mail.h"

namespace almx::mail {

ProgramMail::ProgramMail(QWidget* parent)
    : prompter_(parent),
      window_(parent),
      engine_(transport_, prompter_, clock_, MailStateFolder()) {
    engine_.SetProgress(&window_);
}

void ProgramMail::SendQueue(const std::vector<CMail>& mails, const MailServerConfig& config,
                            MailEngine::Done done) {
    engine_.SendQueue(mails, config, std::move(done));
}

}  // namespace almx::mail
