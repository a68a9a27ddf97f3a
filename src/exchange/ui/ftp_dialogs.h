#pragma once
// "ftp設定", the progress window "ftp" and "ftp転送": the upload of exchange/ftp_client runs
// synchronously on the window thread; its progress callback keeps the window painted and
// "キャンセル" working.

#include <QDialog>

#include "exchange/ftp_upload.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

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
    bool Cancelled() const { return cancelled_; }

    QLabel* fileLabel;
    QLabel* statusLabel;
    QPushButton* cancelButton;

  signals:
    void cancelled();

  protected:
    void reject() override;

  private:
    bool cancelled_ = false;
};

// Runs the upload in the window: it repaints while libcurl works and "キャンセル" stops it.
// Returns when the upload has ended.
void RunFtpInWindow(CVeltaFtp& ftp, CFtpProgressWnd& window);

// "ftp転送": the list, the password if not kept, the progress window, the message.
void RunFtpUploadCommand(CAlmxDoc& doc, SettingsStore& settings, Prompter& prompter,
                         QWidget* parent);

}  // namespace almx
