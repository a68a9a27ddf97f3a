#pragma once
// CVeltaFtp: one upload through libcurl, run synchronously. One easy handle serves every file
// and the multi handle it runs in keeps the connection, so the whole upload is one connection
// and one login. The caller's progress callback runs at least every 100 ms: it may repaint and
// returns false to cancel.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/ftp_settings.h"

namespace almx {

namespace ftp_messages {
inline constexpr const char* kConnectError = "接続エラー";
inline constexpr const char* kTransferError = "ファイル転送エラー";
inline constexpr const char* kNothingToSend = "転送するファイルがありません";
inline constexpr const char* kConnecting = "接続中";
inline constexpr const char* kConnected = "接続完了";
inline constexpr const char* kTransferring = "転送中";
inline constexpr const char* kDisconnecting = "切断中";
// Details of our own, after the fixed text and ":".
inline constexpr const char* kBadHost = "ホスト名が正しくありません";
inline constexpr const char* kBadCharacters = "設定に使えない文字（制御文字）が含まれています";
inline constexpr const char* kBadRemoteName = "転送先のファイル名に使えない文字が含まれています";
inline constexpr const char* kCannotRead = "ファイルが読めません";
}  // namespace ftp_messages

// One file of the upload: where it is here, its name there, and whether it goes as text.
struct FtpFile {
    std::string localPath;
    std::string remoteName;
    bool text = true;
};

struct FtpEndpoint {
    std::string host;
    int port = 21;
};

// "name", "name:port", "[v6]", "[v6]:port" or a bare v6 address; nullopt when empty, when the
// port is not 1..65535, or when the host holds a character no host name or address has.
std::optional<FtpEndpoint> ParseFtpHost(std::string_view field);

// The name a local path is sent under: the part after the last "/".
std::string RemoteNameOf(std::string_view localPath);

// Text mode: libcurl sends each LF as CR LF, so lines ending in CR LF are handed over with
// LF alone. A CR that ends a piece is held (heldCr) until the next piece shows what follows;
// at the end of the file a held CR is sent as it is.
std::string ToLineFeedText(std::string_view piece, bool& heldCr);

// The URL of one remote file: every folder and the name percent-encoded, a folder starting
// with "/" kept absolute ("%2F"), a v6 address in brackets. Never holds user or password.
std::string FtpUrl(const FtpEndpoint& endpoint, std::string_view folder,
                   std::string_view remoteName);

// Time limits in seconds; the tests shorten them.
struct FtpLimits {
    long connect = 30;
    long reply = 60;
    long stall = 60;  // below 1 byte/s for this long
};

class CVeltaFtp {
  public:
    enum class Outcome { Running, Succeeded, Failed, Cancelled };
    // Called often while the upload runs; false cancels it.
    using Progress = std::function<bool()>;

    CVeltaFtp(FtpSettings settings, std::vector<FtpFile> files);
    CVeltaFtp(CVeltaFtp&&) noexcept;
    CVeltaFtp& operator=(CVeltaFtp&&) noexcept;
    ~CVeltaFtp();

    const FtpSettings& Settings() const { return settings_; }
    const std::vector<FtpFile>& Files() const { return files_; }

    // Certificate authorities to trust instead of the system's (a PEM file).
    void SetCaFile(std::string path) { caFile_ = std::move(path); }
    void SetLimits(FtpLimits limits) { limits_ = limits; }

    // Sends every file in order and returns the outcome. Settings that would be unsafe to
    // send, a bad host or a bad remote name fail before anything is opened.
    Outcome Run(const Progress& progress = {});

    Outcome Result() const { return outcome_; }
    // The fixed text, ":" and the detail, once failed.
    const std::string& Message() const { return message_; }
    // "接続中", "接続完了", "転送中", "切断中".
    const std::string& Status() const { return status_; }
    // The file being sent, or -1.
    int CurrentFile() const { return current_; }
    std::size_t FilesSent() const { return sent_; }

  private:
    struct Session;
    bool Checked();
    void Fail(bool connecting, std::string_view detail);

    FtpSettings settings_;
    std::vector<FtpFile> files_;
    std::string caFile_;
    FtpLimits limits_;
    Outcome outcome_ = Outcome::Running;
    std::string message_;
    std::string status_;
    int current_ = -1;
    std::size_t sent_ = 0;
};

}  // namespace almx
