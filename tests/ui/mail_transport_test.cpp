// The Qt transport against a QTcpServer peer on 127.0.0.1, the mail status window and the
// message boxes' plain text.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "base/clock.h"
#include "base/prompter.h"
#include "dialog_driver.h"
#include "mail/mail_engine.h"
#include "mail/ui/mail_status_window.h"
#include "mail/ui/net/qt_mail_transport.h"
#include "mail/ui/program_mail.h"
#include "ui/qt_prompter.h"

namespace almx::mail {
namespace {

// A small SMTP peer: answers each line after a delay, or drops at a chosen command.
class PeerServer : public QObject {
  public:
    explicit PeerServer(QString dropAt = {}, int delayMs = 20)
        : dropAt_(dropAt), delayMs_(delayMs) {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* s = server_.nextPendingConnection();
            s->write("220 peer ready\r\n");
            connect(s, &QTcpSocket::readyRead, this, [this, s] { Read(s); });
        });
    }
    quint16 Port() const { return server_.serverPort(); }
    QByteArray data;

  private:
    void Read(QTcpSocket* s) {
        while (s->canReadLine()) {
            const QByteArray line = s->readLine();
            if (inData_) {
                data += line;
                if (line == ".\r\n") {
                    inData_ = false;
                    Reply(s, "250 queued\r\n");
                }
                continue;
            }
            const QString verb = QString::fromLatin1(line).section(' ', 0, 0).trimmed();
            if (!dropAt_.isEmpty() && verb.startsWith(dropAt_)) {
                s->disconnectFromHost();
                return;
            }
            if (verb == "DATA") {
                inData_ = true;
                Reply(s, "354 go\r\n");
            } else if (verb == "QUIT") {
                Reply(s, "221 bye\r\n");
            } else {
                Reply(s, "250 ok\r\n");
            }
        }
    }
    void Reply(QTcpSocket* s, QByteArray text) {
        QTimer::singleShot(delayMs_, s, [s, text] { s->write(text); });
    }

    QTcpServer server_;
    QString dropAt_;
    int delayMs_;
    bool inData_ = false;
};

struct SendRun {
    SendOutcome outcome;
    int ticks = 0;  // timer ticks while the sending ran: the event loop never stalled
    bool done = false;
};

SendRun Send(PeerServer& peer, std::vector<CMail> mails, ScriptedPrompter& prompter,
             MailProgress* progress = nullptr) {
    QtMailTransport transport;
    SystemClock clock;
    MailEngine engine(
        transport, prompter, clock,
        std::filesystem::temp_directory_path() / ("almx-ui-mail-" + std::to_string(::getpid())));
    engine.SetProgress(progress);
    MailServerConfig config;
    config.smtpServer = "127.0.0.1";
    config.smtpPort = peer.Port();
    config.fromAddress = "me@example.jp";
    config.smailTimeMs = 50;
    SendRun run;
    QEventLoop loop;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++run.ticks; });
    ticker.start(5);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);  // bound
    engine.SendQueue(mails, config, [&](const SendOutcome& o) {
        run.outcome = o;
        run.done = true;
        loop.quit();
    });
    if (!run.done) loop.exec();
    return run;
}

CMail Mail() {
    CMail m;
    m.to = "a@example.com,b@example.com";
    m.subject = "Almanix通知";
    m.body = "TEST\n.line";
    return m;
}

TEST(QtMailTransport, SendsToAPeerWithoutStallingTheLoop) {
    PeerServer peer;
    ScriptedPrompter prompter;
    CStatusDlg window;
    const SendRun run = Send(peer, {Mail(), Mail()}, prompter, &window);
    ASSERT_TRUE(run.done);
    EXPECT_TRUE(run.outcome.AllSent()) << run.outcome.error;
    EXPECT_GT(run.ticks, 5);
    EXPECT_EQ(peer.data.count("Subject: =?ISO-2022-JP?B?"), 2);
    EXPECT_TRUE(peer.data.contains("\r\n..line\r\n.\r\n"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("電子メール"));
    EXPECT_FALSE(window.isVisible());  // closed when the sending ended
}

TEST(QtMailTransport, DropAfterRecipientCountsNothing) {
    PeerServer peer("DATA");
    ScriptedPrompter prompter;
    const SendRun run = Send(peer, {Mail()}, prompter);
    ASSERT_TRUE(run.done);
    EXPECT_FALSE(run.outcome.AllSent());
    EXPECT_EQ(run.outcome.error, kNoResponse);
    EXPECT_TRUE(prompter.Saw(kNoResponse));
}

TEST(QtMailTransport, RefusedConnectionIsReported) {
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    QtMailTransport transport;
    struct Listener : TransportListener {
        bool failed = false;
        void OnConnected(const std::string&) override {}
        void OnConnectFailed(bool) override { failed = true; }
        void OnBytes(std::string_view) override {}
        void OnTlsReady() override {}
        void OnTlsFailed(const std::string&) override {}
        void OnClosed() override {}
        void OnTimer() override {}
    } listener;
    transport.SetListener(&listener);
    transport.Connect({"127.0.0.1", port, false, ""});
    QElapsedTimer waited;
    waited.start();
    while (!listener.failed && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(listener.failed);
}

TEST(QtMailTransport, ProgramEngineShowsItsChecksInABox) {
    ProgramMail mail(nullptr);
    MailServerConfig config;  // no server, no address
    QString shown;
    testing::OnNextDialog([&](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) shown = box->text();
        dialog.reject();
    });
    bool done = false;
    mail.SendQueue({Mail()}, config, [&](const SendOutcome& o) {
        done = true;
        EXPECT_FALSE(o.AllSent());
    });
    EXPECT_TRUE(done);
    EXPECT_EQ(shown, QStringLiteral("メール設定を行ってください"));
    EXPECT_FALSE(mail.Busy());
}

TEST(QtMailTransport, StatusWindowShowsBothLines) {
    CStatusDlg window;
    window.ShowProgress("送信中...", "メール送信中：1/2");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Line2(), QStringLiteral("メール送信中：1/2"));
    window.ShowProgress("送信中...", "<b>550</b>");
    EXPECT_EQ(window.Line2(), QStringLiteral("<b>550</b>"));
    window.HideProgress();
    EXPECT_FALSE(window.isVisible());
}

TEST(QtPrompterText, MessagesAreNeverRichText) {
    QtPrompter prompter;
    Qt::TextFormat format = Qt::RichText;
    testing::OnNextDialog([&](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) format = box->textFormat();
        dialog.reject();
    });
    prompter.ShowMessage("エラーが発生しました：550 <b>bold</b> <a href='x'>x</a>",
                         MessageKind::Warning);
    EXPECT_EQ(format, Qt::PlainText);
}

}  // namespace
}  // namespace almx::mail
