#pragma once
// Sending without a window loop (almx): the engine on the Qt transport, run on a local event
// loop until its outcome. The header is free of Qt, so callers stay model code.

#include <vector>

#include "mail/mail_engine.h"

namespace almx::mail {

// Makes a QCoreApplication when the process has none.
SendOutcome SendAndWait(const std::vector<CMail>& mails, const MailServerConfig& config,
                        Prompter& prompter, const Clock& clock);

}  // namespace almx::mail
