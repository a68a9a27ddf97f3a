#pragma once
// Searching and comparing Shift_JIS texts while treating as equal the characters Japanese
// users consider the same: full- and half-width forms, letter case, hiragana and katakana,
// small and large kana, voiced and unvoiced kana.
//
// Every text and pattern here is Shift_JIS and every position is a byte offset into the
// Shift_JIS form. Callers holding UTF-8 use utf8_matcher.h, which reports UTF-8 offsets.

#include <cstddef>
#include <optional>
#include <string_view>

#include "text/char_code.h"

namespace almx::text {

// Folding flags; they apply in this order, to both sides of every comparison.
enum FoldFlags : unsigned {
    kFoldExact = 0,
    // Half-width voiced pairs (ｶﾞ) and kana with a full-width mark (カ゛) read as one
    // character, then single-byte characters take their full-width forms.
    kFoldWidth = 1,
    kFoldCase = 2,         // letters to upper case, full-width Latin included
    kFoldKana = 4,         // hiragana to katakana; also lets か゛ combine under kFoldWidth
    kFoldSmallVoiced = 8,  // small kana to large, voiced katakana to unvoiced, - to ｰ
    kFoldAll = kFoldWidth | kFoldCase | kFoldKana | kFoldSmallVoiced,
};

struct CharRead {
    CharCode code;     // 0 at the end of the text
    std::size_t next;  // byte offset after the character (after a combined pair)
};

// Reads the character at pos; with kFoldWidth a combinable pair is read as one character.
// A hiragana combined under kFoldKana comes back as its voiced katakana.
CharRead NextChar(std::string_view text, std::size_t pos, unsigned flags);

// The code after every folding the flags ask for.
CharCode Fold(CharCode code, unsigned flags);

// Folds both codes and returns a - b.
int FoldedDifference(CharCode a, CharCode b, unsigned flags);

struct Match {
    std::size_t offset;  // from the start of the text, not from the start offset
    std::size_t length;  // bytes of text matched; may differ from the pattern's length
};

// The first match of pattern at or after byte offset start. An empty pattern, an empty text or
// a start at the end finds nothing; a start inside a double-byte character begins at the next
// character.
std::optional<Match> Find(std::string_view text, std::string_view pattern, unsigned flags,
                          std::size_t start = 0);

// Negative, zero or positive: the folded difference at the first character that differs; a
// text that ends first reads as code 0 from there on.
int Compare(std::string_view a, std::string_view b, unsigned flags);

inline bool Equal(std::string_view a, std::string_view b, unsigned flags) {
    return Compare(a, b, flags) == 0;
}

// Whether the text matches the pattern at offset 0 (an empty pattern never does).
bool StartsWith(std::string_view text, std::string_view pattern, unsigned flags);

}  // namespace almx::text
