#pragma once
// The yes/no of FindWords for many texts already in their Shift_JIS form (as MatchText makes
// it): the words are converted once, and no offsets back to UTF-8 are built.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/word_search.h"

namespace almx::text {

class SjisWordTest {
  public:
    SjisWordTest(std::string_view input, const WordOptions& options);
    bool Matches(std::string_view sjis) const;

  private:
    // nullopt: a word Shift_JIS cannot hold, which finds nothing.
    std::vector<std::optional<std::string>> words_;
    unsigned flags_;
    int mode_;
};

}  // namespace almx::text
