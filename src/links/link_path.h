#pragma once
// The link of a record as a path: what kind of text it is, where it points, how a chosen file
// is stored (relative to the schedule file's folder when possible) and the name a new link
// file gets. Paths are Linux paths; links written on Windows ("C:\...", "\\server\...") are
// kept as they are and never resolve to a file here.

#include <string>
#include <string_view>
#include <vector>

namespace almx {

class SettingsStore;

// The link settings: "System"/"AbsolutePath", "System"/"LinkExt", "LinkFile"/"NewDirMode" and
// "LinkFile"/"NewDir".
struct LinkSettings {
    bool absolutePath = false;
    std::string linkExt = "*.TXT";
    int newDirMode = 0;  // 0 the document folder, 1 the program's folder, 2 newDir
    std::string newDir;

    static LinkSettings Load(const SettingsStore& settings);
    // The three folder modes as the options dialogs name them.
    static const std::vector<std::string>& FolderModeNames();
    void Store(SettingsStore& settings) const;  // the options dialog's two values
};

// Any text holding "://".
bool IsUrl(std::string_view link);
// "X:\...", "X:/..." or "\\..." : a link written on Windows, kept but never a file here.
bool IsWindowsLink(std::string_view link);
// A link to be taken relative to the schedule file's folder: not empty, no address, no "/" at
// its start and no Windows form.
bool IsRelativeLink(std::string_view link);

// The schedule file's folder with its final "/"; empty for a document never saved.
std::string DocumentFolder(std::string_view documentPath);

struct ResolvedLink {
    std::string path;
    // A relative link of a document that has no path yet: it points nowhere.
    bool needsSavedDocument = false;
};
// The path to use for file access. A "\" in a relative link (older files) is a separator.
ResolvedLink ResolveLink(std::string_view link, std::string_view documentPath);

// The path of target relative to the folder of the document path: "notes/x.txt",
// "../other/x.txt". Folder names compare exactly: Linux names differ by letter case.
std::string RelativePath(std::string_view documentPath, std::string_view target);

// What a file chosen with Browse is stored as: relative to the document's folder unless
// "AbsolutePath" is set, the document has no path, or either path is not absolute.
std::string StoredLink(std::string_view chosen, std::string_view documentPath,
                       const LinkSettings& settings);

// The schedule text as a file name: no "/", "\", "*", "<", ">", "?", "|" and no control
// characters, ":" as a space, ".txt" appended; in the folder that "NewDirMode" chooses.
std::string DefaultLinkName(std::string_view title, const LinkSettings& settings,
                            std::string_view documentPath, std::string_view programFolder);

// Browse's first folder: the current link's folder, else "NewDir", else the document folder.
std::string BrowseStartFolder(std::string_view link, std::string_view documentPath,
                              const LinkSettings& settings);

// The chooser's two filter entries as label and pattern.
struct LinkChooserFilter {
    std::string label;
    std::string pattern;
};
LinkChooserFilter LinkFilter(const LinkSettings& settings);
inline constexpr const char* kAllFilesLabel = " 全てのﾌｧｲﾙ(*.*) ";
inline constexpr const char* kLinkChooserTitle = "ﾘﾝｸﾌｧｲﾙ名の入力";

}  // namespace almx
