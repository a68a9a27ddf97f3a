#pragma once
// Full-width and half-width forms of Shift_JIS characters. The mail converters, the schedule
// entry checks and the text matcher all read the same tables through these functions.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/char_code.h"

namespace almx::text {

inline constexpr unsigned char kHalfVoicedMark = 0xDE;      // ﾞ
inline constexpr unsigned char kHalfSemiVoicedMark = 0xDF;  // ﾟ
inline constexpr CharCode kFullVoicedMark = 0x814A;         // ゛
inline constexpr CharCode kFullSemiVoicedMark = 0x814B;     // ゜

// The full-width form of a single-byte character (ASCII 0x20-0x7E, half-width katakana), or
// nullopt when it has none.
std::optional<CharCode> FullWidthOf(unsigned char c);

// The single-byte form of a full-width character, or nullopt when it has none.
std::optional<unsigned char> HalfWidthOf(CharCode full);

// The full-width voiced katakana that a half-width katakana and a half-width (semi-)voiced mark
// stand for (ｶ + ﾞ gives ガ), or nullopt when the pair has none.
std::optional<CharCode> VoicedKatakana(unsigned char halfKana, unsigned char halfMark);

// The half-width pair of a full-width voiced katakana or hiragana (ガ and が give ｶﾞ).
struct HalfPair {
    unsigned char kana;
    unsigned char mark;
};
std::optional<HalfPair> HalfPairOf(CharCode voiced);

// The unvoiced full-width katakana of a voiced one (ガ and パ give カ and ハ).
std::optional<CharCode> UnvoicedKatakana(CharCode voiced);

// A converted text and how many characters the conversion changed.
struct CountedText {
    std::string text;
    std::size_t count = 0;
};

// Full-width to half-width: voiced kana become half-width pairs (not counted), full-width ASCII
// forms and katakana their single bytes, and ‐ × ÷ become - * / (counted).
CountedText ZenToHan(std::string_view sjis);

// Half-width to full-width: a half-width katakana with a voiced mark that has a voiced form
// becomes it (not counted); every other single-byte character with a full-width form becomes
// it (counted).
CountedText HanToZen(std::string_view sjis);

}  // namespace almx::text
