// One program per user: the built almanix started twice with a private runtime and config
// folder; the second start hands its view request over and ends.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>

#include "app/single_instance.h"
#include "core/document_fixture.h"

namespace almx {
namespace {

class TwoProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        runtime_ = dir_.filePath(QStringLiteral("run"));
        config_ = dir_.filePath(QStringLiteral("config"));
        QDir().mkpath(runtime_);
        QFile::setPermissions(
            runtime_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QDir().mkpath(config_ + QStringLiteral("/Korvanta"));
        plan_ = dir_.filePath(QStringLiteral("plan.alx"));
        other_ = dir_.filePath(QStringLiteral("other.alx"));
        testing::WriteBytes(plan_.toStdString(), testing::SjisFile(testing::kHeaderLine));
        testing::WriteBytes(other_.toStdString(), testing::SjisFile(testing::kHeaderLine));
        QSettings ini(Ini(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("System/DefaultFile"), plan_);
        ini.setValue(QStringLiteral("System/HolidayChangeFlag1"), 1);
        ini.sync();
    }
    void TearDown() override {
        if (first_.state() != QProcess::NotRunning) {
            first_.kill();
            first_.waitForFinished(5000);
        }
    }

    QString Ini() const { return config_ + QStringLiteral("/Korvanta/Almanix.ini"); }

    void Prepare(QProcess& process) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_);
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("almx.app.info=true"));
        process.setProcessEnvironment(env);
        process.setProgram(QStringLiteral(ALMX_BINARY_DIR "/src/app/almanix"));
    }

    // Reads the first program's trace until the text shows up.
    bool FirstSays(const QString& text, int timeout = 10000) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeout) {
            first_.waitForReadyRead(100);
            log_ += QString::fromUtf8(first_.readAllStandardError());
            if (log_.contains(text)) return true;
            if (first_.state() == QProcess::NotRunning) break;
        }
        return false;
    }

    // Runs a second start to its end; its exit code, or -1 when it did not end in time.
    int Second(const QStringList& arguments, QElapsedTimer* took = nullptr) {
        QProcess second;
        Prepare(second);
        second.setArguments(arguments);
        QElapsedTimer timer;
        timer.start();
        second.start();
        if (!second.waitForFinished(15000)) {
            second.kill();
            second.waitForFinished();
            return -1;
        }
        if (took) *took = timer;
        secondLog_ = QString::fromUtf8(second.readAllStandardError());
        return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
    }

    QTemporaryDir dir_;
    QString runtime_;
    QString config_;
    QString plan_;
    QString other_;
    QProcess first_;
    QString log_;
    QString secondLog_;
};

TEST_F(TwoProcessTest, ASecondStartHandsOverItsViewAndEnds) {
    Prepare(first_);
    first_.start();
    ASSERT_TRUE(FirstSays(QStringLiteral("started"))) << log_.toStdString();
    EXPECT_TRUE(log_.contains(QStringLiteral("opened")));

    // "week" with a file: the running program shows the week view; the file is not opened.
    ASSERT_EQ(Second({QStringLiteral("-week"), other_}), 0) << secondLog_.toStdString();
    EXPECT_FALSE(secondLog_.contains(QStringLiteral("started")));
    ASSERT_TRUE(FirstSays(QStringLiteral("show view 1"))) << log_.toStdString();
    EXPECT_TRUE(log_.contains(QStringLiteral("hand-over: activate")));
    QSettings ini(Ini(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("System/ViewChangeMes")).toInt(), 1);

    // A file alone: only brought to the front.
    const qsizetype before = log_.size();
    ASSERT_EQ(Second({other_}), 0);
    ASSERT_TRUE(FirstSays(QStringLiteral("hand-over: activate")));
    QThread::msleep(300);
    log_ += QString::fromUtf8(first_.readAllStandardError());
    EXPECT_FALSE(log_.mid(before).contains(QStringLiteral("show view")));
    EXPECT_FALSE(log_.contains(QStringLiteral("other.alx")));
    EXPECT_EQ(first_.state(), QProcess::Running);

    // Once the first program is gone (even killed), the next start is the first again.
    first_.kill();
    first_.waitForFinished(5000);
    QProcess next;
    Prepare(next);
    QProcessEnvironment env = next.processEnvironment();
    env.insert(QStringLiteral("ALMX_EXIT_AFTER_PAINT"), QStringLiteral("1"));
    next.setProcessEnvironment(env);
    next.start();
    ASSERT_TRUE(next.waitForFinished(15000));
    EXPECT_EQ(next.exitCode(), 0);
    EXPECT_TRUE(
        QString::fromUtf8(next.readAllStandardOutput()).startsWith(QStringLiteral("first-paint ")));
}

TEST(SingleInstance, OnlyOneIsPrimaryAndMessagesArrive) {
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("instance"));
    SingleInstance first(base);
    ASSERT_TRUE(first.BecomePrimary());
    QByteArray received;
    QObject::connect(&first, &SingleInstance::MessageReceived,
                     [&](const QByteArray& message) { received = message; });
    // The second runs in a thread of its own, as it would in a process of its own.
    std::atomic<bool> sent = false;
    std::atomic<bool> primary = true;
    QThread* sender = QThread::create([&] {
        SingleInstance second(base);
        primary = second.BecomePrimary();
        sent = second.SendToPrimary("activate\ncommand 32957\n", 3000);
    });
    sender->start();
    QElapsedTimer timer;
    timer.start();
    while (received.isEmpty() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    sender->wait();
    delete sender;
    EXPECT_FALSE(primary);
    EXPECT_TRUE(sent);
    EXPECT_EQ(received, QByteArray("activate\ncommand 32957\n"));
}

TEST(SingleInstance, NobodyListeningIsReportedNotWaitedForEver) {
    QTemporaryDir dir;
    SingleInstance lonely(dir.filePath(QStringLiteral("none")));
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(lonely.SendToPrimary("activate\n", 300));
    EXPECT_LT(timer.elapsed(), 3000);
}

}  // namespace
}  // namespace almx
