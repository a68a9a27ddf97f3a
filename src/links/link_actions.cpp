#include "links/link_actions.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "base/prompter.h"
#include "core/record.h"
#include "core/text_entry_check.h"
#include "links/file_launcher.h"

namespace almx {

bool CreateLinkFile(const std::string& path, std::string_view title) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return false;
    std::string text(title);
    text += "\n\n";
    std::string_view rest = text;
    bool ok = true;
    while (!rest.empty()) {
        const ssize_t written = ::write(fd, rest.data(), rest.size());
        if (written <= 0) {
            ok = false;
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok) ::unlink(path.c_str());
    return ok;
}

namespace {

bool StartsWithSlash(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return !b.empty() && std::filesystem::equivalent(a, b, error);
}

}  // namespace

std::optional<std::string> LinkPathForUse(Prompter& prompter, std::string_view link,
                                          std::string_view documentPath) {
    ResolvedLink resolved = ResolveLink(link, documentPath);
    if (resolved.needsSavedDocument) {
        prompter.ShowMessage(link_msg::kNeedsSave, MessageKind::Warning);
        return std::nullopt;
    }
    return std::move(resolved.path);
}

bool TrashLinkedFile(FileTrash* trash, Prompter& prompter, const std::string& path,
                     const std::string& documentPath) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    // Only a file goes to the trash: a link naming a folder ("..", someone else's file) must
    // not take the folder with it, nor the schedule file itself.
    const bool file = fs::is_regular_file(status) || fs::is_symlink(status);
    if (IsWindowsLink(path) || !file || IsSameFile(path, documentPath)) {
        prompter.ShowMessage(link_msg::kNoFile, MessageKind::Warning);
        return false;
    }
    const bool moved = trash != nullptr && trash->MoveToTrash(path);
    if (moved && !fs::exists(fs::symlink_status(path, error))) return true;
    prompter.ShowMessage(link_msg::kTrashFailedPrefix + path + link_msg::kTrashFailedSuffix,
                         MessageKind::Error);
    return false;
}

bool DeleteLinkedFile(FileTrash* trash, Prompter& prompter, std::string_view link,
                      const std::string& documentPath) {
    const std::optional<std::string> path = LinkPathForUse(prompter, link, documentPath);
    return path && TrashLinkedFile(trash, prompter, *path, documentPath);
}

bool CanReadFile(const std::string& path) {
    // A folder counts: the desktop opens it in its file manager.
    std::error_code error;
    return std::filesystem::exists(path, error) && ::access(path.c_str(), R_OK) == 0;
}

LinkEditor::LinkEditor(const LinkServices& services, std::string documentPath, std::string title,
                       std::string link)
    : services_(services),
      documentPath_(std::move(documentPath)),
      title_(std::move(title)),
      link_(std::move(link)) {}

LinkSettings LinkEditor::Settings() const {
    return LinkSettings::Load(services_.settings);
}

std::string LinkEditor::BrowseFolder() const {
    return BrowseStartFolder(link_, documentPath_, Settings());
}

void LinkEditor::TakeChosenFile(const std::string& chosen) {
    if (chosen.empty()) return;
    link_ = StoredLink(chosen, documentPath_, Settings());
}

std::optional<std::string> LinkEditor::UsablePath() {
    if (link_.empty()) {
        services_.prompter.ShowMessage(link_msg::kNoLink, MessageKind::Warning);
        return std::nullopt;
    }
    return LinkPathForUse(services_.prompter, link_, documentPath_);
}

void LinkEditor::Open() {
    const std::optional<std::string> path = UsablePath();
    if (!path) return;
    if (!IsUrl(*path) && !CanReadFile(*path)) {
        services_.prompter.ShowMessage(link_msg::kNoFile, MessageKind::Warning);
        return;
    }
    services_.launcher.Open(*path, "");
}

void LinkEditor::Delete() {
    const std::optional<std::string> path = UsablePath();
    if (!path) return;
    if (IsUrl(*path)) {
        if (services_.prompter.AskYesNo(link_msg::kDeleteUrl) == Answer::Yes) link_.clear();
        return;
    }
    if (TrashLinkedFile(&services_.trash, services_.prompter, *path, documentPath_)) link_.clear();
}

void LinkEditor::New() {
    const LinkSettings settings = Settings();
    const std::string initial =
        DefaultLinkName(title_, settings, documentPath_, services_.programFolder);
    const std::optional<std::string> entered =
        services_.prompter.AskText(link_msg::kNewName, initial);
    if (!entered || entered->empty()) return;
    const std::optional<std::string> usable =
        LinkPathForUse(services_.prompter, *entered, documentPath_);
    if (!usable) return;
    const std::string& path = *usable;
    std::error_code error;
    // Only a full Linux path makes a text file here: not a Windows name, not a folder.
    if (!StartsWithSlash(path) || std::filesystem::is_directory(path, error)) {
        services_.prompter.ShowMessage(link_msg::kCannotCreate, MessageKind::Error);
        return;
    }
    if (CanReadFile(path)) {
        services_.prompter.ShowMessage(link_msg::kExists, MessageKind::Information);
    } else if (!CreateLinkFile(path, title_)) {
        services_.prompter.ShowMessage(link_msg::kCannotCreate, MessageKind::Error);
        return;
    }
    // Stored as Browse stores a choice, so that the file moves with the schedule file.
    link_ = StoredLink(*entered, documentPath_, settings);
    services_.launcher.Open(path, "");
}

bool OpenRecordLink(const LinkServices& services, const std::string& documentPath,
                    CAlmxData& record, const LinkPrompt& askLink) {
    Prompter& prompter = services.prompter;
    bool changed = false;
    if (record.linkFile.empty()) {
        const LinkSettings settings = LinkSettings::Load(services.settings);
        const std::optional<std::string> entered =
            askLink(DefaultLinkName(record.title, settings, documentPath, services.programFolder));
        if (!entered || entered->empty()) return false;
        if (!CheckRepresentable(prompter, {{entry_label::kLinkFile, *entered}})) return false;
        record.linkFile = StoredLink(*entered, documentPath, settings);
        changed = true;
    }
    const std::optional<std::string> usable =
        LinkPathForUse(prompter, record.linkFile, documentPath);
    if (!usable) return changed;
    const std::string& path = *usable;
    // A Windows path names no file here, and creating one under that name would be wrong.
    if (IsWindowsLink(path)) {
        prompter.ShowMessage(link_msg::kNoFile, MessageKind::Warning);
        return changed;
    }
    if (!IsUrl(path) && !CanReadFile(path)) {
        if (prompter.AskYesNo(link_msg::kAskCreate) != Answer::Yes) return changed;
        if (!CreateLinkFile(path, record.title)) {
            prompter.ShowMessage(link_msg::kCannotCreate, MessageKind::Error);
            return changed;
        }
    }
    LaunchFile(services.launcher, prompter, path);
    return changed;
}

}  // namespace almx
