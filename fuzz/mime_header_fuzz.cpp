// Header texts of any bytes decode without harm (UTF-7 and UTF-8 words included); a Shift_JIS
// subject of JIS X 0208 characters comes back from its encoded words as itself.
#include <string>

#include "fuzz_check.h"
#include "mail/jis.h"
#include "mail/mime_header.h"
#include "mail/unicode_text.h"
#include "text/sjis_chars.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    almx::mail::DecodeMimeHeader(bytes);
    almx::mail::Utf7ToSjis(bytes);
    almx::mail::Utf8ToSjis(bytes);

    // Printable ASCII but "=?" and JIS X 0208 characters: what a subject typed by a user holds.
    std::string subject;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t len = almx::text::SjisCharLength(bytes, i);
        auto lead = static_cast<unsigned char>(bytes[i]);
        if (len == 1 && lead >= 0x20 && lead < 0x7F && lead != '=' && lead != '?') {
            subject += bytes[i];
        } else if (len == 2) {
            auto code = static_cast<almx::mail::CharCode>(
                lead << 8 | static_cast<unsigned char>(bytes[i + 1]));
            if (almx::mail::SjisCodeToJis(code) != 0) subject.append(bytes.substr(i, 2));
        }
        i += len;
    }
    std::string encoded = almx::mail::EncodeMimeHeader(subject);
    // ISO-2022-JP words decode to their JIS bytes; the reader converts them.
    FUZZ_CHECK(almx::mail::JisToSjis(almx::mail::DecodeMimeHeader(encoded)).text == subject);
    return 0;
}
