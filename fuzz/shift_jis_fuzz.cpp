// Shift_JIS and UTF-8 conversions on any bytes: valid output always, and text that converted
// completely converts back to itself; the check without conversion agrees with it.
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "text/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    almx::text::Utf8Decoding decoded = almx::text::ShiftJisToUtf8(bytes);
    FUZZ_CHECK(almx::text::IsValidUtf8(decoded.text));
    if (decoded.Complete()) {
        almx::text::SjisEncoding encoded = almx::text::Utf8ToShiftJis(decoded.text);
        FUZZ_CHECK(encoded.Complete());
        FUZZ_CHECK(almx::text::FromShiftJis(encoded.bytes) == decoded.text);
    }
    almx::text::SjisEncoding fromUtf8 = almx::text::Utf8ToShiftJis(bytes);
    // The check without conversion names the character the conversion replaced first.
    const std::optional<std::string> first = almx::text::FirstUnrepresentable(bytes);
    FUZZ_CHECK(first.has_value() != fromUtf8.Complete());
    FUZZ_CHECK(!first || *first == fromUtf8.unrepresentable.front());
    if (almx::text::IsValidUtf8(bytes) && fromUtf8.Complete()) {
        almx::text::Utf8Decoding back = almx::text::ShiftJisToUtf8(fromUtf8.bytes);
        FUZZ_CHECK(back.Complete());
    }
    return 0;
}
