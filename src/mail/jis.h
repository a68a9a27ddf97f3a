#pragma once
// Japanese mail codes: ISO-2022-JP ("JIS") and EUC-JP to and from Shift_JIS, and guessing
// which of them a received text is in. Every text here is bytes; the JIS shift state lives
// inside each call, so a text converts the same whatever was converted before it.

#include <string>
#include <string_view>

#include "text/kana_width.h"

namespace almx::mail {

using text::CharCode;
using text::CountedText;

// The JIS X 0208 code (rows 1-94) of a Shift_JIS double-byte code, or 0 when the code lies
// outside that range (user-defined area, IBM extensions at 0xFA-0xFC, single bytes).
CharCode SjisCodeToJis(CharCode sjis);
// The Shift_JIS code of a JIS code whose bytes both lie in 0x21-0x7E, or 0 otherwise.
CharCode JisCodeToSjis(CharCode jis);

// Shift_JIS to JIS: double-byte characters after ESC $ B, half-width katakana between SO and
// SI, and the text always ends back in ASCII. Double-byte characters without a JIS code go out
// as their Shift_JIS bytes. The count is the number of double-byte characters converted.
CountedText SjisToJis(std::string_view sjis);

// JIS to Shift_JIS. Unknown escape sequences, and one cut short at the end, are copied as
// they stand; characters of JIS X 0212 become their code page 932 character or 〓.
CountedText JisToSjis(std::string_view jis);

// EUC-JP to Shift_JIS, with JIS X 0212 characters handled as in JisToSjis.
CountedText EucToSjis(std::string_view euc);

enum class KanjiCode {
    ShiftJis = 0,
    Jis = 1,
    Euc = 2,
    None = 4,       // nothing but ASCII (or nothing telling)
    SjisOrEuc = 5,  // could be either
};

KanjiCode DetectKanjiCode(std::string_view bytes);

// A received text in Shift_JIS: JIS and EUC-JP texts are converted, anything else is copied.
std::string ToSjis(std::string_view bytes);

}  // namespace almx::mail
