#pragma once
// The genre edit dialog (追加 and 修正 of ジャンル設定) without widgets: name, shown and colour
// in, the edited genre out. A name Shift_JIS cannot hold is refused, as the file could not
// keep it.

#include <cstdint>
#include <string>

#include "core/genre.h"

namespace almx {

class Prompter;

inline constexpr const char* kGenreNameUnrepresentable = "ジャンル名に使えない文字があります：";

struct GenreEditForm {
    std::string name;
    bool shown = true;
    std::uint32_t colour = 0;

    static GenreEditForm From(const CAlmxField& genre);
    // False (after the message) when the name cannot be written to the schedule file.
    bool Check(Prompter& prompter) const;
    // The genre with the edited values; its other fields stay.
    CAlmxField ApplyTo(CAlmxField genre) const;
};

}  // namespace almx
