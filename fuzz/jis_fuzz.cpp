// JIS and EUC-JP texts of any bytes convert without harm, as do code detection and ToSjis; a
// Shift_JIS text made of JIS X 0208 characters comes back from JIS as itself.
#include <string>

#include "fuzz_check.h"
#include "mail/jis.h"
#include "text/sjis_chars.h"

namespace {

// The part of the input that JIS can carry: printable ASCII and JIS X 0208 characters.
std::string JisCarriable(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t len = almx::text::SjisCharLength(bytes, i);
        auto lead = static_cast<unsigned char>(bytes[i]);
        if (len == 1 && lead >= 0x20 && lead < 0x7F) {
            out += bytes[i];
        } else if (len == 2) {
            almx::mail::CharCode code =
                static_cast<almx::mail::CharCode>(lead << 8 | static_cast<unsigned char>(bytes[i + 1]));
            if (almx::mail::SjisCodeToJis(code) != 0) out.append(bytes.substr(i, 2));
        }
        i += len;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    almx::mail::JisToSjis(bytes);
    almx::mail::EucToSjis(bytes);
    almx::mail::DetectKanjiCode(bytes);
    almx::mail::ToSjis(bytes);
    std::string sjis = JisCarriable(bytes);
    FUZZ_CHECK(almx::mail::JisToSjis(almx::mail::SjisToJis(sjis).text).text == sjis);
    return 0;
}
