#include "reminders/diary_store.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/prompter.h"
#include "core/text_entry_check.h"
#include "links/file_launcher.h"
#include "text/encoding.h"

namespace fs = std::filesystem;

namespace almx {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool EndsWithTxt(std::string_view name) {
    return name.size() >= 4 && EqualsNoCase(name.substr(name.size() - 4), ".txt");
}

// A field of the name read as a decimal number; any non-digit makes it 0 (and so refused).
int Field(std::string_view digits) {
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

struct NameFields {
    int year = 0, month = 0, day = 0;
};

std::optional<NameFields> LooseFields(std::string_view name) {
    const std::string_view stem = name.substr(0, name.find('.'));
    if (stem.size() != 8) return std::nullopt;
    NameFields f{Field(stem.substr(0, 4)), Field(stem.substr(4, 2)), Field(stem.substr(6, 2))};
    if (f.year < 1583 || f.year > 9998 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31)
        return std::nullopt;
    return f;
}

bool IsWindowsForm(const std::string& folder) {
    const bool drive =
        folder.size() >= 2 &&
        ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z')) &&
        folder[1] == ':';
    return drive || folder.starts_with("\\\\");
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos;
         pos = hit + from.size())
        out.append(text, pos, hit - pos).append(to);
    out.append(text, pos);
    return out;
}

// Whether Decode would take the bytes for a Unicode form rather than Shift_JIS. A text whose
// Shift_JIS bytes would is written as UTF-8 instead (see Encode).
bool ReadsAsUnicode(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
        bytes.starts_with("\xEF\xBB\xBF"))
        return true;
    const bool high = std::any_of(bytes.begin(), bytes.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return high && text::IsValidUtf8(bytes);
}

std::string WindowsFolderMessage(const std::string& stored, const std::string& used) {
    return "日記フォルダ「" + stored + "」はWindowsの形式のため、このシステムでは使えません。" +
           "既定のフォルダ「" + used + "」を使います。";
}

}  // namespace

std::string DefaultDiaryFolder() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.local/share";
    } else {
        base = "/tmp";
    }
    return base + "/Korvanta/Almanix/diary";
}

DiaryStore::DiaryStore(Prompter& prompter, FileTrash* trash, FileLauncher* launcher)
    : prompter_(prompter), trash_(trash), launcher_(launcher) {}

void DiaryStore::SetFolder(std::string folder) {
    folder_ = std::move(folder);
    windowsFolderTold_ = false;
    Rescan();
}

std::string DiaryStore::FolderInUse() {
    const std::string fallback = defaultFolder_.empty() ? DefaultDiaryFolder() : defaultFolder_;
    std::string folder = folder_;
    if (folder.empty()) return fallback;
    if (IsWindowsForm(folder)) {
        if (!windowsFolderTold_) {
            windowsFolderTold_ = true;
            prompter_.ShowMessage(WindowsFolderMessage(folder, fallback), MessageKind::Warning);
        }
        return fallback;
    }
    if (folder == "~" || folder.starts_with("~/")) {
        const char* home = std::getenv("HOME");
        folder = std::string(home ? home : "") + folder.substr(1);
    }
    if (folder.front() != '/') {
        const fs::path base =
            documentPath_.empty() ? fs::path(fallback) : fs::path(documentPath_).parent_path();
        folder = (base / folder).string();
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string DiaryStore::FileName(const DateTime& date) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d%02d%02d.TXT", date.Year(), date.Month(), date.Day());
    return name;
}

std::string DiaryStore::DefaultText(const DateTime& date) {
    return std::to_string(date.Month()) + "月 " + std::to_string(date.Day()) + "日(" +
           kWeekdayNames[date.DayOfWeek()] + ") \n\n";
}

std::optional<DateTime> DiaryStore::ParseName(std::string_view name) {
    const auto f = LooseFields(name);
    if (!f || !DateExists(f->year, f->month, f->day)) return std::nullopt;
    return DateTime::FromDate(f->year, f->month, f->day);
}

bool DiaryStore::IsIndexName(std::string_view name) {
    return EndsWithTxt(name) && LooseFields(name).has_value();
}

std::string DiaryStore::GetPath(const DateTime& date) {
    const std::string folder = FolderInUse();
    const std::string name = FileName(date);
    const fs::path exact = fs::path(folder) / name;
    std::error_code error;
    if (fs::exists(exact, error)) return exact.string();
    // Another case of the same name (a file written on a case-sensitive system).
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string found = it->path().filename().string();
        if (EqualsNoCase(found, name)) return it->path().string();
    }
    return exact.string();
}

DiaryStamp DiaryStore::StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {true, static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

DiaryDay DiaryStore::Decode(std::string_view bytes) {
    DiaryDay day;
    std::string text;
    auto fromUtf16 = [&](const char* code, DiaryEncoding encoding) {
        day.encoding = encoding;
        const auto converted = text::Convert(bytes.substr(2), code, "UTF-8");
        if (!converted) {
            day.readOnly = true;
            text = text::FromShiftJis(std::string(bytes.substr(2)));
        } else {
            text = *converted;
            if (text.find('\0') != std::string::npos) day.readOnly = true;
        }
    };
    if (bytes.starts_with("\xFF\xFE")) {
        fromUtf16("UTF-16LE", DiaryEncoding::Utf16LE);
    } else if (bytes.starts_with("\xFE\xFF")) {
        fromUtf16("UTF-16BE", DiaryEncoding::Utf16BE);
    } else {
        const bool bom = bytes.starts_with("\xEF\xBB\xBF");
        const std::string_view body = bom ? bytes.substr(3) : bytes;
        const bool high = std::any_of(body.begin(), body.end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        if (bom || (high && text::IsValidUtf8(body))) {
            day.encoding = bom ? DiaryEncoding::Utf8Bom : DiaryEncoding::Utf8;
            text = std::string(body);
            if (!text::IsValidUtf8(body)) {
                day.readOnly = true;
                text = text::ShiftJisToUtf8(body).text;
            }
        } else {
            const text::Utf8Decoding decoded = text::ShiftJisToUtf8(body);
            text = decoded.text;
            if (!decoded.Complete()) day.readOnly = true;
        }
        if (body.find('\0') != std::string_view::npos) day.readOnly = true;
    }
    // NUL bytes would end the editor's text; shown as spaces, never saved.
    if (day.readOnly) std::replace(text.begin(), text.end(), '\0', ' ');
    day.crlf = !(text.find('\n') != std::string::npos && text.find("\r\n") == std::string::npos);
    day.text = ReplaceAll(std::move(text), "\r\n", "\n");
    day.fromFile = true;
    return day;
}

std::optional<std::string> DiaryStore::Encode(const std::string& text, const DiaryDay& form,
                                              std::string* firstBad) {
    const std::string lines = form.crlf ? ReplaceAll(text, "\n", "\r\n") : text;
    switch (form.encoding) {
        case DiaryEncoding::ShiftJis: {
            text::SjisEncoding encoded = text::Utf8ToShiftJis(lines);
            if (!encoded.Complete()) {
                if (firstBad) *firstBad = encoded.unrepresentable.front();
                return std::nullopt;
            }
            // The file carries no mark of its encoding and Decode takes valid UTF-8 as UTF-8, so
            // Shift_JIS bytes that happen to be valid UTF-8 ("ﾑⅠ" is D1 87 54) would come back
            // as other text. Such a day is written as UTF-8, which reads back exactly.
            if (ReadsAsUnicode(encoded.bytes)) return lines;
            return std::move(encoded.bytes);
        }
        case DiaryEncoding::Utf8:
            return lines;
        case DiaryEncoding::Utf8Bom:
            return "\xEF\xBB\xBF" + lines;
        case DiaryEncoding::Utf16LE:
        case DiaryEncoding::Utf16BE: {
            const bool le = form.encoding == DiaryEncoding::Utf16LE;
            const auto converted = text::Convert(lines, "UTF-8", le ? "UTF-16LE" : "UTF-16BE");
            if (!converted) return std::nullopt;
            return (le ? std::string("\xFF\xFE") : std::string("\xFE\xFF")) + *converted;
        }
    }
    return std::nullopt;
}

DiaryDay DiaryStore::Load(const DateTime& date) {
    const std::string path = GetPath(date);
    DiaryDay day;
    const DiaryStamp stamp = StampOf(path);
    if (!stamp.exists) {
        day.text = DefaultText(date);
        day.fileName = FileName(date);
    } else {
        const FileBytes file = ReadFileBytes(path);
        if (file.status == ReadStatus::Complete) {
            day = Decode(file.bytes);
        } else {
            // Present but unreadable: a save would replace what we could not read.
            day.text = text::ShiftJisToUtf8(file.bytes).text;
            day.fromFile = true;
            day.readOnly = true;
        }
        day.fileName = fs::path(path).filename().string();
        if (day.readOnly) prompter_.ShowMessage(diary_msg::kUnreadable, MessageKind::Warning);
    }
    day.stamp = stamp;
    return day;
}

bool DiaryStore::ChangedOnDisk(const DiaryDay& loaded) {
    const fs::path path = fs::path(FolderInUse()) / loaded.fileName;
    if (!loaded.fromFile) {
        // A day without a file: changed when a file for it appeared since.
        const auto date = ParseName(loaded.fileName);
        return date && StampOf(GetPath(*date)).exists;
    }
    return !(StampOf(path.string()) == loaded.stamp);
}

bool DiaryStore::EnsureFolder(const std::string& folder) {
    std::error_code error;
    if (fs::is_directory(folder, error)) return true;
    // Missing parents first, each made private to the user.
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = folder.find('/', pos + 1);
        partial = folder.substr(0, pos);
        if (partial.empty() || fs::is_directory(partial, error)) continue;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return fs::is_directory(folder, error);
}

DiarySave DiaryStore::Save(const DateTime& date, const std::string& text, DiaryDay& loaded) {
    if (loaded.readOnly) return DiarySave::Refused;
    if (ChangedOnDisk(loaded) && prompter_.AskYesNo(diary_msg::kChangedOnDisk) != Answer::Yes)
        return DiarySave::Refused;
    const std::string folder = FolderInUse();
    const std::string path =
        loaded.fromFile ? (fs::path(folder) / loaded.fileName).string() : GetPath(date);
    const std::string name = fs::path(path).filename().string();
    std::error_code error;
    if (text.empty()) {
        if (fs::exists(path, error)) {
            const bool gone = trash_ ? trash_->MoveToTrash(path) : fs::remove(path, error);
            if (!gone) {
                prompter_.ShowMessage(diary_msg::kTrashFailed, MessageKind::Error);
                return DiarySave::Failed;
            }
        }
        index_.erase(std::remove(index_.begin(), index_.end(), name), index_.end());
        days_.erase(date.Year() * 10000 + date.Month() * 100 + date.Day());
        IndexChanged();
        loaded.text.clear();
        loaded.fromFile = false;
        loaded.fileName = FileName(date);
        loaded.stamp = {};
        return DiarySave::Removed;
    }
    std::string bad;
    const auto bytes = Encode(text, loaded, &bad);
    if (!bytes) {
        prompter_.ShowMessage(UnrepresentableMessage(diary_msg::kDiaryText, bad),
                              MessageKind::Error);
        return DiarySave::Refused;
    }
    if (!EnsureFolder(folder)) {
        prompter_.ShowMessage(diary_msg::kFolderNotCreated, MessageKind::Error);
        return DiarySave::Failed;
    }
    const bool existed = fs::exists(path, error);
    if (!SaveReplacing(path, *bytes, *writer_)) {
        prompter_.ShowMessage(diary_msg::kSaveFailed, MessageKind::Error);
        return DiarySave::Failed;
    }
    if (!existed) ::chmod(path.c_str(), 0600);
    if (std::find(index_.begin(), index_.end(), name) == index_.end()) {
        index_.insert(std::upper_bound(index_.begin(), index_.end(), name), name);
        days_.insert(date.Year() * 10000 + date.Month() * 100 + date.Day());
        IndexChanged();
    }
    loaded.text = text;
    loaded.fromFile = true;
    loaded.fileName = name;
    loaded.stamp = StampOf(path);
    return DiarySave::Saved;
}

bool DiaryStore::Remove(const DateTime& date) {
    if (prompter_.AskYesNo(diary_msg::kAskRemove) != Answer::Yes) return false;
    const std::string path = GetPath(date);
    std::error_code error;
    bool gone = false;
    if (fs::exists(path, error)) {
        gone = trash_ ? trash_->MoveToTrash(path) : fs::remove(path, error);
        if (!gone) prompter_.ShowMessage(diary_msg::kTrashFailed, MessageKind::Error);
    }
    Rescan();
    return gone;
}

void DiaryStore::IndexChanged() {
    ++generation_;
    if (indexListener_) indexListener_();
}

bool DiaryStore::HasDiary(const DateTime& date) const {
    return days_.count(date.Year() * 10000 + date.Month() * 100 + date.Day()) != 0;
}

void DiaryStore::Rescan() {
    index_.clear();
    days_.clear();
    const std::string folder = FolderInUse();
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!IsIndexName(name)) continue;
        if (const auto date = ParseName(name); date && EqualsNoCase(name, FileName(*date)))
            days_.insert(date->Year() * 10000 + date->Month() * 100 + date->Day());
        index_.push_back(std::move(name));
    }
    std::sort(index_.begin(), index_.end());
    IndexChanged();
}

std::vector<std::string> DiaryStore::ListFiles() {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(FolderInUse(), error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.size() != 12 || name[8] != '.' || !EndsWithTxt(name)) continue;
        if (!std::all_of(name.begin(), name.begin() + 8,
                         [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool DiaryStore::OpenInEditor(const DateTime& date) {
    const std::string path = GetPath(date);
    if (!StampOf(path).exists) {
        const std::string folder = FolderInUse();
        if (!EnsureFolder(folder)) {
            prompter_.ShowMessage(diary_msg::kFolderNotCreated, MessageKind::Error);
            return false;
        }
        DiaryDay form;
        const auto bytes = Encode(DefaultText(date), form);
        if (!bytes || !SaveReplacing(path, *bytes, *writer_)) {
            prompter_.ShowMessage(diary_msg::kEditorFileFailed, MessageKind::Error);
            return false;
        }
        ::chmod(path.c_str(), 0600);
    }
    const int result = launcher_ ? LaunchFile(*launcher_, prompter_, path) : 0;
    Rescan();
    return result == 0;
}

}  // namespace almx
