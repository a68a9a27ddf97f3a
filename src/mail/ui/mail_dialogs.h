#pragma once
// メール設定 and the schedule mail: Qt dialogs bound to the forms of mail/.

#include <QDialog>

#include "mail/mail_set_form.h"
#include "mail/text_mail_form.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;

namespace almx {

class Clock;

class CMailSetDlg : public QDialog {
    Q_OBJECT
  public:
    // The form is loaded already.
    CMailSetDlg(CMailSetForm& form, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* smtpEdit;
    QLineEdit* mailToEdit;
    QLineEdit* fromEdit;
    QComboBox* authList;
    QLineEdit* portEdit;
    QComboBox* sslList;
    QGroupBox* accountGroup;
    QLineEdit* userEdit;
    QLineEdit* passwordEdit;
    QLineEdit* popEdit;
    QCheckBox* apopBox;

  private:
    void UpdateEnabling();
    CMailSetForm& form_;
};

class CTextMailDlg : public QDialog {
    Q_OBJECT
  public:
    // The form is preset already.
    CTextMailDlg(CTextMailForm& form, const Clock& clock, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* startEdit;
    QLineEdit* endEdit;
    QLineEdit* recipientEdit;

  private:
    CTextMailForm& form_;
};

}  // namespace almx
