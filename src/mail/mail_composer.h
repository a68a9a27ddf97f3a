#pragma once
// Turns a CMail into the bytes of its message: recipients checked and split into the
// envelope, headers encoded (ISO-2022-JP, or UTF-8 when JIS cannot carry the text exactly),
// attachment in base64, every line ending in CR LF.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"
#include "mail/mail_message.h"
#include "mail/mail_server_config.h"

namespace almx {
class Prompter;
}

namespace almx::mail {

inline constexpr char kMailer[] = "Velta Quillpost";
inline constexpr int kRecipientLimit = 100;

struct ComposeContext {
    const MailServerConfig* config = nullptr;
    Prompter* prompter = nullptr;  // the 10-recipient questions and the 100 limits
    DateTime now;                  // Japan time
    std::uint64_t seed = 0;        // boundary and Message-ID digits
    // A field equal to an address-book entry's name: that entry's items; nullopt otherwise.
    std::function<std::optional<std::vector<std::string>>(std::string_view)> expand;
    // The text of signature n (UTF-8).
    std::function<std::string(int)> signature;
    // Reads the attachment; nullopt when it cannot be read.
    std::function<std::optional<std::string>(const std::string&)> readFile;
};

struct ComposedMail {
    std::string error;       // set when the message must not be sent; the text to show
    bool cancelled = false;  // the user declined a question
    std::string mailFrom;    // MAIL FROM address
    std::vector<std::string> envelope;
    std::vector<std::string> lanFolders;
    std::string content;     // the message, CR LF lines, not yet dot-stuffed
    std::string lanContent;  // the Shift_JIS form for LAN folders (when there are any)
    bool utf8 = false;
    bool Ok() const { return error.empty() && !cancelled; }
};

ComposedMail ComposeMail(const CMail& mail, const ComposeContext& context);

// What goes after DATA: lines beginning with "." get one more, then "\r\n.\r\n".
std::string DotStuff(std::string_view content);

// Every line break (CR LF, CR or LF) as CR LF.
std::string ToCrLf(std::string_view text);

// "Tue, 08 Dec 2026 18:47:31 +0900"
std::string MailDate(const DateTime& japanTime);

// Encoded words "=?UTF-8?B?...?=" of at most 75 characters, never splitting a character,
// folded with "\r\n "; ASCII text without controls stays as it is.
std::string EncodeUtf8Header(std::string_view utf8);

// Whether ISO-2022-JP carries this Shift_JIS text exactly: no half-width katakana and every
// double-byte character in JIS X 0208 (rows 1-8 and 16-84).
bool JisCarriesExactly(std::string_view sjis);

}  // namespace almx::mail
