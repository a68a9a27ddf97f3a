#include "base/ini_settings_store.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "base/file_io.h"

namespace almx {

namespace {

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r";
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

void AppendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x110000) {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The value of a hexadecimal digit, or -1.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A value as QSettings writes it: quoted parts keep their blanks, backslash escapes, and a
// ';' outside quotes starts a comment. List separators are kept as they are.
std::string UnescapeValue(std::string_view raw) {
    std::string out;
    bool quoted = false;
    std::size_t keepUntil = 0;  // blanks up to here are part of the value
    for (std::size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
            keepUntil = out.size();
            continue;
        }
        if (c == ';' && !quoted) break;
        if (c == '\\' && i + 1 < raw.size()) {
            char e = raw[++i];
            switch (e) {
                case 'a':
                    out += '\a';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'v':
                    out += '\v';
                    break;
                case 'x': {
                    unsigned long code = 0;
                    std::size_t digits = 0;
                    while (i + 1 < raw.size() && HexValue(raw[i + 1]) >= 0 && digits < 6) {
                        code = code * 16 + static_cast<unsigned long>(HexValue(raw[++i]));
                        ++digits;
                    }
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    if (e >= '0' && e <= '7') {
                        unsigned long code = static_cast<unsigned long>(e - '0');
                        while (i + 1 < raw.size() && raw[i + 1] >= '0' && raw[i + 1] <= '7') {
                            code = code * 8 + static_cast<unsigned long>(raw[++i] - '0');
                        }
                        AppendUtf8(out, code);
                    } else {
                        out += e;  // \\ \" \' \? and anything else: the character itself
                    }
            }
            keepUntil = out.size();
            continue;
        }
        out += c;
        if (quoted) keepUntil = out.size();
    }
    // Blanks after the last quoted or escaped character are not part of the value.
    std::size_t end = out.find_last_not_of(" \t");
    std::size_t length = end == std::string::npos ? 0 : end + 1;
    if (length < keepUntil) length = keepUntil;
    out.resize(length);
    return out;
}

}  // namespace

IniSettingsStore::IniSettingsStore(const std::string& path) {
    FileBytes file = ReadFileBytes(path);
    if (file.status != ReadStatus::Complete) return;
    Parse(file.bytes);
    loaded_ = true;
}

IniSettingsStore IniSettingsStore::FromText(std::string_view text) {
    IniSettingsStore store;
    store.Parse(text);
    store.loaded_ = true;
    return store;
}

std::string IniSettingsStore::DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config && *config) {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home ? home : "") + "/.config";
    }
    return folder + "/Korvanta/Almanix.ini";
}

void IniSettingsStore::Parse(std::string_view text) {
    std::string section = "General";
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            section = std::string(Trim(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        std::string key(Trim(line.substr(0, equals)));
        if (key.empty()) continue;
        values_.insert_or_assign(Key{section, key}, UnescapeValue(Trim(line.substr(equals + 1))));
    }
}

const std::string* IniSettingsStore::Find(std::string_view section, std::string_view key) const {
    auto it = values_.find(Key{std::string(section), std::string(key)});
    return it == values_.end() ? nullptr : &it->second;
}

int IniSettingsStore::GetInt(std::string_view section, std::string_view key,
                             int defaultValue) const {
    const std::string* text = Find(section, key);
    if (!text) return defaultValue;
    std::string_view value = Trim(*text);
    if (value == "true") return 1;
    if (value == "false") return 0;
    int result = 0;
    auto [ptr, error] = std::from_chars(value.data(), value.data() + value.size(), result);
    if (error != std::errc() || ptr != value.data() + value.size()) return defaultValue;
    return result;
}

std::string IniSettingsStore::GetString(std::string_view section, std::string_view key,
                                        std::string_view defaultValue) const {
    const std::string* text = Find(section, key);
    return text ? *text : std::string(defaultValue);
}

void IniSettingsStore::SetInt(std::string_view section, std::string_view key, int value) {
    SetString(section, key, std::to_string(value));
}

void IniSettingsStore::SetString(std::string_view section, std::string_view key,
                                 std::string_view value) {
    Key name{std::string(section), std::string(key)};
    changed_.insert(name);
    values_.insert_or_assign(std::move(name), std::string(value));
}

std::string IniSettingsStore::EscapeValue(std::string_view value) {
    std::string out;
    // A text beginning with "@" would read back as a typed value.
    if (!value.empty() && value.front() == '@') out += '@';
    bool needsQuotes = false;
    bool escapeNextIfHex = false;  // after "\x.." a hex digit would join the escape
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ';' || c == ',' || c == '=') needsQuotes = true;
        if (escapeNextIfHex && HexValue(c) >= 0) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%x", byte);
            out += escaped;
            continue;
        }
        escapeNextIfHex = false;
        switch (c) {
            case '\a':
                out += "\\a";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\v':
                out += "\\v";
                break;
            case '"':
            case '\\':
                out += '\\';
                out += c;
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%x", byte);
                    out += escaped;
                    escapeNextIfHex = true;
                } else {
                    out += c;  // UTF-8 as it is
                }
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) {
        out = '"' + out + '"';
    }
    return out;
}

bool IniSettingsStore::WriteSection(const std::string& path, std::string_view section) const {
    std::vector<Key> keys;
    for (const Key& key : changed_) {
        if (key.first == section) keys.push_back(key);
    }
    if (keys.empty()) return true;
    FileBytes file = ReadFileBytes(path);
    std::error_code error;
    // A file that is there but cannot be read is never replaced by the few keys known here.
    if (file.status != ReadStatus::Complete &&
        (file.status == ReadStatus::Partial || std::filesystem::exists(path, error))) {
        return false;
    }
    std::string text = file.status == ReadStatus::Complete ? std::move(file.bytes) : std::string();
    if (!text.empty() && text.back() != '\n') text += '\n';

    // Lines of the file, each with its line end.
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = text.find('\n', pos);
        lines.push_back(text.substr(pos, end - pos + 1));
        pos = end + 1;
    }
    auto headerName = [](std::string_view line) -> std::optional<std::string_view> {
        line = Trim(line.substr(0, line.find('\n')));
        if (line.empty() || line.front() != '[') return std::nullopt;
        const std::size_t close = line.find(']');
        return Trim(
            line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    };
    auto blank = [](std::string_view line) {
        return Trim(line.substr(0, line.find('\n'))).empty();
    };
    std::size_t begin = std::string::npos;
    for (std::size_t i = 0; i < lines.size() && begin == std::string::npos; ++i) {
        if (headerName(lines[i]) == section) begin = i + 1;
    }
    if (begin == std::string::npos) {
        if (!lines.empty() && !blank(lines.back())) lines.push_back("\n");
        lines.push_back("[" + std::string(section) + "]\n");
        begin = lines.size();
    }
    std::size_t end = begin;
    while (end < lines.size() && !headerName(lines[end])) ++end;
    // New keys go after the section's last line that is not blank.
    std::size_t insertAt = end;
    while (insertAt > begin && blank(lines[insertAt - 1])) --insertAt;
    for (const Key& key : keys) {
        const std::string line = key.second + "=" + EscapeValue(values_.at(key)) + "\n";
        bool replaced = false;
        for (std::size_t i = begin; i < end; ++i) {
            const std::size_t equals = lines[i].find('=');
            if (equals != std::string::npos &&
                Trim(std::string_view(lines[i]).substr(0, equals)) == key.second) {
                lines[i] = line;
                replaced = true;
            }
        }
        if (replaced) continue;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
        ++insertAt;
        ++end;
    }
    std::string out;
    for (const std::string& line : lines) out += line;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    FileWriter writer;
    return SaveReplacing(path, out, writer);
}

}  // namespace almx
