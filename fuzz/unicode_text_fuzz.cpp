// UTF-7 and UTF-8 header texts of any bytes convert without harm: seven-bit UTF-7 gives
// well-formed Shift_JIS (other bytes are kept as they came), and valid UTF-8 that code page 932
// can carry converts as the file encoder converts it.
#include <string>

#include "fuzz_check.h"
#include "mail/unicode_text.h"
#include "text/encoding.h"

namespace {

bool WellFormedShiftJis(const std::string& bytes) {
    return almx::text::ShiftJisToUtf8(bytes).Complete();
}

bool SevenBit(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string fromUtf7 = almx::mail::Utf7ToSjis(bytes);
    if (SevenBit(bytes)) FUZZ_CHECK(WellFormedShiftJis(fromUtf7));
    almx::mail::Utf8ToSjis(bytes);

    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (almx::text::IsValidUtf8(bytes)) {
        const almx::text::SjisEncoding encoded = almx::text::Utf8ToShiftJis(bytes);
        if (encoded.Complete()) FUZZ_CHECK(almx::mail::Utf8ToSjis(bytes) == encoded.bytes);
    }
    return 0;
}
