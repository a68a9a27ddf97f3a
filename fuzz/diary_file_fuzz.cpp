// Any bytes read as a diary day: no crash; a day the editor may change writes back text that
// reads as the same text, and a Shift_JIS file with CR LF line ends writes back byte for byte
// (but for the code page's duplicate cells, which have one Unicode form, and for text whose
// Shift_JIS bytes would read as UTF-8, which is written as UTF-8).
#include <string>

#include "fuzz_check.h"
#include "reminders/diary_store.h"
#include "text/encoding.h"

namespace {

bool OnlyCrLf(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
    }
    return true;
}

bool HasDuplicateCells(std::string_view bytes) {
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0x87 || b == 0xED || b == 0xEE || b >= 0xF0) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const almx::DiaryDay day = almx::DiaryStore::Decode(bytes);
    FUZZ_CHECK(almx::text::IsValidUtf8(day.text));
    if (day.readOnly) return 0;
    FUZZ_CHECK(day.text.find('\0') == std::string::npos);
    const auto again = almx::DiaryStore::Encode(day.text, day);
    FUZZ_CHECK(again.has_value());
    const almx::DiaryDay back = almx::DiaryStore::Decode(*again);
    FUZZ_CHECK(!back.readOnly);
    FUZZ_CHECK(back.text == day.text);
    if (day.encoding == almx::DiaryEncoding::ShiftJis && OnlyCrLf(bytes) &&
        !HasDuplicateCells(bytes))
        FUZZ_CHECK(*again == bytes);
    return 0;
}
