#pragma once
// The modeless window "電子メール": two lines of text and a progress bar while mail goes out.

#include <QDialog>
#include <QLabel>
#include <QProgressBar>

#include "mail/mail_engine.h"

namespace almx::mail {

class CStatusDlg : public QDialog, public MailProgress {
    Q_OBJECT

  public:
    explicit CStatusDlg(QWidget* parent = nullptr);

    void ShowProgress(const std::string& line1, const std::string& line2) override;
    void SetProgress(int done, int total) override;
    void HideProgress() override;

    QString Line1() const { return line1_->text(); }
    QString Line2() const { return line2_->text(); }

  private:
    QLabel* line1_;
    QLabel* line2_;
    QProgressBar* bar_;
};

}  // namespace almx::mail
