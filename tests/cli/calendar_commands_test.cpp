// almx export and import with --format ics and vcs, run as the program.

#include <gtest/gtest.h>

#include "cli_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace almx {
namespace {

namespace fs = std::filesystem;

using cli_test::ReadText;

class CalendarCommand : public cli_test::AlmxProcessTest {
  protected:
    using Result = cli_test::Result;
    CalendarCommand() : AlmxProcessTest("almx-ical") {}

    Result Run(const std::string& arguments) { return RunAlmx(arguments + " --defaults"); }

    std::string Path(const std::string& name) { return Quoted(name); }
};

TEST_F(CalendarCommand, ExportIsReproducibleAndImportsBackWithTheProgramsMessage) {
    ASSERT_EQ(Run("new " + Path("a.alx")).status, 0);
    ASSERT_EQ(Run("add " + Path("a.alx") + " --title '会議;本社' --start 2026/02/03").status, 0);
    ASSERT_EQ(Run("add " + Path("a.alx") + " --title 'b' --start 2026/02/05").status, 0);
    const std::string stamp = " --now '2026/12/08 10:30' --seed 7";
    const Result first = Run("export " + Path("a.alx") + " --format ics" + stamp);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(Run("export " + Path("a.alx") + " --format ics" + stamp).out, first.out);
    EXPECT_NE(first.out.find("DTSTAMP:20261208T013000Z\r\n"), std::string::npos);
    EXPECT_NE(first.out.find("SUMMARY:会議\\;本社\r\n"), std::string::npos);

    const Result day = Run("export " + Path("a.alx") + " --format ics --day 2026/02/05 --out " +
                           Path("b.ics") + stamp);
    ASSERT_EQ(day.status, 0) << day.err;
    const std::string file = ReadText(dir / "b.ics");
    EXPECT_NE(file.find("SUMMARY:b\r\n"), std::string::npos);
    EXPECT_EQ(file.find("会議"), std::string::npos);
    const Result none = Run("export " + Path("a.alx") + " --format ics --day 2026/02/04");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("この日にデータがありません"), std::string::npos);

    ASSERT_EQ(Run("new " + Path("c.alx")).status, 0);
    const Result imported = Run("import " + Path("c.alx") + " " + Path("b.ics") + " --format ics");
    EXPECT_EQ(imported.status, 0);
    EXPECT_EQ(imported.out, "全件（1件）のインポートに成功しました。\n");
    EXPECT_NE(Run("check " + Path("c.alx")).out.find("records: 1\n"), std::string::npos);
}

TEST_F(CalendarCommand, VcsNeedsARecordAndDayAndImportOfNothingFails) {
    ASSERT_EQ(Run("new " + Path("a.alx")).status, 0);
    ASSERT_EQ(Run("add " + Path("a.alx") + " --title 'x' --start 2026/02/03").status, 0);
    EXPECT_EQ(Run("export " + Path("a.alx") + " --format vcs --day 2026/02/03").status, 2);
    EXPECT_EQ(Run("export " + Path("a.alx") + " --format vcs --record 2 --day 2026/02/03").status,
              2);
    const Result vcs = Run("export " + Path("a.alx") +
                           " --format vcs --record 1 --day 2026/02/03 "
                           "--out " +
                           Path("x.vcs"));
    ASSERT_EQ(vcs.status, 0) << vcs.err;
    EXPECT_NE(ReadText(dir / "x.vcs").find("VERSION:1.0\r\n"), std::string::npos);
    const Result back = Run("import " + Path("a.alx") + " " + Path("x.vcs") + " --format vcs");
    EXPECT_EQ(back.status, 0);

    std::ofstream(dir / "empty.ics") << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n";
    const Result empty = Run("import " + Path("a.alx") + " " + Path("empty.ics") + " --format ics");
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.out, "インポートに失敗しました\n");
    const Result missing =
        Run("import " + Path("a.alx") + " " + Path("none.ics") + " --format ics");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("インポートに失敗しました"), std::string::npos);
}

}  // namespace
}  // namespace almx
