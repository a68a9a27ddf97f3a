#pragma once
// The diary: one text file per day ("%04d%02d%02d.TXT") in the document's diary folder, and the
// index of the names found there. Texts are UTF-8 with "\n" line breaks in memory; on disk they
// are Shift_JIS with CR LF, except a file another editor wrote as UTF-8 or UTF-16, which is read
// and written back in its own form so that nothing of it is lost.

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"
#include "base/file_io.h"

namespace almx {

class FileLauncher;
class FileTrash;
class Prompter;

namespace diary_msg {
inline constexpr const char* kFolderNotCreated = "出力先フォルダが作成できません";
inline constexpr const char* kSaveFailed = "保存に失敗しました - ファイルが開けません";
inline constexpr const char* kEditorFileFailed =
    "書き込みに失敗しました。[オプション]-[日記]-[日記フォルダ]で書き込めるフォルダを設定して"
    "ください。";
inline constexpr const char* kAskRemove = "この日の日記を削除しますか？";
inline constexpr const char* kNotFound = "見つかりませんでした";
inline constexpr const char* kUnreadable =
    "この日の日記ファイルには読み込めないバイト(NULなど)が含まれています。内容を失わないよう、"
    "読み取り専用で表示します。";
inline constexpr const char* kChangedOnDisk =
    "この日の日記ファイルは読み込んだ後にほかのプログラムで変更されています。上書きしますか？";
inline constexpr const char* kTrashFailed =
    "日記ファイルをごみ箱に移せませんでした。ファイルはそのまま残っています。";
inline constexpr const char* kDiaryText = "日記";
}  // namespace diary_msg

// How a day's file is stored; a day is written back the way it was read.
enum class DiaryEncoding { ShiftJis, Utf8, Utf8Bom, Utf16LE, Utf16BE };

// What the disk said about a file when it was read, to see a change made since.
struct DiaryStamp {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    friend bool operator==(const DiaryStamp&, const DiaryStamp&) = default;
};

// A day as read from disk.
struct DiaryDay {
    std::string text;       // UTF-8, "\n" line breaks
    bool fromFile = false;  // false: the default date line of a day without a file
    bool readOnly = false;  // content the editor cannot hold without loss
    std::string fileName;   // the name on disk (its case kept), or the new name
    DiaryEncoding encoding = DiaryEncoding::ShiftJis;
    bool crlf = true;  // line ends to write back
    DiaryStamp stamp;
};

enum class DiarySave {
    Saved,
    Removed,  // empty text: the file went to the trash (or there was none)
    Refused,  // read-only day, text Shift_JIS cannot hold, or the user kept the disk's version
    Failed,   // the folder or the file could not be written; the old file is whole
};

class DiaryStore {
  public:
    DiaryStore(Prompter& prompter, FileTrash* trash, FileLauncher* launcher);

    // The folder used when the stored folder is empty or cannot be used here (the program's
    // data folder + "/diary").
    void SetDefaultFolder(std::string folder) { defaultFolder_ = std::move(folder); }
    // The schedule file's path, which a relative folder is relative to.
    void SetDocumentPath(std::string path) { documentPath_ = std::move(path); }
    // Stores the folder as the document keeps it and rebuilds the index.
    void SetFolder(std::string folder);
    const std::string& Folder() const { return folder_; }
    // The folder in use: "~/" expanded, relative to the schedule file, the default for an
    // empty folder or one in Windows form (told once).
    std::string FolderInUse();

    // The day's file: the existing one whatever the case of ".TXT", else the new name. Never
    // creates anything.
    std::string GetPath(const DateTime& date);
    DiaryDay Load(const DateTime& date);
    // Saves the text over the day as loaded. An empty text moves the file to the trash.
    DiarySave Save(const DateTime& date, const std::string& text, DiaryDay& loaded);
    // Asks, then moves the day's file to the trash and rescans. True when a file went.
    bool Remove(const DateTime& date);
    bool HasDiary(const DateTime& date) const;
    void Rescan();
    // Creates the day's file with the date line when it has none, opens it in the desktop's
    // editor and rescans. False when nothing could be opened.
    bool OpenInEditor(const DateTime& date);
    // Whether the file changed on disk since the day was loaded.
    bool ChangedOnDisk(const DiaryDay& loaded);

    // The diary list's names: "*.txt" files of exactly 12 characters, eight digits and a ".",
    // sorted. Scans the folder now; creates nothing.
    std::vector<std::string> ListFiles();

    // The names of the last Rescan, sorted, in the case found on disk.
    const std::vector<std::string>& Index() const { return index_; }
    // Bumped by each Rescan, so views know to repaint their marks.
    unsigned Generation() const { return generation_; }

    // A day's name and its default text.
    static std::string FileName(const DateTime& date);
    static std::string DefaultText(const DateTime& date);  // "%d月 %d日(%s) \n\n"
    // The date of a diary file name: the part before the first "." is eight digits naming a
    // real date between 1583 and 9998.
    static std::optional<DateTime> ParseName(std::string_view name);
    // Whether the scan lists the name: a ".txt" in any case and eight digits whose fields are
    // in range, the day not checked against its month (20240230.TXT is listed, no date).
    static bool IsIndexName(std::string_view name);
    // Decodes a file's bytes; readOnly when they cannot be shown without loss.
    static DiaryDay Decode(std::string_view bytes);
    // The bytes of a text in the day's form; nullopt when Shift_JIS cannot hold a character
    // (firstBad gets it).
    static std::optional<std::string> Encode(const std::string& text, const DiaryDay& form,
                                             std::string* firstBad = nullptr);

    // Told after every change of the index (scan, save, removal).
    void SetIndexListener(std::function<void()> listener) { indexListener_ = std::move(listener); }

    // Tests make writing fail part way through this.
    void SetFileWriter(FileWriter* writer) { writer_ = writer ? writer : &defaultWriter_; }

  private:
    bool EnsureFolder(const std::string& folder);
    void IndexChanged();
    static DiaryStamp StampOf(const std::string& path);

    Prompter& prompter_;
    FileTrash* trash_;
    FileLauncher* launcher_;
    std::string folder_;
    std::string defaultFolder_;
    std::string documentPath_;
    bool windowsFolderTold_ = false;
    std::vector<std::string> index_;
    std::set<int> days_;  // yyyymmdd of the indexed names that are real dates
    unsigned generation_ = 0;
    std::function<void()> indexListener_;
    FileWriter defaultWriter_;
    FileWriter* writer_ = &defaultWriter_;
};

// The default diary folder of a program without Qt's paths (the command line): the XDG data
// folder of the program + "/diary".
std::string DefaultDiaryFolder();

}  // namespace almx
