// The almx document subcommands, run as the program: new, check and add.

#include <gtest/gtest.h>

#include "cli_fixture.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/record_array.h"
#include "document/schedule_file_reader.h"
#include "document/schedule_file_writer.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

using cli_test::ReadText;

class AlmxCommand : public cli_test::AlmxProcessTest {
  protected:
    using Result = cli_test::Result;

    Result Run(const std::string& arguments) { return RunAlmx(arguments); }

    CAlmxArray Load(const std::string& name) {
        CAlmxArray doc;
        RowReadOptions options;
        ScanScheduleFile(ReadText(dir / name),
                         [&](const TCard& row) { ReadScheduleRow(row, doc, options); });
        return doc;
    }
};

TEST_F(AlmxCommand, NewAddAndCheckMakeAndDescribeAFile) {
    ASSERT_EQ(Run("new " + Quoted("a.alx") + " --defaults").status, 0);
    EXPECT_EQ(Run("new " + Quoted("a.alx") + " --defaults").status, 1);
    Result added = Run("add " + Quoted("a.alx") +
                       " --defaults --title '歯医者' --start '2025/05/03 09:30' --end "
                       "'2025/05/03 10:00'");
    ASSERT_EQ(added.status, 0) << added.err;
    ASSERT_EQ(
        Run("add " + Quoted("a.alx") + " --defaults --title 'やすみ' --start 2025/05/05").status,
        0);
    CAlmxArray doc = Load("a.alx");
    ASSERT_EQ(doc.records.size(), 2u);
    EXPECT_EQ(doc.records[0].title, "歯医者");
    EXPECT_EQ(doc.records[0].start, DateTime::FromParts(2025, 5, 3, 9, 30));
    EXPECT_TRUE(doc.records[0].Has(StartTimeSet));
    EXPECT_TRUE(doc.records[0].Has(EndTimeSet));
    EXPECT_FALSE(doc.records[1].Has(StartTimeSet));
    EXPECT_EQ(doc.records[1].end, DateTime::FromDate(2025, 5, 5));
    EXPECT_TRUE(fs::exists(dir / "a.bak"));

    Result checked = Run("check " + Quoted("a.alx") + " --defaults");
    ASSERT_EQ(checked.status, 0) << checked.err;
    EXPECT_NE(checked.out.find("records: 2\n"), std::string::npos) << checked.out;
    EXPECT_NE(checked.out.find("schedules: 2\nto-dos: 0\ngenres: 1\nmemo pages: 0\n"
                               "day properties: 0\nversion: 440\npassword: no\nread-only: no\n"),
              std::string::npos)
        << checked.out;

    Result bad = Run("add " + Quoted("a.alx") +
                     " --defaults --title x --start '2025/05/03 10:00' --end '2025/05/02'");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "開始日時より後の終了日時を入力してください\n");
    EXPECT_EQ(Load("a.alx").records.size(), 2u);
}

TEST_F(AlmxCommand, SettingsComeFromTheProgramsIniFileUnlessDefaultsAreAsked) {
    std::ofstream(dir / "config" / "Korvanta" / "Almanix.ini")
        << "[System]\nAlerm=15\nHolidayChangeFlag1=1\n";
    ASSERT_EQ(Run("new " + Quoted("s.alx")).status, 0);
    ASSERT_EQ(Run("add " + Quoted("s.alx") + " --title a --start 2025/05/03").status, 0);
    ASSERT_EQ(Run("add " + Quoted("s.alx") + " --defaults --title b --start 2025/05/03").status, 0);
    CAlmxArray doc = Load("s.alx");
    ASSERT_EQ(doc.records.size(), 2u);
    EXPECT_EQ(doc.records[0].alarmMinutes, 15);
    EXPECT_EQ(doc.records[1].alarmMinutes, 0);
    // The command never writes the program's settings.
    EXPECT_EQ(ReadText(dir / "config" / "Korvanta" / "Almanix.ini"),
              "[System]\nAlerm=15\nHolidayChangeFlag1=1\n");
    EXPECT_NE(Run("check " + Quoted("s.alx")).out.find("changed by opening: no\n"),
              std::string::npos);
}

TEST_F(AlmxCommand, CheckShowsTheOpenMessagesAndFails) {
    Result missing = Run("check " + Quoted("none.alx") + " --defaults");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "ファイルを開けません。\n");
    EXPECT_EQ(missing.out, "");

    std::ofstream(dir / "foreign.alx") << "\"Subject\",\"Start\"\r\n";
    Result foreign = Run("check " + Quoted("foreign.alx") + " --defaults");
    EXPECT_EQ(foreign.status, 1);
    EXPECT_EQ(foreign.err, "Almanixのデータ形式ではありません\n");

    CAlmxArray locked;
    locked.password = "pw";
    std::ofstream(dir / "p.alx") << WriteScheduleFile(locked).bytes;
    EXPECT_EQ(Run("check " + Quoted("p.alx") + " --defaults").status, 1);
    EXPECT_EQ(Run("check " + Quoted("p.alx") + " --defaults --password nope").status, 1);
    Result opened = Run("check " + Quoted("p.alx") + " --defaults --password pw");
    EXPECT_EQ(opened.status, 0) << opened.err;
    EXPECT_NE(opened.out.find("password: yes\n"), std::string::npos);

    // A file held by another user's lock is read-only: check says so, add refuses.
    std::ofstream(dir / "p.alx.lock") << "2025/05/03 09:00\r\nother\r\n\r\n";
    Result shared = Run("check " + Quoted("p.alx") + " --defaults --password pw");
    EXPECT_EQ(shared.status, 0);
    EXPECT_NE(shared.out.find("read-only: yes\n"), std::string::npos);
    EXPECT_NE(shared.err.find("このファイルは使用中です。読み取り専用モードで開きます。"),
              std::string::npos);
    const std::string before = ReadText(dir / "p.alx");
    EXPECT_EQ(Run("add " + Quoted("p.alx") +
                  " --defaults --password pw --title x --start "
                  "2025/05/03")
                  .status,
              1);
    EXPECT_EQ(ReadText(dir / "p.alx"), before);
}

TEST_F(AlmxCommand, SearchAndListGoThroughTheScheduleSearchsRecordTest) {
    ASSERT_EQ(Run("new " + Quoted("s.alx") + " --defaults").status, 0);
    for (const char* args :
         {" --title '定例会議' --start 2025/05/03", " --title '会議室の予約' --start 2025/05/04",
          " --title 'xABC' --start 2025/05/01", " --title '散歩' --start 2025/05/02"}) {
        ASSERT_EQ(Run("add " + Quoted("s.alx") + " --defaults" + args).status, 0);
    }
    Result ends = Run("search " + Quoted("s.alx") + " 会議 --mode ends");
    ASSERT_EQ(ends.status, 0) << ends.err;
    EXPECT_EQ(ends.out, "2025/05/03\t定例会議\n");
    // Ends-with under width folding: the half-width field ends with the full-width text.
    EXPECT_EQ(Run("search " + Quoted("s.alx") + " ＡＢＣ --mode ends --ignore-width").out,
              "2025/05/01\txABC\n");
    EXPECT_EQ(Run("search " + Quoted("s.alx") + " 会議 --targets place").out, "");
    EXPECT_EQ(Run("search " + Quoted("s.alx") + " 会議 --mode near").status, 2);
    EXPECT_EQ(Run("search " + Quoted("s.alx") + " 会議 --targets date").status, 2);

    Result list = Run("list " + Quoted("s.alx"));
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              "\t2025/05/04\t2025/05/04\t会議室の予約\t\t\t一般\n"
              "\t2025/05/03\t2025/05/03\t定例会議\t\t\t一般\n"
              "\t2025/05/02\t2025/05/02\t散歩\t\t\t一般\n"
              "\t2025/05/01\t2025/05/01\txABC\t\t\t一般\n");
    Result ascending = Run("list " + Quoted("s.alx") + " 会議 --keys 1a");
    EXPECT_EQ(ascending.out,
              "\t2025/05/03\t2025/05/03\t定例会議\t\t\t一般\n"
              "\t2025/05/04\t2025/05/04\t会議室の予約\t\t\t一般\n");
    EXPECT_EQ(Run("list " + Quoted("s.alx") + " --keys 9x").status, 2);
}

}  // namespace
}  // namespace almx

namespace almx {
namespace {

TEST_F(AlmxCommand, ExportAndImportOutlookFilesAndText) {
    ASSERT_EQ(Run("new " + Quoted("a.alx") + " --defaults").status, 0);
    ASSERT_EQ(Run("add " + Quoted("a.alx") +
                  " --defaults --title '会議 \"A\", 東京' --start '2026/12/10 10:00'"
                  " --end '2026/12/10 11:30'")
                  .status,
              0);
    ASSERT_EQ(Run("add " + Quoted("a.alx") +
                  " --defaults --title '旅行' --start 2026/12/12 --end 2026/12/14")
                  .status,
              0);
    const std::string range = " --from 2026/12/01 --to 2026/12/31";
    Result text = Run("export " + Quoted("a.alx") + " --defaults --format text --weekday" + range);
    ASSERT_EQ(text.status, 0);
    EXPECT_EQ(text.out,
              "12/10(木) 10:00 ～11:30 会議 \"A\", 東京\r\n12/12(土) 旅行\r\n12/13(日) 旅行\r\n"
              "12/14(月) 旅行\r\n");
    Result outlook = Run("export " + Quoted("a.alx") + " --defaults --format outlook" + range +
                         " --out " + Quoted("o.csv"));
    ASSERT_EQ(outlook.status, 0);
    EXPECT_NE(ReadText(dir / "o.csv").find("\"\x89\xEF\x8B\x63 \"\"A\"\", "), std::string::npos)
        << "the title in Shift_JIS with its quotes doubled";

    ASSERT_EQ(Run("new " + Quoted("b.alx") + " --defaults").status, 0);
    Result imported =
        Run("import " + Quoted("b.alx") + " " + Quoted("o.csv") + " --defaults --format outlook");
    EXPECT_EQ(imported.status, 0);
    EXPECT_EQ(imported.out, "全件（2件）のインポートに成功しました。\n");
    const CAlmxArray b = Load("b.alx");
    ASSERT_EQ(b.records.size(), 2u);
    EXPECT_EQ(b.records[0].title, "会議 \"A\", 東京");
    EXPECT_EQ(b.records[1].end, DateTime::FromDate(2026, 12, 14));

    std::ofstream(dir / "junk.csv") << "header\nnothing,here\n";
    Result none = Run("import " + Quoted("b.alx") + " " + Quoted("junk.csv") +
                      " --defaults --format outlook");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "インポートに失敗しました\n");
    EXPECT_EQ(Run("export " + Quoted("a.alx") + " --defaults --format vcal").status, 2);
}

}  // namespace
}  // namespace almx
