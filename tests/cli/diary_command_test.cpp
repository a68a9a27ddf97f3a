// almx diary, run as the program over a schedule file whose diary folder holds a few days.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include "cli_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/record_array.h"
#include "document/schedule_file_writer.h"
#include "text/encoding.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

using cli_test::ReadText;

class DiaryCommand : public cli_test::AlmxProcessTest {
  protected:
    using Result = cli_test::Result;
    DiaryCommand() : AlmxProcessTest("almx-cli-diary") {}

    void SetUp() override {
        AlmxProcessTest::SetUp();
        if (HasFatalFailure()) return;
        fs::create_directories(dir / "nikki");
        CAlmxArray doc;
        doc.diaryFolder = "nikki";  // relative to the schedule file
        std::ofstream(dir / "plan.alx", std::ios::binary) << WriteScheduleFile(doc).bytes;
        Day("20240105.TXT", "1月 5日(金) \r\n\r\n会議があった。\r\n");
        Day("20240107.txt", "1月 7日(日) \r\n\r\n散歩と会議の準備\r\n");
        Day("20240230.TXT", "ない日");
        Day("notes.txt", "会議");
    }
    void Day(const char* name, const std::string& utf8) {
        std::ofstream(dir / "nikki" / name, std::ios::binary) << text::ToShiftJis(utf8);
    }

    Result Run(const std::string& arguments) {
        return RunAlmx("diary " + Quoted("plan.alx") + " " + arguments);
    }
};

TEST_F(DiaryCommand, ListsShowsAndSearchesTheDaysInUtf8) {
    Result list = Run("--list");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "20240105.TXT\t2024/01/05\n20240107.txt\t2024/01/07\n20240230.TXT\t-\n");

    Result show = Run("--show 2024/01/07");
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(show.out, "1月 7日(日) \n\n散歩と会議の準備\n");
    EXPECT_EQ(Run("--show 2024/01/06").status, 1);

    Result search = Run("--search 会議");
    ASSERT_EQ(search.status, 0) << search.err;
    EXPECT_EQ(search.out, "20240105.TXT\t1月 5日(金) \n20240107.txt\t1月 7日(日) \n");
    EXPECT_EQ(Run("--search '散歩 会議' --mode 2").out, "20240107.txt\t1月 7日(日) \n");
    Result none = Run("--search ない言葉");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("見つかりませんでした"), std::string::npos);

    EXPECT_EQ(Run("--list --search x").status, 2);
    EXPECT_EQ(Run("--search x --mode 3").status, 2);
}

TEST_F(DiaryCommand, HtmlWritesAPageAMonth) {
    Result html = Run("--html '" + (dir / "site").string() + "' 2023/12 2024/02");
    ASSERT_EQ(html.status, 0) << html.err;
    for (const char* name : {"202312.html", "202401.html", "202402.html"})
        EXPECT_TRUE(fs::exists(dir / "site" / name)) << name;
    const std::string january = ReadText(dir / "site" / "202401.html");
    EXPECT_NE(january.find("<A NAME=\"20240107\">"), std::string::npos);
    EXPECT_NE(january.find(text::ToShiftJis("散歩と会議の準備")), std::string::npos);
    EXPECT_EQ(Run("--html '" + (dir / "site").string() + "' 2024 2024/02").status, 2);
}

}  // namespace
}  // namespace almx
