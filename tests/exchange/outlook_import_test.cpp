// Outlook schedule and to-do imports, and the round trip through the export.

#include <gtest/gtest.h>

#include <climits>

#include "exchange/exchange_fixture.h"
#include "exchange/outlook_csv.h"
#include "exchange/text_file.h"

namespace almx::testing {
namespace {

class OutlookImportTest : public ExchangeTest {
  protected:
    // Writes the UTF-8 text as a Shift_JIS file and imports it.
    bool Import(const std::string& utf8, bool todo = false) {
        WriteBytes(dir / "in.csv", SjisFile(utf8));
        return ImportPath(PathOf("in.csv"), todo);
    }
    bool ImportPath(const std::string& path, bool todo = false) {
        if (todo) return CAlmxOutlookTodoImport(*doc, prompter).ImportFile(path, 0);
        return CAlmxOutlookImport(*doc, prompter).ImportFile(path, 0);
    }
    const CAlmxData* Find(const std::string& title) {
        for (const CAlmxData& r : doc->Records()) {
            if (r.title == title) return &r;
        }
        return nullptr;
    }
    static std::string Row(const std::string& title, const std::string& start,
                           const std::string& startTime, const std::string& end,
                           const std::string& endTime, const std::string& allDay,
                           const std::string& genre = "", const std::string& alarm = "False",
                           const std::string& alarmDate = "", const std::string& alarmTime = "") {
        return title + "," + start + "," + startTime + "," + end + "," + endTime + "," + allDay +
               "," + alarm + "," + alarmDate + "," + alarmTime + ",,,,,False,,2,,place,memo,普通," +
               genre + ",普通\n";
    }
};

const std::string kHeader = std::string(outlook::kScheduleHeader) + "\n";

// A file as another program's CSV writer makes it: fields quoted only where needed, quotes
// doubled, a memo over three physical lines, capital TRUE, a broken date.
TEST_F(OutlookImportTest, ReadsAFileOfAnotherWriterFieldForField) {
    const std::string file =
        kHeader +
        "\"Say \"\"hi\"\", all\",2025/6/2,9:30:00,2025/6/2,11:00:00,False,True,2025/6/2,"
        "8:00:00,,,,,False,,2,,\"Room 1, east\",\"line one\n\"\"two\"\"\nthree\",普通,仕事,普通\n"
        "Holiday trip,2025/6/10,0:00:00,2025/6/12,0:00:00,TRUE,False,,,,,,,False,,2,,,,普通,,普通\n"
        "Broken,2025/13/40,9:00:00,2025/6/2,10:00:00,False,False,,,,,,,False,,2,,,,普通,,普通\n";
    ASSERT_TRUE(Import(file));
    EXPECT_EQ(prompter.Shown().back(), "インポート成功：2件\nインポート失敗：1件");
    ASSERT_EQ(doc->Records().size(), 2u);
    const CAlmxData* hi = Find("Say \"hi\", all");
    ASSERT_NE(hi, nullptr);
    EXPECT_EQ(hi->start, At(2025, 6, 2, 9, 30));
    EXPECT_EQ(hi->end, At(2025, 6, 2, 11, 0));
    EXPECT_TRUE(hi->Has(StartTimeSet));
    EXPECT_TRUE(hi->Has(EndTimeSet));
    EXPECT_EQ(hi->alarmMinutes, 90);
    EXPECT_EQ(hi->place, "Room 1, east");
    EXPECT_EQ(hi->memo, "line one\n\"two\"\nthree");
    ASSERT_NE(doc->Array().genres.At(hi->genre), nullptr);
    EXPECT_EQ(doc->Array().genres.At(hi->genre)->name, "仕事");  // a new genre from 分類
    const CAlmxData* trip = Find("Holiday trip");
    ASSERT_NE(trip, nullptr);
    // Capital TRUE: no times, and the multi-day row keeps its last day.
    EXPECT_FALSE(trip->Has(StartTimeSet));
    EXPECT_FALSE(trip->Has(EndTimeSet));
    EXPECT_EQ(trip->start, Day(2025, 6, 10));
    EXPECT_EQ(trip->end, Day(2025, 6, 12));
    EXPECT_EQ(trip->alarmMinutes, -1);
    EXPECT_EQ(trip->genre, 0);
    EXPECT_EQ(doc->Array().genres.Count(), 2u);  // an empty 分類 added no genre
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(OutlookImportTest, TimesWithoutSecondsKeepTheirMinutesAndBackwardRowsAreRejected) {
    ASSERT_TRUE(Import(kHeader + Row("short", "2025/6/2", "9:30", "2025/6/2", "10:15", "False") +
                       Row("backward", "2025/6/5", "10:00:00", "2025/6/4", "9:00:00", "False") +
                       Row("no colon", "2025/6/5", "1000", "2025/6/5", "1100", "False")));
    ASSERT_EQ(doc->Records().size(), 1u);
    EXPECT_EQ(doc->Records()[0].start, At(2025, 6, 2, 9, 30));
    EXPECT_EQ(doc->Records()[0].end, At(2025, 6, 2, 10, 15));
    EXPECT_EQ(prompter.Shown().back(), "インポート成功：1件\nインポート失敗：2件");
}

TEST_F(OutlookImportTest, AlarmMinutesCannotOverflow) {
    ASSERT_TRUE(Import(kHeader + Row("far", "9998/12/31", "23:00:00", "9998/12/31", "23:00:00",
                                     "False", "", "True", "1583/1/1", "0:00:00")));
    EXPECT_EQ(doc->Records()[0].alarmMinutes, INT_MAX);
    EXPECT_EQ(prompter.Shown().back(), "全件（1件）のインポートに成功しました。");
}

TEST_F(OutlookImportTest, GenresAreFoundByNameFirstOneWinsAndANewOneIsAddedOnce) {
    doc->Array().genres.Append(CAlmxField("仕事"));
    doc->Array().genres.Append(CAlmxField("家族"));
    doc->Array().genres.Append(CAlmxField("仕事"));  // a second genre of the same name
    const std::size_t before = doc->Array().genres.Count();
    ASSERT_TRUE(Import(kHeader +
                       Row("a", "2025/6/2", "9:00:00", "2025/6/2", "9:00:00", "False", "仕事") +
                       Row("b", "2025/6/2", "9:00:00", "2025/6/2", "9:00:00", "False", "旅行") +
                       Row("c", "2025/6/3", "9:00:00", "2025/6/3", "9:00:00", "False", "家族") +
                       Row("d", "2025/6/4", "9:00:00", "2025/6/4", "9:00:00", "False", "旅行")));
    const auto& genres = doc->Array().genres;
    ASSERT_EQ(genres.Count(), before + 1);
    EXPECT_EQ(Find("a")->genre, 1);
    EXPECT_EQ(Find("c")->genre, 2);
    EXPECT_EQ(Find("b")->genre, static_cast<int>(before));
    EXPECT_EQ(Find("d")->genre, static_cast<int>(before));
    EXPECT_EQ(genres.At(Find("d")->genre)->name, "旅行");

    // The same importer over another list: nothing of the first list's names stays behind.
    CAlmxOutlookImport importer(*doc, prompter);
    CAlmxFieldArray other = CAlmxFieldArray::General();
    const ImportOutcome first = importer.ImportBytes(
        SjisFile(kHeader + Row("e", "2025/6/2", "9:00:00", "2025/6/2", "9:00:00", "False", "旅行")),
        genres, {}, 0);
    ASSERT_EQ(first.records.size(), 1u);
    EXPECT_EQ(first.records[0].genre, static_cast<int>(before));
    const ImportOutcome second = importer.ImportBytes(
        SjisFile(kHeader + Row("f", "2025/6/2", "9:00:00", "2025/6/2", "9:00:00", "False", "旅行")),
        other, {}, 0);
    ASSERT_EQ(second.records.size(), 1u);
    EXPECT_EQ(second.records[0].genre, static_cast<int>(other.Count()));
    EXPECT_EQ(second.genres.Count(), other.Count() + 1);
}

TEST_F(OutlookImportTest, NoGenreIsAddedPastTheGenreBound) {
    while (doc->Array().genres.Count() <= static_cast<std::size_t>(kMaxGenreIndex)) {
        doc->Array().genres.Append(CAlmxField("g"));
    }
    const std::size_t before = doc->Array().genres.Count();
    ASSERT_TRUE(Import(kHeader +
                       Row("x", "2025/6/2", "9:00:00", "2025/6/2", "9:00:00", "False", "新しい")));
    EXPECT_EQ(doc->Array().genres.Count(), before);
    EXPECT_EQ(doc->Records()[0].genre, 0);
}

TEST_F(OutlookImportTest, LongLinesAreReadWhole) {
    const std::string memo(5000, 'm');
    ASSERT_TRUE(Import(kHeader +
                       "long,2025/6/2,9:00:00,2025/6/2,9:00:00,False,False,,,,,,,False,,"
                       "2,,," +
                       memo + ",普通,,普通\n"));
    ASSERT_EQ(doc->Records().size(), 1u);
    EXPECT_EQ(doc->Records()[0].memo, memo);
    EXPECT_EQ(prompter.Shown().back(), "全件（1件）のインポートに成功しました。");
}

TEST_F(OutlookImportTest, ARowLeftOpenAtTheEndCountsAsFailed) {
    ASSERT_TRUE(Import(kHeader + Row("ok", "2025/6/2", "9:00:00", "2025/6/2", "9:00:00", "False") +
                       "\"open,2025/6/2,9:00:00\n"));
    EXPECT_EQ(doc->Records().size(), 1u);
    EXPECT_EQ(prompter.Shown().back(), "インポート成功：1件\nインポート失敗：1件");
}

TEST_F(OutlookImportTest, NothingAcceptedIsAFailure) {
    EXPECT_FALSE(Import(kHeader + "junk\n"));
    EXPECT_TRUE(doc->Records().empty());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(prompter.Shown().back(), "インポートに失敗しました");
    EXPECT_FALSE(ImportPath(PathOf("nope.csv")));
    EXPECT_EQ(prompter.Shown().back(),
              std::string(file_messages::kOpen) + ":" + PathOf("nope.csv"));
}

TEST_F(OutlookImportTest, Utf8FileWithAByteOrderMarkIsReadAsUtf8) {
    const std::string file =
        "\xEF\xBB\xBF" + kHeader +
        Row("😀 と 日本語", "2025/6/2", "9:00:00", "2025/6/2", "9:00:00", "False");
    WriteBytes(dir / "u.csv", file);
    ASSERT_TRUE(ImportPath(PathOf("u.csv")));
    ASSERT_EQ(doc->Records().size(), 1u);
    EXPECT_EQ(doc->Records()[0].title, "? と 日本語");
    EXPECT_EQ(prompter.Shown(),
              (std::vector<std::string>{"Shift_JISで保存できない文字 1 文字を「?」に置き換えました",
                                        "全件（1件）のインポートに成功しました。"}));
}

TEST_F(OutlookImportTest, EscapePairsOfOlderFilesComeBack) {
    ASSERT_TRUE(Import(kHeader + "\"a\x01\x02"
                                 "b\",2025/6/2,9:00:00,2025/6/2,9:00:00,False,False,"
                                 ",,,,,,False,,2,,,\"x\x03\x04y\",普通,,普通\n"));
    EXPECT_EQ(doc->Records()[0].title, "a\nb");
    EXPECT_EQ(doc->Records()[0].memo, "x\",y");
}

TEST_F(OutlookImportTest, TodoImportReadsDeadlineLeadDaysAndState) {
    const std::string header = std::string(outlook::kTodoHeader) + "\n";
    ASSERT_TRUE(Import(
        header +
            "報告,,2025/5/10,False,2025/5/"
            "10,0:00:00,,0.000,0,0,,False,メモ,,,,未開始,普通,,,普通,\n"
            "発表,2025/5/1,2025/5/10,False,2025/5/10,0:00:00,2025/5/9,0.000,0,0,,False,,,,,終了,"
            "普通,学校,,普通,\n"
            "壊れ,2025/5/1,,False,,,,,,,,,,,,,,,,,,\n",
        true));
    ASSERT_EQ(doc->Records().size(), 2u);
    const CAlmxData* report = Find("報告");
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->Has(IsTodo));
    EXPECT_EQ(report->start, Day(2025, 5, 10));
    EXPECT_EQ(report->todoLeadDays, -1);  // empty 開始日 keeps the default
    EXPECT_FALSE(report->Has(TodoDone));
    EXPECT_EQ(report->memo, "メモ");
    const CAlmxData* talk = Find("発表");
    ASSERT_NE(talk, nullptr);
    EXPECT_EQ(talk->todoLeadDays, 9);
    EXPECT_TRUE(talk->Has(TodoDone));
    EXPECT_EQ(talk->end, Day(2025, 5, 9));
    EXPECT_EQ(doc->Array().genres.At(talk->genre)->name, "学校");
    EXPECT_EQ(prompter.Shown().back(), "インポート成功：2件\nインポート失敗：1件");
}

TEST_F(OutlookImportTest, ExportThenImportGivesTheSameSingleRecords) {
    doc->Array().genres.Append(CAlmxField("仕事"));
    CAlmxData timed = Schedule("会議 \"定例\", 第2", At(2025, 6, 2, 9, 30), At(2025, 6, 2, 11, 0));
    timed.Set(StartTimeSet);
    timed.Set(EndTimeSet);
    timed.alarmMinutes = 15;
    timed.place = "本社,3F";
    timed.memo = "議題\n1. \"予算\"\n2. 人事";
    timed.genre = 1;
    CAlmxData allDay = Schedule("出張", Day(2025, 6, 10), Day(2025, 6, 12));
    CAlmxData startOnly = Schedule("電話", At(2025, 6, 20, 14, 0), At(2025, 6, 20, 14, 0));
    startOnly.Set(StartTimeSet);
    startOnly.alarmMinutes = 0;
    const std::vector<CAlmxData> originals{timed, allDay, startOnly};
    for (const CAlmxData& r : originals) Add(r);
    CAlmxOutlookExport exporter(Source(), Day(2025, 6, 1), Day(2025, 6, 30), Environment());
    ASSERT_TRUE(exporter.ExportToFile(PathOf("rt.csv"), 0));

    CAlmxDoc other(Context());
    other.Array().genres = CAlmxFieldArray::General();
    ASSERT_TRUE(CAlmxOutlookImport(other, prompter).ImportFile(PathOf("rt.csv"), 0));
    ASSERT_EQ(other.Records().size(), 3u);
    for (std::size_t i = 0; i < originals.size(); ++i) {
        const CAlmxData& a = originals[i];
        const CAlmxData& b = other.Records()[i];
        EXPECT_EQ(b.title, a.title);
        EXPECT_EQ(b.start, a.start) << a.title;
        EXPECT_EQ(b.end, a.end) << a.title;
        EXPECT_EQ(b.flags, a.flags) << a.title;
        EXPECT_EQ(b.alarmMinutes, a.alarmMinutes) << a.title;
        EXPECT_EQ(b.place, a.place);
        EXPECT_EQ(b.memo, a.memo);
        EXPECT_EQ(other.Array().genres.At(b.genre)->name, doc->Array().genres.At(a.genre)->name);
    }
}

}  // namespace
}  // namespace almx::testing
