#include "links/link_path.h"

#include <algorithm>

#include "base/settings_store.h"

namespace almx {

namespace {

bool StartsWith(std::string_view text, char c) {
    return !text.empty() && text.front() == c;
}

// Up to and including the last "/"; empty when there is none.
std::string_view FolderPart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::string_view NamePart(std::string_view path) {
    return path.substr(FolderPart(path).size());
}

std::string WithSlashes(std::string_view link) {
    std::string out(link);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::string WithFinalSlash(std::string_view folder) {
    std::string out(folder);
    if (!out.empty() && out.back() != '/') out += '/';
    return out;
}

}  // namespace

LinkSettings LinkSettings::Load(const SettingsStore& settings) {
    LinkSettings link;
    link.absolutePath = settings.GetInt("System", "AbsolutePath", 0) != 0;
    link.linkExt = settings.GetString("System", "LinkExt", "*.TXT");
    link.newDirMode = settings.GetInt("LinkFile", "NewDirMode", 0);
    if (link.newDirMode < 0 || link.newDirMode > 2) link.newDirMode = 0;
    link.newDir = settings.GetString("LinkFile", "NewDir", "");
    return link;
}

const std::vector<std::string>& LinkSettings::FolderModeNames() {
    static const std::vector<std::string> names{"データがあるフォルダ", "インストールフォルダ",
                                                "参照フォルダ"};
    return names;
}

void LinkSettings::Store(SettingsStore& settings) const {
    settings.SetInt("LinkFile", "NewDirMode", newDirMode);
    settings.SetString("LinkFile", "NewDir", newDir);
}

bool IsUrl(std::string_view link) {
    return link.find("://") != std::string_view::npos;
}

bool IsWindowsLink(std::string_view link) {
    if (IsUrl(link)) return false;
    if (StartsWith(link, '\\')) return true;
    // A drive: "C:", "C:\...", "C:/...". Any other ":" is part of a Linux name ("12:00.txt").
    const bool letter = link.size() >= 2 &&
                        ((link[0] >= 'A' && link[0] <= 'Z') || (link[0] >= 'a' && link[0] <= 'z'));
    return letter && link[1] == ':' && (link.size() == 2 || link[2] == '\\' || link[2] == '/');
}

bool IsRelativeLink(std::string_view link) {
    return !link.empty() && !IsUrl(link) && !StartsWith(link, '/') && !IsWindowsLink(link);
}

std::string DocumentFolder(std::string_view documentPath) {
    return std::string(FolderPart(documentPath));
}

ResolvedLink ResolveLink(std::string_view link, std::string_view documentPath) {
    if (!IsRelativeLink(link)) return {std::string(link), false};
    if (documentPath.empty()) return {WithSlashes(link), true};
    return {DocumentFolder(documentPath) + WithSlashes(link), false};
}

std::string RelativePath(std::string_view documentPath, std::string_view target) {
    if (documentPath.size() < 2 || target.size() < 2 || documentPath.front() != target.front()) {
        return std::string(target);
    }
    std::string_view from = FolderPart(documentPath);
    std::string_view to = FolderPart(target);
    const std::string_view name = NamePart(target);
    if (from == to) return std::string(name);
    while (!from.empty() && !to.empty()) {
        const std::size_t fromEnd = from.find('/');
        const std::size_t toEnd = to.find('/');
        if (from.substr(0, fromEnd) != to.substr(0, toEnd)) break;
        from.remove_prefix(fromEnd + 1);
        to.remove_prefix(toEnd + 1);
    }
    std::string out;
    for (char c : from) {
        if (c == '/') out += "../";
    }
    out += to;
    out += name;
    return out;
}

std::string StoredLink(std::string_view chosen, std::string_view documentPath,
                       const LinkSettings& settings) {
    if (settings.absolutePath || documentPath.empty() || !StartsWith(chosen, '/') ||
        !StartsWith(documentPath, '/')) {
        return std::string(chosen);
    }
    return RelativePath(documentPath, chosen);
}

std::string DefaultLinkName(std::string_view title, const LinkSettings& settings,
                            std::string_view documentPath, std::string_view programFolder) {
    // Texts are UTF-8 in memory, whose multi-byte characters hold no ASCII bytes: dropping
    // bytes never cuts a character.
    std::string name;
    for (char c : title) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) continue;
        switch (c) {
            case '*':
            case '/':
            case '<':
            case '>':
            case '?':
            case '\\':
            case '|':
                continue;
            case ':':
                name += ' ';
                break;
            default:
                name += c;
        }
    }
    // A file name holds at most 255 bytes: cut the text at a character boundary.
    constexpr std::size_t kMaxStem = 255 - 4;
    if (name.size() > kMaxStem) {
        std::size_t cut = kMaxStem;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    name += ".txt";
    switch (settings.newDirMode) {
        case 1:
            return WithFinalSlash(programFolder) + name;
        case 2:
            return WithFinalSlash(settings.newDir) + name;
        default:
            return DocumentFolder(documentPath) + name;
    }
}

std::string BrowseStartFolder(std::string_view link, std::string_view documentPath,
                              const LinkSettings& settings) {
    if (!link.empty()) {
        const ResolvedLink resolved = ResolveLink(link, documentPath);
        return std::string(FolderPart(resolved.path));
    }
    if (!settings.newDir.empty()) return settings.newDir;
    return DocumentFolder(documentPath);
}

LinkChooserFilter LinkFilter(const LinkSettings& settings) {
    const std::string label = settings.linkExt == "*.TXT" ? "ﾃｷｽﾄﾌｧｲﾙ(*.TXT)" : "ﾕｰｻﾞ設定ﾌｧｲﾙ";
    return {label, settings.linkExt};
}

}  // namespace almx
