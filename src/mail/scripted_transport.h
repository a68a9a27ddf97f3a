#pragma once
// A transport that plays a server from a script, for tests and fuzzing: each chunk sent is
// answered by the script's function; events wait in a queue until Pump().

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "mail/mail_transport.h"

namespace almx::mail {

class ScriptedTransport : public MailTransport {
  public:
    // Bytes the server sends after the connection and after each chunk it receives; a
    // nullopt answer drops the connection.
    std::function<std::optional<std::string>(const TransportTarget&)> greet;
    std::function<std::optional<std::string>(const std::string& chunk)> answer;
    bool refuseConnections = false;
    bool failTls = false;
    std::size_t splitAt = 0;  // deliver answers in pieces of this many bytes (0: whole)

    void SetListener(TransportListener* listener) override { listener_ = listener; }
    void Connect(const TransportTarget& target) override;
    void Send(std::string_view bytes) override;
    void StartTls() override;
    void Close() override;
    void SetDeadline(std::optional<std::int64_t> atMs) override { deadline_ = atMs; }
    std::int64_t NowMs() const override { return now_; }

    // Delivers queued events until none is left (bounded).
    void Pump();
    // Moves the clock on and fires the deadline when it has come.
    void Advance(std::int64_t ms);

    std::vector<TransportTarget> connections;
    std::vector<std::string> sent;  // per connection, everything sent, in order
    bool open = false;

  private:
    void Deliver(const std::optional<std::string>& bytes);

    TransportListener* listener_ = nullptr;
    std::deque<std::function<void()>> events_;
    std::optional<std::int64_t> deadline_;
    std::int64_t now_ = 0;
    int generation_ = 0;
};

}  // namespace almx::mail
