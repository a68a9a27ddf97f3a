#pragma once
// Desktop notifications through org.freedesktop.Notifications, in a library of its own so that
// only this file needs Qt D-Bus. Every call is asynchronous:
// without a server, or with one that never answers, nothing else waits or changes.

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <memory>

namespace almx {

class DesktopNotifier : public QObject {
    Q_OBJECT
  public:
    // busAddress empty: the session bus.
    explicit DesktopNotifier(const QString& busAddress = QString(), QObject* parent = nullptr);
    ~DesktopNotifier() override;

    // Shows a critical notification that does not expire, with a default action; the handle
    // names it for Close and ActionInvoked (never 0).
    quint64 Show(const QString& summary, const QString& body, bool suppressSound);
    void Close(quint64 handle);

  signals:
    // The user chose the notification (its default action).
    void Activated(quint64 handle);

  private slots:
    void OnActionInvoked(uint id, const QString& action);
    void OnClosed(uint id, uint reason);

  private:
    struct Bus;
    std::unique_ptr<Bus> bus_;
    quint64 nextHandle_ = 1;
    QHash<quint64, uint> serverIds_;  // handle -> the server's id, once it answered
    QSet<quint64> pending_;           // the server has not answered yet
    QSet<quint64> closeWhenKnown_;    // closed before the server answered
};

}  // namespace almx
