#include "mail/mail_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_settings_store.h"
#include "document/password_scramble.h"
#include "text/encoding.h"
#include "text/sjis_chars.h"

namespace almx {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char Fold(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Case-insensitive for ASCII letters; the trail byte of a double-byte character is compared
// as it is, since it may look like a letter.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (text::IsSjisLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

// The first ']' that is not the trail byte of a double-byte character.
std::size_t FindClosingBracket(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (text::IsSjisLeadByte(static_cast<unsigned char>(s[i]))) {
            ++i;
            continue;
        }
        if (s[i] == ']') return i;
    }
    return std::string_view::npos;
}

// A section name without its blanks; a blank that is the trail byte of a double-byte character
// stays, or the name written back would take its closing bracket as that trail byte.
std::string_view TrimSectionName(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    std::size_t end = 0;  // past the last character that is not a blank
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (text::IsSjisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) {
            end = i + 2;
            ++i;
        } else if (!IsBlank(s[i])) {
            end = i + 1;
        }
    }
    return s.substr(0, end);
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

// Quotes a value whose blanks or quotes the reader would otherwise take away.
std::string QuoteForWrite(const std::string& v) {
    if (v.empty()) return v;
    const bool blanks = IsBlank(v.front()) || IsBlank(v.back());
    const bool quoted =
        v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
    return blanks || quoted ? "\"" + v + "\"" : v;
}

std::string ToSjisLine(std::string_view utf8) {
    std::string clean;
    clean.reserve(utf8.size());
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) continue;
        clean += c;
    }
    return text::Utf8ToShiftJis(clean).bytes;
}

std::string Format2(const char* pattern, int value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string AccountSection(int index) {
    return Format2("Set%02d", index);
}

int InRange(int value, int low, int high, int fallback) {
    return value < low || value > high ? fallback : value;
}

int Clamp(int value, int low, int high) {
    return value < low ? low : (value > high ? high : value);
}

}  // namespace

// ---- MailProfile

MailProfile MailProfile::Parse(std::string_view bytes) {
    MailProfile profile;
    std::vector<Line>* lines = &profile.preamble_;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view rawLine = bytes.substr(pos, end - pos);
        pos = end;
        if (pos < bytes.size()) {
            pos += (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') ? 2 : 1;
        }
        const std::string_view line = Trim(rawLine);
        if (!line.empty() && line.front() == '[') {
            const std::size_t close = FindClosingBracket(line.substr(1));
            if (close != std::string_view::npos) {
                profile.sections_.push_back(
                    Section{std::string(TrimSectionName(line.substr(1, close))), {}});
                lines = &profile.sections_.back().lines;
                continue;
            }
        }
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos && !Trim(line.substr(0, eq)).empty()) {
            Line entry;
            entry.isKey = true;
            entry.key = std::string(Trim(line.substr(0, eq)));
            entry.value = std::string(Unquote(Trim(line.substr(eq + 1))));
            lines->push_back(std::move(entry));
            continue;
        }
        Line raw;
        raw.raw = std::string(rawLine);
        lines->push_back(std::move(raw));
    }
    return profile;
}

std::string MailProfile::Serialize() const {
    std::string out;
    auto writeLines = [&out](const std::vector<Line>& lines) {
        for (const Line& line : lines) {
            out += line.isKey ? line.key + "=" + QuoteForWrite(line.value) : line.raw;
            out += "\r\n";
        }
    };
    writeLines(preamble_);
    for (const Section& section : sections_) {
        out += "[" + section.name + "]\r\n";
        writeLines(section.lines);
    }
    return out;
}

const MailProfile::Line* MailProfile::Find(std::string_view section, std::string_view key) const {
    const std::string sjisSection = text::ToShiftJis(section);
    const std::string sjisKey = text::ToShiftJis(key);
    for (const Section& s : sections_) {
        if (!SameName(s.name, sjisSection)) continue;
        for (const Line& line : s.lines) {
            if (line.isKey && SameName(line.key, sjisKey)) return &line;
        }
        return nullptr;  // only the first section of a name counts
    }
    return nullptr;
}

bool MailProfile::Has(std::string_view section, std::string_view key) const {
    return Find(section, key) != nullptr;
}

std::string MailProfile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    const Line* line = Find(section, key);
    if (line == nullptr) return std::string(defaultValue);
    return text::ShiftJisToUtf8(line->value).text;
}

int MailProfile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    const Line* line = Find(section, key);
    if (line == nullptr) return defaultValue;
    std::string_view v = Trim(line->value);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (ec != std::errc() || end == v.data()) return defaultValue;
    return value;
}

MailProfile::Section& MailProfile::SectionFor(std::string_view sjisName) {
    for (Section& s : sections_) {
        if (SameName(s.name, sjisName)) return s;
    }
    sections_.push_back(Section{std::string(sjisName), {}});
    return sections_.back();
}

void MailProfile::SetString(std::string_view section, std::string_view key,
                            std::string_view value) {
    Section& s = SectionFor(ToSjisLine(section));
    const std::string sjisKey = ToSjisLine(key);
    const std::string sjisValue = ToSjisLine(value);
    for (Line& line : s.lines) {
        if (line.isKey && SameName(line.key, sjisKey)) {
            line.value = sjisValue;
            return;
        }
    }
    // After the section's last key, so blank lines that part sections stay at its end.
    std::size_t at = 0;
    for (std::size_t i = 0; i < s.lines.size(); ++i) {
        if (s.lines[i].isKey) at = i + 1;
    }
    Line line;
    line.isKey = true;
    line.key = sjisKey;
    line.value = sjisValue;
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void MailProfile::SetInt(std::string_view section, std::string_view key, int value) {
    SetString(section, key, std::to_string(value));
}

std::vector<MailProfile::Entry> MailProfile::Keys() const {
    std::vector<Entry> keys;
    for (const Section& s : sections_) {
        for (const Line& line : s.lines) {
            if (line.isKey) keys.push_back(Entry{s.name, line.key, line.value});
        }
    }
    return keys;
}

// ---- files

std::string ExpandHome(std::string_view path) {
    if (path.size() >= 2 && path[0] == '~' && path[1] == '/') {
        const char* home = std::getenv("HOME");
        return std::string(home ? home : "") + std::string(path.substr(1));
    }
    return std::string(path);
}

TextFileStatus ReadSmallTextFile(const std::string& path, std::string& text) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return TextFileStatus::Missing;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return TextFileStatus::Missing;
    }
    if (static_cast<std::size_t>(st.st_size) > mail_limits::kMaxTextFile) {
        ::close(fd);
        return TextFileStatus::TooLarge;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return TextFileStatus::Missing;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > mail_limits::kMaxTextFile) {  // grew while we read it
            ::close(fd);
            return TextFileStatus::TooLarge;
        }
    }
    ::close(fd);
    if (text::IsValidUtf8(bytes)) {
        if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
        text = std::move(bytes);
    } else {
        text = text::ShiftJisToUtf8(bytes).text;
    }
    return TextFileStatus::Ok;
}

bool WritePrivateFile(const std::string& path, std::string_view bytes, FileWriter& writer) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::exists(folder, ec)) {
        if (!fs::create_directories(folder, ec)) return false;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    }
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());  // created with mode 0600
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0600) == 0 && writer.Write(fd, bytes) && writer.Sync(fd);
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

// ---- macros

std::string JapaneseEraYear(const DateTime& date) {
    struct Era {
        const char* name;
        int year, month, day;
    };
    static constexpr std::array<Era, 5> kEras{{{"令和", 2019, 5, 1},
                                               {"平成", 1989, 1, 8},
                                               {"昭和", 1926, 12, 25},
                                               {"大正", 1912, 7, 30},
                                               {"明治", 1868, 1, 25}}};
    const int y = date.Year();
    const int md = date.Month() * 100 + date.Day();
    for (const Era& era : kEras) {
        if (y > era.year || (y == era.year && md >= era.month * 100 + era.day)) {
            return std::string(era.name) + std::to_string(y - era.year + 1);
        }
    }
    return std::to_string(y);
}

std::string ExpandSignatureMacros(std::string_view text, const DateTime& now) {
    static constexpr const char* kEnglishShort[7] = {"Sun", "Mon", "Tue", "Wed",
                                                     "Thu", "Fri", "Sat"};
    static constexpr const char* kEnglishLong[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                    "Thursday", "Friday", "Saturday"};
    const int wd = now.DayOfWeek();
    const int hour = now.Hour();
    const bool pm = hour >= 12;
    const std::string h12 = std::to_string(hour % 12);
    const std::string h12two = Format2("%02d", hour % 12);
    const std::pair<const char*, std::string> macros[] = {
        // Longest first, so "$1min" is never read as something shorter.
        {"$121eh", std::string(pm ? "PM" : "AM") + h12},
        {"$122eh", std::string(pm ? "PM" : "AM") + h12two},
        {"$121jh", std::string(pm ? "午後" : "午前") + h12},
        {"$122jh", std::string(pm ? "午後" : "午前") + h12two},
        {"$1mon", std::to_string(now.Month())},
        {"$2mon", Format2("%02d", now.Month())},
        {"$1min", std::to_string(now.Minute())},
        {"$2min", Format2("%02d", now.Minute())},
        {"$241h", std::to_string(hour)},
        {"$242h", Format2("%02d", hour)},
        {"$4wy", Format2("%04d", now.Year())},
        {"$2wy", Format2("%02d", now.Year() % 100)},
        {"$3ew", kEnglishShort[wd]},
        {"$aew", kEnglishLong[wd]},
        {"$jy", JapaneseEraYear(now)},
        {"$1d", std::to_string(now.Day())},
        {"$2d", Format2("%02d", now.Day())},
        {"$jw", kWeekdayNames[wd]},
    };
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (text[i] == '$') {
            for (const auto& [token, value] : macros) {
                const std::string_view t(token);
                if (text.compare(i, t.size(), t) == 0) {
                    out += value;
                    i += t.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

// ---- MailSettings

MailSettings::MailSettings(std::string folder) : folder_(std::move(folder)) {
    ReadAll();
}

std::string MailSettings::DefaultFolder() {
    return std::filesystem::path(IniSettingsStore::DefaultPath()).parent_path().string();
}

std::string MailSettings::Path() const {
    return folder_.empty() ? std::string(kFileName) : folder_ + "/" + kFileName;
}

void MailSettings::Reload() {
    const FileBytes file = ReadFileBytes(Path());
    LoadBytes(file.status == ReadStatus::Complete ? std::string_view(file.bytes) : "");
}

void MailSettings::LoadBytes(std::string_view bytes) {
    profile_ = MailProfile::Parse(bytes);
    ReadAll();
}

MailAccount MailSettings::DefaultAccount(int number) const {
    MailAccount account;
    account.name = Format2("接続%02d", number);
    account.notDel = profile_.GetInt("System", "NotDel", 1);
    account.popBefore = profile_.GetInt("System", "RFirst", 0) != 0;
    account.mailKakunin = profile_.GetInt("System", "MailKakunin", 0);
    return account;
}

void MailSettings::ReadAll() {
    const MailProfile& p = profile_;
    const int count = Clamp(p.GetInt("Set", "SetCount", 1), 0, mail_limits::kMaxAccounts);
    accounts_.clear();
    accounts_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string s = AccountSection(i);
        MailAccount a = DefaultAccount(i);
        a.name = p.GetString("Set", s, a.name);
        a.pop = p.GetString(s, "Pop", "");
        a.smtp = p.GetString(s, "Smtp", "");
        a.address = p.GetString(s, "Adr", "");
        a.userId = p.GetString(s, "UserID", "");
        a.password = UnscramblePassword(p.GetString(s, "Pass", ""));
        a.userName = p.GetString(s, "Name", "");
        a.signe = p.GetInt(s, "Signe", 1);
        a.notDel = p.GetInt(s, "NotDel", a.notDel);
        a.messageId = p.GetString(s, "MessageID", "");
        a.retr = p.GetInt(s, "RETR", 1);
        a.round = p.GetInt(s, "Round", 1);
        a.apop = p.GetInt(s, "APOP", 0) != 0;
        a.smtpAuth = p.GetInt(s, "SmtpAuth", 0) != 0;
        a.popBefore = p.GetInt(s, "PopBefore", a.popBefore ? 1 : 0) != 0;
        a.mailKakunin = p.GetInt(s, "MailKakunin", a.mailKakunin);
        a.smtpPort = InRange(p.GetInt(s, "SmtpPortNo", 25), 1, 65535, 25);
        a.smtpSsl = InRange(p.GetInt(s, "SmtpSsl", 0), 0, 2, 0);
        a.popSsl = InRange(p.GetInt(s, "PopSsl", 0), 0, 2, 0);
        const int popDefault = a.popSsl == mail_ssl::kImplicit ? 995 : 110;
        a.popPort = InRange(p.GetInt(s, "PopPortNo", popDefault), 1, 65535, popDefault);
        accounts_.push_back(std::move(a));
    }
    current_ = p.GetInt("Mail", "SetNo", 0);
    if (current_ < 0 || current_ >= count) current_ = 0;

    std::string text;
    const bool localSigne = ReadSmallTextFile(folder_ + "/signe1.txt", text) == TextFileStatus::Ok;
    signatureDir_ = p.GetString("Signe", "Dir", localSigne ? "" : "Signe");
    const int signatures = Clamp(p.GetInt("Signe", "SetCount", 5), 0, mail_limits::kMaxSignatures);
    signatures_.clear();
    for (int n = 1; n <= signatures; ++n) {
        MailSignature sig;
        sig.name = p.GetString("Signe", Format2("Name%02d", n), Format2("署名%d", n));
        sig.file = p.GetString("Signe", Format2("File%02d", n), Format2("signe%d.txt", n));
        signatures_.push_back(std::move(sig));
    }
}

void MailSettings::SetCurrentIndex(int index) {
    current_ = index >= 0 && index < static_cast<int>(accounts_.size()) ? index : 0;
}

const MailAccount* MailSettings::Current() const {
    if (accounts_.empty()) return nullptr;
    const int i = current_ >= 0 && current_ < static_cast<int>(accounts_.size()) ? current_ : 0;
    return &accounts_[static_cast<std::size_t>(i)];
}

mail::MailServerConfig MailSettings::Sender() const {
    mail::MailServerConfig sender;
    sender.caFile = CaFile();
    sender.smailTimeMs = SmailTime();
    sender.manyAlert = ManyAlert();
    sender.lanDir = LanDir();
    const MailAccount* a = Current();
    if (a == nullptr) return sender;
    sender.accountName = a->name;
    sender.smtpServer = a->smtp;
    sender.smtpPort = a->smtpPort;
    sender.smtpSsl = a->smtpSsl;
    sender.smtpAuth = a->smtpAuth;
    sender.popBefore = a->popBefore;
    sender.popServer = a->pop;
    sender.popPort = a->popPort;
    sender.popSsl = a->popSsl;
    sender.apop = a->apop;
    sender.user = a->userId;
    sender.password = a->password;
    sender.fromAddress = a->address;
    sender.fromName = a->userName;
    return sender;
}

void MailSettings::StoreAccounts() {
    if (accounts_.size() > static_cast<std::size_t>(mail_limits::kMaxAccounts)) {
        accounts_.resize(mail_limits::kMaxAccounts);
    }
    MailProfile& p = profile_;
    SetCurrentIndex(current_);
    p.SetInt("Mail", "SetNo", current_);
    p.SetInt("Set", "SetCount", static_cast<int>(accounts_.size()));
    for (std::size_t i = 0; i < accounts_.size(); ++i) {
        const MailAccount& a = accounts_[i];
        const std::string s = AccountSection(static_cast<int>(i));
        p.SetString("Set", s, a.name);
        p.SetString(s, "Pop", a.pop);
        p.SetString(s, "Smtp", a.smtp);
        p.SetString(s, "Adr", a.address);
        p.SetString(s, "UserID", a.userId);
        p.SetString(s, "Pass", ScramblePassword(a.password));
        p.SetString(s, "Name", a.userName);
        p.SetInt(s, "Signe", a.signe);
        p.SetInt(s, "NotDel", a.notDel);
        p.SetString(s, "MessageID", a.messageId);
        p.SetInt(s, "RETR", a.retr);
        p.SetInt(s, "Round", a.round);
        p.SetInt(s, "APOP", a.apop ? 1 : 0);
        p.SetInt(s, "SmtpAuth", a.smtpAuth ? 1 : 0);
        p.SetInt(s, "PopBefore", a.popBefore ? 1 : 0);
        p.SetInt(s, "MailKakunin", a.mailKakunin);
        p.SetInt(s, "SmtpPortNo", InRange(a.smtpPort, 1, 65535, 25));
        p.SetInt(s, "SmtpSsl", InRange(a.smtpSsl, 0, 2, 0));
        p.SetInt(s, "PopSsl", InRange(a.popSsl, 0, 2, 0));
        p.SetInt(s, "PopPortNo", InRange(a.popPort, 1, 65535, 110));
    }
}

std::string MailSettings::AccountBytes() {
    StoreAccounts();
    return profile_.Serialize();
}

bool MailSettings::Save() {
    return WritePrivateFile(Path(), profile_.Serialize(), *writer_);
}

bool MailSettings::SaveAccounts() {
    StoreAccounts();
    return Save();
}

bool MailSettings::SaveSignatures() {
    if (signatures_.size() > static_cast<std::size_t>(mail_limits::kMaxSignatures)) {
        signatures_.resize(mail_limits::kMaxSignatures);
    }
    profile_.SetString("Signe", "Dir", signatureDir_);
    profile_.SetInt("Signe", "SetCount", static_cast<int>(signatures_.size()));
    for (std::size_t i = 0; i < signatures_.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        profile_.SetString("Signe", Format2("Name%02d", n), signatures_[i].name);
        profile_.SetString("Signe", Format2("File%02d", n), signatures_[i].file);
    }
    return Save();
}

bool MailSettings::ManyAlert() const {
    return profile_.GetInt("System", "ManyAlert", 0) != 0;
}

int MailSettings::SmailTime() const {
    // A wait after QUIT longer than a few seconds helps nobody and holds the connection.
    return Clamp(profile_.GetInt("System", "SmailTime", 200), 0, 5000);
}

std::string MailSettings::LanDir() const {
    return profile_.GetString("Lan", "Dir", "");
}

std::string MailSettings::AddressBookSetting() const {
    return profile_.GetString("AdrCategory", "System", "");
}

std::string MailSettings::CaFile() const {
    return profile_.GetString("System", "CaFile", "");
}

namespace {

// A path written on Windows ("C:\..." or holding a backslash) means nothing here.
bool IsWindowsPath(std::string_view path) {
    if (path.find('\\') != std::string_view::npos) return true;
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::string MailSettings::SignaturePath(int number) const {
    if (number < 1 || number > static_cast<int>(signatures_.size())) return {};
    std::string file = signatures_[static_cast<std::size_t>(number - 1)].file;
    if (const std::size_t slash = file.find_last_of('\\'); slash != std::string::npos) {
        file.erase(0, slash + 1);
    }
    if (!file.empty() && (file[0] == '/' || file.rfind("~/", 0) == 0)) return ExpandHome(file);
    std::string dir = signatureDir_;
    if (IsWindowsPath(dir)) dir = "Signe";
    std::string base;
    if (dir.empty()) {
        base = folder_;
    } else if (dir[0] == '/' || dir.rfind("~/", 0) == 0) {
        base = ExpandHome(dir);
    } else {
        base = folder_ + "/" + dir;
    }
    if (base.empty()) return file;
    return base.back() == '/' ? base + file : base + "/" + file;
}

std::string MailSettings::SignatureText(int number, const Clock& clock) const {
    const std::string path = SignaturePath(number);
    if (path.empty()) return {};
    std::string text;
    if (ReadSmallTextFile(path, text) != TextFileStatus::Ok) return {};
    std::string joined;
    std::size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        if (!first) joined += "\r\n";
        joined.append(text, pos, end - pos);
        first = false;
        pos = end;
        if (pos < text.size()) {
            pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
        }
    }
    return ExpandSignatureMacros(joined, clock.Now());
}

}  // namespace almx
