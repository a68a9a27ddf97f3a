#pragma once
// The one refusal of text the schedule file cannot hold, used wherever text enters the
// document: the entry dialogs, the password, the day picture, the link prompt, the diary
// folder, memo pages and pasted records. Nothing is turned into "?" behind the user's back.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace almx {

class CAlmxData;
class Prompter;

// A text field and the label the user knows it by.
struct LabelledText {
    const char* label;
    std::string_view text;
};

// The message shown for the first character the schedule file's encoding cannot hold.
std::string UnrepresentableMessage(std::string_view label, std::string_view character);

// False, after telling the user which field holds which character, when a text has a
// character Shift_JIS cannot hold.
bool CheckRepresentable(Prompter& prompter, std::initializer_list<LabelledText> fields);

// The texts of a record as its entry dialog names them (schedule or to-do).
bool CheckRecordRepresentable(Prompter& prompter, const CAlmxData& record);

// A memo page's title and text.
bool CheckMemoPageRepresentable(Prompter& prompter, std::string_view title, std::string_view text);

// What a save tells the user when it still met such characters (read from bytes the file
// could not decode) and wrote "?" for them.
std::string SavedAsQuestionMarksMessage(std::size_t count);

// Field labels used outside the entry dialogs.
namespace entry_label {
inline constexpr const char* kPassword = "パスワード";
inline constexpr const char* kDayPicture = "画像ファイル";
inline constexpr const char* kLinkFile = "リンクファイル";
inline constexpr const char* kDiaryFolder = "日記フォルダ";
inline constexpr const char* kMemoTitle = "メモのタイトル";
inline constexpr const char* kMemoText = "メモの内容";
}  // namespace entry_label

}  // namespace almx
