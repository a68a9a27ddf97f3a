#pragma once
// Recipient items: "addr", "name<addr>" or "addr(name)", separated by commas.

#include <string>
#include <string_view>
#include <vector>

namespace almx::mail {

// Splits a recipient field at every comma outside double quotes. Items keep their blanks.
std::vector<std::string> SplitRecipients(std::string_view field);

struct AddressParts {
    std::string address;  // trimmed
    std::string name;     // as written (a leading blank stays)
};
// The address is the text between the last "<" and the last ">" when there is a "<",
// else the text before "(" when there is one, else the whole item; the name is the text before
// "<", else the text between "(" and ")", else empty.
AddressParts ParseAddressItem(std::string_view item);

// An address we hand to RCPT TO: ASCII, 1-254 octets, no control character, blank, bracket,
// comma or quote.
bool IsValidAddress(std::string_view address);

// A LAN mail recipient is a folder: a path with a "\" or beginning with "/".
bool IsLanFolder(std::string_view address);

// Header text without CR, LF or any other control character.
std::string CleanHeaderText(std::string_view text);

// An ASCII display name holding RFC 5322 specials in double quotes (with "\" before "\" and
// '"'); any other name unchanged.
std::string QuoteDisplayName(std::string_view name);

}  // namespace almx::mail
