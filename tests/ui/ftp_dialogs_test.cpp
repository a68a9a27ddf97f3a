// The upload on Qt sockets: a scripted server in this process (refusals, another address in
// the passive reply, a dropped line), a real one on the loopback interface when pyftpdlib is
// there, cancelling, and the dialog "ftp設定".

#include <gtest/gtest.h>
#include <signal.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <thread>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "exchange/ui/ftp_dialogs.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A server that answers each command from a table and keeps what each STOR brought.
class ScriptedServer : public QObject {
  public:
    ScriptedServer() {
        control.listen(QHostAddress::LocalHost, 0);
        data.listen(QHostAddress::LocalHost, 0);
        connect(&control, &QTcpServer::newConnection, this, [this] {
            client = control.nextPendingConnection();
            if (!greeting.empty()) client->write(greeting.c_str());
            connect(client, &QTcpSocket::readyRead, this, [this] { OnCommand(); });
        });
        connect(&data, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = data.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this,
                    [this, socket] { received[storing] += socket->readAll().toStdString(); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                received[storing] += socket->readAll().toStdString();
                const std::string reply =
                    stored < afterData.size() ? afterData[stored] : "226 ok\r\n";
                ++stored;
                client->write(reply.c_str());
            });
        });
    }

    void OnCommand() {
        buffer += client->readAll().toStdString();
        std::size_t end;
        while ((end = buffer.find("\r\n")) != std::string::npos) {
            const std::string line = buffer.substr(0, end);
            buffer.erase(0, end + 2);
            commands.push_back(line);
            const std::string verb = line.substr(0, line.find(' '));
            if (verb == "STOR") storing = line.substr(5);
            if (verb == "USER" && dropAtUser) {
                client->disconnectFromHost();
                return;
            }
            std::string reply = replies.count(verb) ? replies[verb] : "200 ok\r\n";
            if (verb == "PASV") {
                const int port = data.serverPort();
                // Another machine's address: the client must not go there.
                reply = "227 Entering Passive Mode (10,1,2,3," + std::to_string(port / 256) + "," +
                        std::to_string(port % 256) + ")\r\n";
            }
            client->write(reply.c_str());
        }
    }

    QTcpServer control, data;
    QTcpSocket* client = nullptr;
    std::string greeting = "220 ready\r\n";
    std::map<std::string, std::string> replies = {{"USER", "331 pw\r\n"},
                                                  {"PASS", "230 in\r\n"},
                                                  {"EPSV", "500 no\r\n"},
                                                  {"STOR", "150 go\r\n"},
                                                  {"QUIT", "221 bye\r\n"}};
    std::vector<std::string> afterData;
    bool dropAtUser = false;
    std::string buffer, storing;
    std::size_t stored = 0;
    std::vector<std::string> commands;
    std::map<std::string, std::string> received;
};

class FtpUploadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-ftpui-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directories(dir / "site");
        WriteBytes(dir / "site" / "top.html", "<html>\r\nトップ\r\n</html>\r\n");
        WriteBytes(dir / "site" / "s202401.html", "<p>a\nb</p>\r\n");
    }
    void TearDown() override {
        if (serverPid > 0) ::kill(serverPid, SIGTERM);
        std::error_code error;
        fs::remove_all(dir, error);
    }
    std::vector<FtpFile> Files() const {
        return {{(dir / "site" / "top.html").string(), "top.html", true},
                {(dir / "site" / "s202401.html").string(), "s202401.html", true}};
    }
    FtpSettings Account(int port) const {
        FtpSettings s;
        s.host = "127.0.0.1:" + std::to_string(port);
        s.user = "taro";
        s.password = "s3cret";
        return s;
    }

    fs::path dir;
    int serverPid = 0;
};

TEST_F(FtpUploadTest, RefusedSecondFileEndsWithTheTransferErrorAndTheFirstArrived) {
    ScriptedServer server;
    server.afterData = {"226 ok\r\n", "452 no space\r\n"};
    CVeltaFtp ftp(Account(server.control.serverPort()), Files());
    QtFtpTransport transport(ftp);
    std::vector<std::string> statuses;
    transport.Run([&] { statuses.push_back(ftp.Status()); });
    EXPECT_EQ(ftp.Result(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(ftp.Message(), "ファイル転送エラー:" + Files()[1].localPath + "\n452 no space");
    // The passive reply named 10.1.2.3; the data went to the server the client talks to.
    EXPECT_EQ(server.received["top.html"], ReadBytes(dir / "site" / "top.html"));
    EXPECT_EQ(server.received["s202401.html"], "<p>a\r\nb</p>\r\n");  // text mode on the wire
    EXPECT_EQ(statuses.front(), "接続中");
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "転送中"), statuses.end());
}

TEST_F(FtpUploadTest, ADroppedLineAndACancelledWaitNeverReportSuccess) {
    ScriptedServer dropping;
    dropping.dropAtUser = true;
    CVeltaFtp dropped(Account(dropping.control.serverPort()), Files());
    QtFtpTransport first(dropped);
    first.Run({});
    EXPECT_EQ(dropped.Result(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(dropped.Message().rfind("接続エラー:", 0), 0u) << dropped.Message();

    ScriptedServer silent;
    silent.greeting.clear();
    CVeltaFtp waiting(Account(silent.control.serverPort()), Files());
    QtFtpTransport second(waiting);
    CFtpProgressWnd window;
    QObject::connect(&window, &CFtpProgressWnd::cancelled, &second, &QtFtpTransport::Cancel);
    QTimer::singleShot(300, &window, [&] { window.cancelButton->click(); });
    second.Run({});
    EXPECT_EQ(waiting.Result(), CVeltaFtp::Outcome::Cancelled);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ftp"));
}

TEST_F(FtpUploadTest, UploadsToARealServerOnTheLoopbackInterface) {
    if (std::system("/usr/bin/python3 -c 'import pyftpdlib' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    }
    fs::create_directories(dir / "server");
    const fs::path portFile = dir / "port";
    const std::string command = "/usr/bin/python3 '" + std::string(ALMX_SOURCE_DIR) +
                                "/tests/cli/data/ftp_server.py' '" + (dir / "server").string() +
                                "' '" + portFile.string() + "' 60 >/dev/null 2>&1 &";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (int i = 0; i < 200 && !fs::exists(portFile); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::istringstream in(ReadBytes(portFile));
    int port = 0;
    in >> port >> serverPid;
    ASSERT_GT(port, 0);

    std::string binary;
    for (int i = 0; i < 200000; ++i) binary.push_back(static_cast<char>(i * 7 % 256));
    WriteBytes(dir / "site" / "pic.bin", binary);
    std::vector<FtpFile> files = Files();
    files.push_back({(dir / "site" / "pic.bin").string(), "pic.bin", false});
    CVeltaFtp ftp(Account(port), files);
    QtFtpTransport transport(ftp);
    transport.Run({});
    ASSERT_EQ(ftp.Result(), CVeltaFtp::Outcome::Succeeded) << ftp.Message();
    EXPECT_EQ(ReadBytes(dir / "server" / "top.html"), "<html>\nトップ\n</html>\n");
    EXPECT_EQ(ReadBytes(dir / "server" / "s202401.html"), "<p>a\nb</p>\n");
    EXPECT_EQ(ReadBytes(dir / "server" / "pic.bin"), binary);

    FtpSettings wrong = Account(port);
    wrong.password = "nope";
    CVeltaFtp refused(wrong, files);
    QtFtpTransport again(refused);
    again.Run({});
    EXPECT_EQ(refused.Message().rfind("接続エラー:530", 0), 0u) << refused.Message();
}

// Explicit FTPS: the control connection turns to TLS after "AUTH TLS", the data connection
// after the STOR's 150, both with a certificate made for the test.
class TlsServer : public QObject {
  public:
    class Listener : public QTcpServer {
      public:
        std::function<void(qintptr)> accepted;

      protected:
        void incomingConnection(qintptr descriptor) override { accepted(descriptor); }
    };

    TlsServer(const QSslCertificate& certificate, const QSslKey& key) {
        config = QSslConfiguration::defaultConfiguration();
        config.setLocalCertificate(certificate);
        config.setPrivateKey(key);
        config.setPeerVerifyMode(QSslSocket::VerifyNone);
        control.listen(QHostAddress::LocalHost, 0);
        data.listen(QHostAddress::LocalHost, 0);
        control.accepted = [this](qintptr descriptor) {
            client = new QSslSocket(this);
            client->setSocketDescriptor(descriptor);
            client->setSslConfiguration(config);
            client->write("220 ready\r\n");
            connect(client, &QSslSocket::readyRead, this, [this] { OnCommand(); });
        };
        data.accepted = [this](qintptr descriptor) {
            dataSocket = new QSslSocket(this);
            dataSocket->setSocketDescriptor(descriptor);
            dataSocket->setSslConfiguration(config);
            connect(dataSocket, &QSslSocket::readyRead, this, [this] {
                received[storing] += dataSocket->readAll().toStdString();
                encryptedData = encryptedData || dataSocket->isEncrypted();
            });
            connect(dataSocket, &QSslSocket::disconnected, this,
                    [this] { client->write("226 ok\r\n"); });
        };
    }

    void OnCommand() {
        buffer += client->readAll().toStdString();
        std::size_t end;
        while ((end = buffer.find("\r\n")) != std::string::npos) {
            const std::string line = buffer.substr(0, end);
            buffer.erase(0, end + 2);
            commands.push_back(line);
            clearCommands += client->isEncrypted() ? 0 : 1;
            const std::string verb = line.substr(0, line.find(' '));
            if (verb == "AUTH") {
                client->write("234 go\r\n");
                client->startServerEncryption();
            } else if (verb == "EPSV") {
                client->write(("229 (|||" + std::to_string(data.serverPort()) + "|)\r\n").c_str());
            } else if (verb == "STOR") {
                storing = line.substr(5);
                client->write("150 go\r\n");
                dataSocket->startServerEncryption();
            } else if (verb == "USER") {
                client->write("331 pw\r\n");
            } else if (verb == "PASS") {
                client->write("230 in\r\n");
            } else if (verb == "QUIT") {
                client->write("221 bye\r\n");
            } else {
                client->write("200 ok\r\n");
            }
        }
    }

    QSslConfiguration config;
    Listener control, data;
    QSslSocket* client = nullptr;
    QSslSocket* dataSocket = nullptr;
    std::string buffer, storing;
    std::vector<std::string> commands;
    int clearCommands = 0;
    bool encryptedData = false;
    std::map<std::string, std::string> received;
};

TEST_F(FtpUploadTest, TlsCoversControlAndDataAndAnUnknownCertificateStopsAtOnce) {
    if (!QSslSocket::supportsSsl()) GTEST_SKIP() << "no TLS library";
    const std::string make =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
        "-nodes -days 2 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 "
        "-keyout '" +
        (dir / "key.pem").string() + "' -out '" + (dir / "cert.pem").string() + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "openssl cannot make a certificate";
    const QList<QSslCertificate> certificates =
        QSslCertificate::fromPath(QString::fromStdString((dir / "cert.pem").string()));
    ASSERT_EQ(certificates.size(), 1);
    QFile keyFile(QString::fromStdString((dir / "key.pem").string()));
    ASSERT_TRUE(keyFile.open(QIODevice::ReadOnly));
    const QSslKey key(&keyFile, QSsl::Ec);
    ASSERT_FALSE(key.isNull());

    TlsServer server(certificates.front(), key);
    FtpSettings settings = Account(server.control.serverPort());
    settings.tls = true;
    CVeltaFtp ftp(settings, Files());
    QtFtpTransport transport(ftp);
    transport.SetCaCertificates(certificates);
    transport.Run({});
    ASSERT_EQ(ftp.Result(), CVeltaFtp::Outcome::Succeeded) << ftp.Message();
    EXPECT_EQ(server.clearCommands, 1);  // AUTH TLS alone went in the clear
    EXPECT_EQ(server.commands[1], "PBSZ 0");
    EXPECT_TRUE(server.encryptedData);
    EXPECT_EQ(server.received["top.html"], ReadBytes(dir / "site" / "top.html"));

    // The same server without trusting its certificate: refused, the password never sent.
    TlsServer untrusted(certificates.front(), key);
    settings.host = "127.0.0.1:" + std::to_string(untrusted.control.serverPort());
    CVeltaFtp refused(settings, Files());
    QtFtpTransport plain(refused);
    plain.Run({});
    EXPECT_EQ(refused.Result(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(refused.Message().rfind("接続エラー:", 0), 0u) << refused.Message();
    EXPECT_EQ(untrusted.commands, (std::vector<std::string>{"AUTH TLS"}));
}

TEST_F(FtpUploadTest, SettingsDialogKeepsTheFieldsAndRefusesInjectedCommands) {
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2025, 5, 3, 14, 7)};
    DocumentContext context;
    context.settings = &settings;
    context.prompter = &prompter;
    context.clock = &clock;
    context.programFolder = dir.string();
    CAlmxDoc doc(context);
    ASSERT_TRUE(doc.SaveTo((dir / "a.alx").string()));

    CFtpSetDlg dialog(doc, prompter);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ftp設定"));
    dialog.hostEdit->setText(QStringLiteral("ftp.example.jp:2121"));
    dialog.userEdit->setText(QStringLiteral("taro"));
    dialog.passwordEdit->setText(QStringLiteral("pw\r\nDELE index.html"));
    dialog.tlsBox->setChecked(true);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(doc.Ftp().IsEmpty());
    EXPECT_FALSE(fs::exists(dir / "a.ftpset"));

    dialog.passwordEdit->setText(QStringLiteral("pw"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(doc.Ftp().host, "ftp.example.jp:2121");
    EXPECT_TRUE(doc.Ftp().tls);
    FtpSettings onDisk;
    ASSERT_EQ(LoadFtpSettings((dir / "a.ftpset").string(), onDisk), FtpSettingsLoad::Loaded);
    EXPECT_EQ(onDisk, doc.Ftp());

    // Nothing output yet: said without connecting.
    RunFtpUploadCommand(doc, settings, prompter, nullptr);
    EXPECT_TRUE(prompter.Saw("転送するファイルがありません"));
}

}  // namespace
}  // namespace almx
