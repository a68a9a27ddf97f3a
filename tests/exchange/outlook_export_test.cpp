// Outlook schedule and to-do exports over a range.

#include <gtest/gtest.h>

#include <algorithm>

#include "exchange/csv_row.h"
#include "exchange/exchange_fixture.h"
#include "exchange/outlook_csv.h"
#include "exchange/text_file.h"

namespace almx::testing {
namespace {

class OutlookExportTest : public ExchangeTest {
  protected:
    // The file's rows after the header, decoded and split by the RFC 4180 rules.
    std::vector<std::vector<std::string>> ExportRows(DateTime first, DateTime last,
                                                     int includeHidden = 0) {
        CAlmxOutlookExport exporter(Source(), first, last, Environment());
        EXPECT_TRUE(exporter.ExportToFile(PathOf("out.csv"), includeHidden));
        return RowsOf(ReadBytes(dir / "out.csv"));
    }

    static std::vector<std::vector<std::string>> RowsOf(const std::string& sjis) {
        const std::string text = text::FromShiftJis(sjis);
        std::vector<std::vector<std::string>> rows;
        std::string pending;
        int state = kBetweenFields;
        for (std::string line : Lines(text)) {
            EXPECT_FALSE(line.empty() || line.back() != '\r') << "line without CR LF: " << line;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!pending.empty() || state == kInQuotedField) pending += '\n';
            pending += line;
            state = ScanCsvLine(line, state);
            if (state == kInQuotedField) continue;
            state = kBetweenFields;
            rows.push_back(SplitCsvRow(pending));
            pending.clear();
        }
        EXPECT_FALSE(rows.empty());
        if (!rows.empty()) rows.erase(rows.begin());
        return rows;
    }
};

TEST_F(OutlookExportTest, HeaderIsExactAndEveryRowHas22Fields) {
    CAlmxData meeting = Schedule("会議", At(2025, 6, 2, 10, 0), At(2025, 6, 2, 11, 30));
    meeting.Set(StartTimeSet);
    meeting.Set(EndTimeSet);
    Add(meeting);
    CAlmxOutlookExport exporter(Source(), Day(2025, 6, 1), Day(2025, 6, 30), Environment());
    ASSERT_TRUE(exporter.ExportToFile(PathOf("out.csv"), 0));
    const std::string text = text::FromShiftJis(ReadBytes(dir / "out.csv"));
    EXPECT_EQ(text.substr(0, text.find("\r\n")), outlook::kScheduleHeader);
    EXPECT_EQ(SplitCsvRow(outlook::kScheduleHeader).size(), 22u);
    const auto rows = RowsOf(ReadBytes(dir / "out.csv"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{
                           "会議",  "2025/06/02", "10:00:00", "2025/06/02", "11:30:00", "False",
                           "False", "2025/06/02", "10:00:00", "",           "",         "",
                           "",      "True",       "",         "2",          "",         "",
                           "",      "標準",       "一般",     "標準"}));
}

TEST_F(OutlookExportTest, SingleScheduleOverThreeDaysIsWrittenOnce) {
    Add(Schedule("合宿", Day(2025, 6, 10), Day(2025, 6, 12)));
    const auto rows = ExportRows(Day(2025, 6, 1), Day(2025, 6, 30));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], "2025/06/10");
    EXPECT_EQ(rows[0][3], "2025/06/12");
    EXPECT_EQ(rows[0][2], "0:00:00");
    EXPECT_EQ(rows[0][4], "0:00:00");
    EXPECT_EQ(rows[0][5], "True");
    // A second export from the same exporter writes it again.
    CAlmxOutlookExport exporter(Source(), Day(2025, 6, 1), Day(2025, 6, 30), Environment());
    ASSERT_TRUE(exporter.ExportToFile(PathOf("a.csv"), 0));
    ASSERT_TRUE(exporter.ExportToFile(PathOf("b.csv"), 0));
    EXPECT_EQ(ReadBytes(dir / "a.csv"), ReadBytes(dir / "b.csv"));
}

TEST_F(OutlookExportTest, WeeklyRuleGivesOneRowPerOccurrenceWithItsOwnTimes) {
    CAlmxData weekly = Schedule("朝会", At(2025, 6, 2, 9, 0), At(2025, 12, 31, 9, 45));
    weekly.repeatType = RepeatWeeks;
    weekly.validWeekdays[1] = 1;  // Mondays
    weekly.Set(StartTimeSet);
    weekly.Set(EndTimeSet);
    weekly.alarmMinutes = 10;
    weekly.alarmMode = 1;
    Add(weekly);
    const auto rows = ExportRows(Day(2025, 6, 2), Day(2025, 6, 29));
    ASSERT_EQ(rows.size(), 4u);
    const char* days[] = {"2025/06/02", "2025/06/09", "2025/06/16", "2025/06/23"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i][1], days[i]);
        EXPECT_EQ(rows[i][3], days[i]);
        EXPECT_EQ(rows[i][2], "09:00:00");
        EXPECT_EQ(rows[i][4], "09:45:00");  // the time of end, not of start
        EXPECT_EQ(rows[i][6], "True");
        EXPECT_EQ(rows[i][7], days[i]);  // the occurrence's notification, not the first one's
        EXPECT_EQ(rows[i][8], "08:50:00");
    }
}

TEST_F(OutlookExportTest, NotificationIsOnOnlyForARecordThatCanRing) {
    CAlmxData timed = Schedule("timed", At(2025, 6, 3, 0, 30), At(2025, 6, 3, 0, 30));
    timed.Set(StartTimeSet);
    timed.alarmMinutes = 90;
    Add(timed);  // 90 minutes before crosses midnight
    CAlmxData untimed = Schedule("untimed", Day(2025, 6, 4), Day(2025, 6, 4));
    untimed.alarmMinutes = 10;
    Add(untimed);
    CAlmxData silent = timed;
    silent.title = "silent";
    silent.alarmMode = 0;
    Add(silent);
    CAlmxData none = timed;
    none.title = "none";
    none.alarmMinutes = -1;
    Add(none);
    const auto rows = ExportRows(Day(2025, 6, 1), Day(2025, 6, 30));
    ASSERT_EQ(rows.size(), 4u);
    std::map<std::string, std::vector<std::string>> byTitle;
    for (const auto& row : rows) byTitle[row[0]] = row;
    EXPECT_EQ(byTitle["timed"][6], "True");
    EXPECT_EQ(byTitle["timed"][7], "2025/06/02");
    EXPECT_EQ(byTitle["timed"][8], "23:00:00");
    EXPECT_EQ(byTitle["untimed"][6], "False");
    EXPECT_EQ(byTitle["silent"][6], "False");
    EXPECT_EQ(byTitle["none"][6], "False");
    EXPECT_EQ(byTitle["none"][7], "2025/06/03");
    EXPECT_EQ(byTitle["none"][8], "00:30:00");
}

TEST_F(OutlookExportTest, HolidaysNeverHiddenOnlyWhenAskedHiddenGenresNever) {
    CAlmxData holiday = Schedule("憲法記念日", Day(2025, 5, 3), Day(2025, 5, 3));
    holiday.Set(HolidayMark);
    Add(holiday);
    CAlmxData hidden = Schedule("内緒", Day(2025, 5, 4), Day(2025, 5, 4));
    hidden.Set(HideInViews);
    Add(hidden);
    doc->Array().genres.Append(CAlmxField("非表示", 0, 0));
    CAlmxData ofHiddenGenre = Schedule("見えない", Day(2025, 5, 5), Day(2025, 5, 5));
    ofHiddenGenre.genre = 1;
    Add(ofHiddenGenre);
    auto rows = ExportRows(Day(2025, 5, 1), Day(2025, 5, 31), 0);
    EXPECT_TRUE(rows.empty());
    rows = ExportRows(Day(2025, 5, 1), Day(2025, 5, 31), 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "内緒");
    EXPECT_EQ(rows[0][13], "False");
}

TEST_F(OutlookExportTest, TextsWithQuotesCommasAndLineBreaksSurviveAndNoControlBytes) {
    CAlmxData r = Schedule("A \"quoted\", title", Day(2025, 6, 5), Day(2025, 6, 5));
    r.memo = "first line\nsecond, \"line\"\nthird\x01\x02";
    r.place = "会議室,\"3\"";
    Add(r);
    const auto rows = ExportRows(Day(2025, 6, 1), Day(2025, 6, 30));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "A \"quoted\", title");
    EXPECT_EQ(rows[0][18], "first line\nsecond, \"line\"\nthird");
    EXPECT_EQ(rows[0][17], "会議室,\"3\"");
    const std::string bytes = ReadBytes(dir / "out.csv");
    for (char c : bytes) EXPECT_FALSE(c >= 1 && c <= 4);
    EXPECT_NE(bytes.find("first line\r\nsecond"), std::string::npos);
}

TEST_F(OutlookExportTest, EmptyRangeWritesTheHeaderAndOneDayRangeCoversItsDay) {
    Add(Schedule("x", Day(2025, 6, 5), Day(2025, 6, 5)));
    EXPECT_TRUE(ExportRows(Day(2025, 7, 1), Day(2025, 7, 31)).empty());
    EXPECT_EQ(text::FromShiftJis(ReadBytes(dir / "out.csv")),
              std::string(outlook::kScheduleHeader) + "\r\n");
    EXPECT_EQ(ExportRows(Day(2025, 6, 5), Day(2025, 6, 5)).size(), 1u);
}

TEST_F(OutlookExportTest, FileExportUsesCalendarDaysWithoutTouchingTodayLimit) {
    settings.SetInt("System", "TodayLimit", 4);
    CAlmxData late = Schedule("深夜", At(2025, 6, 10, 1, 0), At(2025, 6, 10, 2, 0));
    late.Set(StartTimeSet);
    late.Set(EndTimeSet);
    Add(late);
    // With the day boundary at 4 it belongs to the 9th; the file puts it on the 10th.
    const auto rows = ExportRows(Day(2025, 6, 10), Day(2025, 6, 10));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], "2025/06/10");
    EXPECT_EQ(settings.GetInt("System", "TodayLimit", 0), 4);
}

TEST_F(OutlookExportTest, LongRangeIsWalkedInPiecesWithTheSameRows) {
    for (int year = 1990; year < 2030; ++year) {
        Add(Schedule("y" + std::to_string(year), Day(year, 12, 31), Day(year, 12, 31)));
    }
    const auto rows = ExportRows(Day(1583, 1, 1), Day(9998, 12, 31));
    ASSERT_EQ(rows.size(), 40u);
    EXPECT_EQ(rows.front()[1], "1990/12/31");
    EXPECT_EQ(rows.back()[1], "2029/12/31");
}

TEST_F(OutlookExportTest, BytesDoNotDependOnHowTheRangeIsCutIntoPieces) {
    // Every day for 200 days with a long memo: the lines are handed on in several blocks.
    CAlmxData daily = Schedule("日課 \"朝\", 体操", At(2025, 1, 1, 6, 30), At(2026, 12, 31, 7, 0));
    daily.repeatType = RepeatDays;
    daily.repeatInterval = 1;
    daily.Set(StartTimeSet);
    daily.Set(EndTimeSet);
    daily.alarmMinutes = 5;
    daily.alarmMode = 1;
    daily.memo = std::string(3000, 'm') + "\n二行目「メモ」\r\n三行目";
    Add(daily);
    // A single schedule over a piece boundary is written once, on its first day in the range.
    CAlmxData camp = Schedule("合宿", Day(2025, 3, 30), Day(2025, 4, 3));
    camp.place = "山中湖, 寮";
    Add(camp);
    for (int m = 1; m <= 7; ++m) {
        Add(Schedule("月" + std::to_string(m), Day(2025, m, 28), Day(2025, m, 28)));
    }

    std::string whole;
    {
        CAlmxOutlookExport exporter(Source(), Day(2025, 1, 1), Day(2025, 7, 19), Environment());
        exporter.SetPieceDays(100000);
        ASSERT_TRUE(exporter.FileBytes(whole, 0));
        // The text formulation, encoded at once, is the same file.
        std::string text;
        ASSERT_TRUE(exporter.FileText(text, 0));
        EXPECT_EQ(whole, text::ToShiftJis(LfToCrLf(text)));
        EXPECT_GT(whole.size(), 600000u);
    }
    for (int days : {1, 3, 31, 89}) {
        CAlmxOutlookExport exporter(Source(), Day(2025, 1, 1), Day(2025, 7, 19), Environment());
        exporter.SetPieceDays(days);
        std::string bytes;
        ASSERT_TRUE(exporter.FileBytes(bytes, 0));
        EXPECT_EQ(bytes, whole) << days << " days a piece";
        ASSERT_TRUE(exporter.ExportToFile(PathOf("out.csv"), 0));
        EXPECT_EQ(ReadBytes(dir / "out.csv"), whole) << days << " days a piece";
    }
    const auto rows = RowsOf(whole);
    ASSERT_EQ(rows.size(), 200u + 1u + 6u);  // the July one lies after the range
    int camps = 0;
    for (const auto& row : rows) camps += row[0] == "合宿";
    EXPECT_EQ(camps, 1);
}

TEST_F(OutlookExportTest, DatesOfManyDaysAndLinesAfterAFileExportStayAsWritten) {
    // Days sixteen apart share a place among the kept date texts; years of four and five
    // digits and an invalid date have texts of their own.
    OutlookDateTexts texts;
    std::vector<DateTime> days;
    for (int i = 0; i < 400; ++i) days.push_back(Day(2025, 1, 1).PlusDays((i * 37) % 97));
    days.push_back(Day(1, 1, 1));
    days.push_back(Day(9999, 12, 31));
    days.push_back(Day(9999, 12, 31).PlusDays(1));
    days.push_back(DateTime::Invalid());
    days.push_back(Day(2025, 1, 1).PlusDays(16));
    days.push_back(Day(2025, 1, 1));
    for (const DateTime& day : days) {
        std::string kept = "x";
        texts.Append(kept, day);
        EXPECT_EQ(kept, "x" + OutlookDate(day)) << day.Days();
    }

    CAlmxData r = Schedule("会議", At(2025, 6, 5, 9, 0), At(2025, 6, 5, 10, 0));
    r.Set(StartTimeSet);
    r.Set(EndTimeSet);
    r.memo = "一行目\n二行目";
    Add(r);
    CAlmxOutlookExport exporter(Source(), Day(2025, 6, 1), Day(2025, 6, 30), Environment());
    const std::string before = exporter.FormatLine(Day(2025, 6, 5), r, 0);
    std::string bytes;
    ASSERT_TRUE(exporter.FileBytes(bytes, 0));
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
    // A line asked for outside the file's walk has its plain line breaks again.
    const std::string after = exporter.FormatLine(Day(2025, 6, 5), r, 0);
    EXPECT_EQ(after, before);
    EXPECT_NE(after.find("一行目\n二行目"), std::string::npos);
}

TEST_F(OutlookExportTest, FileBytesOfRecurringTextsAndGenresAreTheTextsEncodedLineByLine) {
    // Texts met on many days, with characters Shift_JIS cannot hold, broken UTF-8 at a field's
    // ends, a genre of Japanese name, a genre number without a genre, and a rule changed from
    // one export to the next.
    doc->Array().genres.Append(CAlmxField("仕事①"));
    CAlmxData daily = Schedule("\xE3\x81朝礼 🙂", At(2025, 5, 1, 8, 0), At(2025, 5, 31, 8, 30));
    daily.repeatType = RepeatDays;
    daily.Set(StartTimeSet);
    daily.Set(EndTimeSet);
    daily.place = "本社\"A\",棟\xE3";
    daily.memo = "一\r二\n三\r\n\"四\"\x01\x02𠀋";
    daily.genre = static_cast<int>(doc->Array().genres.Items().size()) - 1;
    Add(daily);
    CAlmxData weekly = daily;
    weekly.title = "週報";
    weekly.repeatType = RepeatWeeks;
    weekly.validWeekdays[2] = 1;
    weekly.genre = 999;
    Add(weekly);
    CAlmxData single = Schedule("単発 \xF0\x9F", Day(2025, 5, 3), Day(2025, 5, 4));
    single.genre = -3;
    Add(single);

    CAlmxOutlookExport exporter(Source(), Day(2025, 5, 1), Day(2025, 5, 31), Environment());
    for (int round = 0; round < 2; ++round) {
        std::string bytes;
        ASSERT_TRUE(exporter.FileBytes(bytes, 0));
        std::string text;
        ASSERT_TRUE(exporter.FileText(text, 0));
        EXPECT_EQ(bytes, text::Utf8ToShiftJis(LfToCrLf(text)).bytes) << "round " << round;
        EXPECT_GT(std::count(text.begin(), text.end(), '\n'), 31);
        // What was kept for one walk is not what the next writes.
        doc->Records().front().title = "夕礼";
    }
}

class FailingWriter : public FileWriter {
  public:
    bool Write(int fd, std::string_view bytes) override {
        return FileWriter::Write(fd, bytes.substr(0, bytes.size() / 2)) && false;
    }
};

class FailingSync : public FileWriter {
  public:
    bool Sync(int) override { return false; }
};

TEST_F(OutlookExportTest, AFailedWriteOrFlushLeavesTheOldFileAndSaysSo) {
    Add(Schedule("x", Day(2025, 6, 5), Day(2025, 6, 5)));
    WriteBytes(dir / "out.csv", "old bytes");
    FailingWriter full;
    FailingSync noFlush;
    for (FileWriter* writer : std::vector<FileWriter*>{&full, &noFlush}) {
        CAlmxOutlookExport exporter(Source(), Day(2025, 6, 1), Day(2025, 6, 30), Environment());
        exporter.SetFileWriter(writer);
        EXPECT_FALSE(exporter.ExportToFile(PathOf("out.csv"), 0));
        EXPECT_EQ(ReadBytes(dir / "out.csv"), "old bytes");
        EXPECT_EQ(prompter.Shown().back(),
                  std::string(file_messages::kWrite) + ":" + PathOf("out.csv"));
    }
    // No temporary file is left behind, and no backup was made.
    EXPECT_EQ(Snapshot().size(), 1u);
}

TEST_F(OutlookExportTest, AnUnwritablePlaceShowsTheOpenMessage) {
    const std::string path = PathOf("missing/out.csv");
    CAlmxOutlookExport exporter(Source(), Day(2025, 6, 1), Day(2025, 6, 30), Environment());
    EXPECT_FALSE(exporter.ExportToFile(path, 0));
    EXPECT_EQ(prompter.Shown(),
              std::vector<std::string>{std::string(file_messages::kOpen) + ":" + path});
}

TEST_F(OutlookExportTest, OverwritingKeepsNoBackupBesideTheFile) {
    // A ".bak" beside the export may be a schedule file's backup: it stays untouched.
    WriteBytes(dir / "plan.bak", "schedule backup");
    WriteBytes(dir / "plan.csv", "old");
    CAlmxOutlookExport exporter(Source(), Day(2025, 6, 1), Day(2025, 6, 30), Environment());
    ASSERT_TRUE(exporter.ExportToFile(PathOf("plan.csv"), 0));
    EXPECT_EQ(ReadBytes(dir / "plan.bak"), "schedule backup");
}

TEST_F(OutlookExportTest, TodoExportWritesItsColumns) {
    CAlmxData todo = Schedule("報告書", Day(2025, 5, 10), Day(2025, 5, 8));
    todo.Set(IsTodo);
    todo.Set(TodoDone);
    todo.todoLeadDays = 3;
    todo.memo = "二行\n目";
    Add(todo);
    Add(Schedule("schedule", Day(2025, 5, 8), Day(2025, 5, 8)));
    CAlmxOutlookTodoExport exporter(Source(), Day(2025, 5, 1), Day(2025, 5, 31), Environment());
    ASSERT_TRUE(exporter.ExportToFile(PathOf("todo.csv"), 0));
    const std::string text = text::FromShiftJis(ReadBytes(dir / "todo.csv"));
    EXPECT_EQ(text.substr(0, text.find("\r\n")), outlook::kTodoHeader);
    EXPECT_NE(text.find("\"会社名 \""), std::string::npos);
    const auto rows = RowsOf(ReadBytes(dir / "todo.csv"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{
                  "報告書",     "2025/05/07", "2025/05/10", "False", "2025/05/10", "0:00:00",
                  "2025/05/08", "0.000",      "0",          "0",     "",           "False",
                  "二行\n目",   "",           "",           "",      "終了",       "標準",
                  "一般",       "",           "標準",       ""}));
}

TEST_F(OutlookExportTest, SelectedRowsGoThroughAStoreOfTheirOwn) {
    const CAlmxData& a = Add(Schedule("a", Day(2025, 6, 5), Day(2025, 6, 5)));
    Add(Schedule("b", Day(2025, 6, 6), Day(2025, 6, 6)));
    const CAlmxData& c = Add(Schedule("c", Day(2025, 6, 7), Day(2025, 6, 7)));
    ASSERT_TRUE(ExportRecordsToOutlook({&c, &a}, doc->Array().genres, Day(2025, 6, 1),
                                       Day(2025, 6, 30), PathOf("sel.csv"), 0, Environment()));
    const auto rows = RowsOf(ReadBytes(dir / "sel.csv"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "a");
    EXPECT_EQ(rows[1][0], "c");
    EXPECT_EQ(doc->Records().size(), 3u);
}

}  // namespace
}  // namespace almx::testing
