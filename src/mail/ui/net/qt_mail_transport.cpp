#include "mail/ui/net/qt_mail_transport.h"

#include <QSslConfiguration>

namespace almx::mail {

QtMailTransport::QtMailTransport(QObject* parent) : QObject(parent) {
    clock_.start();
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (listener_) listener_->OnTimer();
    });
}

QtMailTransport::~QtMailTransport() {
    Release();
}

void QtMailTransport::Release() {
    if (!socket_) return;
    QSslSocket* old = socket_;
    socket_ = nullptr;
    old->disconnect(this);
    // What was written still goes out; a peer that does not take it is cut off.
    connect(old, &QAbstractSocket::disconnected, old, &QObject::deleteLater);
    QTimer::singleShot(5000, old, [old] {
        old->abort();
        old->deleteLater();
    });
    if (old->state() == QAbstractSocket::UnconnectedState)
        old->deleteLater();
    else
        old->disconnectFromHost();
}

void QtMailTransport::Connect(const TransportTarget& target) {
    Release();
    target_ = target;
    connected_ = false;
    handshaking_ = target.implicitTls;
    reportedEnd_ = false;
    sslErrors_.clear();
    auto* socket = new QSslSocket(this);
    socket_ = socket;
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!target.caFile.empty()) {
        config.addCaCertificates(QString::fromStdString(target.caFile));
    }
    socket->setSslConfiguration(config);
    socket->setPeerVerifyName(QString::fromStdString(target.host));

    connect(socket, &QAbstractSocket::connected, this, [this] {
        connected_ = true;
        if (!target_.implicitTls && listener_)
            listener_->OnConnected(socket_->localAddress().toString().toStdString());
    });
    connect(socket, &QSslSocket::encrypted, this, [this] {
        const bool first = target_.implicitTls && handshaking_;
        handshaking_ = false;
        if (!listener_) return;
        if (first)
            listener_->OnConnected(socket_->localAddress().toString().toStdString());
        else
            listener_->OnTlsReady();
    });
    connect(socket, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
        for (const QSslError& e : errors) {
            if (!sslErrors_.isEmpty()) sslErrors_ += QStringLiteral("; ");
            sslErrors_ += e.errorString();
        }
    });
    connect(socket, &QIODevice::readyRead, this, [this] {
        if (!socket_) return;
        const QByteArray bytes = socket_->readAll();
        if (listener_ && !bytes.isEmpty())
            listener_->OnBytes(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    });
    connect(socket, &QAbstractSocket::errorOccurred, this, &QtMailTransport::OnSocketError);
    connect(socket, &QAbstractSocket::disconnected, this, [this] {
        if (reportedEnd_ || !listener_) return;
        reportedEnd_ = true;
        if (handshaking_)
            listener_->OnTlsFailed(sslErrors_.isEmpty() ? "connection closed"
                                                        : sslErrors_.toStdString());
        else
            listener_->OnClosed();
    });
    const QString host = QString::fromStdString(target.host);
    if (target.implicitTls)
        socket->connectToHostEncrypted(host, static_cast<quint16>(target.port));
    else
        socket->connectToHost(host, static_cast<quint16>(target.port));
}

void QtMailTransport::OnSocketError(QAbstractSocket::SocketError error) {
    if (reportedEnd_ || !listener_ || !socket_) return;
    reportedEnd_ = true;
    if (!connected_) {
        listener_->OnConnectFailed(error == QAbstractSocket::HostNotFoundError);
    } else if (handshaking_) {
        listener_->OnTlsFailed(
            (sslErrors_.isEmpty() ? socket_->errorString() : sslErrors_).toStdString());
    } else {
        listener_->OnClosed();
    }
}

void QtMailTransport::Send(std::string_view bytes) {
    if (socket_) socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void QtMailTransport::StartTls() {
    if (!socket_) return;
    handshaking_ = true;
    socket_->startClientEncryption();
}

void QtMailTransport::Close() {
    timer_.stop();
    Release();
}

void QtMailTransport::SetDeadline(std::optional<std::int64_t> atMs) {
    if (!atMs) {
        timer_.stop();
        return;
    }
    const std::int64_t wait = std::max<std::int64_t>(0, *atMs - NowMs());
    timer_.start(static_cast<int>(std::min<std::int64_t>(wait, 24 * 3600 * 1000)));
}

}  // namespace almx::mail
