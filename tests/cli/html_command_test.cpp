// almx html, run as the program: the pages of a range and the copy fragments.

#include <gtest/gtest.h>

#include "cli_fixture.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace almx {
namespace {

namespace fs = std::filesystem;

using cli_test::ReadText;

class AlmxHtml : public cli_test::AlmxProcessTest {
  protected:
    using Result = cli_test::Result;
    AlmxHtml() : AlmxProcessTest("almx-html") {}

    void SetUp() override {
        AlmxProcessTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(Run("new " + File() + " --defaults").status, 0);
    }

    Result Run(const std::string& arguments) { return RunAlmx(arguments); }
    std::string File() const { return Quoted("a.alx"); }
};

TEST_F(AlmxHtml, WritesTheRangesPagesWithTheProgramsOptions) {
    ASSERT_EQ(Run("add " + File() + " --defaults --title '<b>x</b>' --start 2024/01/10").status, 0);
    // The options come from the program's settings.
    std::ofstream(dir / "config" / "Korvanta" / "Almanix.ini")
        << "[HtmlExport]\nCssColor=#FF0000\n";
    const fs::path site = dir / "new" / "site";
    const Result result = Run("html " + File() + " --folder '" + site.string() +
                              "' --from 2023/11 --to 2024/02 --prefix s --top index --mobile m "
                              "--mobile-top mt --now '2024/01/15 10:00'");
    ASSERT_EQ(result.status, 0) << result.err;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(site)) {
        (void)entry;
        ++files;
    }
    // 4 month pages, 8 mobile pages, 2 top pages, 2 style sheets.
    EXPECT_EQ(files, 16);
    const std::string page = ReadText(site / "s202401.html");
    EXPECT_EQ(page.find("<b>x</b>"), std::string::npos);
    EXPECT_NE(page.find("&lt;b&gt;x&lt;/b&gt;"), std::string::npos);
    EXPECT_NE(ReadText(site / "index.html").find("href=\"s202401.html\""), std::string::npos);
    EXPECT_EQ(ReadText(site / "almxsch.css").find("$color1"), std::string::npos);
    EXPECT_NE(ReadText(site / "almxsch.css").find("#FF0000"), std::string::npos);
}

TEST_F(AlmxHtml, RecordsTheFieldsAndTheRangeInTheProgramsSettings) {
    const fs::path ini = dir / "config" / "Korvanta" / "Almanix.ini";
    std::ofstream(ini) << "[System]\nTodayLimit=3\n\n[HtmlMonthOut]\nFolder=/old\nNavi=1\n";
    Result result = Run("html " + File() + " --folder '" + (dir / "site").string() +
                        "/../site' --from 2023/11 --to 2024/02 --prefix s --top index --no-navi");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string recorded = ReadText(ini);
    EXPECT_EQ(recorded.rfind("[System]\nTodayLimit=3\n\n[HtmlMonthOut]\nFolder=" +
                                 (dir / "site").string() + "\nNavi=0\n",
                             0),
              0u)
        << recorded;
    for (const char* line : {"StartYear=2023\n", "StartMonth=11\n", "EndYear=2024\n",
                             "EndMonth=2\n", "FileName=s\n", "TopName=index\n"}) {
        EXPECT_NE(recorded.find(line), std::string::npos) << line << recorded;
    }
    // A refused output records nothing; --defaults leaves the file alone.
    EXPECT_EQ(Run("html " + File() + " --folder x --from 2024/03 --to 2024/02").status, 1);
    ASSERT_EQ(Run("html " + File() + " --defaults --folder '" + (dir / "other").string() +
                  "' --from 2024/05 --to 2024/05")
                  .status,
              0);
    EXPECT_EQ(ReadText(ini), recorded);
}

TEST_F(AlmxHtml, FailuresEndWithTheProgramsMessage) {
    Result result = Run("html " + File() + " --defaults --folder '" + (dir / "site").string() +
                        "' --from 2024/03 --to 2024/02");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("正しい終了日付を入力してください"), std::string::npos);
    result = Run("html " + File() + " --defaults --folder '" + (dir / "site").string() +
                 "' --from 2024/01 --to 2024/02 --top ..");
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(fs::exists(dir / "site"));
    EXPECT_EQ(Run("html " + File() + " --defaults --from 2024/13 --to 2024/02 --folder x").status,
              2);
}

TEST_F(AlmxHtml, CopyPrintsTheFragment) {
    ASSERT_EQ(Run("add " + File() + " --defaults --title 会議 --start 2024/01/10").status, 0);
    Result result = Run("html " + File() + " --defaults --copy 2024/01");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("<div style=\"text-align: center;font-weight: bold;\">2024年01月"
                               "</DIV><table id=\"sch\">",
                               0),
              0u);
    EXPECT_NE(result.out.find("会議"), std::string::npos);
    result = Run("html " + File() + " --defaults --copy 2024/01 --mobile");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("<div style=\"text-align:center;\"><B>2024年1月　</B>", 0), 0u);
    EXPECT_NE(result.out.find("<PRE>"), std::string::npos);
}

}  // namespace
}  // namespace almx
