#include "document/ftp_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/archive_reader.h"
#include "base/file_io.h"
#include "text/encoding.h"
#include "text/sjis_chars.h"

namespace almx {

namespace {

constexpr std::uint8_t kVersion = 100;
constexpr std::uint8_t kFlagTls = 1;
constexpr std::uint8_t kFlagAskPassword = 2;
constexpr char kKey[] = "73058241966183527";
constexpr std::size_t kKeyLength = sizeof kKey - 1;

char Rotate(char c, int shift) {
    auto rotate = [&](char first, int size) {
        return static_cast<char>(first + ((c - first + shift) % size + size) % size);
    };
    if (c >= '0' && c <= '9') return rotate('0', 10);
    if (c >= 'A' && c <= 'Z') return rotate('A', 26);
    if (c >= 'a' && c <= 'z') return rotate('a', 26);
    return c;
}

std::string Apply(std::string_view sjis, int direction) {
    std::string out(sjis);
    std::size_t position = 0;
    for (std::size_t i = 0; i < out.size(); ++i, ++position) {
        if (text::IsSjisLeadByte(static_cast<unsigned char>(out[i])) && i + 1 < out.size()) {
            ++i;  // both bytes kept, one position
            continue;
        }
        out[i] = Rotate(out[i], direction * (kKey[position % kKeyLength] - '0'));
    }
    return out;
}

std::string ReadString(archive::Reader& in) {
    std::uint32_t length = in.U8();
    if (length == 0xFF) {
        length = in.U16();
        if (length == 0xFFFF) length = in.U32();
    }
    // Bytes() refuses a length past the end, so nothing is allocated from the length alone.
    return std::string(in.Bytes(length));
}

void WriteString(std::string& out, std::string_view bytes) {
    const std::size_t n = bytes.size();
    if (n < 0xFF) {
        out.push_back(static_cast<char>(n));
    } else if (n < 0xFFFF) {
        out.push_back('\xFF');
        out.push_back(static_cast<char>(n & 0xFF));
        out.push_back(static_cast<char>(n >> 8));
    } else {
        out.append("\xFF\xFF\xFF");
        for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(n >> shift));
    }
    out.append(bytes);
}

std::optional<std::string> Decode(std::string_view sjis) {
    text::Utf8Decoding decoded = text::ShiftJisToUtf8(sjis);
    if (!decoded.Complete()) return std::nullopt;
    return std::move(decoded.text);
}

}  // namespace

std::string FtpSettingsPath(const std::string& schedulePath) {
    std::filesystem::path path(schedulePath);
    path.replace_extension(kFtpSettingsExtension);
    return path.string();
}

std::string ScrambleFtpPassword(std::string_view sjis) {
    return Apply(sjis, 1);
}
std::string UnscrambleFtpPassword(std::string_view sjis) {
    return Apply(sjis, -1);
}

bool HasControlCharacter(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return true;
    }
    return false;
}

std::optional<FtpSettings> ParseFtpSettings(std::string_view bytes) {
    archive::Reader in(bytes);
    FtpSettings settings;
    try {
        in.U8();  // the version is not looked at
        std::string fields[4];
        for (std::string& field : fields) field = ReadString(in);
        const std::uint8_t passive = in.U8();
        std::uint8_t flags = 0;
        if (in.Left() > 0) flags = in.U8();
        std::optional<std::string> host = Decode(fields[0]);
        std::optional<std::string> user = Decode(fields[1]);
        std::optional<std::string> password = Decode(UnscrambleFtpPassword(fields[2]));
        std::optional<std::string> folder = Decode(fields[3]);
        if (!host || !user || !password || !folder) return std::nullopt;
        settings.host = std::move(*host);
        settings.user = std::move(*user);
        settings.password = std::move(*password);
        settings.folder = std::move(*folder);
        settings.passive = passive != 0;
        settings.tls = (flags & kFlagTls) != 0;
        settings.askPassword = (flags & kFlagAskPassword) != 0;
        if (settings.askPassword) settings.password.clear();
    } catch (const archive::Failure&) {
        return std::nullopt;
    }
    return settings;
}

std::string SerializeFtpSettings(const FtpSettings& settings) {
    std::string out;
    out.push_back(static_cast<char>(kVersion));
    WriteString(out, text::ToShiftJis(settings.host));
    WriteString(out, text::ToShiftJis(settings.user));
    WriteString(out, settings.askPassword
                         ? std::string()
                         : ScrambleFtpPassword(text::ToShiftJis(settings.password)));
    WriteString(out, text::ToShiftJis(settings.folder));
    out.push_back(settings.passive ? 1 : 0);
    std::uint8_t flags = 0;
    if (settings.tls) flags |= kFlagTls;
    if (settings.askPassword) flags |= kFlagAskPassword;
    out.push_back(static_cast<char>(flags));
    return out;
}

FtpSettingsLoad LoadFtpSettings(const std::string& path, FtpSettings& settings) {
    FileBytes file = ReadFileBytes(path);
    if (file.status == ReadStatus::CannotOpen || file.bytes.empty()) {
        return FtpSettingsLoad::Missing;
    }
    if (file.status != ReadStatus::Complete) return FtpSettingsLoad::Malformed;
    std::optional<FtpSettings> read = ParseFtpSettings(file.bytes);
    if (!read) return FtpSettingsLoad::Malformed;
    settings = std::move(*read);
    return FtpSettingsLoad::Loaded;
}

bool SaveFtpSettings(const std::string& path, const FtpSettings& settings) {
    const std::string bytes = SerializeFtpSettings(settings);
    // mkstemp makes the file with mode 0600 from the start: the password is never readable by
    // others, not even for a moment.
    std::string temp = path + ".XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    temp.assign(name.data());
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            ok = errno == EINTR;
            continue;
        }
        done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace almx
