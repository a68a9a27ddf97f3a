#pragma once
// The genre dialog (ジャンル設定) without widgets: the list rows, add, modify, delete, move,
// hide or show, unify colours, and the genre-file dialog's write-back. Questions and refusals
// go through the prompter. When the dialog closes the caller refreshes all views and marks
// the document modified.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/genre.h"

namespace almx {

class CAlmxData;
class RecordList;
class Prompter;
class SettingsStore;

// Texts of the genre-file dialog (CFieldFileDlg).
inline constexpr const char* kGenreFilePrompt =
    "旧形式のジャンルファイルを読みこむ場合、以下にファイル名を指定してください。";
inline constexpr const char* kGenreFileFilter = "ｼﾞｬﾝﾙﾌｧｲﾙ(*.DAT)|*.DAT|全てのﾌｧｲﾙ(*.*)|*.*||";

class GenreListForm {
  public:
    GenreListForm(CAlmxFieldArray& genres, RecordList& records, Prompter& prompter)
        : genres_(genres), records_(records), prompter_(prompter) {}

    // The list rows: each genre's name, "[非表示]" in front of a hidden one.
    std::vector<std::string> Rows() const;

    // 追加: appends the edited new genre; returns its index.
    int Add(CAlmxField genre);

    // 修正: takes the edited name, shown flag and colour; a changed colour goes to the records
    // of the genre that still had the old colour.
    bool Modify(int index, const CAlmxField& edited);

    // 削除: the general genre is refused; any other is deleted after the question.
    bool Delete(int index);

    // ↑ and ↓: the general genre never moves and nothing moves onto it. Each returns the index
    // of the moved genre afterwards (unchanged when nothing moved).
    int MoveUp(int index);
    int MoveDown(int index);

    // 非表示 / 表示: the button's text for the genre, and the toggle.
    std::string HideButtonText(int index) const;
    bool ToggleShown(int index);

    // 色統一: after the question, every record of the genre gets its colour. Returns whether
    // the colours were applied.
    bool UnifyColours(int index);

  private:
    CAlmxFieldArray& genres_;
    RecordList& records_;
    Prompter& prompter_;
};

// OK of the genre-file dialog: stores the path in "Field"/"File" and, when the file exists,
// reloads the application's default list. A file that exists but cannot be read is reported
// and leaves the default list as it was. Returns whether the list was reloaded.
bool ApplyGenreFile(std::string_view path, SettingsStore& settings,
                    const std::filesystem::path& programFolder, CAlmxFieldArray& defaultList,
                    Prompter& prompter);

}  // namespace almx
