#pragma once
// The one place that converts between encodings (through glibc iconv). In memory every text
// is UTF-8; Shift_JIS means Microsoft code page 932 (NEC and IBM extensions included), converted
// through tables written from iconv's answers at build time.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace almx::text {

struct SjisEncoding {
    std::string bytes;                         // '?' stands where a character could not go
    std::vector<std::string> unrepresentable;  // each such character, as UTF-8, in order
    bool Complete() const { return unrepresentable.empty(); }
};

struct Utf8Decoding {
    std::string text;  // U+FFFD stands for each byte sequence that is not valid
    std::size_t invalidSequences = 0;
    bool Complete() const { return invalidSequences == 0; }
};

// UTF-8 to code page 932. A few characters that other Japanese mappings use for the same
// glyph (WAVE DASH U+301C, DOUBLE VERTICAL LINE U+2016, MINUS SIGN U+2212, EM DASH U+2014,
// CENT/POUND/NOT SIGN) go to their code page 932 cells; anything else missing is reported.
SjisEncoding Utf8ToShiftJis(std::string_view utf8);
// The same, appended to into's bytes and its list of unrepresentable characters.
void AppendUtf8AsShiftJis(std::string_view utf8, SjisEncoding& into);
// The same written at out, for writers that make their own room: out must have room for
// utf8.size() bytes (no character grows). Returns the end of what was written.
char* WriteUtf8AsShiftJis(std::string_view utf8, char* out,
                          std::vector<std::string>& unrepresentable);

// Code page 932 to UTF-8. Invalid or unmapped byte sequences become U+FFFD and are counted.
Utf8Decoding ShiftJisToUtf8(std::string_view sjis);

// The same, appended to text; returns the number of invalid or unmapped sequences.
std::size_t AppendShiftJisAsUtf8(std::string_view sjis, std::string& text);

// Convenience for texts known to be representable (file names, fixed messages).
std::string ToShiftJis(std::string_view utf8);
std::string FromShiftJis(std::string_view sjis);

// Whether every character of the UTF-8 text has a code page 932 form; the first one that has
// not, as UTF-8, otherwise.
std::optional<std::string> FirstUnrepresentable(std::string_view utf8);

// What a UTF-16 text's separators mean. Plain: the raw text of a rich-text buffer read as
// plain text, where the paragraph and line separators (U+2029, U+2028) and the frame marks
// (U+FDD0, U+FDD1) are line breaks ("\n") and a no-break space (U+00A0) is a space.
enum class Utf16Breaks { AsTheyAre, Plain };

// UTF-16 (an editor's text) appended to utf8 as UTF-8. With unrepresentable given, the test of
// FirstUnrepresentable is made on the way: the first character code page 932 cannot hold, as
// UTF-8, or nothing. False, with utf8 as it was, when the text holds a lone surrogate, which
// has no UTF-8 form.
bool AppendUtf16AsUtf8(std::u16string_view utf16, std::string& utf8,
                       std::optional<std::string>* unrepresentable = nullptr,
                       Utf16Breaks breaks = Utf16Breaks::AsTheyAre);

// Whole-text conversion between any two iconv encodings ("ISO-2022-JP", "EUC-JP", "UTF-7",
// "UTF-16LE", ...). Fails (nullopt) on the first byte sequence that cannot be converted.
std::optional<std::string> Convert(std::string_view bytes, const char* from, const char* to);

// Whether the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// Length of the well-formed UTF-8 sequence at pos; 0 when the byte there does not start one
// (the conversions above replace such a byte on its own).
std::size_t Utf8CharLength(std::string_view bytes, std::size_t pos);

}  // namespace almx::text
