#pragma once
// The settings' address book and signatures as the composer's hooks, so the program's
// sending expands names and appends signatures as the settings say.

#include <memory>

#include "mail/mail_composer.h"

namespace almx {

class Clock;
class MailSettings;
class Prompter;

// Hooks that read the address book of mail once, now, and its signatures when asked; the clock
// dates the signatures' macros, the prompter reports address files that cannot be read.
mail::ComposeContext ComposeHooksFrom(std::shared_ptr<const MailSettings> mail, const Clock& clock,
                                      Prompter& prompter);

}  // namespace almx
