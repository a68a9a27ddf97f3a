#include "mail/mail_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "base/clock.h"
#include "mail/mail_temp_dir.h"
#include "text/encoding.h"

namespace almx {
namespace {

using testing::MailTempDir;

MailSettings FromText(const MailTempDir& dir, std::string_view utf8) {
    dir.Write(MailSettings::kFileName, text::ToShiftJis(utf8));
    MailSettings settings(dir.Path());
    settings.Reload();
    return settings;
}

TEST(MailSettings, NewInstallationHasOneEmptyAccount) {
    MailTempDir dir;
    MailSettings settings(dir.Path());
    settings.Reload();
    ASSERT_EQ(settings.Accounts().size(), 1u);
    const MailAccount& a = settings.Accounts()[0];
    EXPECT_EQ(a.name, "接続00");
    EXPECT_EQ(a.smtp, "");
    EXPECT_EQ(a.pop, "");
    EXPECT_EQ(a.smtpPort, 25);
    EXPECT_FALSE(a.smtpAuth);
    EXPECT_FALSE(a.popBefore);
    EXPECT_EQ(a.smtpSsl, 0);
    EXPECT_EQ(a.popPort, 110);
    EXPECT_EQ(settings.Current(), &settings.Accounts()[0]);
    ASSERT_EQ(settings.Signatures().size(), 5u);
    EXPECT_EQ(settings.Signatures()[4].name, "署名5");
    EXPECT_EQ(settings.Signatures()[4].file, "signe5.txt");
    EXPECT_EQ(settings.SignatureDir(), "Signe");
    EXPECT_EQ(settings.SmailTime(), 200);
    EXPECT_FALSE(settings.ManyAlert());
}

TEST(MailSettings, ReadsNamesCaseInsensitivelyAndSystemDefaults) {
    MailTempDir dir;
    MailSettings s = FromText(dir,
                              "[system]\r\nnotdel=0\r\nRFIRST=1\r\nMailKakunin=3\r\n"
                              "[SET]\r\nsetcount=2\r\nset01=仕事\r\n"
                              "[set01]\r\nSMTP= smtp.example.jp \r\nadr=\"a@example.jp\"\r\n"
                              "[Mail]\r\nSETNO=1\r\n");
    ASSERT_EQ(s.Accounts().size(), 2u);
    EXPECT_EQ(s.CurrentIndex(), 1);
    const MailAccount& a = s.Accounts()[1];
    EXPECT_EQ(a.name, "仕事");
    EXPECT_EQ(a.smtp, "smtp.example.jp");
    EXPECT_EQ(a.address, "a@example.jp");
    EXPECT_EQ(a.notDel, 0);
    EXPECT_TRUE(a.popBefore);
    EXPECT_EQ(a.mailKakunin, 3);
    EXPECT_EQ(s.Accounts()[0].name, "接続00");
}

TEST(MailSettings, ClampsCountsIndexesAndPorts) {
    MailTempDir dir;
    MailSettings s = FromText(
        dir,
        "[Set]\r\nSetCount=100000\r\n[Mail]\r\nSetNo=250\r\n[System]\r\nSmailTime=600000\r\n"
        "[Signe]\r\nSetCount=99999\r\n"
        "[Set00]\r\nSmtpPortNo=70000\r\nSmtpSsl=7\r\nPopSsl=2\r\n"
        "[Set01]\r\nSmtpPortNo=0\r\nPopPortNo=x\r\nSmtpSsl=2\r\n");
    EXPECT_EQ(s.Accounts().size(), 200u);
    EXPECT_EQ(s.CurrentIndex(), 0);
    EXPECT_EQ(s.Signatures().size(), 1000u);
    EXPECT_EQ(s.SmailTime(), 5000);  // the wait after QUIT stays short
    EXPECT_EQ(s.Accounts()[0].smtpPort, 25);
    EXPECT_EQ(s.Accounts()[0].smtpSsl, 0);
    EXPECT_EQ(s.Accounts()[0].popPort, 995);  // implicit TLS defaults to 995
    EXPECT_EQ(s.Accounts()[1].smtpPort, 25);
    EXPECT_EQ(s.Accounts()[1].popPort, 110);
    EXPECT_EQ(s.Accounts()[1].smtpSsl, 2);

    MailSettings none =
        FromText(dir, "[Set]\r\nSetCount=-4\r\n[Mail]\r\nSetNo=-1\r\n[System]\r\nSmailTime=-5\r\n");
    EXPECT_EQ(none.SmailTime(), 0);
    EXPECT_TRUE(none.Accounts().empty());
    EXPECT_EQ(none.Current(), nullptr);
    EXPECT_EQ(none.Sender().smtpServer, "");
}

TEST(MailSettings, SaveKeepsUnknownKeysCommentsAndScramblesPasswords) {
    MailTempDir dir;
    MailSettings s = FromText(dir,
                              "; own notes\r\n[Set]\r\nSetCount=1\r\nSet00=自宅\r\n"
                              "[Set00]\r\nSmtp=old\r\nFuture=残す値\r\nSysPass=x\r\n"
                              "[Other]\r\nKey=1\r\n");
    MailAccount& a = s.Accounts()[0];
    a.smtp = "smtp.example.jp";
    a.password = "pa5s-Word!";
    a.userName = "山田 太郎";
    a.smtpSsl = 1;
    ASSERT_TRUE(s.SaveAccounts());

    const std::string bytes = dir.Read(MailSettings::kFileName);
    EXPECT_EQ(bytes.find("pa5s-Word!"), std::string::npos);
    EXPECT_NE(bytes.find("; own notes\r\n"), std::string::npos);
    EXPECT_NE(bytes.find(text::ToShiftJis("Future=残す値\r\n")), std::string::npos);
    EXPECT_NE(bytes.find("[Other]\r\nKey=1\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("SysPass=x\r\n"), std::string::npos);

    MailSettings again(dir.Path());
    again.Reload();
    ASSERT_EQ(again.Accounts().size(), 1u);
    EXPECT_EQ(again.Accounts()[0].name, "自宅");
    EXPECT_EQ(again.Accounts()[0].smtp, "smtp.example.jp");
    EXPECT_EQ(again.Accounts()[0].password, "pa5s-Word!");
    EXPECT_EQ(again.Accounts()[0].userName, "山田 太郎");
    EXPECT_EQ(again.Accounts()[0].smtpSsl, 1);
    const std::string stored = again.Profile().GetString("Set00", "Pass", "");
    EXPECT_EQ(stored.size(), 10u);
    EXPECT_EQ(stored[4], '-');
    EXPECT_EQ(stored[9], '!');
    EXPECT_EQ(again.Sender().password, "pa5s-Word!");
    EXPECT_EQ(again.Sender().fromName, "山田 太郎");
}

TEST(MailSettings, SavedFileIsPrivateAndAFailedSaveLeavesTheOldFile) {
    MailTempDir dir;
    const std::string folder = dir.File("new/conf");
    MailSettings s(folder);
    s.Reload();
    ASSERT_TRUE(s.SaveAccounts());
    struct stat st {};
    ASSERT_EQ(::stat((folder + "/almxmail.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    class Refusing : public FileWriter {
      public:
        bool Write(int, std::string_view) override { return false; }
    } refusing;
    std::string old;
    {
        std::ifstream in(folder + "/almxmail.ini", std::ios::binary);
        old.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    s.Accounts()[0].smtp = "changed";
    s.SetFileWriter(&refusing);
    EXPECT_FALSE(s.SaveAccounts());
    std::ifstream in(folder + "/almxmail.ini", std::ios::binary);
    const std::string now{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(now, old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left behind
}

TEST(MailProfile, ValuesSurviveAWriteAndARead) {
    MailProfile p;
    p.SetString("A", "Lead", "  blanks  ");
    p.SetString("A", "Quoted", "\"in quotes\"");
    p.SetString("A", "Single", "'x'");
    p.SetString("A", "Break", "one\r\nInjected=1\nrest");
    p.SetString("A", "Kanji", "表示ソ");  // trail bytes 0x5C and 0x5D
    p.SetString("表", "Key", "v");
    const MailProfile q = MailProfile::Parse(p.Serialize());
    EXPECT_EQ(q.GetString("A", "Lead", ""), "  blanks  ");
    EXPECT_EQ(q.GetString("A", "Quoted", ""), "\"in quotes\"");
    EXPECT_EQ(q.GetString("A", "Single", ""), "'x'");
    EXPECT_EQ(q.GetString("A", "Break", ""), "oneInjected=1rest");
    EXPECT_FALSE(q.Has("A", "Injected"));
    EXPECT_EQ(q.GetString("A", "Kanji", ""), "表示ソ");
    EXPECT_EQ(q.GetString("表", "Key", ""), "v");
    EXPECT_EQ(q.Keys(), p.Keys());
}

// A lead byte whose trail byte is a blank before the closing bracket: trimming the blank
// would leave the lead byte to take the bracket when the file is written back, and the keys
// below would move to the section before.
TEST(MailProfile, ASectionNameEndingInADoubleByteCharacterKeepsItsKeysWhenWrittenBack) {
    const std::string bytes = "[A]\r\nX=1\r\n[Set\t\xE0\t]\r\nSetCount=1\r\n";
    const MailProfile p = MailProfile::Parse(bytes);
    const MailProfile q = MailProfile::Parse(p.Serialize());
    EXPECT_EQ(q.Keys(), p.Keys());
    EXPECT_EQ(q.Serialize(), p.Serialize());
}

TEST(MailProfile, FirstOfDuplicatesWinsAndNumbersAreStrict) {
    const MailProfile p = MailProfile::Parse(
        "[S]\nk=1\nK=2\nbig=99999999999\nneg=-3\nword=abc\nlead=12ab\n[s]\nother=5\n");
    EXPECT_EQ(p.GetInt("s", "k", 0), 1);
    EXPECT_EQ(p.GetInt("S", "big", 7), 7);
    EXPECT_EQ(p.GetInt("S", "neg", 0), -3);
    EXPECT_EQ(p.GetInt("S", "word", 4), 4);
    EXPECT_EQ(p.GetInt("S", "lead", 0), 12);
    EXPECT_FALSE(p.Has("S", "other"));  // only the first section of a name is read
}

TEST(SignatureMacros, ReplaceEveryTokenOnce) {
    const DateTime friday = DateTime::FromParts(2025, 3, 7, 14, 5);
    EXPECT_EQ(ExpandSignatureMacros("$4wy/$2mon/$2d ($jw)", friday), "2025/03/07 (金)");
    EXPECT_EQ(ExpandSignatureMacros("$jy $2wy $1mon/$1d $3ew $aew", friday),
              "令和7 25 3/7 Fri Friday");
    EXPECT_EQ(ExpandSignatureMacros("$121eh $122eh $121jh $122jh", friday),
              "PM2 PM02 午後2 午後02");
    EXPECT_EQ(ExpandSignatureMacros("$241h:$1min $242h:$2min", friday), "14:5 14:05");
    const DateTime morning = DateTime::FromParts(2025, 3, 7, 0, 9);
    EXPECT_EQ(ExpandSignatureMacros("$121eh$122jh", morning), "AM0午前00");
    // "$" that starts no token, a token at the end, and a replacement that looks like a token.
    EXPECT_EQ(ExpandSignatureMacros("$$5 $x $2d", friday), "$$5 $x 07");
}

TEST(SignatureMacros, EraChangesOnItsFirstDay) {
    EXPECT_EQ(JapaneseEraYear(DateTime::FromDate(2019, 4, 30)), "平成31");
    EXPECT_EQ(JapaneseEraYear(DateTime::FromDate(2019, 5, 1)), "令和1");
    EXPECT_EQ(JapaneseEraYear(DateTime::FromDate(1989, 1, 7)), "昭和64");
    EXPECT_EQ(JapaneseEraYear(DateTime::FromDate(1989, 1, 8)), "平成1");
    EXPECT_EQ(JapaneseEraYear(DateTime::FromDate(1926, 12, 25)), "昭和1");
    EXPECT_EQ(JapaneseEraYear(DateTime::FromDate(1912, 7, 30)), "大正1");
    EXPECT_EQ(JapaneseEraYear(DateTime::FromDate(1900, 1, 1)), "明治33");
    EXPECT_EQ(JapaneseEraYear(DateTime::FromDate(1700, 1, 1)), "1700");
}

TEST(MailSettings, SignatureTextFromItsFile) {
    MailTempDir dir;
    std::filesystem::create_directory(dir.File("Signe"));
    dir.Write("Signe/signe1.txt", text::ToShiftJis("山田\r\n$4wy年\nend\n"));
    dir.Write("Signe/signe2.txt", "utf8 \xE2\x91\xA0\r\n");  // ① is UTF-8 here
    dir.Write("Signe/signe3.txt", std::string(mail_limits::kMaxTextFile + 1, 'a'));
    MailSettings s(dir.Path());
    s.Reload();
    const ManualClock clock(DateTime::FromParts(2025, 3, 7, 9, 0));
    EXPECT_EQ(s.SignatureText(1, clock), "山田\r\n2025年\r\nend");
    EXPECT_EQ(s.SignatureText(2, clock), "utf8 ①");
    EXPECT_EQ(s.SignatureText(3, clock), "");  // too large
    EXPECT_EQ(s.SignatureText(4, clock), "");  // missing
    EXPECT_EQ(s.SignatureText(0, clock), "");
    EXPECT_EQ(s.SignatureText(6, clock), "");

    // A folder written on Windows means the default one.
    MailSettings win = FromText(dir, "[Signe]\r\nDir=C:\\Program Files\\sig\r\n");
    EXPECT_EQ(win.SignaturePath(1), dir.Path() + "/Signe/signe1.txt");
    // signe1.txt in the settings folder makes that folder the default.
    dir.Write("signe1.txt", "here");
    MailSettings local = FromText(dir, "");
    EXPECT_EQ(local.SignatureText(1, clock), "here");
}

}  // namespace
}  // namespace almx
