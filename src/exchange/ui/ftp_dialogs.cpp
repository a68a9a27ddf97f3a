#include "exchange/ui/ftp_dialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"

namespace almx {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

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
    connect(cancelButton, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        emit cancelled();
    });
}

void CFtpProgressWnd::Show(const QString& file, const QString& status) {
    fileLabel->setText(file);
    statusLabel->setText(status);
}

void CFtpProgressWnd::reject() {
    cancelled_ = true;
    emit cancelled();
}

// ---- the upload

void RunFtpInWindow(CVeltaFtp& ftp, CFtpProgressWnd& window) {
    // The document stays as it is while its pages go out.
    window.setWindowModality(Qt::ApplicationModal);
    window.show();
    int shownFile = -2;
    std::string shownStatus;
    ftp.Run([&] {
        const int file = ftp.CurrentFile();
        if (file != shownFile || ftp.Status() != shownStatus) {
            shownFile = file;
            shownStatus = ftp.Status();
            window.Show(file >= 0 ? Q(ftp.Files()[std::size_t(file)].localPath) : QString(),
                        Q(shownStatus));
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return !window.Cancelled();
    });
    // hide(), not close(): closing a dialog goes through reject(), which here means cancel.
    window.hide();
}

void RunFtpUploadCommand(CAlmxDoc& doc, SettingsStore& settings, Prompter& prompter,
                         QWidget* parent) {
    std::optional<CVeltaFtp> ftp =
        PrepareFtpUpload(doc.Ftp(), settings, prompter, RegularFileExists);
    if (!ftp) return;
    CFtpProgressWnd window(parent);
    RunFtpInWindow(*ftp, window);
    ReportFtpOutcome(*ftp, prompter);
}

}  // namespace almx
