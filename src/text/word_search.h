#pragma once
// The word test of the diary and memo search (検索): one word, or the words of an input
// separated by blanks, any or all of them, matched by the Japanese matcher. Positions are
// byte offsets of the UTF-8 text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/utf8_matcher.h"

namespace almx::text {

enum WordMode : int {
    kWordWhole = 0,  // 単独語と見なす
    kWordAny = 1,    // 空白で区切った語のどちらかを含む
    kWordAll = 2,    // 空白で区切った語の全てを含む
};

struct WordOptions {
    bool caseSensitive = false;   // 大文字と小文字を区別する
    bool widthSensitive = false;  // 全角と半角を区別する
    int mode = kWordAny;
    unsigned Flags() const;
};

// The words of an input: full-width blanks count as blanks; runs of blanks and blanks at
// either end make no empty words.
std::vector<std::string> SplitWords(std::string_view input);

// The earliest match at or after start: of the whole input (mode 0), or of any word (modes 1
// and 2; in mode 2 nothing when a word is not found from start).
std::optional<Match> FindWords(const MatchText& text, std::string_view input,
                               const WordOptions& options, std::size_t start = 0);

// Every occurrence for highlighting, each search going on after the one before (mode 2 counts
// as mode 1 here).
std::vector<Match> AllOccurrences(const MatchText& text, std::string_view input,
                                  const WordOptions& options);

// The UTF-16 position of a byte offset of a UTF-8 text, as a text box counts characters.
std::size_t Utf16Position(std::string_view utf8, std::size_t offset);
// The byte offset of a UTF-16 position (the end when it is past it).
std::size_t Utf8Offset(std::string_view utf8, std::size_t utf16Position);

}  // namespace almx::text
