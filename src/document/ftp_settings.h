#pragma once
// The upload settings that belong to one schedule file: ".ftpset" beside it, a little-endian
// archive of a version byte, four strings and the passive byte, then one byte of our own
// (TLS, password not kept) that older readers never reach.

#include <optional>
#include <string>
#include <string_view>

namespace almx {

struct FtpSettings {
    std::string host;  // "name" or "name:port" ("[v6]:port")
    std::string user;
    std::string password;  // plain in memory; scrambled in the file
    std::string folder;
    bool passive = true;
    bool tls = false;          // explicit FTPS, control and data
    bool askPassword = false;  // "パスワードを保存しない": nothing kept, asked at each transfer

    bool IsEmpty() const {
        return host.empty() && user.empty() && password.empty() && folder.empty();
    }
    bool operator==(const FtpSettings&) const = default;
};

inline constexpr const char* kFtpSettingsExtension = ".ftpset";

// The schedule file's path with its extension replaced by ".ftpset".
std::string FtpSettingsPath(const std::string& schedulePath);

// nullopt when the bytes are no settings file (cut short, a length past the end, text that is
// not Shift_JIS). A file of the six older fields reads with TLS off.
std::optional<FtpSettings> ParseFtpSettings(std::string_view bytes);
// The file's bytes: version 100, the strings in Shift_JIS, the password scrambled (or empty
// when it is not to be kept), the passive byte and our flags byte.
std::string SerializeFtpSettings(const FtpSettings& settings);

enum class FtpSettingsLoad { Missing, Loaded, Malformed };
// Missing also for an empty file; settings untouched unless Loaded.
FtpSettingsLoad LoadFtpSettings(const std::string& path, FtpSettings& settings);
// Replaces the file whole, readable by the owner only (it holds the password). False when it
// could not be written; the old file then stays.
bool SaveFtpSettings(const std::string& path, const FtpSettings& settings);

// The stored password's rotation (17-digit key) and its inverse, on Shift_JIS bytes: a
// double-byte character counts as one position and is kept.
std::string ScrambleFtpPassword(std::string_view sjis);
std::string UnscrambleFtpPassword(std::string_view sjis);

// A control character (below 0x20, or 0x7F) would end an FTP command early and start another.
bool HasControlCharacter(std::string_view text);

}  // namespace almx
