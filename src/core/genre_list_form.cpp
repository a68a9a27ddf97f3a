#include "core/genre_list_form.h"

#include <system_error>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/legacy_genre_file.h"
#include "core/record.h"
#include "core/record_list.h"

namespace almx {

std::vector<std::string> GenreListForm::Rows() const {
    std::vector<std::string> rows;
    rows.reserve(genres_.Count());
    for (const auto& genre : genres_.Items()) {
        rows.push_back(genre.IsShown() ? genre.name : "[非表示]" + genre.name);
    }
    return rows;
}

int GenreListForm::Add(CAlmxField genre) {
    genres_.Append(std::move(genre));
    return static_cast<int>(genres_.Count()) - 1;
}

bool GenreListForm::Modify(int index, const CAlmxField& edited) {
    CAlmxField* genre = genres_.At(index);
    if (!genre) return false;
    const std::uint32_t previousColour = genre->colour;
    genre->name = edited.name;
    genre->shown = edited.shown;
    genre->colour = edited.colour;
    if (genre->colour != previousColour) {
        ApplyGenreColour(genres_, index, previousColour, false, records_);
    }
    return true;
}

bool GenreListForm::Delete(int index) {
    const CAlmxField* genre = genres_.At(index);
    if (!genre) return false;
    if (index == 0) {
        prompter_.ShowMessage("一般フィールドは削除できません", MessageKind::Warning);
        return false;
    }
    if (prompter_.AskYesNo(genre->name + " を削除しますか？") != Answer::Yes) return false;
    return DeleteGenre(genres_, index, records_);
}

int GenreListForm::MoveUp(int index) {
    if (index < 2 || !genres_.At(index)) return index;
    SwapGenres(genres_, index, index - 1, records_);
    return index - 1;
}

int GenreListForm::MoveDown(int index) {
    if (index < 1 || !genres_.At(index + 1)) return index;
    SwapGenres(genres_, index, index + 1, records_);
    return index + 1;
}

std::string GenreListForm::HideButtonText(int index) const {
    const CAlmxField* genre = genres_.At(index);
    return genre && !genre->IsShown() ? "表示(&V)" : "非表示(&V)";
}

bool GenreListForm::ToggleShown(int index) {
    CAlmxField* genre = genres_.At(index);
    if (!genre) return false;
    genre->shown = genre->IsShown() ? 0 : 1;
    return true;
}

bool GenreListForm::UnifyColours(int index) {
    const CAlmxField* genre = genres_.At(index);
    if (!genre) return false;
    if (prompter_.AskYesNo(genre->name +
                           " のスケジュール全ての色をジャンルで指定した色に統一しますか？") !=
        Answer::Yes) {
        return false;
    }
    ApplyGenreColour(genres_, index, genre->colour, true, records_);
    return true;
}

bool ApplyGenreFile(std::string_view path, SettingsStore& settings,
                    const std::filesystem::path& programFolder, CAlmxFieldArray& defaultList,
                    Prompter& prompter) {
    settings.SetString("Field", "File", path);
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(std::filesystem::path(path), error)) {
        return false;
    }
    DefaultGenreLoad load = LoadDefaultGenreList(settings, programFolder);
    if (!load.error.empty()) {
        prompter.ShowMessage(load.error, MessageKind::Error);
        return false;
    }
    defaultList = std::move(load.genres);
    return true;
}

}  // namespace almx
