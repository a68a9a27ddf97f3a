#include "mail/ui/mail_status_window.h"

#include <QVBoxLayout>

namespace almx::mail {

CStatusDlg::CStatusDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("電子メール"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    line1_ = new QLabel(this);
    line2_ = new QLabel(this);
    // Status lines can hold a server's words: plain text only.
    line1_->setTextFormat(Qt::PlainText);
    line2_->setTextFormat(Qt::PlainText);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 1);
    bar_->setValue(0);
    layout->addWidget(line1_);
    layout->addWidget(line2_);
    layout->addWidget(bar_);
    setMinimumWidth(320);
}

void CStatusDlg::ShowProgress(const std::string& line1, const std::string& line2) {
    line1_->setText(QString::fromStdString(line1));
    line2_->setText(QString::fromStdString(line2));
    if (!isVisible()) show();
}

void CStatusDlg::SetProgress(int done, int total) {
    bar_->setRange(0, std::max(total, 1));
    bar_->setValue(std::clamp(done, 0, std::max(total, 1)));
}

void CStatusDlg::HideProgress() {
    hide();
}

}  // namespace almx::mail
