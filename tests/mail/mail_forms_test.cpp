// The mail settings dialog's form, the test mail and the schedule mail, without widgets.

#include <gtest/gtest.h>

#include "exchange/exchange_fixture.h"
#include "mail/mail_outbox.h"
#include "mail/mail_set_form.h"
#include "mail/mail_settings.h"
#include "mail/mail_temp_dir.h"
#include "mail/text_mail_form.h"
#include "text/encoding.h"

namespace almx {
namespace {

using testing::MailTempDir;

class MailSetFormTest : public ::testing::Test {
  protected:
    MailSettings Saved() {
        MailSettings again(dir.Path());
        again.Reload();
        return again;
    }
    void WriteIni(std::string_view utf8) {
        dir.Write(MailSettings::kFileName, text::ToShiftJis(utf8));
    }

    MailTempDir dir;
    MailSettings mail{dir.Path()};
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    CMailSetForm form{mail, settings, prompter};
};

TEST_F(MailSetFormTest, LoadsTheFirstAccountAndChoosesTheAuthentication) {
    WriteIni(
        "[Set]\r\nSetCount=2\r\n[Mail]\r\nSetNo=1\r\n"
        "[Set00]\r\nSmtp=s.jp\r\nAdr=me@s.jp\r\nSmtpPortNo=587\r\nUserID=me\r\n"
        "Pop=p.jp\r\nAPOP=1\r\nSmtpAuth=1\r\nSmtpSsl=1\r\n"
        "[Set01]\r\nSmtp=other.jp\r\n");
    settings.SetString("System", "MailTo", "alarm@s.jp");
    form.Load();
    EXPECT_EQ(form.smtp, "s.jp");
    EXPECT_EQ(form.from, "me@s.jp");
    EXPECT_EQ(form.port, "587");
    EXPECT_EQ(form.user, "me");
    EXPECT_EQ(form.pop, "p.jp");
    EXPECT_TRUE(form.apop);
    EXPECT_EQ(form.auth, CMailSetForm::kSmtpAuth);
    EXPECT_EQ(form.ssl, 1);
    EXPECT_EQ(form.mailTo, "alarm@s.jp");

    WriteIni("[Set00]\r\nSmtpAuth=1\r\nPopBefore=1\r\n");
    form.Load();
    EXPECT_EQ(form.auth, CMailSetForm::kPopBefore);
}

TEST_F(MailSetFormTest, EnablingFollowsTheChoice) {
    const auto none = CMailSetForm::EnablingFor(CMailSetForm::kNone);
    EXPECT_FALSE(none.user || none.password || none.pop || none.apop);
    const auto pop = CMailSetForm::EnablingFor(CMailSetForm::kPopBefore);
    EXPECT_TRUE(pop.user && pop.password && pop.pop && pop.apop);
    const auto smtp = CMailSetForm::EnablingFor(CMailSetForm::kSmtpAuth);
    EXPECT_TRUE(smtp.user && smtp.password);
    EXPECT_FALSE(smtp.pop || smtp.apop);
}

TEST_F(MailSetFormTest, OkCreatesTheAccountAndWritesEveryField) {
    WriteIni("[Set]\r\nSetCount=0\r\n[Mail]\r\nSetNo=0\r\n");
    form.Load();
    form.smtp = " smtp.s.jp ";
    form.mailTo = "alarm@s.jp";
    form.from = "me@s.jp";
    form.port = "465";
    form.user = "me";
    form.password = "Secret 1";
    form.pop = "pop.s.jp";
    form.auth = CMailSetForm::kSmtpAuth;
    form.ssl = 2;
    ASSERT_TRUE(form.Accept());
    EXPECT_EQ(settings.GetString("System", "MailTo", ""), "alarm@s.jp");
    const MailSettings saved = Saved();
    ASSERT_EQ(saved.Accounts().size(), 1u);
    const MailAccount& a = saved.Accounts()[0];
    EXPECT_EQ(a.name, "接続00");
    EXPECT_EQ(a.smtp, "smtp.s.jp");
    EXPECT_EQ(a.smtpPort, 465);
    EXPECT_EQ(a.password, "Secret 1");
    EXPECT_TRUE(a.smtpAuth);
    EXPECT_FALSE(a.popBefore);
    EXPECT_EQ(a.smtpSsl, 2);
    EXPECT_EQ(a.popSsl, 2);
    EXPECT_EQ(a.popPort, 995);
    EXPECT_EQ(saved.CurrentIndex(), 0);
    EXPECT_EQ(dir.Read(MailSettings::kFileName).find("Secret 1"), std::string::npos);
}

TEST_F(MailSetFormTest, BothFlagsSurviveAnUnchangedChoiceOnly) {
    WriteIni("[Set00]\r\nSmtp=s.jp\r\nSmtpAuth=1\r\nPopBefore=1\r\n");
    form.Load();
    ASSERT_TRUE(form.Accept());
    EXPECT_TRUE(Saved().Accounts()[0].smtpAuth);
    EXPECT_TRUE(Saved().Accounts()[0].popBefore);

    form.Load();
    form.auth = CMailSetForm::kNone;
    ASSERT_TRUE(form.Accept());
    EXPECT_FALSE(Saved().Accounts()[0].smtpAuth);
    EXPECT_FALSE(Saved().Accounts()[0].popBefore);
}

TEST_F(MailSetFormTest, RefusesBadPortsAndCharactersTheFileCannotHold) {
    form.Load();
    for (const char* port : {"0", "65536", "", "25x", "-1", "99999999999"}) {
        form.port = port;
        EXPECT_FALSE(form.Accept()) << port;
    }
    EXPECT_EQ(prompter.Shown().back(), mail_set_texts::kBadPort);
    EXPECT_FALSE(std::filesystem::exists(dir.File(MailSettings::kFileName)));
    EXPECT_FALSE(settings.Contains("System", "MailTo"));

    form.port = "65535";
    form.user = "😀";
    EXPECT_FALSE(form.Accept());
    EXPECT_NE(prompter.Shown().back().find("ユーザ名"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File(MailSettings::kFileName)));

    form.user = "me";
    EXPECT_TRUE(form.Accept());
    EXPECT_EQ(Saved().Accounts()[0].smtpPort, 65535);
}

TEST_F(MailSetFormTest, TestMailChecksTheSettingsFirst) {
    std::vector<OutgoingMail> sent;
    const MailSendFunction send = [&sent](const std::vector<OutgoingMail>& m) {
        sent.insert(sent.end(), m.begin(), m.end());
        return true;
    };
    WriteIni("[Set]\r\nSetCount=0\r\n");
    mail.Reload();
    EXPECT_EQ(CheckMailReadiness(mail), MailReadiness::NoAccount);
    EXPECT_FALSE(SendTestMail(mail, settings, send, prompter));
    WriteIni("[Set00]\r\nSmtp=\r\n");
    mail.Reload();
    EXPECT_FALSE(SendTestMail(mail, settings, send, prompter));
    WriteIni("[Set00]\r\nSmtp=s.jp\r\n");
    mail.Reload();
    EXPECT_FALSE(SendTestMail(mail, settings, send, prompter));
    settings.SetString("System", "MailTo", "alarm@s.jp");
    EXPECT_FALSE(SendTestMail(mail, settings, nullptr, prompter));
    EXPECT_EQ(
        prompter.Shown(),
        (std::vector<std::string>{
            "エラー：メールの設定がされていません", "エラー：メールのサーバ設定がされていません",
            "送信先を指定してください", mail_outbox_messages::kSendUnavailable}));
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(SendTestMail(mail, settings, send, prompter));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].to, "alarm@s.jp");
    EXPECT_EQ(sent[0].subject, "Almanix通知");
    EXPECT_EQ(sent[0].body, "TEST");
}

TEST(TextMailForm, PresetsTheRangeAndKeepsItsOwnRecipient) {
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    CTextMailForm form(settings, prompter);
    settings.SetString("System", "MailTo", "alarm@s.jp");
    form.Preset(DateTime::FromDate(2025, 12, 25));
    EXPECT_EQ(form.startText, "2025/12/25");
    EXPECT_EQ(form.endText, "2026/01/08");
    EXPECT_EQ(form.recipient, "alarm@s.jp");

    form.recipient = "friend@s.jp";
    form.startText = "2025/13/01";
    EXPECT_FALSE(form.Accept());
    // The recipient is written back even when a date is refused, and never to "MailTo".
    EXPECT_EQ(settings.GetString("System", "Mailto", ""), "friend@s.jp");
    EXPECT_EQ(settings.GetString("System", "MailTo", ""), "alarm@s.jp");
    form.startText = "2025/12/25";
    form.endText = "2025/12/24";
    EXPECT_FALSE(form.Accept());
    EXPECT_EQ(prompter.Shown(), (std::vector<std::string>{"正しい開始日付を入力してください",
                                                          "正しい終了日付を入力してください"}));
    form.endText = "2025/12/31";
    EXPECT_TRUE(form.Accept());
    EXPECT_EQ(form.end, DateTime::FromDate(2025, 12, 31));

    form.Preset(DateTime::FromDate(9998, 12, 20));
    EXPECT_EQ(form.endText, "9998/12/31");
    EXPECT_EQ(form.recipient, "friend@s.jp");
}

TEST(TextMailForm, AddressIsPercentEncodedUtf8) {
    EXPECT_EQ(PercentEncode("aZ09@.-_~ "), "aZ09%40%2E%2D%5F%7E%20");
    EXPECT_EQ(PercentEncode("髙①\r\n"), "%E9%AB%99%E2%91%A0%0D%0A");
    EXPECT_EQ(ScheduleMailAddress("a@b.jp", DateTime::FromDate(2025, 3, 7),
                                  DateTime::FromDate(2025, 3, 21), 2, "03/07 会議\r\n"),
              "mailto:a%40b%2Ejp?subject=03%2F07%2D03%2F21%20%282%29"
              "&body=03%2F07%20%E4%BC%9A%E8%AD%B0%0D%0A");
}

class RecordingLauncher : public FileLauncher {
  public:
    int Open(const std::string& target, const std::string&) override {
        opened.push_back(target);
        return launch::kSuccess;
    }
    std::vector<std::string> opened;
};

class ScheduleMailTest : public testing::ExchangeTest {};

TEST_F(ScheduleMailTest, HandsTheRangeToTheMailProgram) {
    CTextMailForm form(settings, prompter);
    form.recipient = "a@b.jp";
    form.startText = "2024/05/03";
    form.endText = "2024/05/04";
    ASSERT_TRUE(form.Accept());
    RecordingLauncher launcher;
    {
        CAlmxTextExport exporter(Source(), form.start, form.end, Environment());
        EXPECT_FALSE(MailSchedulesAsText(form, exporter, 0, launcher, prompter));
        EXPECT_TRUE(launcher.opened.empty());
        EXPECT_EQ(prompter.Shown().back(), "スケジュールがありません");
    }
    Add(testing::Schedule("会議", testing::Day(2024, 5, 3), testing::Day(2024, 5, 4)));
    CAlmxTextExport exporter(Source(), form.start, form.end, Environment());
    EXPECT_TRUE(MailSchedulesAsText(form, exporter, 2, launcher, prompter));
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0], "mailto:a%40b%2Ejp?subject=05%2F03%2D05%2F04%20%282%29&body=" +
                                      PercentEncode("05/03(金) 会議\r\n05/04(土) 会議\r\n"));
}

}  // namespace
}  // namespace almx
