#pragma once
// The POP3 login before sending (USER/PASS or APOP, optionally after STLS), as a state
// machine fed like SmtpSession. No mail is read.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mail/mail_server_config.h"
#include "mail/reply_reader.h"
#include "mail/smtp_session.h"

namespace almx::mail {

class PopSession {
  public:
    enum class State {
        Idle,
        Connecting,
        Greeting,
        Stls,
        TlsHandshake,
        User,
        Pass,
        Apop,
        Quit,
        Done
    };

    explicit PopSession(MailServerConfig config);

    SessionActions Start(std::int64_t nowMs);
    SessionActions Connected(std::int64_t nowMs);
    SessionActions ConnectFailed(bool hostNotFound, std::int64_t nowMs);
    SessionActions Received(std::string_view bytes, std::int64_t nowMs);
    SessionActions TlsReady(std::int64_t nowMs);
    SessionActions TlsFailed(std::string_view reason, std::int64_t nowMs);
    SessionActions Closed(std::int64_t nowMs);
    SessionActions Tick(std::int64_t nowMs);

    std::optional<std::int64_t> Deadline() const { return deadline_; }
    bool Finished() const { return state_ == State::Done; }
    // Whether SMTP may follow: the dialogue ended in order, the login itself accepted or not.
    bool SmtpMayFollow() const { return Finished() && !broken_; }

  private:
    void Send(SessionActions& a, std::string_view line, std::string_view logged = {});
    void Expect(State next, std::int64_t timeoutMs, std::int64_t nowMs);
    void OnLine(const std::string& line, SessionActions& a, std::int64_t nowMs);
    void Login(SessionActions& a, std::int64_t nowMs);
    void Quit(SessionActions& a, std::int64_t nowMs);
    void Break(SessionActions& a, std::string message);
    void ConnectionLost(SessionActions& a);

    MailServerConfig config_;
    State state_ = State::Idle;
    LineReader reader_;
    std::optional<std::int64_t> deadline_;
    std::string timestamp_;
    bool tls_ = false;
    bool broken_ = false;
};

}  // namespace almx::mail
