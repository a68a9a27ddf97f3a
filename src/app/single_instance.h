#pragma once
// One program per user: the first start holds a lock file and listens on a local socket in
// the user's runtime folder; a later start hands its request over that socket and ends.

#include <QByteArray>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

namespace almx {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // The lock and socket of this user (in $XDG_RUNTIME_DIR, else the temporary folder with
    // the user id in the name), or of the given base path.
    SingleInstance();
    explicit SingleInstance(const QString& basePath);
    ~SingleInstance() override;

    // True when no other instance runs: this one then takes the lock and listens.
    bool BecomePrimary();
    // From a later start: delivers the message to the running instance, waiting for it to
    // listen when it is still starting. False when it could not be reached.
    bool SendToPrimary(const QByteArray& message, int timeoutMilliseconds = 5000);

    const QString& SocketPath() const { return socketPath_; }
    static QString DefaultBasePath();

  signals:
    void MessageReceived(const QByteArray& message);

  private:
    void OnConnection();

    QString socketPath_;
    QLockFile lock_;
    QLocalServer server_;
};

}  // namespace almx
