#include "text/utf8_matcher.h"

#include <algorithm>

#include "text/encoding.h"
#include "text/sjis_chars.h"

namespace almx::text {

MatchText::MatchText(std::string_view utf8) : sjis_(Utf8ToShiftJis(utf8).bytes) {
    // The conversion gives one Shift_JIS character for each UTF-8 character, and one "?" for
    // each byte that does not start a UTF-8 sequence.
    utf8Offsets_.reserve(sjis_.size() + 1);
    std::size_t u = 0;
    for (std::size_t s = 0; s < sjis_.size();) {
        std::size_t sLen = SjisCharLength(sjis_, s);
        utf8Offsets_.insert(utf8Offsets_.end(), sLen, std::min(u, utf8.size()));
        s += sLen;
        u += std::max<std::size_t>(Utf8CharLength(utf8, u), 1);
    }
    utf8Offsets_.push_back(utf8.size());
}

std::size_t MatchText::Utf8Offset(std::size_t sjisOffset) const {
    return utf8Offsets_[std::min(sjisOffset, sjis_.size())];
}

std::size_t MatchText::SjisOffset(std::size_t utf8Offset) const {
    // Both bytes of a double-byte character carry its offset; lower_bound gives the first.
    auto it = std::lower_bound(utf8Offsets_.begin(), utf8Offsets_.end(), utf8Offset);
    if (it == utf8Offsets_.end()) return sjis_.size();
    return static_cast<std::size_t>(it - utf8Offsets_.begin());
}

std::optional<Match> MatchText::Find(std::string_view utf8Pattern, unsigned flags,
                                     std::size_t utf8Start) const {
    SjisEncoding pattern = Utf8ToShiftJis(utf8Pattern);
    if (!pattern.Complete()) return std::nullopt;
    auto hit = text::Find(sjis_, pattern.bytes, flags, SjisOffset(utf8Start));
    if (!hit) return std::nullopt;
    std::size_t begin = Utf8Offset(hit->offset);
    return Match{begin, Utf8Offset(hit->offset + hit->length) - begin};
}

std::optional<Match> FindUtf8(std::string_view text, std::string_view pattern, unsigned flags,
                              std::size_t start) {
    return MatchText(text).Find(pattern, flags, start);
}

int CompareUtf8(std::string_view a, std::string_view b, unsigned flags) {
    return Compare(Utf8ToShiftJis(a).bytes, Utf8ToShiftJis(b).bytes, flags);
}

}  // namespace almx::text
