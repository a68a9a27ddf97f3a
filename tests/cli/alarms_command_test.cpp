// almx alarms and the notification options of almx add, run as the program.

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

class AlarmsCommand : public cli_test::AlmxProcessTest {
  protected:
    AlarmsCommand() : AlmxProcessTest("almx-alarms") {}

    int Run(const std::string& arguments, std::string* out = nullptr, std::string* err = nullptr) {
        const cli_test::Result result = RunAlmx(arguments);
        if (out) *out = result.out;
        if (err) *err = result.err;
        return result.status;
    }

    std::string File() { return Quoted("a.alx"); }
};

TEST_F(AlarmsCommand, ListsEveryNotificationOfTheRangeWithItsActions) {
    ASSERT_EQ(Run("new " + File() + " --defaults"), 0);
    ASSERT_EQ(Run("add " + File() +
                  " --defaults --title 会議 --start '2026/12/08 10:30' --end '2026/12/08 11:00' "
                  "--alarm 10 --alarm-mode 3"),
              0);
    ASSERT_EQ(Run("add " + File() +
                  " --defaults --title 深夜 --start '2026/12/09 00:05' --alarm 15 --alarm-mode 1"),
              0);
    ASSERT_EQ(
        Run("add " + File() + " --defaults --title 無し --start '2026/12/08 12:00' --alarm -1"), 0);
    ASSERT_EQ(
        Run("add " + File() + " --defaults --title 静か --start '2026/12/08 13:00' --alarm-mode 0"),
        0);
    std::string out;
    std::string err;
    ASSERT_EQ(Run("alarms " + File() + " 2026/12/08", &out, &err), 0) << err;
    EXPECT_EQ(out,
              "2026/12/08 10:20\tscreen,mail\t10:30-11:00 会議\n"
              "2026/12/08 23:50\tscreen\t00:05 深夜\n");
    ASSERT_EQ(Run("alarms " + File() + " '2026/12/08 10:21' '2026/12/08 23:49'", &out), 0);
    EXPECT_EQ(out, "");

    EXPECT_EQ(
        Run("add " + File() + " --defaults --title x --start 2026/12/08 --alarm -2", nullptr, &err),
        2);
    EXPECT_NE(err.find("--alarm"), std::string::npos);
    EXPECT_EQ(Run("add " + File() + " --defaults --title x --start 2026/12/08 --alarm-mode 1x"), 2);
    EXPECT_EQ(Run("alarms " + File() + " 2026/12/09 2026/12/08"), 2);
    EXPECT_EQ(Run("alarms " + File() + " 2026/13/01"), 2);
}

}  // namespace
}  // namespace almx
