// Document commands that change records: delete, import, password, paste, sort, old schedules.

#include "core/record_line.h"
#include "document/document_messages.h"
#include "document/schedule_file_writer.h"
#include "document_fixture.h"

namespace almx {
namespace {

namespace fs = std::filesystem;
namespace msg = doc_messages;
using testing::DocumentTest;
using testing::kHeaderLine;
using testing::ReadBytes;
using testing::SjisFile;
using testing::WriteBytes;

CAlmxData Schedule(const char* title, const DateTime& start, const DateTime& end) {
    CAlmxData r;
    r.title = title;
    r.start = start;
    r.end = end;
    return r;
}

CAlmxData Day(const char* title, int y, int m, int d) {
    return Schedule(title, DateTime::FromDate(y, m, d), DateTime::FromDate(y, m, d));
}

class DocumentEditTest : public DocumentTest {
  protected:
    // A saved document in the temporary folder, opened.
    CAlmxDoc& Opened(const CAlmxArray& content) {
        WriteBytes(PathOf("doc.alx"), WriteScheduleFile(content).bytes);
        doc = std::make_unique<CAlmxDoc>(Context());
        EXPECT_TRUE(doc->Open(PathOf("doc.alx")));
        return *doc;
    }

    std::unique_ptr<CAlmxDoc> doc;
};

TEST_F(DocumentEditTest, AnEntryComputedForDisplayIsNotDeleted) {
    CAlmxArray content;
    content.records.push_back(Day("会議", 2025, 5, 3));
    CAlmxDoc& d = Opened(content);
    CAlmxData substitute = Day("振替休日", 2025, 5, 6);
    EXPECT_EQ(d.DeleteRecord(&substitute, DateTime::FromDate(2025, 5, 6)), DeleteOutcome::Refused);
    EXPECT_EQ(prompter.Shown().back(), msg::kCannotDeleteComputed);
    EXPECT_EQ(d.Records().size(), 1u);
    EXPECT_FALSE(d.IsModified());
}

TEST_F(DocumentEditTest, DeletingOneDayOfARecurringRecordAddsAnException) {
    settings.SetInt("System", "TodayLimit", 4);
    CAlmxArray content;
    CAlmxData night = Schedule("夜勤", DateTime::FromParts(2025, 5, 1, 1, 30),
                               DateTime::FromParts(2025, 12, 31, 3, 0));
    night.Set(StartTimeSet);
    night.repeatType = RepeatDays;
    content.records.push_back(night);
    CAlmxData morning = night;
    morning.title = "朝礼";
    morning.start = DateTime::FromParts(2025, 5, 1, 9, 0);
    content.records.push_back(morning);
    CAlmxDoc& d = Opened(content);

    const DateTime chosen = DateTime::FromDate(2025, 5, 10);
    prompter.ThenButton(0).ThenButton(0);
    // 01:30 belongs to the day before its calendar date: the excepted date is the next day.
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], chosen), DeleteOutcome::DayExcepted);
    EXPECT_EQ(d.DeleteRecord(&d.Records()[1], chosen), DeleteOutcome::DayExcepted);
    EXPECT_EQ(prompter.Shown().back(), msg::kRepeatDeleteQuestion);
    ASSERT_EQ(d.Records()[0].exceptions.size(), 1u);
    EXPECT_EQ(d.Records()[0].exceptions[0], (CDaySpan{2025, 5, 11, 2025, 5, 11}));
    ASSERT_EQ(d.Records()[1].exceptions.size(), 1u);
    EXPECT_EQ(d.Records()[1].exceptions[0], (CDaySpan{2025, 5, 10, 2025, 5, 10}));
    EXPECT_TRUE(d.IsModified());

    d.SetModified(false);
    prompter.ThenButton(2).ThenButton(-1).ThenButton(1).Then(Answer::No);
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], chosen), DeleteOutcome::Cancelled);
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], chosen), DeleteOutcome::Cancelled);
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], chosen), DeleteOutcome::Cancelled);
    EXPECT_EQ(prompter.Shown().back(), std::string("夜勤") + msg::kDeleteQuestionSuffix);
    EXPECT_EQ(d.Records().size(), 2u);
    EXPECT_FALSE(d.IsModified());

    prompter.ThenButton(1).Then(Answer::Yes);
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], chosen), DeleteOutcome::Deleted);
    ASSERT_EQ(d.Records().size(), 1u);
    EXPECT_EQ(d.Records()[0].title, "朝礼");
    EXPECT_TRUE(d.IsModified());
}

TEST_F(DocumentEditTest, DeletingARecordOffersToDeleteItsLinkedFile) {
    fs::create_directory(dir / "資料");
    WriteBytes(dir / "資料" / "議事録.txt", "minutes");
    WriteBytes(PathOf("keep.txt"), "keep");
    CAlmxArray content;
    CAlmxData linked = Day("会議", 2025, 5, 3);
    linked.linkFile = "資料\\議事録.txt";  // as a Windows-made file holds it
    content.records.push_back(linked);
    CAlmxData kept = Day("残す", 2025, 5, 4);
    kept.linkFile = "keep.txt";
    content.records.push_back(kept);
    CAlmxData web = Day("サイト", 2025, 5, 5);
    web.linkFile = "https://example.com/a";
    content.records.push_back(web);
    CAlmxDoc& d = Opened(content);

    prompter.Then(Answer::Yes).Then(Answer::Yes);
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], DateTime::FromDate(2025, 5, 3)),
              DeleteOutcome::Deleted);
    EXPECT_EQ(prompter.Shown().back(),
              std::string(msg::kDeleteLinkPrefix) + "資料\\議事録.txt" + msg::kDeleteLinkSuffix);
    EXPECT_FALSE(fs::exists(dir / "資料" / "議事録.txt"));

    prompter.Then(Answer::Yes).Then(Answer::No);
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], DateTime::FromDate(2025, 5, 4)),
              DeleteOutcome::Deleted);
    EXPECT_TRUE(fs::exists(PathOf("keep.txt")));

    // An address is no file: only the record question is asked.
    prompter.Then(Answer::Yes);
    const std::size_t asked = prompter.Shown().size();
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], DateTime::FromDate(2025, 5, 5)),
              DeleteOutcome::Deleted);
    EXPECT_EQ(prompter.Shown().size(), asked + 1);
    EXPECT_TRUE(d.Records().empty());
}

TEST_F(DocumentEditTest, ALinkedFileGoesToTheTrashAndAFailureIsReported) {
    WriteBytes(PathOf("notes.txt"), "notes");
    WriteBytes(PathOf("kept.txt"), "kept");
    CAlmxArray content;
    for (const char* link : {"notes.txt", "kept.txt", "gone.txt"}) {
        CAlmxData linked = Day(link, 2025, 5, 3);
        linked.linkFile = link;
        content.records.push_back(linked);
    }
    CAlmxDoc& d = Opened(content);
    const DateTime day = DateTime::FromDate(2025, 5, 3);

    prompter.Then(Answer::Yes).Then(Answer::Yes);
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], day), DeleteOutcome::Deleted);
    EXPECT_EQ(trash.trashed, std::vector<std::string>{PathOf("notes.txt")});
    EXPECT_FALSE(fs::exists(PathOf("notes.txt")));

    // The trash refuses: the user hears of it, the file stays, the record goes as asked.
    trash.works = false;
    prompter.Then(Answer::Yes).Then(Answer::Yes);
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], day), DeleteOutcome::Deleted);
    ASSERT_FALSE(prompter.Shown().empty());
    EXPECT_EQ(prompter.Shown().back(), std::string("ファイル ") + PathOf("kept.txt") +
                                           " をごみ箱に移動できませんでした。ファイルはそのまま"
                                           "残っています");
    EXPECT_TRUE(fs::exists(PathOf("kept.txt")));
    EXPECT_EQ(d.Records().size(), 1u);

    // A file that is not there is said so, as the link dialog says it.
    prompter.Then(Answer::Yes).Then(Answer::Yes);
    EXPECT_EQ(d.DeleteRecord(&d.Records()[0], day), DeleteOutcome::Deleted);
    EXPECT_EQ(prompter.Shown().back(), "ファイルがありません");
    EXPECT_EQ(trash.trashed.size(), 2u);
    EXPECT_TRUE(d.Records().empty());
}

CAlmxArray ImportSource() {
    CAlmxArray source;
    source.diaryFolder = "/elsewhere";
    source.defaultScheduleGenre = 2;
    source.extraText = "other";
    source.version = 400;
    source.genres.Append(CAlmxField("一般"));
    source.genres.Append(CAlmxField("取込", 0x00FF00));
    source.memoPages.push_back({"取込ページ", "本文"});
    source.dayProperties["2025/05/03"] = {0x0000FF, ""};
    source.records.push_back(Day("取込A", 2025, 6, 1));
    source.records.push_back(Day("取込B", 2025, 6, 2));
    return source;
}

TEST_F(DocumentEditTest, ImportAppendsRowsButKeepsTheDocumentsOwnValues) {
    CAlmxArray content;
    content.diaryFolder = "/mine";
    content.genres.Append(CAlmxField("一般"));
    content.records.push_back(Day("元", 2025, 5, 1));
    CAlmxDoc& d = Opened(content);
    WriteBytes(PathOf("in.alx"), WriteScheduleFile(ImportSource()).bytes);

    prompter.ThenText(PathOf("in"));
    ASSERT_TRUE(d.ImportCommand());
    EXPECT_EQ(prompter.Shown()[0], msg::kImportCaption);
    EXPECT_EQ(prompter.Shown().back(), "2個のデータを取り込みました");
    ASSERT_EQ(d.Records().size(), 3u);
    EXPECT_EQ(d.Records()[2].title, "取込B");
    EXPECT_EQ(d.Array().genres.Count(), 3u);
    EXPECT_EQ(d.Array().memoPages.size(), 1u);
    EXPECT_EQ(d.Array().dayProperties.size(), 1u);
    EXPECT_EQ(d.Array().diaryFolder, "/mine");
    EXPECT_EQ(d.Array().defaultScheduleGenre, 0);
    EXPECT_EQ(d.Array().extraText, "");
    EXPECT_EQ(d.Array().version, 440);
    EXPECT_TRUE(d.IsModified());
}

TEST_F(DocumentEditTest, AnAbortedImportTakesBackEverythingItAdded) {
    CAlmxArray content;
    content.genres.Append(CAlmxField("一般"));
    content.memoPages.push_back({"元ページ", ""});
    content.dayProperties["2025/05/03"] = {0xFFFFFF, "mine.png"};
    content.records.push_back(Day("元", 2025, 5, 1));
    CAlmxDoc& d = Opened(content);
    const CAlmxArray before = d.Array();
    auto unchanged = [&] {
        EXPECT_EQ(d.Records().size(), before.records.size());
        EXPECT_EQ(d.Array().genres, before.genres);
        EXPECT_EQ(d.Array().memoPages, before.memoPages);
        EXPECT_EQ(d.Array().dayProperties, before.dayProperties);
        EXPECT_EQ(d.Array().password, before.password);
        EXPECT_FALSE(d.IsModified());
    };

    CAlmxArray undefined = ImportSource();
    undefined.records[1].genre = 9;
    WriteBytes(PathOf("genre.alx"), WriteScheduleFile(undefined).bytes);
    EXPECT_EQ(d.ImportFile(PathOf("genre.alx")), -1);
    EXPECT_EQ(prompter.Shown().back(), msg::kImportUndefinedGenre);
    unchanged();

    CAlmxArray locked = ImportSource();
    locked.password = "pw";
    WriteBytes(PathOf("locked.alx"), WriteScheduleFile(locked).bytes);
    prompter.ThenText("PW").ThenText(std::nullopt);
    EXPECT_EQ(d.ImportFile(PathOf("locked.alx")), -1);
    EXPECT_TRUE(prompter.Saw(msg::kWrongPassword));
    unchanged();

    prompter.ThenText("pw");
    EXPECT_EQ(d.ImportFile(PathOf("locked.alx")), 2);
    EXPECT_EQ(d.Array().password, "");

    const std::size_t count = d.Records().size();
    WriteBytes(PathOf("old.alx"), SjisFile("\"年\",\"月\"\n\"2008\",\"1\"\n"));
    EXPECT_EQ(d.ImportFile(PathOf("old.alx")), -1);
    EXPECT_EQ(prompter.Shown().back(), msg::kImportOldLayout);
    EXPECT_EQ(d.ImportFile(PathOf("none.alx")), -1);
    EXPECT_EQ(prompter.Shown().back(), msg::kCannotOpenImport);
    EXPECT_EQ(d.Records().size(), count);
}

TEST_F(DocumentEditTest, ThePasswordCommandChecksTheOldOneAndTheFileKeepsTheNewOne) {
    CAlmxDoc& d = Opened(CAlmxArray());
    prompter.ThenText("Pass1234");
    ASSERT_TRUE(d.SetPasswordCommand());
    EXPECT_EQ(prompter.Shown(),
              (std::vector<std::string>{
                  msg::kNewPassword,
                  "新パスワード：Pass1234 を設定しました。忘れずにメモしておいてください"}));
    EXPECT_TRUE(d.IsModified());
    ASSERT_TRUE(d.SaveTo(d.Path()));
    EXPECT_EQ(ReadBytes(PathOf("doc.alx")).find("Pass1234"), std::string::npos);

    CAlmxDoc reopened(Context());
    prompter.ThenText("pass1234").ThenText("Pass1234");
    ASSERT_TRUE(reopened.Open(PathOf("doc.alx")));
    EXPECT_EQ(reopened.Array().password, "Pass1234");

    prompter.ThenText("wrong");
    EXPECT_FALSE(reopened.SetPasswordCommand());
    EXPECT_EQ(prompter.Shown().back(), msg::kPasswordMismatch);
    prompter.ThenText(std::nullopt);
    EXPECT_FALSE(reopened.SetPasswordCommand());
    EXPECT_EQ(reopened.Array().password, "Pass1234");
    EXPECT_FALSE(reopened.IsModified());

    // An empty new password removes the protection.
    prompter.ThenText("Pass1234").ThenText("");
    ASSERT_TRUE(reopened.SetPasswordCommand());
    EXPECT_EQ(reopened.Array().password, "");
}

TEST_F(DocumentEditTest, PastingARecordLineMovesTheRecordToTheDay) {
    CAlmxDoc& d = Opened(CAlmxArray());
    CAlmxData copied = Schedule("打合せ", DateTime::FromParts(2008, 1, 5, 9, 0),
                                DateTime::FromParts(2008, 1, 5, 10, 30));
    copied.Set(StartTimeSet);
    copied.Set(EndTimeSet);
    copied.memo = "一\n二";
    std::string clipboard = RecordLine(copied);
    clipboard.insert(clipboard.size() - 1, "\r");
    ASSERT_TRUE(d.PasteOntoDate(clipboard, DateTime::FromDate(2025, 5, 10)));
    ASSERT_EQ(d.Records().size(), 1u);
    const CAlmxData& pasted = d.Records()[0];
    EXPECT_EQ(pasted.start, DateTime::FromParts(2025, 5, 10, 9, 0));
    EXPECT_EQ(pasted.end, DateTime::FromParts(2025, 5, 10, 10, 30));
    EXPECT_EQ(pasted.memo, "一\n二");
    EXPECT_TRUE(d.IsModified());
}

TEST_F(DocumentEditTest, ARecordPastedNearTheCalendarsEndSurvivesTheNextOpen) {
    CAlmxDoc& d = Opened(CAlmxArray());
    const CAlmxData week =
        Schedule("旅行", DateTime::FromDate(2008, 1, 5), DateTime::FromDate(2008, 1, 12));
    ASSERT_TRUE(d.PasteOntoDate(RecordLine(week), DateTime::FromDate(9998, 12, 27)));
    ASSERT_TRUE(d.SaveTo(d.Path()));
    CAlmxDoc reopened(Context());
    ASSERT_TRUE(reopened.Open(d.Path()));
    ASSERT_EQ(reopened.Records().size(), 1u);
    EXPECT_EQ(reopened.Records()[0].start, DateTime::FromDate(9998, 12, 27));
    EXPECT_EQ(reopened.Records()[0].end, DateTime::FromDate(9998, 12, 31));
}

TEST_F(DocumentEditTest, PastedTextOfOtherRowKindsIsOnlyATitle) {
    CAlmxDoc& d = Opened(CAlmxArray());
    const std::string folder = d.Array().diaryFolder;
    const DateTime day = DateTime::FromDate(2025, 5, 10);
    for (const char* kind : {"2", "3", "4", "5", "6", "x"}) {
        std::string line = std::string("\"") + kind + "\",\"secret\"";
        for (int i = 2; i < kRecordCells; ++i) line += ",\"1\"";
        ASSERT_TRUE(d.PasteOntoDate(line, day)) << kind;
        EXPECT_EQ(d.Records().back().title, line);
        EXPECT_EQ(d.Records().back().start.Date(), day);
    }
    EXPECT_EQ(d.Array().password, "");
    EXPECT_TRUE(d.Array().dayProperties.empty());
    EXPECT_TRUE(d.Array().memoPages.empty());
    EXPECT_EQ(d.Array().genres, CAlmxFieldArray::General());
    EXPECT_EQ(d.Array().diaryFolder, folder);

    ASSERT_TRUE(d.PasteOntoDate("  \t買い物 リスト\r\n", day));
    EXPECT_EQ(d.Records().back().title, "買い物 リスト");
    EXPECT_EQ(d.Records().back().start, DateTime::FromParts(2025, 5, 10, 14, 7));
    const std::size_t count = d.Records().size();
    EXPECT_FALSE(d.PasteOntoDate(" \r\n ", day));
    EXPECT_EQ(d.Records().size(), count);

    // What the file cannot hold becomes "?" at once, and the user is told how much.
    ASSERT_TRUE(d.PasteOntoDate("誕生日🎂🎉", day));
    EXPECT_EQ(d.Records().back().title, "誕生日??");
    EXPECT_EQ(prompter.Shown().back(), "Shift_JISで保存できない文字 2 文字を「?」に置き換えました");
}

TEST_F(DocumentEditTest, SortingFallsThroughToTheLaterKeysAndDescendingReversesAll) {
    CAlmxArray content;
    auto at = [](int d, int h) { return DateTime::FromParts(2025, 5, d, h, 0); };
    CAlmxData late = Schedule("b", at(3, 18), at(3, 19));
    late.genre = 1;
    CAlmxData early = Schedule("c", at(3, 9), at(3, 10));
    early.genre = 2;
    CAlmxData first = Schedule("Z", at(1, 12), at(1, 12));
    CAlmxData upper = Schedule("B", at(3, 20), at(3, 21));
    upper.genre = 1;
    for (const CAlmxData& r : {late, early, first, upper}) content.records.push_back(r);
    CAlmxDoc& d = Opened(content);
    auto titles = [&] {
        std::string out;
        for (const CAlmxData& r : d.Records()) out += r.title;
        return out;
    };
    // Same day counts as equal: genre decides, then the title without regard to case.
    d.Sort(SortKey::Start, SortOrder::Ascending);
    std::string ascending = titles();
    EXPECT_TRUE(ascending == "ZbBc" || ascending == "ZBbc") << ascending;
    EXPECT_TRUE(d.IsModified());
    d.Sort(SortKey::Start, SortOrder::Descending);
    std::string descending = titles();
    EXPECT_EQ(descending.substr(0, 1), "c");
    EXPECT_EQ(descending.substr(3), "Z");
    d.Sort(SortKey::Title, SortOrder::Ascending);
    EXPECT_EQ(titles().substr(2), "cZ");
    d.Sort(SortKey::Genre, SortOrder::Ascending);
    EXPECT_EQ(titles().substr(0, 1), "Z");
    EXPECT_EQ(titles().substr(3), "c");
}

TEST_F(DocumentEditTest, SortingByTitleUsesShiftJisByteOrder) {
    CAlmxArray content;
    // Half-width katakana (0xB1) sort before kanji (0x88..) in UTF-8 but after them here.
    for (const char* title : {"ｱ", "亜", "あ"}) content.records.push_back(Day(title, 2025, 5, 1));
    CAlmxDoc& d = Opened(content);
    d.Sort(SortKey::Title, SortOrder::Ascending);
    EXPECT_EQ(d.Records()[0].title, "あ");
    EXPECT_EQ(d.Records()[1].title, "亜");
    EXPECT_EQ(d.Records()[2].title, "ｱ");

    // Letters fold to lower case, but never the second byte of a double-byte character:
    // "カ" is 83 4A, "ツ" 83 63.
    d.Records() = {Day("ツアー", 2025, 5, 1), Day("カメラ", 2025, 5, 1), Day("B", 2025, 5, 1),
                   Day("a", 2025, 5, 1)};
    d.Sort(SortKey::Title, SortOrder::Ascending);
    std::string order;
    for (const CAlmxData& r : d.Records()) order += r.title + ",";
    EXPECT_EQ(order, "a,B,カメラ,ツアー,");
}

TEST_F(DocumentEditTest, DeletingOldSchedulesKeepsToDosAndLaterEnds) {
    CAlmxArray content;
    content.records.push_back(Schedule("終了日当日", DateTime::FromDate(2025, 1, 1),
                                       DateTime::FromParts(2025, 2, 2, 23, 0)));
    content.records.push_back(Day("翌日", 2025, 2, 3));
    CAlmxData todo = Day("やること", 2024, 1, 1);
    todo.Set(IsTodo);
    content.records.push_back(todo);
    CAlmxDoc& d = Opened(content);
    const DateTime preset = d.OldSchedulesPreset();
    EXPECT_EQ(preset, DateTime::FromDate(2025, 2, 2));
    EXPECT_EQ(d.DeleteOldSchedules(preset), 1);
    ASSERT_EQ(d.Records().size(), 2u);
    EXPECT_EQ(d.Records()[0].title, "翌日");
    EXPECT_TRUE(d.IsModified());
}

TEST_F(DocumentEditTest, TheGenreListIsExtendedOnlyToSaneIndexes) {
    CAlmxArray content;
    for (const char* name : {"一般", "仕事", "趣味"}) content.genres.Append(CAlmxField(name));
    CAlmxDoc& d = Opened(content);
    EXPECT_FALSE(d.ExtendGenresFor(-1));
    EXPECT_FALSE(d.ExtendGenresFor(2000000000));
    EXPECT_EQ(d.Array().genres.Count(), 3u);
    EXPECT_TRUE(d.ExtendGenresFor(7));
    ASSERT_EQ(d.Array().genres.Count(), 8u);
    EXPECT_EQ(d.Array().genres.At(3)->name, "ジャンル4");
    EXPECT_EQ(d.Array().genres.At(7)->name, "ジャンル8");
    EXPECT_TRUE(d.ExtendGenresFor(2));
    EXPECT_EQ(d.Array().genres.Count(), 8u);
}

}  // namespace
}  // namespace almx
