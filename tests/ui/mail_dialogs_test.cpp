// The mail settings dialog and the schedule mail dialog bind their forms; the frame's mail
// commands read the real settings.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "app/app_context.h"
#include "app/mail_commands.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "mail/mail_settings.h"
#include "mail/mail_temp_dir.h"
#include "mail/ui/mail_dialogs.h"

namespace almx {
namespace {

using testing::MailTempDir;

QStringList LabelTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
    return texts;
}

TEST(MailDialogs, SettingsDialogShowsTheAccountAndEnablesByTheChoice) {
    MailTempDir dir;
    dir.Write(MailSettings::kFileName, "[Set00]\r\nSmtp=s.jp\r\nSmtpAuth=1\r\nSmtpPortNo=587\r\n");
    MailSettings mail(dir.Path());
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    CMailSetForm form(mail, settings, prompter);
    form.Load();
    CMailSetDlg dialog(form);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("メール設定"));
    const QStringList labels = LabelTexts(dialog);
    for (const char* caption :
         {"SMTPサーバ(&S):", "送信先アドレス(&M):", "&Fromアドレス:", "認証(&N):",
          "SMTPポート(&P):", "ユーザ名(&U):", "パスワード(&P):", "P&OPサーバ:", "暗号化(&E):"}) {
        EXPECT_TRUE(labels.contains(QString::fromUtf8(caption))) << caption;
    }
    EXPECT_EQ(dialog.accountGroup->title(), QStringLiteral("認証時アカウント"));
    EXPECT_EQ(dialog.apopBox->text(), QStringLiteral("&APOP"));
    EXPECT_EQ(dialog.sslList->itemText(1), QStringLiteral("STARTTLS"));
    EXPECT_EQ(dialog.sslList->itemText(2), QStringLiteral("SSL/TLS"));
    EXPECT_EQ(dialog.authList->itemText(1), QStringLiteral("POP Before SMTP"));
    EXPECT_EQ(dialog.smtpEdit->text(), QStringLiteral("s.jp"));
    EXPECT_EQ(dialog.portEdit->text(), QStringLiteral("587"));
    EXPECT_EQ(dialog.authList->currentIndex(), 2);
    EXPECT_EQ(dialog.passwordEdit->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(dialog.userEdit->isEnabled());
    EXPECT_FALSE(dialog.popEdit->isEnabled());
    EXPECT_FALSE(dialog.apopBox->isEnabled());

    dialog.authList->setCurrentIndex(0);
    EXPECT_FALSE(dialog.userEdit->isEnabled() || dialog.passwordEdit->isEnabled() ||
                 dialog.popEdit->isEnabled() || dialog.apopBox->isEnabled());
    dialog.authList->setCurrentIndex(1);
    EXPECT_TRUE(dialog.userEdit->isEnabled() && dialog.passwordEdit->isEnabled() &&
                dialog.popEdit->isEnabled() && dialog.apopBox->isEnabled());

    // A bad port keeps the dialog open; a good one writes the file.
    dialog.portEdit->setText(QStringLiteral("0"));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.portEdit->setText(QStringLiteral("2525"));
    dialog.popEdit->setText(QStringLiteral("pop.s.jp"));
    dialog.sslList->setCurrentIndex(1);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    MailSettings saved(dir.Path());
    saved.Reload();
    EXPECT_EQ(saved.Accounts()[0].smtpPort, 2525);
    EXPECT_EQ(saved.Accounts()[0].pop, "pop.s.jp");
    EXPECT_TRUE(saved.Accounts()[0].popBefore);
    EXPECT_EQ(saved.Accounts()[0].smtpSsl, 1);
}

TEST(MailDialogs, ScheduleMailDialogBindsItsForm) {
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    settings.SetString("System", "MailTo", "alarm@s.jp");
    CTextMailForm form(settings, prompter);
    form.Preset(DateTime::FromDate(2025, 3, 7));
    ManualClock clock(DateTime::FromDate(2025, 3, 7));
    CTextMailDlg dialog(form, clock);
    EXPECT_EQ(dialog.startEdit->text(), QStringLiteral("2025/03/07"));
    EXPECT_EQ(dialog.endEdit->text(), QStringLiteral("2025/03/21"));
    EXPECT_EQ(dialog.recipientEdit->text(), QStringLiteral("alarm@s.jp"));
    dialog.endEdit->setText(QStringLiteral("x"));
    dialog.recipientEdit->setText(QStringLiteral("friend@s.jp"));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.GetString("System", "Mailto", ""), "friend@s.jp");
    dialog.endEdit->setText(QStringLiteral("2025/03/10"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(form.end, DateTime::FromDate(2025, 3, 10));
}

TEST(MailDialogs, FrameCommandsReadTheRealSettings) {
    MailTempDir dir;
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    AppContext context;
    context.settings = &settings;
    context.prompter = &prompter;
    context.mailFolder = dir.Path();
    // A new installation has an account without a server.
    EXPECT_EQ(CurrentMailSetup(context), MailSetup::NoServer);
    dir.Write(MailSettings::kFileName, "[Set]\r\nSetCount=0\r\n");
    EXPECT_EQ(CurrentMailSetup(context), MailSetup::NoAccount);
    dir.Write(MailSettings::kFileName, "[Set00]\r\nSmtp=s.jp\r\n");
    EXPECT_EQ(CurrentMailSetup(context), MailSetup::Ready);

    settings.SetString("System", "MailTo", "alarm@s.jp");
    RunTestMail(context);
    EXPECT_EQ(prompter.Shown(),
              (std::vector<std::string>{"メールの送信機能は、まだ使用できません"}));
    int calls = 0;
    context.sendMail = [&calls](const std::vector<OutgoingMail>& messages) {
        calls += static_cast<int>(messages.size());
        return true;
    };
    RunTestMail(context);
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace almx
