#include "app/single_instance.h"

#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>
#include <memory>

namespace almx {

QString SingleInstance::DefaultBasePath() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists()) {
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/almanix");
    }
    return QDir::tempPath() + QStringLiteral("/almanix-") + QString::number(getuid());
}

SingleInstance::SingleInstance() : SingleInstance(DefaultBasePath()) {}

SingleInstance::SingleInstance(const QString& basePath)
    : socketPath_(basePath + QStringLiteral(".socket")), lock_(basePath + QStringLiteral(".lock")) {
    // A lock is stale only when its process is gone, never by age.
    lock_.setStaleLockTime(0);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
}

SingleInstance::~SingleInstance() {
    server_.close();
    lock_.unlock();
}

bool SingleInstance::BecomePrimary() {
    if (!lock_.tryLock(0)) return false;
    // The socket of an instance that crashed stays behind; the lock says it is ours now.
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(socketPath_);
    return true;
}

bool SingleInstance::SendToPrimary(const QByteArray& message, int timeoutMilliseconds) {
    QDeadlineTimer deadline(timeoutMilliseconds);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(500)) {
            socket.write(message);
            const bool written = socket.waitForBytesWritten(2000);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
            return written;
        }
        QThread::msleep(100);
    }
    return false;
}

void SingleInstance::OnConnection() {
    // Bounded: a request is a few short lines.
    constexpr qsizetype kLimit = 4096;
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() > kLimit) socket->abort();
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            socket->deleteLater();
            if (!buffer->isEmpty() && buffer->size() <= kLimit) emit MessageReceived(*buffer);
        });
    }
}

}  // namespace almx
