#pragma once
// The socket side of a sending, implemented on QSslSocket in the program (mail/ui/) and by a
// script in tests. Every call returns at once; what happens comes back through the listener.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace almx::mail {

class TransportListener {
  public:
    virtual ~TransportListener() = default;
    // The connection stands (after the handshake when TLS comes first).
    virtual void OnConnected(const std::string& localAddress) = 0;
    virtual void OnConnectFailed(bool hostNotFound) = 0;
    virtual void OnBytes(std::string_view bytes) = 0;
    virtual void OnTlsReady() = 0;
    virtual void OnTlsFailed(const std::string& reason) = 0;
    virtual void OnClosed() = 0;
    // The deadline last set has come.
    virtual void OnTimer() = 0;
};

struct TransportTarget {
    std::string host;
    int port = 0;
    bool implicitTls = false;
    std::string caFile;  // extra CA certificates, PEM; empty for the system's only
};

class MailTransport {
  public:
    virtual ~MailTransport() = default;
    virtual void SetListener(TransportListener* listener) = 0;
    // Opens a new connection (a previous one is closed first).
    virtual void Connect(const TransportTarget& target) = 0;
    virtual void Send(std::string_view bytes) = 0;
    // Begins the TLS handshake on the open connection, verifying the server's certificate
    // and host name.
    virtual void StartTls() = 0;
    // Closes after what was sent has gone out; the listener hears nothing more of it.
    virtual void Close() = 0;
    // Calls OnTimer once at this monotonic time; nullopt cancels.
    virtual void SetDeadline(std::optional<std::int64_t> atMs) = 0;
    virtual std::int64_t NowMs() const = 0;
};

}  // namespace almx::mail
