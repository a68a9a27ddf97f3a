#include "text/word_search.h"

#include <algorithm>

#include "text/encoding.h"
#include "text/sjis_word_test.h"

namespace almx::text {

unsigned WordOptions::Flags() const {
    unsigned flags = kFoldExact;
    if (!caseSensitive) flags |= kFoldCase;
    if (!widthSensitive) flags |= kFoldWidth;
    return flags;
}

std::vector<std::string> SplitWords(std::string_view input) {
    static constexpr std::string_view kWideBlank = "\xE3\x80\x80";  // 　
    std::vector<std::string> words;
    std::string word;
    for (std::size_t i = 0; i < input.size();) {
        if (input.substr(i, kWideBlank.size()) == kWideBlank || input[i] == ' ') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
            i += input[i] == ' ' ? 1 : kWideBlank.size();
            continue;
        }
        word += input[i++];
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

std::optional<Match> FindWords(const MatchText& text, std::string_view input,
                               const WordOptions& options, std::size_t start) {
    const unsigned flags = options.Flags();
    if (options.mode == kWordWhole) return text.Find(input, flags, start);
    std::optional<Match> earliest;
    for (const std::string& word : SplitWords(input)) {
        const std::optional<Match> hit = text.Find(word, flags, start);
        if (!hit) {
            if (options.mode == kWordAll) return std::nullopt;
            continue;
        }
        if (!earliest || hit->offset < earliest->offset) earliest = hit;
    }
    return earliest;
}

SjisWordTest::SjisWordTest(std::string_view input, const WordOptions& options)
    : flags_(options.Flags()), mode_(options.mode) {
    auto add = [this](std::string_view word) {
        SjisEncoding encoded = Utf8ToShiftJis(word);
        if (encoded.Complete()) {
            words_.emplace_back(std::move(encoded.bytes));
        } else {
            words_.emplace_back(std::nullopt);
        }
    };
    if (mode_ == kWordWhole) {
        add(input);
    } else {
        for (const std::string& word : SplitWords(input)) add(word);
    }
}

bool SjisWordTest::Matches(std::string_view sjis) const {
    if (mode_ == kWordWhole) return words_[0] && Find(sjis, *words_[0], flags_, 0).has_value();
    bool any = false;
    for (const std::optional<std::string>& word : words_) {
        const bool found = word && Find(sjis, *word, flags_, 0).has_value();
        if (mode_ == kWordAll && !found) return false;
        any |= found;
    }
    return any;
}

std::vector<Match> AllOccurrences(const MatchText& text, std::string_view input,
                                  const WordOptions& options) {
    WordOptions any = options;
    if (any.mode == kWordAll) any.mode = kWordAny;
    std::vector<Match> hits;
    std::size_t start = 0;
    while (std::optional<Match> hit = FindWords(text, input, any, start)) {
        hits.push_back(*hit);
        // Go on after the occurrence (at least one byte on, so this ends).
        start = hit->offset + (hit->length > 0 ? hit->length : 1);
    }
    return hits;
}

std::size_t Utf16Position(std::string_view utf8, std::size_t offset) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size() && i < offset;) {
        const std::size_t length = std::max<std::size_t>(Utf8CharLength(utf8, i), 1);
        units += length == 4 ? 2 : 1;
        i += length;
    }
    return units;
}

std::size_t Utf8Offset(std::string_view utf8, std::size_t utf16Position) {
    std::size_t units = 0;
    std::size_t i = 0;
    while (i < utf8.size() && units < utf16Position) {
        const std::size_t length = std::max<std::size_t>(Utf8CharLength(utf8, i), 1);
        units += length == 4 ? 2 : 1;
        i += length;
    }
    return i;
}

}  // namespace almx::text
