#include "core/genre_edit_form.h"

#include "base/prompter.h"
#include "text/encoding.h"

namespace almx {

GenreEditForm GenreEditForm::From(const CAlmxField& genre) {
    return GenreEditForm{genre.name, genre.IsShown(), genre.colour};
}

bool GenreEditForm::Check(Prompter& prompter) const {
    if (std::optional<std::string> bad = text::FirstUnrepresentable(name)) {
        prompter.ShowMessage(kGenreNameUnrepresentable + *bad, MessageKind::Warning);
        return false;
    }
    return true;
}

CAlmxField GenreEditForm::ApplyTo(CAlmxField genre) const {
    genre.name = name;
    genre.shown = shown ? 1 : 0;
    genre.colour = colour & 0xFFFFFFu;
    return genre;
}

}  // namespace almx
