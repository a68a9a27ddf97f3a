#pragma once
// A slow, plain reading of the matcher's rules, shared by the tests and the fuzz target.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "text/encoding.h"
#include "text/kana_width.h"
#include "text/matcher.h"
#include "text/sjis_chars.h"

namespace almx::text {

// Hiragana ぁ-ん (U+3041-U+3093) and their katakana are 0x60 code points apart.
inline std::string ToKatakana(const std::string& sjisChar) {
    std::string u = FromShiftJis(sjisChar);
    if (u.size() != 3) return sjisChar;
    char32_t cp = (u[0] & 0x0F) << 12 | (u[1] & 0x3F) << 6 | (u[2] & 0x3F);
    if (cp < 0x3041 || cp > 0x3093) return sjisChar;
    cp += 0x60;
    return ToShiftJis(std::string{static_cast<char>(0xE0 | cp >> 12),
                         static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                         static_cast<char>(0x80 | (cp & 0x3F))});
}

// The reference reads characters through the width conversions, as the combination rules are
// written, then compares folded character sequences at every position.
struct Token {
    CharCode code;
    std::size_t begin, end;
};

inline std::vector<Token> ReadAll(const std::string& s, std::size_t pos, unsigned flags) {
    std::vector<Token> tokens;
    while (pos < s.size()) {
        std::size_t len = SjisCharLength(s, pos);
        Token token{CharCodeAt(s, pos, len), pos, pos + len};
        if ((flags & kFoldWidth) && len == 1 && pos + 1 < s.size()) {
            std::string full = HanToZen(s.substr(pos, 2)).text;
            if (full.size() == 2 && SjisCharLength(full, 0) == 2) {
                token = {CharCodeAt(full, 0, 2), pos, pos + 2};
            }
        } else if ((flags & kFoldWidth) && len == 2 && SjisCharLength(s, pos + 2) == 2) {
            std::string pair = s.substr(pos, 4);
            if (flags & kFoldKana) pair = ToKatakana(pair.substr(0, 2)) + pair.substr(2);
            std::string back = HanToZen(ZenToHan(pair).text).text;
            if (back.size() == 2) token = {CharCodeAt(back, 0, 2), pos, pos + 4};
        }
        tokens.push_back(token);
        pos = token.end;
    }
    return tokens;
}

inline std::optional<Match> ReferenceFind(const std::string& text, const std::string& pattern,
                                   unsigned flags, std::size_t start) {
    if (start < text.size() && IsSjisSecondByte(text, start)) ++start;
    auto t = ReadAll(text, start, flags);
    auto p = ReadAll(pattern, 0, flags);
    if (p.empty()) return std::nullopt;
    for (std::size_t i = 0; i + p.size() <= t.size(); ++i) {
        std::size_t j = 0;
        while (j < p.size() && Fold(t[i + j].code, flags) == Fold(p[j].code, flags)) ++j;
        if (j == p.size()) return Match{t[i].begin, t[i + j - 1].end - t[i].begin};
    }
    return std::nullopt;
}

inline int ReferenceCompare(const std::string& a, const std::string& b, unsigned flags) {
    auto ta = ReadAll(a, 0, flags);
    auto tb = ReadAll(b, 0, flags);
    for (std::size_t i = 0; i < std::max(ta.size(), tb.size()); ++i) {
        int ca = i < ta.size() ? Fold(ta[i].code, flags) : 0;
        int cb = i < tb.size() ? Fold(tb[i].code, flags) : 0;
        if (ca != cb) return ca - cb;
    }
    return 0;
}

}  // namespace almx::text
