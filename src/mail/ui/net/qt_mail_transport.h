#pragma once
// The mail engine's transport on QSslSocket, on the thread that creates it (the window
// thread in the program). Needs only Qt Network, so almx links it too.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSslSocket>
#include <QTimer>

#include "mail/mail_transport.h"

namespace almx::mail {

class QtMailTransport : public QObject, public MailTransport {
    Q_OBJECT

  public:
    explicit QtMailTransport(QObject* parent = nullptr);
    ~QtMailTransport() override;

    void SetListener(TransportListener* listener) override { listener_ = listener; }
    void Connect(const TransportTarget& target) override;
    void Send(std::string_view bytes) override;
    void StartTls() override;
    void Close() override;
    void SetDeadline(std::optional<std::int64_t> atMs) override;
    std::int64_t NowMs() const override { return clock_.elapsed(); }

  private:
    void OnSocketError(QAbstractSocket::SocketError error);
    void Release();

    TransportListener* listener_ = nullptr;
    QPointer<QSslSocket> socket_;
    QTimer timer_;
    QElapsedTimer clock_;
    TransportTarget target_;
    bool connected_ = false;
    bool handshaking_ = false;
    bool reportedEnd_ = false;
    QString sslErrors_;
};

}  // namespace almx::mail
