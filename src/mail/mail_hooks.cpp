#include "mail/mail_hooks.h"

#include "mail/address_book.h"
#include "mail/mail_settings.h"

namespace almx {

mail::ComposeContext ComposeHooksFrom(std::shared_ptr<const MailSettings> mail, const Clock& clock,
                                      Prompter& prompter) {
    auto book = std::make_shared<AddressBook>();
    book->Load(*mail);
    mail::ComposeContext hooks;
    hooks.expand = [book,
                    &prompter](std::string_view field) -> std::optional<std::vector<std::string>> {
        const std::optional<std::size_t> entry = book->Find(field);
        if (!entry) return std::nullopt;
        std::vector<std::string> items;
        book->Expand(*entry, items, prompter);
        return items;
    };
    hooks.signature = [mail, &clock](int number) { return mail->SignatureText(number, clock); };
    return hooks;
}

}  // namespace almx
