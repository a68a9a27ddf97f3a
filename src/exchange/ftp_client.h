#pragma once
// CVeltaFtp: one upload session as a state machine. It opens no socket: the transport feeds it
// what arrived (control bytes in any pieces, connections made, data sent, ticks of a clock)
// and carries out the actions it asks for (connect, send a command, start TLS, open the data
// connection, stream a file). The same machine runs on Qt sockets in the program and on
// plain sockets in almx, and on scripted servers in the tests.

#include <chrono>
#include <cstdint>
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
inline constexpr const char* kNoReply = "サーバーから応答がありません";
inline constexpr const char* kTimedOut = "時間切れ";
inline constexpr const char* kStalled = "データが送れません（時間切れ）";
inline constexpr const char* kBadReply = "サーバーの応答が正しくありません";
inline constexpr const char* kClosed = "サーバーが接続を切りました";
inline constexpr const char* kBadHost = "ホスト名が正しくありません";
inline constexpr const char* kBadCharacters = "設定に使えない文字（制御文字）が含まれています";
inline constexpr const char* kBadRemoteName = "転送先のファイル名に使えない文字が含まれています";
}  // namespace ftp_messages

using FtpClock = std::chrono::milliseconds;  // any monotonic origin

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

// "name", "name:port", "[v6]", "[v6]:port" or a bare v6 address; nullopt when empty or the
// port is not 1..65535.
std::optional<FtpEndpoint> ParseFtpHost(std::string_view field);

// The name a local path is sent under: the part after the last "/".
std::string RemoteNameOf(std::string_view localPath);

// Text mode on the wire: every line ends in CR LF. lastWasCr carries over between pieces.
std::string ToNetworkText(std::string_view piece, bool& lastWasCr);

// Whole replies out of the control connection's bytes, however they are cut: "ddd text" or
// the multi-line form "ddd-" ... "ddd text". A line past the limit, a reply of too many
// lines, or a first line without a code is malformed.
class FtpReplyReader {
  public:
    struct Reply {
        int code = 0;
        std::string text;  // the lines joined by "\n", CR removed
    };
    static constexpr std::size_t kMaxLine = 8192;
    static constexpr std::size_t kMaxLines = 200;

    // Appends the bytes; false once the stream is malformed (it stays so).
    bool Feed(std::string_view bytes);
    // The next complete reply, if any.
    std::optional<Reply> Next();
    bool Malformed() const { return malformed_; }

  private:
    bool TakeLine(std::string& line);
    std::string buffer_;
    std::size_t scanned_ = 0;
    std::vector<std::string> pending_;  // lines of a multi-line reply not yet ended
    int pendingCode_ = 0;
    std::vector<Reply> ready_;
    bool malformed_ = false;
};

class CVeltaFtp {
  public:
    enum class ActionKind {
        ConnectControl,  // host, port
        SendControl,     // bytes
        StartControlTls,
        ConnectData,   // port (on the control connection's peer), tls
        ListenData,    // active mode: listen beside the control connection, tls
        SendFileData,  // file: stream it, then close the data connection cleanly
        CloseData,
        CloseControl,
    };
    struct Action {
        ActionKind kind;
        std::string bytes;
        std::string host;
        int port = 0;
        bool tls = false;
        std::size_t file = 0;
    };
    enum class Outcome { Running, Succeeded, Failed, Cancelled };

    static constexpr FtpClock kConnectLimit = std::chrono::seconds(30);
    static constexpr FtpClock kReplyLimit = std::chrono::seconds(60);
    static constexpr FtpClock kStallWindow = std::chrono::seconds(60);

    CVeltaFtp(FtpSettings settings, std::vector<FtpFile> files);

    const FtpSettings& Settings() const { return settings_; }
    const std::vector<FtpFile>& Files() const { return files_; }

    // Events from the transport.
    void Start(FtpClock now);
    void ControlConnected(FtpClock now);
    void ControlBytes(std::string_view bytes, FtpClock now);
    void ControlTlsReady(FtpClock now);
    // The control connection ended or failed (detail: the reason, may be empty).
    void ControlClosed(std::string_view detail, FtpClock now);
    // Passive: connected; active: the server's connection was accepted.
    void DataConnected(FtpClock now);
    // Active mode: the listening address to announce.
    void DataListening(std::string_view address, int port, FtpClock now);
    // Bytes of the file written so far.
    void DataProgress(std::uint64_t sent, FtpClock now);
    // The whole file was written and the data connection closed cleanly.
    void DataDone(FtpClock now);
    void DataFailed(std::string_view detail, FtpClock now);
    void Tick(FtpClock now);
    void Cancel();

    // What the transport must do next, in order.
    std::vector<Action> TakeActions();

    Outcome Result() const { return outcome_; }
    bool Running() const { return outcome_ == Outcome::Running; }
    // The fixed text, ":" and the detail, once failed.
    const std::string& Message() const { return message_; }
    // "接続中", "接続完了", "転送中", "切断中".
    const std::string& Status() const { return status_; }
    // The file being sent, or -1.
    int CurrentFile() const { return current_; }
    std::size_t FilesSent() const { return sent_; }
    // When Tick must come at the latest; nullopt when no time limit runs.
    std::optional<FtpClock> Deadline() const;

  private:
    enum class Step {
        Idle,
        Connecting,
        Greeting,
        AuthTls,
        TlsHandshake,
        Pbsz,
        Prot,
        User,
        Pass,
        Cwd,
        Type,
        Epsv,
        Pasv,
        DataConnecting,
        Listening,
        Port,
        Stor,
        Sending,
        Quit,
        Done,
    };

    void OnReply(const FtpReplyReader::Reply& reply, FtpClock now);
    void Command(std::string_view text, Step next, FtpClock now);
    void NextFile(FtpClock now);
    void OpenData(FtpClock now);
    void SendStor(FtpClock now);
    void FinishFileIfDone(FtpClock now);
    void Quit(FtpClock now);
    void Fail(std::string_view detail);
    void Succeed();
    bool InConnect() const;
    void Push(ActionKind kind);

    FtpSettings settings_;
    std::vector<FtpFile> files_;
    FtpEndpoint endpoint_;
    FtpReplyReader reader_;
    std::vector<Action> actions_;
    Step step_ = Step::Idle;
    Outcome outcome_ = Outcome::Running;
    std::string message_;
    std::string status_;
    int current_ = -1;
    std::size_t sent_ = 0;
    int type_ = 0;  // 0 unknown, 'A', 'I'
    bool epsvRefused_ = false;
    bool dataDone_ = false;
    bool finalReply_ = false;
    bool dataOpen_ = false;
    std::optional<FtpClock> deadline_;
    bool stallWatch_ = false;
    FtpClock windowStart_{};
    std::uint64_t windowBytes_ = 0;
    std::uint64_t dataBytes_ = 0;
};

}  // namespace almx
