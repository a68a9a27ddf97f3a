#pragma once
// The matcher for texts held as UTF-8: the text is matched in its Shift_JIS form and the
// positions come back as byte offsets of the UTF-8 text, ready for highlighting a hit.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/matcher.h"

namespace almx::text {

// A UTF-8 text with its Shift_JIS form and the offsets between the two. A character Shift_JIS
// cannot hold (or a byte that is not UTF-8) reads as "?".
class MatchText {
  public:
    explicit MatchText(std::string_view utf8);

    std::string_view Sjis() const { return sjis_; }
    // The UTF-8 offset of the character at (or containing) a Shift_JIS offset.
    std::size_t Utf8Offset(std::size_t sjisOffset) const;
    // The Shift_JIS offset of the first character that starts at or after a UTF-8 offset.
    std::size_t SjisOffset(std::size_t utf8Offset) const;

    // Find with the offset and length of the hit, and the start, in UTF-8 bytes. A pattern
    // with a character Shift_JIS cannot hold finds nothing.
    std::optional<Match> Find(std::string_view utf8Pattern, unsigned flags,
                              std::size_t utf8Start = 0) const;

  private:
    std::string sjis_;
    std::vector<std::size_t> utf8Offsets_;  // per Shift_JIS byte, and one for the end
};

std::optional<Match> FindUtf8(std::string_view text, std::string_view pattern, unsigned flags,
                              std::size_t start = 0);

int CompareUtf8(std::string_view a, std::string_view b, unsigned flags);

}  // namespace almx::text
