#include "reminders/ui/dbus/desktop_notifier.h"

#include <QDBusConnection>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "reminders/ui/reminders_log.h"

// Defined here, the bottom of the libraries that trace.
Q_LOGGING_CATEGORY(lcReminders, "almx.reminders", QtWarningMsg)

namespace almx {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

}  // namespace

struct DesktopNotifier::Bus {
    QDBusConnection connection;
    QString name;  // of a private connection, closed with the notifier

    static QString NewName() {
        static int opened = 0;
        return QStringLiteral("almx-notify-%1").arg(++opened);
    }

    explicit Bus(const QString& address)
        : connection(address.isEmpty() ? QDBusConnection::sessionBus()
                                       : QDBusConnection::connectToBus(address, NewName())),
          name(address.isEmpty() ? QString() : connection.name()) {}
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;
    ~Bus() {
        if (!name.isEmpty()) QDBusConnection::disconnectFromBus(name);
    }
};

DesktopNotifier::DesktopNotifier(const QString& busAddress, QObject* parent)
    : QObject(parent), bus_(std::make_unique<Bus>(busAddress)) {
    QDBusConnection& bus = bus_->connection;
    if (!bus.isConnected()) return;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(OnActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(OnClosed(uint, uint)));
}

DesktopNotifier::~DesktopNotifier() = default;

quint64 DesktopNotifier::Show(const QString& summary, const QString& body, bool suppressSound) {
    const quint64 handle = nextHandle_++;
    if (!bus_->connection.isConnected()) return handle;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(2));
    hints.insert(QStringLiteral("suppress-sound"), suppressSound);
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("almanix"));
    call << QStringLiteral("Almanix") << uint(0) << QStringLiteral("almanix") << summary << body
         << QStringList{QStringLiteral("default"), QStringLiteral("開く")} << hints << int(0);
    pending_.insert(handle);
    auto* watcher = new QDBusPendingCallWatcher(bus_->connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, handle](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                pending_.remove(handle);
                QDBusPendingReply<uint> reply = *done;
                if (reply.isError()) {
                    qCInfo(lcReminders) << "notification not shown:" << reply.error().message();
                    closeWhenKnown_.remove(handle);
                    return;
                }
                const uint id = reply.value();
                if (closeWhenKnown_.remove(handle)) {
                    bus_->connection.asyncCall(
                        QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("CloseNotification"))
                        << id);
                    return;
                }
                serverIds_.insert(handle, id);
            });
    return handle;
}

void DesktopNotifier::Close(quint64 handle) {
    auto it = serverIds_.find(handle);
    if (it == serverIds_.end()) {
        if (pending_.contains(handle)) closeWhenKnown_.insert(handle);
        return;
    }
    const uint id = it.value();
    serverIds_.erase(it);
    if (!bus_->connection.isConnected()) return;
    bus_->connection.asyncCall(QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                              QStringLiteral("CloseNotification"))
                               << id);
}

void DesktopNotifier::OnActionInvoked(uint id, const QString& action) {
    if (action != QStringLiteral("default")) return;
    for (auto it = serverIds_.begin(); it != serverIds_.end(); ++it) {
        if (it.value() == id) {
            emit Activated(it.key());
            return;
        }
    }
}

void DesktopNotifier::OnClosed(uint id, uint) {
    for (auto it = serverIds_.begin(); it != serverIds_.end(); ++it) {
        if (it.value() == id) {
            serverIds_.erase(it);
            return;
        }
    }
}

}  // namespace almx
