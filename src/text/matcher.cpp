#include "text/matcher.h"

#include <algorithm>
#include <array>
#include <utility>

#include "text/kana_width.h"
#include "text/sjis_chars.h"

namespace almx::text {

namespace {

// Small kana to large and the minus signs to the long vowel mark, sorted by the first code.
// Voiced katakana to unvoiced come from the voiced-kana table (UnvoicedKatakana).
constexpr std::array<std::pair<CharCode, CharCode>, 29> kSmallToLarge = {{
    {0x002D, 0x00B0},  // - ｰ
    {0x00A7, 0x00B1},  // ｧ ｱ
    {0x00A8, 0x00B2},  // ｨ ｲ
    {0x00A9, 0x00B3},  // ｩ ｳ
    {0x00AA, 0x00B4},  // ｪ ｴ
    {0x00AB, 0x00B5},  // ｫ ｵ
    {0x00AC, 0x00D4},  // ｬ ﾔ
    {0x00AD, 0x00D5},  // ｭ ﾕ
    {0x00AE, 0x00D6},  // ｮ ﾖ
    {0x00AF, 0x00C2},  // ｯ ﾂ
    {0x817C, 0x815B},  // － ー
    {0x829F, 0x82A0},  // ぁ あ
    {0x82A1, 0x82A2},  // ぃ い
    {0x82A3, 0x82A4},  // ぅ う
    {0x82A5, 0x82A6},  // ぇ え
    {0x82A7, 0x82A8},  // ぉ お
    {0x82C1, 0x82C2},  // っ つ
    {0x82E1, 0x82E2},  // ゃ や
    {0x82E3, 0x82E4},  // ゅ ゆ
    {0x82E5, 0x82E6},  // ょ よ
    {0x8340, 0x8341},  // ァ ア
    {0x8342, 0x8343},  // ィ イ
    {0x8344, 0x8345},  // ゥ ウ
    {0x8346, 0x8347},  // ェ エ
    {0x8348, 0x8349},  // ォ オ
    {0x8362, 0x8363},  // ッ ツ
    {0x8383, 0x8384},  // ャ ヤ
    {0x8385, 0x8386},  // ュ ユ
    {0x8387, 0x8388},  // ョ ヨ
}};

bool IsHiragana(CharCode c) {
    return c >= 0x829F && c <= 0x82F1;
}

// Hiragana and katakana rows line up except that katakana skips 0x837F (not a trail byte).
CharCode HiraganaToKatakana(CharCode c) {
    auto k = static_cast<CharCode>(c + 0xA1);
    return k >= 0x837F ? static_cast<CharCode>(k + 1) : k;
}

CharCode FoldWidth(CharCode c) {
    if (IsDoubleByte(c)) return c;
    auto full = FullWidthOf(static_cast<unsigned char>(c));
    return full ? *full : c;
}

CharCode FoldCase(CharCode c) {
    if (c >= 'a' && c <= 'z') return static_cast<CharCode>(c - 0x20);
    if (c >= 0x8281 && c <= 0x829A) return static_cast<CharCode>(c - 0x21);  // ａ-ｚ to Ａ-Ｚ
    return c;
}

CharCode FoldKana(CharCode c) {
    return IsHiragana(c) ? HiraganaToKatakana(c) : c;
}

CharCode FoldSmallVoiced(CharCode c) {
    auto it = std::lower_bound(kSmallToLarge.begin(), kSmallToLarge.end(),
                               std::pair<CharCode, CharCode>{c, 0});
    if (it != kSmallToLarge.end() && it->first == c) return it->second;
    auto unvoiced = UnvoicedKatakana(c);
    return unvoiced ? *unvoiced : c;
}

// A kana at pos followed by ゛ or ゜ (at markPos), read as its voiced form when it has one.
std::optional<CharCode> CombineFullMark(std::string_view text, CharCode kana, std::size_t markPos,
                                        unsigned flags) {
    if (SjisCharLength(text, markPos) != 2) return std::nullopt;
    CharCode mark = CharCodeAt(text, markPos, 2);
    if (mark != kFullVoicedMark && mark != kFullSemiVoicedMark) return std::nullopt;
    if ((flags & kFoldKana) && IsHiragana(kana)) kana = HiraganaToKatakana(kana);
    auto half = HalfWidthOf(kana);
    if (!half) return std::nullopt;
    return VoicedKatakana(*half, mark == kFullVoicedMark ? kHalfVoicedMark : kHalfSemiVoicedMark);
}

// Whether pos is the second byte of a double-byte character. A byte that cannot be a lead byte
// always ends a character, so only the run of lead-range bytes just before pos counts; this
// keeps "find next" loops from rescanning the text from its start.
bool InsideDoubleByte(std::string_view text, std::size_t pos) {
    std::size_t run = 0;
    while (run < pos && IsSjisLeadByte(static_cast<unsigned char>(text[pos - 1 - run]))) ++run;
    return run % 2 == 1;
}

// Whether the whole pattern matches the text at pos; the end of the matched text if so.
std::optional<std::size_t> MatchAt(std::string_view text, std::size_t pos, std::string_view pattern,
                                   unsigned flags) {
    std::size_t p = 0;
    while (p < pattern.size()) {
        if (pos >= text.size()) return std::nullopt;
        CharRead t = NextChar(text, pos, flags);
        CharRead q = NextChar(pattern, p, flags);
        if (FoldedDifference(t.code, q.code, flags) != 0) return std::nullopt;
        pos = t.next;
        p = q.next;
    }
    return pos;
}

}  // namespace

CharRead NextChar(std::string_view text, std::size_t pos, unsigned flags) {
    if (pos >= text.size()) return {0, pos};
    std::size_t len = SjisCharLength(text, pos);
    CharCode code = CharCodeAt(text, pos, len);
    if (flags & kFoldWidth) {
        if (len == 1 && pos + 1 < text.size()) {
            auto voiced = VoicedKatakana(static_cast<unsigned char>(code),
                                         static_cast<unsigned char>(text[pos + 1]));
            if (voiced) return {*voiced, pos + 2};
        } else if (len == 2) {
            if (auto voiced = CombineFullMark(text, code, pos + 2, flags))
                return {*voiced, pos + 4};
        }
    }
    return {code, pos + len};
}

CharCode Fold(CharCode code, unsigned flags) {
    if (flags & kFoldWidth) code = FoldWidth(code);
    if (flags & kFoldCase) code = FoldCase(code);
    if (flags & kFoldKana) code = FoldKana(code);
    if (flags & kFoldSmallVoiced) code = FoldSmallVoiced(code);
    return code;
}

int FoldedDifference(CharCode a, CharCode b, unsigned flags) {
    return static_cast<int>(Fold(a, flags)) - static_cast<int>(Fold(b, flags));
}

std::optional<Match> Find(std::string_view text, std::string_view pattern, unsigned flags,
                          std::size_t start) {
    if (pattern.empty()) return std::nullopt;
    if (start < text.size() && InsideDoubleByte(text, start)) ++start;
    CharRead first = NextChar(pattern, 0, flags);
    CharCode firstFolded = Fold(first.code, flags);
    for (std::size_t candidate = start; candidate < text.size();) {
        CharRead t = NextChar(text, candidate, flags);
        if (Fold(t.code, flags) == firstFolded) {
            if (auto end = MatchAt(text, candidate, pattern, flags)) {
                return Match{candidate, *end - candidate};
            }
        }
        candidate = t.next;
    }
    return std::nullopt;
}

int Compare(std::string_view a, std::string_view b, unsigned flags) {
    std::size_t pa = 0;
    std::size_t pb = 0;
    while (pa < a.size() || pb < b.size()) {
        CharRead ca = NextChar(a, pa, flags);
        CharRead cb = NextChar(b, pb, flags);
        if (int diff = FoldedDifference(ca.code, cb.code, flags)) return diff;
        pa = ca.next;
        pb = cb.next;
    }
    return 0;
}

bool StartsWith(std::string_view text, std::string_view pattern, unsigned flags) {
    return !pattern.empty() && MatchAt(text, 0, pattern, flags).has_value();
}

}  // namespace almx::text
