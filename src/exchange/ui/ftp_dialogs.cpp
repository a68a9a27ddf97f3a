#include "exchange/ui/ftp_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFormLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <QVBoxLayout>
#include <chrono>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"

namespace almx {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Accepts the server's data connection as a socket that can also speak TLS.
class DataServer : public QTcpServer {
  public:
    std::function<void(qintptr)> accepted;

  protected:
    void incomingConnection(qintptr descriptor) override {
        if (accepted) accepted(descriptor);
    }
};

}  // namespace

// ---- ftp設定

CFtpSetDlg::CFtpSetDlg(CAlmxDoc& doc, Prompter& prompter, QWidget* parent)
    : QDialog(parent), doc_(doc), prompter_(prompter) {
    setWindowTitle("ftp設定");
    const FtpSettings& s = doc.Ftp();
    hostEdit = new QLineEdit(Q(s.host), this);
    userEdit = new QLineEdit(Q(s.user), this);
    passwordEdit = new QLineEdit(Q(s.password), this);
    passwordEdit->setEchoMode(QLineEdit::Password);
    folderEdit = new QLineEdit(Q(s.folder), this);
    passiveBox = new QCheckBox("PASVモード使用", this);
    passiveBox->setChecked(s.passive);
    tlsBox = new QCheckBox("TLSを使用する（FTPS）", this);
    tlsBox->setChecked(s.tls);
    askPasswordBox = new QCheckBox("パスワードを保存しない", this);
    askPasswordBox->setChecked(s.askPassword);
    passwordEdit->setEnabled(!s.askPassword);
    connect(askPasswordBox, &QCheckBox::toggled, passwordEdit,
            [this](bool ask) { passwordEdit->setEnabled(!ask); });

    auto* form = new QFormLayout;
    form->addRow("ホスト名", hostEdit);
    form->addRow("ユーザ名", userEdit);
    form->addRow("パスワード", passwordEdit);
    form->addRow("", askPasswordBox);
    form->addRow("ディレクトリ", folderEdit);
    form->addRow("", passiveBox);
    form->addRow("", tlsBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText("キャンセル");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CFtpSetDlg::accept() {
    FtpSettings edited;
    edited.host = hostEdit->text().trimmed().toStdString();
    edited.user = userEdit->text().toStdString();
    edited.password = passwordEdit->text().toStdString();
    edited.folder = folderEdit->text().toStdString();
    edited.passive = passiveBox->isChecked();
    edited.tls = tlsBox->isChecked();
    edited.askPassword = askPasswordBox->isChecked();
    if (ApplyFtpSettings(doc_, edited, prompter_)) QDialog::accept();
}

// ---- the progress window

CFtpProgressWnd::CFtpProgressWnd(QWidget* parent) : QDialog(parent) {
    setWindowTitle("ftp");
    fileLabel = new QLabel(this);
    statusLabel = new QLabel(this);
    fileLabel->setMinimumWidth(360);
    cancelButton = new QPushButton("キャンセル", this);
    auto* form = new QFormLayout;
    form->addRow("ファイル名", fileLabel);
    form->addRow("ステータス", statusLabel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(cancelButton, 0, Qt::AlignRight);
    connect(cancelButton, &QPushButton::clicked, this, &CFtpProgressWnd::cancelled);
}

void CFtpProgressWnd::Show(const QString& file, const QString& status) {
    fileLabel->setText(file);
    statusLabel->setText(status);
}

void CFtpProgressWnd::reject() {
    emit cancelled();
}

// ---- the transport

QtFtpTransport::QtFtpTransport(CVeltaFtp& ftp, QObject* parent) : QObject(parent), ftp_(ftp) {
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, [this] {
        ftp_.Tick(Now());
        Process();
    });
}

QtFtpTransport::~QtFtpTransport() = default;

void QtFtpTransport::SetCaCertificates(const QList<QSslCertificate>& certificates) {
    caCertificates_ = certificates;
}

FtpClock QtFtpTransport::Now() const {
    return std::chrono::duration_cast<FtpClock>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void QtFtpTransport::Run(const std::function<void()>& progress) {
    progress_ = progress;
    QEventLoop loop;
    loop_ = &loop;
    timer_.start();
    ftp_.Start(Now());
    Process();
    if (ftp_.Running()) loop.exec();
    timer_.stop();
    loop_ = nullptr;
    CloseData();
    if (control_) control_->abort();
}

void QtFtpTransport::Cancel() {
    ftp_.Cancel();
    Process();
}

void QtFtpTransport::Process() {
    // A socket may signal while an action runs (an abort emits at once): the loop below then
    // takes what the machine asked meanwhile, in order.
    if (processing_) return;
    processing_ = true;
    for (;;) {
        std::vector<CVeltaFtp::Action> actions = ftp_.TakeActions();
        if (actions.empty()) break;
        for (const CVeltaFtp::Action& action : actions) {
            using Kind = CVeltaFtp::ActionKind;
            switch (action.kind) {
                case Kind::ConnectControl:
                    ConnectControl(Q(action.host), action.port);
                    break;
                case Kind::SendControl:
                    if (control_) control_->write(action.bytes.data(), qint64(action.bytes.size()));
                    break;
                case Kind::StartControlTls:
                    control_->setPeerVerifyName(host_);
                    control_->startClientEncryption();
                    break;
                case Kind::ConnectData:
                    ConnectData(action.port, action.tls);
                    break;
                case Kind::ListenData:
                    Listen(action.tls);
                    break;
                case Kind::SendFileData:
                    StartFile(action.file);
                    break;
                case Kind::CloseData:
                    CloseData();
                    break;
                case Kind::CloseControl:
                    if (control_) {
                        control_->disconnect(this);
                        control_->abort();
                    }
                    break;
            }
        }
    }
    processing_ = false;
    if (ftp_.Status() != status_ || ftp_.CurrentFile() != file_) {
        status_ = ftp_.Status();
        file_ = ftp_.CurrentFile();
        if (progress_) progress_();
    }
    if (!ftp_.Running() && loop_) loop_->quit();
}

void QtFtpTransport::ConnectControl(const QString& host, int port) {
    host_ = host;
    control_ = new QSslSocket(this);
    QSslConfiguration config = control_->sslConfiguration();
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    // The data connections resume the control connection's TLS session, as servers ask.
    config.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    if (!caCertificates_.isEmpty()) config.addCaCertificates(caCertificates_);
    control_->setSslConfiguration(config);
    connect(control_, &QSslSocket::connected, this, [this] {
        ftp_.ControlConnected(Now());
        Process();
    });
    connect(control_, &QSslSocket::readyRead, this, [this] {
        const QByteArray bytes = control_->readAll();
        ftp_.ControlBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())), Now());
        Process();
    });
    connect(control_, &QSslSocket::encrypted, this, [this] {
        ftp_.ControlTlsReady(Now());
        Process();
    });
    connect(control_, &QSslSocket::errorOccurred, this, [this] {
        ftp_.ControlClosed(control_->errorString().toStdString(), Now());
        Process();
    });
    connect(control_, &QSslSocket::disconnected, this, [this] {
        ftp_.ControlClosed("", Now());
        Process();
    });
    control_->connectToHost(host, quint16(port));
}

void QtFtpTransport::AttachData(QSslSocket* socket, bool tls) {
    data_ = socket;
    dataTls_ = tls;
    if (tls) socket->setSslConfiguration(control_->sslConfiguration());
    connect(socket, &QSslSocket::encrypted, this, [this] { WriteMore(); });
    connect(socket, &QSslSocket::bytesWritten, this, [this](qint64 n) {
        if (dataTls_) return;
        sent_ += std::uint64_t(n);
        ftp_.DataProgress(sent_, Now());
        WriteMore();
    });
    connect(socket, &QSslSocket::encryptedBytesWritten, this, [this](qint64 n) {
        sent_ += std::uint64_t(n);
        ftp_.DataProgress(sent_, Now());
        WriteMore();
    });
    connect(socket, &QSslSocket::disconnected, this, [this] {
        if (!sending_) return;
        sending_ = false;
        if (finishing_) {
            ftp_.DataDone(Now());
        } else {
            ftp_.DataFailed(data_ ? data_->errorString().toStdString() : std::string(), Now());
        }
        Process();
    });
    connect(socket, &QSslSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (finishing_ && error == QAbstractSocket::RemoteHostClosedError) return;
        ftp_.DataFailed(data_->errorString().toStdString(), Now());
        Process();
    });
}

void QtFtpTransport::ConnectData(int port, bool tls) {
    auto* socket = new QSslSocket(this);
    AttachData(socket, tls);
    connect(socket, &QSslSocket::connected, this, [this] {
        ftp_.DataConnected(Now());
        Process();
    });
    // The control connection's peer, whatever address a reply named.
    socket->connectToHost(control_->peerAddress(), quint16(port));
}

void QtFtpTransport::Listen(bool tls) {
    auto* server = new DataServer;
    server->setParent(this);
    server_ = server;
    server->accepted = [this, tls](qintptr descriptor) {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        AttachData(socket, tls);
        server_->close();
        ftp_.DataConnected(Now());
        if (sending_) {
            if (dataTls_) {
                data_->setPeerVerifyName(host_);
                data_->startClientEncryption();
            } else {
                WriteMore();
            }
        }
        Process();
    };
    if (!server->listen(control_->localAddress(), 0)) {
        ftp_.DataFailed(server->errorString().toStdString(), Now());
        return;
    }
    ftp_.DataListening(server->serverAddress().toString().toStdString(), server->serverPort(),
                       Now());
}

void QtFtpTransport::StartFile(std::size_t index) {
    const FtpFile& file = ftp_.Files()[index];
    input_ = std::make_unique<QFile>(Q(file.localPath));
    if (!input_->open(QIODevice::ReadOnly)) {
        ftp_.DataFailed(input_->errorString().toStdString(), Now());
        return;
    }
    text_ = file.text;
    lastWasCr_ = false;
    sent_ = 0;
    sending_ = true;
    finishing_ = false;
    if (!data_) return;  // active mode: the server has not connected yet
    if (dataTls_) {
        data_->setPeerVerifyName(host_);
        data_->startClientEncryption();
        return;
    }
    WriteMore();
}

void QtFtpTransport::WriteMore() {
    if (!sending_ || finishing_ || !data_ || !input_) return;
    if (dataTls_ && !data_->isEncrypted()) return;
    while (data_->bytesToWrite() < 256 * 1024) {
        const QByteArray piece = input_->read(64 * 1024);
        if (piece.isEmpty()) {
            if (!input_->atEnd()) {
                ftp_.DataFailed(input_->errorString().toStdString(), Now());
                Process();
                return;
            }
            // All handed to the socket; it closes once the last byte went.
            finishing_ = true;
            data_->disconnectFromHost();
            return;
        }
        const std::string_view view(piece.constData(), std::size_t(piece.size()));
        const std::string bytes = text_ ? ToNetworkText(view, lastWasCr_) : std::string(view);
        data_->write(bytes.data(), qint64(bytes.size()));
    }
}

void QtFtpTransport::CloseData() {
    sending_ = false;
    if (data_) {
        data_->disconnect(this);
        data_->abort();
        data_->deleteLater();
        data_ = nullptr;
    }
    if (server_) {
        server_->close();
        server_->deleteLater();
        server_ = nullptr;
    }
    input_.reset();
}

// ---- ftp転送

void RunFtpUploadCommand(CAlmxDoc& doc, SettingsStore& settings, Prompter& prompter,
                         QWidget* parent) {
    std::optional<CVeltaFtp> ftp =
        PrepareFtpUpload(doc.Ftp(), settings, prompter, RegularFileExists);
    if (!ftp) return;
    CFtpProgressWnd window(parent);
    QtFtpTransport transport(*ftp);
    QObject::connect(&window, &CFtpProgressWnd::cancelled, &transport, &QtFtpTransport::Cancel);
    window.show();
    transport.Run([&] {
        const int file = ftp->CurrentFile();
        window.Show(file >= 0 ? Q(ftp->Files()[std::size_t(file)].localPath) : QString(),
                    Q(ftp->Status()));
    });
    window.close();
    ReportFtpOutcome(*ftp, prompter);
}

}  // namespace almx
