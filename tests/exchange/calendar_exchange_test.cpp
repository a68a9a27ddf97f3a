#include "exchange/calendar_exchange.h"
#include "mail/vcalendar_mail.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "document/document_messages.h"
#include "document/schedule_file_writer.h"
#include "exchange_fixture.h"
#include "mail/mail_engine.h"
#include "mail/scripted_transport.h"

namespace almx::testing {
namespace {

namespace t = calendar_texts;
namespace fs = std::filesystem;

class CalendarExchangeTest : public ExchangeTest {
  protected:
    CalendarStamp Stamp() const { return {At(2025, 5, 3, 14, 7), 42}; }
};

bool ValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : 4;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

TEST_F(CalendarExchangeTest, SaveFormsSuggestSafeNamesAndStartInTheLastFolder) {
    CCalendarSaveForm vcs(CalendarFormat::VCalendar, settings, prompter);
    vcs.Preset(std::string("会議/打合せ"));
    EXPECT_EQ(vcs.fileName, "会議_打合せ.vcs");
    EXPECT_EQ(vcs.folder, "");
    EXPECT_STREQ(vcs.Title(), "vCalenderファイル");
    EXPECT_STREQ(vcs.Filter(), "vCalenderﾌｧｲﾙ(*.vcs) |*.vcs||");

    // An empty or dot-only title still gives a name.
    vcs.Preset(std::string());
    EXPECT_EQ(vcs.fileName, "almx.vcs");
    vcs.Preset(std::string(".."));
    EXPECT_EQ(vcs.fileName, "almx.vcs");

    // A title longer than a file name may be is cut between characters.
    std::string longTitle;
    for (int i = 0; i < 100; ++i) longTitle += "長";
    vcs.Preset(longTitle);
    EXPECT_LE(vcs.fileName.size(), 255u);
    EXPECT_TRUE(ValidUtf8(vcs.fileName));
    EXPECT_TRUE(vcs.fileName.ends_with("長.vcs"));

    CCalendarSaveForm ics(CalendarFormat::ICalendar, settings, prompter);
    ics.Preset(std::nullopt);
    EXPECT_EQ(ics.fileName, "almx.ics");
    EXPECT_STREQ(ics.Title(), "iCalenderファイル");
    EXPECT_STREQ(ics.Filter(), "iCalenderﾌｧｲﾙ(*.ics) |*.ics||");
    ics.Preset(std::string("a\tb\\c"));
    EXPECT_EQ(ics.fileName, "a_b_c.ics");

    // Each export remembers its own last path; the folder of that path is offered next.
    ASSERT_TRUE(ics.Accept(PathOf("week")));
    EXPECT_EQ(ics.path, PathOf("week.ics"));
    EXPECT_EQ(settings.GetString("InitDir", "iCalExport", ""), PathOf("week.ics"));
    EXPECT_EQ(settings.GetString("InitDir", "vCalExport", "none"), "none");
    ASSERT_TRUE(vcs.Accept(PathOf("one.vcs")));
    EXPECT_EQ(settings.GetString("InitDir", "vCalExport", ""), PathOf("one.vcs"));
    vcs.Preset(std::string("x"));
    EXPECT_EQ(vcs.folder, dir.string());
    // A stored folder (older settings) is the folder itself.
    settings.SetString("InitDir", "iCalExport", dir.string());
    ics.Preset(std::nullopt);
    EXPECT_EQ(ics.folder, dir.string());

    // No name: the message, nothing stored.
    EXPECT_FALSE(ics.Accept(""));
    EXPECT_EQ(prompter.Shown().back(), t::kNoFileName);
    EXPECT_FALSE(ics.Accept(dir.string()));  // a folder is no file name
    EXPECT_EQ(settings.GetString("InitDir", "iCalExport", ""), dir.string());
}

TEST_F(CalendarExchangeTest, OpenFormsShareTheLastImportAndNeedAnExistingFile) {
    WriteBytes(PathOf("in.ics"), "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    CCalendarOpenForm ics(CalendarFormat::ICalendar, settings, prompter);
    ics.Preset();
    EXPECT_EQ(ics.fileName, "");
    EXPECT_STREQ(ics.Filter(), "iCalenderﾌｧｲﾙ(*.ics) |*.ics|全てのﾌｧｲﾙ(*.*) |*.*||");

    EXPECT_FALSE(ics.Accept(PathOf("missing.ics")));
    EXPECT_EQ(prompter.Shown().back().find("ファイルのオープンに失敗しました"), 0u);
    EXPECT_FALSE(ics.Accept(dir.string()));  // a folder is no file
    EXPECT_EQ(settings.GetString("Import", "vCalender", "none"), "none");

    ASSERT_TRUE(ics.Accept(PathOf("in.ics")));
    EXPECT_EQ(settings.GetString("Import", "vCalender", ""), PathOf("in.ics"));
    CCalendarOpenForm vcs(CalendarFormat::VCalendar, settings, prompter);
    vcs.Preset();
    EXPECT_EQ(vcs.folder, dir.string());
    EXPECT_EQ(vcs.fileName, "in.ics");
    EXPECT_STREQ(vcs.Title(), "vCalenderファイル");
    EXPECT_STREQ(vcs.Filter(), "vCalenderﾌｧｲﾙ(*.vcs) |*.vcs|全てのﾌｧｲﾙ(*.*) |*.*||");
}

TEST_F(CalendarExchangeTest, RangeFormStartsOnTheDayAndRemembersTheSpan) {
    CICalRangeForm form(settings, prompter);
    form.Preset(At(2025, 12, 20, 9, 30));
    EXPECT_EQ(form.startText, "2025/12/20");
    EXPECT_EQ(form.endText, "2026/01/19");
    form.Preset(Day(9998, 12, 20));  // kept inside the calendar
    EXPECT_EQ(form.endText, "9998/12/31");

    form.startText = "2025/06/10";
    form.endText = "2025/06/01";
    EXPECT_FALSE(form.Accept());
    EXPECT_EQ(prompter.Shown().back(), "正しい終了日付を入力してください");
    EXPECT_EQ(settings.GetInt("System", "iCalSpan", -1), -1);
    form.endText = "2025/06/17";
    ASSERT_TRUE(form.Accept());
    EXPECT_EQ(form.start, Day(2025, 6, 10));
    EXPECT_EQ(form.end, Day(2025, 6, 17));
    form.Preset(Day(2025, 7, 1));
    EXPECT_EQ(form.endText, "2025/07/08");
}

constexpr const char* kThreeEvents =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
    "BEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:20250601\r\nSUMMARY:一\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:2\r\nDTSTART:20250602T100000\r\nDTEND:20250602T110000\r\n"
    "SUMMARY:二\r\nRRULE:FREQ=HOURLY\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:3\r\nDTSTART;VALUE=DATE:20250603\r\nSUMMARY:三😀\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n";

TEST_F(CalendarExchangeTest, ImportAppendsTheAcceptedEntriesAndReportsInOrder) {
    WriteBytes(PathOf("three.ics"), kThreeEvents);
    ASSERT_TRUE(ImportCalendarFile(*doc, PathOf("three.ics"), clock.Now(), prompter));
    ASSERT_EQ(doc->Records().size(), 2u);
    EXPECT_EQ(doc->Records()[0].title, "一");
    EXPECT_EQ(doc->Records()[1].title, "三?");
    EXPECT_TRUE(doc->IsModified());
    // The counts first, then the characters replaced.
    ASSERT_EQ(prompter.Shown().size(), 2u);
    EXPECT_EQ(prompter.Shown()[0], "インポート成功：2件\nインポート失敗：1件");
    EXPECT_EQ(prompter.Shown()[1], std::string(doc_messages::kPasteReplacedPrefix) + "1" +
                                       doc_messages::kPasteReplacedSuffix);

    // A vCalendar file: every component on its own, with the same counts.
    WriteBytes(PathOf("two.vcs"),
               "BEGIN:VCALENDAR\r\nVERSION:1.0\r\n"
               "BEGIN:VEVENT\r\nDTSTART:20250610T090000\r\nSUMMARY:A\r\nEND:VEVENT\r\n"
               "BEGIN:VTODO\r\nDUE:20250611T000000\r\nSUMMARY:B\r\nEND:VTODO\r\n"
               "END:VCALENDAR\r\n");
    ASSERT_TRUE(ImportCalendarFile(*doc, PathOf("two.vcs"), clock.Now(), prompter));
    EXPECT_EQ(prompter.Shown().back(), "全件（2件）のインポートに成功しました。");
    ASSERT_EQ(doc->Records().size(), 4u);
    EXPECT_TRUE(doc->Records()[3].Has(IsTodo));
}

TEST_F(CalendarExchangeTest, ImportFailuresSayWhyAndLeaveTheDocumentAlone) {
    EXPECT_FALSE(ImportCalendarFile(*doc, PathOf("missing.ics"), clock.Now(), prompter));
    ASSERT_EQ(prompter.Shown().size(), 2u);
    EXPECT_EQ(prompter.Shown()[0].find("ファイルのオープンに失敗しました"), 0u);
    EXPECT_EQ(prompter.Shown()[1], "インポートに失敗しました");

    WriteBytes(PathOf("empty.ics"), "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n");
    EXPECT_FALSE(ImportCalendarFile(*doc, PathOf("empty.ics"), clock.Now(), prompter));
    EXPECT_EQ(prompter.Shown().back(), "インポートに失敗しました");
    EXPECT_TRUE(doc->Records().empty());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(CalendarExchangeTest, AReadOnlyDocumentRefusesTheImport) {
    CAlmxArray file;
    file.records.push_back(Schedule("old", Day(2025, 5, 1), Day(2025, 5, 1)));
    WriteBytes(PathOf("ro.alx"), WriteScheduleFile(file).bytes);
    ::chmod(PathOf("ro.alx").c_str(), 0444);
    CAlmxDoc readOnly(Context());
    ASSERT_TRUE(readOnly.Open(PathOf("ro.alx")));
    ASSERT_TRUE(readOnly.IsReadOnly());
    WriteBytes(PathOf("three.ics"), kThreeEvents);
    const std::size_t before = prompter.Shown().size();
    EXPECT_FALSE(ImportCalendarFile(readOnly, PathOf("three.ics"), clock.Now(), prompter));
    ASSERT_EQ(prompter.Shown().size(), before + 1);
    EXPECT_EQ(prompter.Shown().back(), "読み取り専用ファイルのため、変更は反映されません");
    EXPECT_EQ(readOnly.Records().size(), 1u);
}

TEST_F(CalendarExchangeTest, SavedFilesReadBackAndWriteFailuresAreShown) {
    CAlmxData meeting = Schedule("会議", At(2025, 6, 2, 10, 0), At(2025, 6, 2, 11, 30));
    meeting.place = "東京";
    meeting.Set(StartTimeSet);
    meeting.Set(EndTimeSet);
    ASSERT_TRUE(SaveICalendar({&meeting}, PathOf("m.ics"), Stamp(), prompter));
    ASSERT_TRUE(SaveVCalendar(meeting, Day(2025, 6, 2), 0, PathOf("m.vcs"), Stamp(), prompter));
    for (const char* name : {"m.ics", "m.vcs"}) {
        const CalendarImport back = ReadCalendar(ReadBytes(PathOf(name)), clock.Now());
        ASSERT_EQ(back.accepted, 1) << name;
        EXPECT_EQ(back.records[0].title, "会議") << name;
        EXPECT_EQ(back.records[0].place, "東京") << name;
        EXPECT_EQ(back.records[0].start, meeting.start) << name;
        EXPECT_EQ(back.records[0].end, meeting.end) << name;
    }
    EXPECT_TRUE(prompter.Shown().empty());

    EXPECT_FALSE(SaveICalendar({&meeting}, PathOf("none/m.ics"), Stamp(), prompter));
    ASSERT_EQ(prompter.Shown().size(), 1u);
    EXPECT_EQ(prompter.Shown()[0].find("ファイルのオープンに失敗しました"), 0u);
}

class VcsMailTest : public CalendarExchangeTest {
  protected:
    struct Sent {
        OutgoingMail mail;
        std::string fileBytes;
        fs::perms folderMode{};
        bool fileThere = false;
    };

    // Reads the attachment while the mail is handed over, as the engine does.
    MailSendFunction Recorder(bool accept = true) {
        return [this, accept](const std::vector<OutgoingMail>& messages) {
            for (const OutgoingMail& mail : messages) {
                Sent sent{mail, {}, {}, fs::exists(mail.attachment)};
                if (sent.fileThere) {
                    sent.fileBytes = ReadBytes(mail.attachment);
                    sent.folderMode =
                        fs::status(fs::path(mail.attachment).parent_path()).permissions();
                }
                sent_.push_back(sent);
            }
            return accept;
        };
    }

    bool Mail(const MailSendFunction& send, MailReadiness readiness = MailReadiness::Ready,
              std::string root = {}) {
        if (root.empty()) root = PathOf("tmp");
        fs::create_directories(PathOf("tmp"));
        const VcsMailEnvironment environment{settings, prompter, readiness, send, root};
        return MailVCalendar(meeting_, Day(2025, 6, 2), 0, Stamp(), environment);
    }

    bool TmpEmpty() const { return fs::is_empty(dir / "tmp"); }

    CAlmxData meeting_ = [] {
        CAlmxData r = Schedule("会議", At(2025, 6, 2, 10, 0), At(2025, 6, 2, 11, 0));
        r.Set(StartTimeSet);
        r.Set(EndTimeSet);
        return r;
    }();
    std::vector<Sent> sent_;
};

TEST_F(VcsMailTest, TheFileIsAttachedFromAPrivateFolderThatIsGoneAfterwards) {
    settings.SetString("System", "VcsTo", "old@example.jp");
    prompter.ThenText("to@example.jp");
    ASSERT_TRUE(Mail(Recorder()));
    EXPECT_EQ(prompter.Shown()[0], vcs_mail_texts::kRecipientPrompt);
    EXPECT_EQ(settings.GetString("System", "VcsTo", ""), "to@example.jp");
    ASSERT_EQ(sent_.size(), 1u);
    EXPECT_EQ(sent_[0].mail.to, "to@example.jp");
    EXPECT_EQ(sent_[0].mail.subject, "Almanix 送信メール");
    EXPECT_EQ(fs::path(sent_[0].mail.attachment).filename(), "ALMX20250503140700.vcs");
    ASSERT_TRUE(sent_[0].fileThere);
    EXPECT_EQ(sent_[0].folderMode & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(sent_[0].fileBytes.rfind("BEGIN:VCALENDAR\r\n", 0), 0u);
    EXPECT_NE(sent_[0].fileBytes.find("VERSION:1.0"), std::string::npos);
    EXPECT_TRUE(TmpEmpty());

    // Refused by the engine: the folder goes all the same.
    prompter.ThenText("to@example.jp");
    EXPECT_FALSE(Mail(Recorder(false)));
    EXPECT_TRUE(sent_[1].fileThere);
    EXPECT_TRUE(TmpEmpty());
}

TEST_F(VcsMailTest, NothingIsSentWithoutRecipientOrMailSettingsOrWhenTheFileFails) {
    // Cancelled: nothing stored, nothing sent.
    settings.SetString("System", "VcsTo", "keep@example.jp");
    EXPECT_FALSE(Mail(Recorder()));
    EXPECT_EQ(settings.GetString("System", "VcsTo", ""), "keep@example.jp");

    prompter.ThenText("  ");
    EXPECT_FALSE(Mail(Recorder()));
    EXPECT_EQ(prompter.Shown().back(), "送信先を指定してください");

    prompter.ThenText("to@example.jp");
    EXPECT_FALSE(Mail(Recorder(), MailReadiness::NoServer));
    EXPECT_EQ(prompter.Shown().back(), "メール設定を行ってください");

    prompter.ThenText("to@example.jp");
    EXPECT_FALSE(Mail(Recorder(), MailReadiness::Ready, PathOf("no/such/folder")));
    EXPECT_EQ(prompter.Shown().back(), "vCalender形式での保存に失敗しました");
    EXPECT_TRUE(sent_.empty());
    EXPECT_TRUE(TmpEmpty());
}

TEST_F(VcsMailTest, TheMailEngineSendsTheFileAsItsAttachment) {
    mail::ScriptedTransport transport;
    bool inData = false;
    transport.greet = [](const mail::TransportTarget&) -> std::optional<std::string> {
        return "220 ready\r\n";
    };
    transport.answer = [&inData](const std::string& chunk) -> std::optional<std::string> {
        if (inData) {
            inData = false;
            return "250 queued\r\n";
        }
        const std::string verb = chunk.substr(0, chunk.find_first_of(" \r"));
        if (verb == "DATA") inData = true;
        if (verb == "DATA") return "354 go\r\n";
        if (verb == "QUIT") return "221 bye\r\n";
        return "250 ok\r\n";
    };
    ScriptedPrompter enginePrompter;
    mail::MailEngine engine(transport, enginePrompter, clock, dir / "state");
    mail::MailServerConfig config;
    config.smtpServer = "127.0.0.1";
    config.fromAddress = "me@example.jp";
    mail::SendOutcome outcome;
    int outcomes = 0;
    // What the program's sender does: one CMail per message, the attachment's path kept.
    const MailSendFunction send = [&](const std::vector<OutgoingMail>& messages) {
        std::vector<mail::CMail> mails;
        for (const OutgoingMail& message : messages) {
            mail::CMail m;
            m.to = message.to;
            m.subject = message.subject;
            m.body = message.body;
            m.attachment = message.attachment;
            mails.push_back(m);
        }
        engine.SendQueue(mails, config, [&](const mail::SendOutcome& o) {
            outcome = o;
            ++outcomes;
        });
        return true;
    };
    prompter.ThenText("to@example.jp");
    ASSERT_TRUE(Mail(send));
    EXPECT_TRUE(TmpEmpty());
    transport.Pump();
    transport.Advance(mail::kQuitWaitLimitMs);
    ASSERT_EQ(outcomes, 1);
    EXPECT_TRUE(outcome.AllSent()) << outcome.error;
    ASSERT_EQ(transport.sent.size(), 1u);
    const std::string& wire = transport.sent[0];
    EXPECT_NE(wire.find("RCPT TO:<to@example.jp>"), std::string::npos);
    EXPECT_NE(wire.find("ALMX20250503140700.vcs"), std::string::npos);
    // The attachment's base64 begins with the file's "BEGIN:VCALENDAR".
    EXPECT_NE(wire.find("QkVHSU46VkNBTEVOREFS"), std::string::npos);
    EXPECT_TRUE(enginePrompter.Shown().empty());
}

}  // namespace
}  // namespace almx::testing
