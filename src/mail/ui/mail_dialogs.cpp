#include "mail/ui/mail_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/clock.h"
#include "exchange/export_forms.h"
#include "exchange/ui/export_dialogs.h"

namespace almx {

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QLineEdit* edit) {
    return edit->text().toStdString();
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QLineEdit* Row(QFormLayout* form, const char* label, const std::string& text, QWidget* parent) {
    auto* edit = new QLineEdit(Q(text), parent);
    auto* caption = new QLabel(U(label), parent);
    caption->setBuddy(edit);
    form->addRow(caption, edit);
    return edit;
}

}  // namespace

CMailSetDlg::CMailSetDlg(CMailSetForm& form, QWidget* parent) : QDialog(parent), form_(form) {
    namespace t = mail_set_texts;
    setWindowTitle(U(t::kCaption));
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    smtpEdit = Row(fields, t::kSmtp, form.smtp, this);
    smtpEdit->setMinimumWidth(260);
    mailToEdit = Row(fields, t::kMailTo, form.mailTo, this);
    fromEdit = Row(fields, t::kFrom, form.from, this);
    authList = new QComboBox(this);
    authList->addItems({U(t::kAuthNone), U(t::kAuthPopBefore), U(t::kAuthSmtp)});
    authList->setCurrentIndex(form.auth >= 0 && form.auth <= 2 ? form.auth : 0);
    auto* authLabel = new QLabel(U(t::kAuth), this);
    authLabel->setBuddy(authList);
    fields->addRow(authLabel, authList);
    portEdit = Row(fields, t::kPort, form.port, this);
    sslList = new QComboBox(this);
    sslList->addItems({U(t::kSslNone), U(t::kSslStartTls), U(t::kSslTls)});
    sslList->setCurrentIndex(form.ssl >= 0 && form.ssl <= 2 ? form.ssl : 0);
    auto* sslLabel = new QLabel(U(t::kSsl), this);
    sslLabel->setBuddy(sslList);
    fields->addRow(sslLabel, sslList);
    layout->addLayout(fields);

    accountGroup = new QGroupBox(U(t::kAccountGroup), this);
    auto* account = new QFormLayout(accountGroup);
    userEdit = Row(account, t::kUser, form.user, accountGroup);
    passwordEdit = Row(account, t::kPassword, form.password, accountGroup);
    passwordEdit->setEchoMode(QLineEdit::Password);
    popEdit = Row(account, t::kPop, form.pop, accountGroup);
    apopBox = new QCheckBox(U(t::kApop), accountGroup);
    apopBox->setChecked(form.apop);
    account->addRow(apopBox);
    layout->addWidget(accountGroup);
    layout->addWidget(OkCancel(this));

    connect(authList, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabling(); });
    UpdateEnabling();
}

void CMailSetDlg::UpdateEnabling() {
    const MailAccountEnabling on = CMailSetForm::EnablingFor(authList->currentIndex());
    userEdit->setEnabled(on.user);
    passwordEdit->setEnabled(on.password);
    popEdit->setEnabled(on.pop);
    apopBox->setEnabled(on.apop);
}

void CMailSetDlg::accept() {
    form_.smtp = S(smtpEdit);
    form_.mailTo = S(mailToEdit);
    form_.from = S(fromEdit);
    form_.auth = authList->currentIndex();
    form_.port = S(portEdit);
    form_.ssl = sslList->currentIndex();
    form_.user = S(userEdit);
    form_.password = S(passwordEdit);
    form_.pop = S(popEdit);
    form_.apop = apopBox->isChecked();
    if (form_.Accept()) QDialog::accept();
}

CTextMailDlg::CTextMailDlg(CTextMailForm& form, const Clock& clock, QWidget* parent)
    : QDialog(parent), form_(form) {
    namespace t = text_mail_texts;
    setWindowTitle(U(t::kCaption));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto dateRow = [&](int row, const char* label, const std::string& text) {
        auto* edit = new QLineEdit(Q(text), this);
        auto* caption = new QLabel(U(label), this);
        caption->setBuddy(edit);
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        auto* button = new QPushButton(U(export_form_texts::kCalendarButton), this);
        grid->addWidget(button, row, 2);
        connect(button, &QPushButton::clicked, this,
                [this, edit, &clock] { PickDateInto(edit, clock, this); });
        return edit;
    };
    startEdit = dateRow(0, t::kStart, form.startText);
    endEdit = dateRow(1, t::kEnd, form.endText);
    recipientEdit = new QLineEdit(Q(form.recipient), this);
    recipientEdit->setMinimumWidth(240);
    auto* caption = new QLabel(U(t::kRecipient), this);
    caption->setBuddy(recipientEdit);
    grid->addWidget(caption, 2, 0);
    grid->addWidget(recipientEdit, 2, 1, 1, 2);
    layout->addLayout(grid);
    layout->addWidget(OkCancel(this));
}

void CTextMailDlg::accept() {
    form_.startText = S(startEdit);
    form_.endText = S(endEdit);
    form_.recipient = S(recipientEdit);
    if (form_.Accept()) QDialog::accept();
}

}  // namespace almx
