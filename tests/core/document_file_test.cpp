// Opening and saving: the file on disk, backups, read-only files, locks and bad input.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "calendar/holiday_updates.h"
#include "core/text_entry_check.h"
#include "document/document_messages.h"
#include "document/password_scramble.h"
#include "document/schedule_file_writer.h"
#include "document_fixture.h"
#include "rich_document.h"

namespace almx {
namespace {

namespace fs = std::filesystem;
namespace msg = doc_messages;
using testing::DocumentTest;
using testing::kHeaderLine;
using testing::ReadBytes;
using testing::RichDocument;
using testing::SjisFile;
using testing::WriteBytes;

// Writes half of the file and then fails, or fails to flush it to disk.
class FailingWriter : public FileWriter {
  public:
    enum class Fault { HalfWritten, SyncFails };
    explicit FailingWriter(Fault fault) : fault_(fault) {}
    bool Write(int fd, std::string_view bytes) override {
        if (fault_ == Fault::HalfWritten) {
            FileWriter::Write(fd, bytes.substr(0, bytes.size() / 2));
            return false;
        }
        return FileWriter::Write(fd, bytes);
    }
    bool Sync(int fd) override { return fault_ != Fault::SyncFails && FileWriter::Sync(fd); }

  private:
    Fault fault_;
};

std::string ReadOnlyNotice(const char* text) {
    return std::string(text) + "\n" + msg::kReadOnlyHelp;
}

CAlmxData Schedule(const char* title, int y, int m, int d) {
    CAlmxData r;
    r.title = title;
    r.start = DateTime::FromDate(y, m, d);
    r.end = r.start;
    return r;
}

TEST_F(DocumentTest, OpenAndSaveWithoutEditsGiveTheSameBytes) {
    const std::string original = WriteScheduleFile(RichDocument()).bytes;
    WriteBytes(PathOf("a.alx"), original);
    CAlmxDoc doc(Context());
    prompter.ThenText("Secret42");
    ASSERT_TRUE(doc.Open(PathOf("a.alx")));
    EXPECT_TRUE(prompter.Saw(msg::kPasswordPrompt));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.IsReadOnly());
    EXPECT_EQ(doc.Records().size(), RichDocument().records.size());
    EXPECT_EQ(settings.GetString("System", "DefaultFile", ""), PathOf("a.alx"));
    EXPECT_EQ(settings.GetString("System", "OpenFile", ""), PathOf("a.alx"));

    ASSERT_TRUE(doc.SaveTo(PathOf("a.alx")));
    EXPECT_EQ(ReadBytes(PathOf("a.alx")), original);
    EXPECT_EQ(ReadBytes(PathOf("a.bak")), original);
    EXPECT_EQ(doc.LastSaveTime(), clock.Now());
    EXPECT_EQ(Snapshot().size(), 2u);
}

TEST_F(DocumentTest, FailedOpensShowTheMessageLeaveNothingOpenAndTouchNoFile) {
    std::string nineteen = "\"区分\"";
    for (int i = 1; i < 19; ++i) nineteen += ",\"c\"";
    std::mt19937 random(7);
    std::string noise(200000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    const std::string utf8 = text::FromShiftJis(WriteScheduleFile(RichDocument()).bytes);

    const std::pair<const char*, std::string> files[] = {
        {"oldest.alx", SjisFile("\"年\",\"月\",\"日\",\"時間\"\n\"2008\",\"1\",\"5\",\"9\"\n")},
        {"nineteen.alx", SjisFile(nineteen + "\n")},
        {"outlook.alx", SjisFile("\"件名\",\"開始日\"\n\"会議\",\"2008/1/5\"\n")},
        {"empty.alx", ""},
        {"noise.alx", noise},
        {"utf8.alx", utf8},
        {"longline.alx", std::string(10 << 20, 'x') + "\r\n"},
    };
    for (const auto& [name, bytes] : files) WriteBytes(PathOf(name), bytes);
    fs::create_directory(dir / "folder.alx");
    const auto before = Snapshot();

    for (const auto& [name, bytes] : files) {
        ScriptedPrompter quiet;
        DocumentContext context = Context();
        context.prompter = &quiet;
        CAlmxDoc doc(context);
        EXPECT_FALSE(doc.Open(PathOf(name))) << name;
        EXPECT_TRUE(quiet.Saw(msg::kNotOurFormat)) << name;
        EXPECT_TRUE(doc.Path().empty());
        EXPECT_TRUE(doc.Records().empty());
    }
    for (const char* name : {"missing.alx", "folder.alx"}) {
        CAlmxDoc doc(Context());
        EXPECT_FALSE(doc.Open(PathOf(name))) << name;
        EXPECT_EQ(prompter.Shown().back(), msg::kCannotOpen);
    }
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(DocumentTest, AHeaderOnlyFileIsAnEmptyDocumentAndAVeryLongLineIsRead) {
    WriteBytes(PathOf("header.alx"), SjisFile(kHeaderLine));
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("header.alx")));
    EXPECT_TRUE(doc.Records().empty());
    EXPECT_EQ(doc.Array().version, 440);
    EXPECT_FALSE(doc.IsModified());
    // A file without genre rows takes the application's list.
    EXPECT_EQ(doc.Array().genres, CAlmxFieldArray::General());
    EXPECT_TRUE(prompter.Shown().empty());

    CAlmxArray big;
    CAlmxData r = Schedule("長いメモ", 2008, 1, 5);
    r.memo = std::string(10 << 20, 'm');
    big.records.push_back(r);
    WriteBytes(PathOf("big.alx"), WriteScheduleFile(big).bytes);
    ASSERT_TRUE(doc.Open(PathOf("big.alx")));
    ASSERT_EQ(doc.Records().size(), 1u);
    EXPECT_EQ(doc.Records()[0].memo.size(), std::size_t{10} << 20);
}

TEST_F(DocumentTest, APasswordIsAskedUntilRightAndCancellingFailsTheOpen) {
    WriteBytes(PathOf("p.alx"),
               SjisFile(std::string(kHeaderLine) + "\"2\",\"" + ScramblePassword("pw12") + "\"\n"));
    CAlmxDoc doc(Context());
    prompter.ThenText("PW12").ThenText("pw12");
    ASSERT_TRUE(doc.Open(PathOf("p.alx")));
    EXPECT_EQ(prompter.Shown(), (std::vector<std::string>{msg::kPasswordPrompt, msg::kWrongPassword,
                                                          msg::kPasswordPrompt}));
    EXPECT_EQ(doc.Array().password, "pw12");

    ScriptedPrompter cancel;
    DocumentContext context = Context();
    context.prompter = &cancel;
    CAlmxDoc other(context);
    cancel.ThenText("nope").ThenText(std::nullopt);
    EXPECT_FALSE(other.Open(PathOf("p.alx")));
    EXPECT_TRUE(other.Path().empty());
    EXPECT_TRUE(other.Array().password.empty());
}

TEST_F(DocumentTest, AFileOfVersion430GainsThe2016UpdateOnce) {
    WriteBytes(PathOf("v430.alx"), SjisFile(std::string(kHeaderLine) +
                                            "\"4\",\"\",\"\",\"430\",\"0\",\"0\",\"0\",\"\"\n"));
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("v430.alx")));
    auto mountainDays = [&] {
        return std::count_if(doc.Records().begin(), doc.Records().end(), [](const CAlmxData& r) {
            return r.title == "山の日" && r.Has(HolidayMark);
        });
    };
    EXPECT_EQ(mountainDays(), 1);
    EXPECT_EQ(doc.Array().version, 440);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.SaveTo(PathOf("v430.alx")));
    ASSERT_TRUE(doc.Open(PathOf("v430.alx")));
    EXPECT_EQ(mountainDays(), 1);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, The2003UpdateRunsOnTheFirstOpenOnlyAndLeavesTheDocumentModified) {
    settings.SetInt("System", "HolidayChangeFlag1", 0);
    CAlmxArray old;
    old.records.push_back(YearlyHolidayRecord("敬老の日", DateTime::FromDate(1966, 9, 15),
                                              DateTime::FromDate(9998, 12, 31), 15));
    WriteBytes(PathOf("old.alx"), WriteScheduleFile(old).bytes);
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("old.alx")));
    EXPECT_EQ(settings.GetInt("System", "HolidayChangeFlag1", 0), 1);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(doc.Records().size(), 3u);
    EXPECT_EQ(doc.Records()[0].end.Year(), 2002);

    CAlmxDoc again(Context());
    ASSERT_TRUE(again.Open(PathOf("old.alx")));
    EXPECT_FALSE(again.IsModified());
    EXPECT_EQ(again.Records().size(), 1u);
}

TEST_F(DocumentTest, AReadOnlyFileOpensReadOnlyAndSavingItWritesNothing) {
    const std::string bytes = WriteScheduleFile(RichDocument()).bytes;
    WriteBytes(PathOf("ro.alx"), bytes);
    ::chmod(PathOf("ro.alx").c_str(), 0444);
    CAlmxDoc doc(Context());
    prompter.ThenText("Secret42");
    ASSERT_TRUE(doc.Open(PathOf("ro.alx")));
    EXPECT_TRUE(doc.IsReadOnly());
    EXPECT_TRUE(prompter.Saw(ReadOnlyNotice(msg::kReadOnlyAttribute)));
    doc.SetModified();
    EXPECT_FALSE(doc.SaveTo(PathOf("ro.alx")));
    EXPECT_EQ(prompter.Shown().back(), msg::kSaveReadOnly);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadBytes(PathOf("ro.alx")), bytes);
    EXPECT_EQ(Snapshot().size(), 1u);
    // Under another name it is a file of our own again.
    ASSERT_TRUE(doc.SaveTo(PathOf("copy.alx")));
    EXPECT_FALSE(doc.IsReadOnly());
    EXPECT_TRUE(doc.SaveTo(PathOf("copy.alx")));
}

TEST_F(DocumentTest, ALockFileOfAnotherProcessMakesTheDocumentReadOnly) {
    settings.SetInt("System", "SharedFile", 1);
    const std::string bytes = WriteScheduleFile(CAlmxArray()).bytes;
    WriteBytes(PathOf("shared.alx"), bytes);
    const std::string lockPath = PathOf("shared.alx.lock");
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The other holder: opens with the lock, waits, then closes.
        CAlmxDoc holder(Context());
        int status = holder.Open(PathOf("shared.alx")) && holder.Lock().Held() ? 0 : 1;
        char byte = 'r';
        if (::write(ready[1], &byte, 1) != 1) status = 2;
        if (::read(release[0], &byte, 1) != 1) status = 3;
        if (!holder.Close()) status = 4;
        ::_exit(status);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    // The owner line names the holder's process.
    EXPECT_EQ(ReadBytes(lockPath),
              "2025/05/03 14:07\r\ndesk-01\r\n" + std::to_string(child) + "\r\n");

    {
        CAlmxDoc doc(Context());
        ASSERT_TRUE(doc.Open(PathOf("shared.alx")));
        EXPECT_TRUE(doc.IsReadOnly());
        EXPECT_FALSE(doc.Lock().Held());
        EXPECT_TRUE(prompter.Saw(ReadOnlyNotice(msg::kInUse)));
        doc.Records().push_back(Schedule("変更", 2025, 5, 3));
        EXPECT_FALSE(doc.SaveTo(PathOf("shared.alx")));
        EXPECT_EQ(prompter.Shown().back(), msg::kSaveReadOnly);
        EXPECT_TRUE(doc.Close());
        // Closing a document that does not hold the lock leaves the other's lock alone.
        EXPECT_TRUE(fs::exists(lockPath));
    }
    EXPECT_EQ(ReadBytes(PathOf("shared.alx")), bytes);

    ASSERT_EQ(::write(release[1], &byte, 1), 1);
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(fs::exists(lockPath));

    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("shared.alx")));
    EXPECT_FALSE(doc.IsReadOnly());
    EXPECT_TRUE(doc.Lock().Held());
    doc.SetModified();
    EXPECT_TRUE(doc.SaveTo(PathOf("shared.alx")));
    EXPECT_TRUE(doc.Close());
    EXPECT_FALSE(fs::exists(lockPath));
    for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
}

TEST_F(DocumentTest, SavingTwiceKeepsExactlyOneBackupOfThePreviousVersion) {
    CAlmxDoc doc(Context());
    prompter.Then(Answer::No);
    ASSERT_TRUE(doc.NewDocument());
    const std::string path = PathOf("a.alx");
    std::vector<std::string> versions;
    for (const char* title : {"一", "二", "三"}) {
        doc.Records().push_back(Schedule(title, 2025, 5, 3));
        doc.SetModified();
        ASSERT_TRUE(doc.SaveTo(path));
        EXPECT_FALSE(doc.IsModified());
        versions.push_back(ReadBytes(path));
        if (versions.size() > 1) {
            EXPECT_EQ(ReadBytes(PathOf("a.bak")), versions[versions.size() - 2]);
        }
    }
    EXPECT_EQ(Snapshot().size(), 2u);
}

TEST_F(DocumentTest, AFailedWriteLeavesTheFileAndItsBackupAsTheyWere) {
    CAlmxDoc doc(Context());
    prompter.Then(Answer::No);
    ASSERT_TRUE(doc.NewDocument());
    doc.Records().push_back(Schedule("一", 2025, 5, 3));
    ASSERT_TRUE(doc.SaveTo(PathOf("a.alx")));
    doc.Records().push_back(Schedule("二", 2025, 5, 4));
    ASSERT_TRUE(doc.SaveTo(PathOf("a.alx")));
    const auto before = Snapshot();

    for (auto fault : {FailingWriter::Fault::HalfWritten, FailingWriter::Fault::SyncFails}) {
        FailingWriter failing(fault);
        doc.SetFileWriter(&failing);
        doc.Records().push_back(Schedule("三", 2025, 5, 5));
        doc.SetModified();
        EXPECT_FALSE(doc.SaveTo(PathOf("a.alx")));
        EXPECT_EQ(prompter.Shown().back(), msg::kCannotWrite);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(Snapshot(), before);
    }
    doc.SetFileWriter(nullptr);
    ASSERT_TRUE(doc.SaveTo(PathOf("a.alx")));
    EXPECT_EQ(ReadBytes(PathOf("a.bak")), before.at("a.alx"));

    // A folder that does not exist cannot take the file either.
    EXPECT_FALSE(doc.SaveTo(PathOf("missing/b.alx")));
    EXPECT_EQ(prompter.Shown().back(), msg::kCannotWrite);
}

// Counts the blocks written; fails at the nth, after writing half of it.
class BlockWriter : public FileWriter {
  public:
    explicit BlockWriter(int failAt) : failAt_(failAt) {}
    bool Write(int fd, std::string_view bytes) override {
        if (++blocks_ == failAt_) {
            FileWriter::Write(fd, bytes.substr(0, bytes.size() / 2));
            return false;
        }
        return FileWriter::Write(fd, bytes);
    }
    int Blocks() const { return blocks_; }

  private:
    int failAt_;
    int blocks_ = 0;
};

// A large document goes to the file block by block as it is made: the file holds exactly the
// bytes of the whole, a failure at a later block still leaves the old file and its backup,
// and the characters written as "?" are counted over every block.
TEST_F(DocumentTest, ALargeDocumentIsWrittenInBlocksAndAFailureInAnyBlockKeepsTheOldFile) {
    CAlmxDoc doc(Context());
    prompter.Then(Answer::No);
    ASSERT_TRUE(doc.NewDocument());
    for (int i = 0; i < 3000; ++i) {
        CAlmxData r = Schedule("会議", 2020 + i % 5, i % 12 + 1, i % 28 + 1);
        r.memo = std::string(100, 'm') + "\n議題：" + std::to_string(i) + ",\"予算\"";
        if (i % 1000 == 999) r.place = "😀";  // one unrepresentable character per thousand
        doc.Records().push_back(r);
    }
    const std::string path = PathOf("a.alx");
    ASSERT_TRUE(doc.SaveTo(path));
    const std::string whole = WriteScheduleFile(doc.Array()).bytes;
    ASSERT_GT(whole.size(), 2 * kScheduleFileBlock);
    EXPECT_EQ(ReadBytes(path), whole);
    EXPECT_EQ(prompter.Shown().back(), SavedAsQuestionMarksMessage(3));
    ASSERT_TRUE(doc.SaveTo(path));
    const auto before = Snapshot();

    BlockWriter counting(0);
    doc.SetFileWriter(&counting);
    doc.SetModified();
    ASSERT_TRUE(doc.SaveTo(path));
    EXPECT_GE(counting.Blocks(), 2);
    EXPECT_EQ(Snapshot(), before);

    for (int failAt = 1; failAt <= counting.Blocks(); ++failAt) {
        BlockWriter failing(failAt);
        doc.SetFileWriter(&failing);
        doc.Records().front().title = "変更";
        doc.SetModified();
        EXPECT_FALSE(doc.SaveTo(path)) << failAt;
        EXPECT_EQ(failing.Blocks(), failAt) << "no block is made after a failed one";
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(Snapshot(), before) << failAt;
    }
    doc.SetFileWriter(nullptr);
}

TEST_F(DocumentTest, SavingThroughASymbolicLinkKeepsTheLink) {
    WriteBytes(PathOf("real.alx"), WriteScheduleFile(CAlmxArray()).bytes);
    fs::create_symlink(PathOf("real.alx"), PathOf("link.alx"));
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("link.alx")));
    doc.Records().push_back(Schedule("リンク先", 2025, 5, 3));
    ASSERT_TRUE(doc.SaveTo(PathOf("link.alx")));
    EXPECT_TRUE(fs::is_symlink(PathOf("link.alx")));
    EXPECT_NE(ReadBytes(PathOf("real.alx")).find(text::ToShiftJis("リンク先")), std::string::npos);
    EXPECT_TRUE(fs::exists(PathOf("real.bak")));
}

TEST_F(DocumentTest, TheSaveCommandAsksForAPathOnlyWhenThereIsNone) {
    CAlmxDoc doc(Context());
    prompter.Then(Answer::No).ThenText(PathOf("chosen"));
    ASSERT_TRUE(doc.NewDocument());
    doc.SetModified();
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(doc.Path(), PathOf("chosen.alx"));
    EXPECT_TRUE(fs::exists(PathOf("chosen.alx")));
    fs::remove(PathOf("chosen.alx"));
    // Unmodified with a path: nothing is written.
    EXPECT_TRUE(doc.Save());
    EXPECT_FALSE(fs::exists(PathOf("chosen.alx")));
}

TEST_F(DocumentTest, AFileNotReadToItsEndGetsABackupThatNeverOverwrites) {
    const std::string whole = WriteScheduleFile(RichDocument()).bytes;
    const std::string cut = whole.substr(0, whole.size() - 20);
    WriteBytes(PathOf("cut.alx"), cut);
    WriteBytes(PathOf("cut.bak"), "an older backup");
    CAlmxDoc doc(Context());
    prompter.ThenText("Secret42");
    ASSERT_TRUE(doc.Open(PathOf("cut.alx")));
    EXPECT_TRUE(prompter.Saw(msg::kNotReadToEnd));
    EXPECT_EQ(doc.Records().size(), RichDocument().records.size());
    EXPECT_EQ(doc.SafetyBackup(), PathOf("cut.2"));
    EXPECT_EQ(ReadBytes(PathOf("cut.2")), cut);
    EXPECT_EQ(ReadBytes(PathOf("cut.bak")), "an older backup");
    EXPECT_EQ(ReadBytes(PathOf("cut.alx")), cut);

    // Opening it again finds the copy already made.
    CAlmxDoc again(Context());
    prompter.ThenText("Secret42");
    ASSERT_TRUE(again.Open(PathOf("cut.alx")));
    EXPECT_EQ(again.SafetyBackup(), PathOf("cut.2"));
    EXPECT_EQ(Snapshot().size(), 3u);

    // Saving twice still leaves the copy of what was on disk.
    again.SetModified();
    ASSERT_TRUE(again.SaveTo(PathOf("cut.alx")));
    ASSERT_TRUE(again.SaveTo(PathOf("cut.alx")));
    EXPECT_EQ(ReadBytes(PathOf("cut.2")), cut);
}

TEST_F(DocumentTest, ANewDocumentSetsHolidaysFromTheTemplateWhenAsked) {
    CAlmxFieldArray appGenres;
    appGenres.Append(CAlmxField("一般"));
    appGenres.Append(CAlmxField("会社", 0xFF0000));
    DocumentContext context = Context();
    context.applicationGenres = &appGenres;

    CAlmxDoc plain(context);
    prompter.Then(Answer::No);
    ASSERT_TRUE(plain.NewDocument());
    EXPECT_TRUE(plain.Records().empty());
    EXPECT_EQ(plain.Array().genres, appGenres);
    EXPECT_EQ(prompter.Shown(), std::vector<std::string>{msg::kNewAskHolidays});

    CAlmxDoc missing(context);
    prompter.Then(Answer::Yes);
    EXPECT_FALSE(missing.NewDocument());
    EXPECT_EQ(prompter.Shown().back(), msg::kTemplateUnreadable);

    // A template of the old law: みどりの日 on 4/29 and 国民の休日 on 5/4.
    CAlmxArray holidays;
    holidays.version = 400;
    holidays.records.push_back(YearlyHolidayRecord("みどりの日", DateTime::FromDate(1989, 4, 29),
                                                   DateTime::FromDate(9998, 12, 31), 29));
    holidays.records.push_back(YearlyHolidayRecord("国民の休日", DateTime::FromDate(1988, 5, 4),
                                                   DateTime::FromDate(9998, 12, 31), 4));
    WriteBytes(PathOf("holiday.alx"), WriteScheduleFile(holidays).bytes);
    CAlmxDoc seeded(context);
    prompter.Then(Answer::Yes);
    ASSERT_TRUE(seeded.NewDocument());
    EXPECT_EQ(prompter.Shown().back(), msg::kNewHint);
    EXPECT_FALSE(seeded.IsModified());
    EXPECT_TRUE(seeded.Path().empty());
    EXPECT_EQ(seeded.Array().version, 440);
    auto titled = [&](const char* title) {
        return std::count_if(seeded.Records().begin(), seeded.Records().end(),
                             [&](const CAlmxData& r) { return r.title == title; });
    };
    EXPECT_EQ(titled("昭和の日"), 1);
    EXPECT_EQ(titled("みどりの日"), 2);
    EXPECT_EQ(titled("山の日"), 1);
    EXPECT_EQ(seeded.Records()[0].end, DateTime::FromDate(2006, 12, 31));
}

TEST_F(DocumentTest, ClosingAsksAboutPostponedRemindersAndReleasesTheLock) {
    settings.SetInt("System", "SharedFile", 1);
    WriteBytes(PathOf("s.alx"), WriteScheduleFile(CAlmxArray()).bytes);
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("s.alx")));
    ASSERT_TRUE(fs::exists(PathOf("s.alx.lock")));
    doc.SnoozeList().emplace_back(Schedule("後で", 2025, 5, 3), clock.Now(), 5);
    prompter.Then(Answer::No).Then(Answer::Yes);
    EXPECT_FALSE(doc.Close());
    EXPECT_EQ(prompter.Shown().back(), msg::kCloseWithSnooze);
    EXPECT_TRUE(fs::exists(PathOf("s.alx.lock")));
    EXPECT_TRUE(doc.Close());
    EXPECT_FALSE(fs::exists(PathOf("s.alx.lock")));
}

TEST_F(DocumentTest, BrokenRowsAreReportedOnceAtOpenAndInventNoPassword) {
    CAlmxArray content;
    CAlmxData a;
    a.title = "前";
    a.start = a.end = DateTime::FromDate(2008, 1, 4);
    CAlmxData b = a;
    b.title = "後";
    b.memo = "メモ";
    content.records = {a, b, a};
    std::string bytes = WriteScheduleFile(content).bytes;
    // Two raw line feeds inside the second record's memo, the second starting a "2" row.
    const std::string memo = text::ToShiftJis("メモ");
    const std::size_t at = bytes.rfind(memo);  // the header ends in メモ too
    ASSERT_NE(at, std::string::npos);
    bytes.insert(at + memo.size(), "\n\"x\"\n2,abc");
    WriteBytes(PathOf("broken.alx"), bytes);

    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("broken.alx")));  // no password asked: none was set
    EXPECT_EQ(doc.Array().password, "");
    ASSERT_EQ(doc.Records().size(), 2u);
    EXPECT_EQ(doc.Records()[1].title, "前");
    const std::string message =
        std::string(msg::kMalformedRowsPrefix) + "3" + msg::kMalformedRowsSuffix;
    EXPECT_EQ(std::count(prompter.Shown().begin(), prompter.Shown().end(), message), 1);
    EXPECT_FALSE(prompter.Saw(msg::kNotReadToEnd));
    // The next save drops the broken lines: the file as it was is kept aside first.
    ASSERT_FALSE(doc.SafetyBackup().empty());
    EXPECT_EQ(ReadBytes(doc.SafetyBackup()), bytes);
}

}  // namespace
}  // namespace almx
