#pragma once
// The SMTP dialogue as a state machine without sockets or timers of its own: the transport
// feeds it what happened (connected, bytes, TLS ready, closed, the time) and carries out the
// actions it answers with. It never waits and never asks the user anything.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mail/mail_server_config.h"
#include "mail/reply_reader.h"

namespace almx::mail {

inline constexpr std::int64_t kConnectTimeoutMs = 30000;
inline constexpr std::int64_t kReplyTimeoutMs = 60000;
inline constexpr std::int64_t kDataEndTimeoutMs = 180000;
inline constexpr std::int64_t kQuitWaitLimitMs = 5000;

inline constexpr char kNoResponse[] = "エラーが発生しました：応答がありません";

// What the transport must do after an event, in this order: log, show, send, then TLS or close.
struct SessionActions {
    std::vector<std::string> log;       // appended to the log as they stand (secrets masked)
    std::vector<std::string> statuses;  // status texts, in order
    std::string send;
    bool startTls = false;
    bool close = false;
    std::optional<std::string> error;             // a message for the user
    std::vector<int> sent;                        // messages that got their 250 after the data
    std::optional<std::pair<int, int>> progress;  // message number, message count
    bool finished = false;
};

struct OutgoingMessage {
    std::string mailFrom;
    std::vector<std::string> envelope;
    std::string data;  // dot-stuffed, ending in "\r\n.\r\n"
};

class SmtpSession {
  public:
    enum class State {
        Idle,
        Connecting,
        Greeting,
        Hello,
        StartTls,
        TlsHandshake,
        HelloAgain,
        AuthCram,
        AuthLoginUser,
        AuthLoginPass,
        AuthResult,
        MailFrom,
        RcptTo,
        Data,
        DataEnd,
        Quit,
        Done
    };

    SmtpSession(MailServerConfig config, std::vector<OutgoingMessage> messages);

    SessionActions Start(std::int64_t nowMs);
    // The connection stands (after the handshake when TLS comes first); localAddress is the
    // numeric address of our end, for EHLO/HELO.
    SessionActions Connected(std::string_view localAddress, std::int64_t nowMs);
    SessionActions ConnectFailed(bool hostNotFound, std::int64_t nowMs);
    SessionActions Received(std::string_view bytes, std::int64_t nowMs);
    SessionActions TlsReady(std::int64_t nowMs);
    SessionActions TlsFailed(std::string_view reason, std::int64_t nowMs);
    SessionActions Closed(std::int64_t nowMs);
    SessionActions Tick(std::int64_t nowMs);

    std::optional<std::int64_t> Deadline() const { return deadline_; }
    State CurrentState() const { return state_; }
    bool Finished() const { return state_ == State::Done; }
    const std::vector<int>& SentMessages() const { return sent_; }

  private:
    void Send(SessionActions& a, std::string_view line, std::string_view logged = {});
    void Expect(State next, std::int64_t timeoutMs, std::int64_t nowMs);
    void OnReply(const SmtpReply& reply, SessionActions& a, std::int64_t nowMs);
    void AfterHello(const SmtpReply& reply, SessionActions& a, std::int64_t nowMs);
    void StartAuth(SessionActions& a, std::int64_t nowMs);
    void NextMessage(SessionActions& a, std::int64_t nowMs);
    void Fail(SessionActions& a, std::string message, std::int64_t nowMs);
    void Drop(SessionActions& a, std::string message);
    void ConnectionLost(SessionActions& a);
    void Quit(SessionActions& a, std::int64_t nowMs);
    std::string Hello(bool extended) const;

    MailServerConfig config_;
    std::vector<OutgoingMessage> messages_;
    State state_ = State::Idle;
    SmtpReplyReader reader_;
    std::optional<std::int64_t> deadline_;
    std::string localAddress_;
    std::vector<std::string> mechanisms_;
    bool authListed_ = false;
    bool tls_ = false;
    bool startTlsOffered_ = false;
    bool cramFallback_ = false;
    std::size_t message_ = 0;
    std::size_t recipient_ = 0;
    std::vector<int> sent_;
};

}  // namespace almx::mail
