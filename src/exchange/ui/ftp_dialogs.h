#pragma once
// "ftp設定", the progress window "ftp" and "ftp転送": the session of exchange/ftp_client run on
// Qt sockets on the window thread, with a local event loop so the window repaints and
// "キャンセル" works while the command waits for the upload to end.

#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QSslCertificate>
#include <QTimer>
#include <memory>

#include "exchange/ftp_upload.h"

class QCheckBox;
class QEventLoop;
class QLabel;
class QLineEdit;
class QPushButton;
class QSslSocket;
class QTcpServer;

namespace almx {

class CAlmxDoc;
class Prompter;
class SettingsStore;

class CFtpSetDlg : public QDialog {
    Q_OBJECT
  public:
    CFtpSetDlg(CAlmxDoc& doc, Prompter& prompter, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* hostEdit;
    QLineEdit* userEdit;
    QLineEdit* passwordEdit;
    QLineEdit* folderEdit;
    QCheckBox* passiveBox;
    QCheckBox* tlsBox;
    QCheckBox* askPasswordBox;

  private:
    CAlmxDoc& doc_;
    Prompter& prompter_;
};

// The modeless window "ftp": the file being sent and the status word.
class CFtpProgressWnd : public QDialog {
    Q_OBJECT
  public:
    explicit CFtpProgressWnd(QWidget* parent = nullptr);
    void Show(const QString& file, const QString& status);

    QLabel* fileLabel;
    QLabel* statusLabel;
    QPushButton* cancelButton;

  signals:
    void cancelled();

  protected:
    void reject() override;
};

// Runs one session to its end on QSslSocket (plain TCP unless TLS is set).
class QtFtpTransport : public QObject {
    Q_OBJECT
  public:
    explicit QtFtpTransport(CVeltaFtp& ftp, QObject* parent = nullptr);
    ~QtFtpTransport() override;

    // Returns when the session has ended; progress is called on every status or file change.
    void Run(const std::function<void()>& progress);
    void Cancel();
    // Tests trust their own certificate authority.
    void SetCaCertificates(const QList<QSslCertificate>& certificates);

  private:
    void Process();
    void ConnectControl(const QString& host, int port);
    void ConnectData(int port, bool tls);
    void Listen(bool tls);
    void AttachData(QSslSocket* socket, bool tls);
    void StartFile(std::size_t index);
    void WriteMore();
    void CloseData();
    FtpClock Now() const;
    void Arm();

    CVeltaFtp& ftp_;
    std::function<void()> progress_;
    QEventLoop* loop_ = nullptr;
    QSslSocket* control_ = nullptr;
    QPointer<QSslSocket> data_;
    QTcpServer* server_ = nullptr;
    QTimer timer_;
    QString host_;
    QList<QSslCertificate> caCertificates_;
    bool dataTls_ = false;
    bool sending_ = false;
    bool finishing_ = false;
    bool processing_ = false;
    std::unique_ptr<QFile> input_;
    bool text_ = true;
    bool lastWasCr_ = false;
    std::uint64_t sent_ = 0;
    std::string status_;
    int file_ = -2;
};

// "ftp転送": the list, the password if not kept, the progress window, the message.
void RunFtpUploadCommand(CAlmxDoc& doc, SettingsStore& settings, Prompter& prompter,
                         QWidget* parent);

}  // namespace almx
