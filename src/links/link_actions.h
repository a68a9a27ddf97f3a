#pragma once
// What the user does with a record's link: the link dialog's Open, Delete and New buttons, a
// file chosen with Browse, and the views' command that opens a record's link. Questions and
// messages go through the Prompter; files are opened by the FileLauncher.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "links/link_path.h"

namespace almx {

class CAlmxData;
class FileLauncher;
class FileTrash;
class Prompter;
class SettingsStore;

struct LinkServices {
    SettingsStore& settings;
    Prompter& prompter;
    FileLauncher& launcher;
    FileTrash& trash;
    std::string programFolder;
};

namespace link_msg {
inline constexpr const char* kNeedsSave = "リンクが相対パスです。ファイルを保存してください";
inline constexpr const char* kNoLink = "ファイルを設定してください";
inline constexpr const char* kNoFile = "ファイルがありません";
inline constexpr const char* kDeleteUrl = "URLを消去します";
inline constexpr const char* kNewName = "新規作成するテキストファイル名を入力してください";
inline constexpr const char* kExists = "既にファイルは存在します";
inline constexpr const char* kCannotCreate = "ファイルを作成できません";
inline constexpr const char* kAskCreate = "ファイルがありません。新規に作成しますか？";
// A file the trash did not take: prefix, path, suffix.
inline constexpr const char* kTrashFailedPrefix = "ファイル ";
inline constexpr const char* kTrashFailedSuffix =
    " をごみ箱に移動できませんでした。ファイルはそのまま残っています";
}  // namespace link_msg

// The link as a path for file access. A relative link of a document never saved names no
// file: the user is asked to save first, and nothing is returned.
std::optional<std::string> LinkPathForUse(Prompter& prompter, std::string_view link,
                                          std::string_view documentPath);

// Moves the file at the path to the trash, where the user can restore it: the one way a
// linked file is deleted. A path that names no file here (a Windows path, a folder, nothing)
// or the schedule file itself is refused with "ファイルがありません"; a trash that fails (or
// none) is reported. True when the file is gone.
bool TrashLinkedFile(FileTrash* trash, Prompter& prompter, const std::string& path,
                     const std::string& documentPath);

// Deleting a record's linked file: the link resolved as for any use, then trashed as above.
bool DeleteLinkedFile(FileTrash* trash, Prompter& prompter, std::string_view link,
                      const std::string& documentPath);

// A new link file holding the schedule text and two line ends. Never replaces or follows
// anything already at the path.
bool CreateLinkFile(const std::string& path, std::string_view title);
bool CanReadFile(const std::string& path);

// The link dialog of one record: its link text and the four buttons.
class LinkEditor {
  public:
    LinkEditor(const LinkServices& services, std::string documentPath, std::string title,
               std::string link);

    const std::string& Link() const { return link_; }
    void SetLink(std::string link) { link_ = std::move(link); }
    LinkSettings Settings() const;
    const std::string& DocumentPath() const { return documentPath_; }

    // Browse: where the chooser starts, and the chosen file stored as the link.
    std::string BrowseFolder() const;
    void TakeChosenFile(const std::string& chosen);

    void Open();
    void Delete();
    void New();

  private:
    // The link as a path; nothing (after telling the user) when it cannot be used.
    std::optional<std::string> UsablePath();

    LinkServices services_;
    std::string documentPath_;
    std::string title_;
    std::string link_;
};

// Shows the link prompt with its first text; nothing when cancelled.
using LinkPrompt = std::function<std::optional<std::string>(const std::string& initial)>;

// The views' "open linked file": asks for a link when the record has none, offers to create a
// missing file and launches it. True when the record's link was set (the document changed).
bool OpenRecordLink(const LinkServices& services, const std::string& documentPath,
                    CAlmxData& record, const LinkPrompt& askLink);

}  // namespace almx
