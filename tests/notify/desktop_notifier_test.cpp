// Desktop notifications against a fake notification server on a private bus that the test
// starts with dbus-daemon (skipped when dbus-daemon is not installed).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariantMap>
#include <functional>

#include "reminders/ui/dbus/desktop_notifier.h"

namespace almx {
namespace {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

class FakeNotifications : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    struct Call {
        QString app;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int timeout = -1;
    };
    QList<Call> calls;
    QList<uint> closed;
    bool answer = true;

  public slots:
    uint Notify(const QString& app, uint, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int timeout) {
        calls.append({app, summary, body, actions, hints, timeout});
        if (!answer) setDelayedReply(true);  // and never reply
        return 100 + uint(calls.size());
    }
    void CloseNotification(uint id) { closed.append(id); }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
};

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

class DesktopNotifierTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(dir_.isValid());
        QFile config(dir_.filePath(QStringLiteral("bus.conf")));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral(
                         "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                         "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/"
                         "busconfig.dtd\"><busconfig><type>session</type><listen>unix:dir=%1"
                         "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow "
                         "send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                         "<allow own=\"*\"/></policy></busconfig>")
                         .arg(dir_.path())
                         .toUtf8());
        config.close();
        daemon_.start(daemon, {QStringLiteral("--config-file=") + config.fileName(),
                               QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        ASSERT_TRUE(daemon_.waitForStarted(5000));
        ASSERT_TRUE(WaitFor([this] {
            daemon_.waitForReadyRead(50);
            address_ += QString::fromUtf8(daemon_.readAllStandardOutput());
            return address_.contains('\n');
        }));
        address_ = address_.trimmed();
        server_ = QDBusConnection::connectToBus(address_, QStringLiteral("fake-server"));
        ASSERT_TRUE(server_.isConnected());
    }

    void Serve() {
        ASSERT_TRUE(server_.registerObject(kPath, &fake_, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(server_.registerService(kInterface));
    }

    void TearDown() override {
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-server"));
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.terminate();
            daemon_.waitForFinished(3000);
        }
    }

    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QDBusConnection server_{QString()};
    FakeNotifications fake_;
};

TEST_F(DesktopNotifierTest, ShowsACriticalLastingNotificationAndClosesIt) {
    Serve();
    DesktopNotifier notifier(address_);
    QList<quint64> activated;
    QObject::connect(&notifier, &DesktopNotifier::Activated,
                     [&activated](quint64 handle) { activated.append(handle); });
    const quint64 handle = notifier.Show(QStringLiteral("会議"),
                                         QStringLiteral("10:20（10分前）\n&lt;三階&gt;"), true);
    EXPECT_TRUE(fake_.calls.isEmpty()) << "the call does not wait for the server";
    ASSERT_TRUE(WaitFor([this] { return !fake_.calls.isEmpty(); }));
    const FakeNotifications::Call& call = fake_.calls.first();
    EXPECT_EQ(call.app, QStringLiteral("Almanix"));
    EXPECT_EQ(call.summary, QStringLiteral("会議"));
    EXPECT_EQ(call.body, QStringLiteral("10:20（10分前）\n&lt;三階&gt;"));
    EXPECT_EQ(call.timeout, 0) << "never expires";
    EXPECT_EQ(call.hints.value(QStringLiteral("urgency")).toInt(), 2);
    EXPECT_TRUE(call.hints.value(QStringLiteral("suppress-sound")).toBool());
    EXPECT_TRUE(call.actions.contains(QStringLiteral("default")));

    // Let the reply arrive, then choose the notification on the server's side.
    WaitFor([] { return false; }, 200);
    QDBusMessage signal =
        QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("ActionInvoked"));
    signal << uint(101) << QStringLiteral("default");
    server_.send(signal);
    ASSERT_TRUE(WaitFor([&activated] { return !activated.isEmpty(); }));
    EXPECT_EQ(activated, QList<quint64>{handle});

    notifier.Close(handle);
    ASSERT_TRUE(WaitFor([this] { return !fake_.closed.isEmpty(); }));
    EXPECT_EQ(fake_.closed, QList<uint>{101});
}

TEST_F(DesktopNotifierTest, AServerThatNeverAnswersOrNoServerChangesNothing) {
    DesktopNotifier without(address_);
    const quint64 first = without.Show(QStringLiteral("a"), QString(), false);
    without.Close(first);
    WaitFor([] { return false; }, 300);

    fake_.answer = false;
    Serve();
    DesktopNotifier notifier(address_);
    const quint64 handle = notifier.Show(QStringLiteral("b"), QString(), false);
    ASSERT_TRUE(WaitFor([this] { return !fake_.calls.isEmpty(); }));
    notifier.Close(handle);  // before any answer: nothing to close, nothing waits
    WaitFor([] { return false; }, 300);
    EXPECT_TRUE(fake_.closed.isEmpty());
}

}  // namespace
}  // namespace almx

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "desktop_notifier_test.moc"
