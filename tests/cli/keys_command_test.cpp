// almx keys, run as the program: a made file reads back, bad input is refused.

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

class KeysCommand : public cli_test::AlmxProcessTest {
  protected:
    using Result = cli_test::Result;
    KeysCommand() : AlmxProcessTest("almx-keys-cli") {}

    Result Run(const std::string& arguments) { return RunAlmx("keys " + arguments); }
};

TEST_F(KeysCommand, MakesAFileAndPrintsItsBindings) {
    const std::string file = (dir / "a.key").string();
    ASSERT_EQ(Run("--make " + file + " Ctrl+F5=32780 Alt+A=32781 Shift+NUMPAD0=32846").status, 0);
    EXPECT_EQ(fs::file_size(file), 50u);
    const Result printed = Run(file);
    EXPECT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(printed.out, "Ctrl+F5\t32780\nAlt+A\t32781\nShift+NUMPAD0\t32846\n");

    // A code outside the table, written and printed as such; modifiers in any order read back
    // in the display order.
    ASSERT_EQ(Run("--make " + file + " Ctrl+Alt+#200=32768").status, 0);
    EXPECT_EQ(Run(file).out, "Alt+Ctrl+#200\t32768\n");
}

TEST_F(KeysCommand, RefusesWhatItCannotReadOrWrite) {
    const std::string file = (dir / "a.key").string();
    EXPECT_EQ(Run(file).status, 1) << "missing";
    std::ofstream(file, std::ios::binary) << "garbage";
    const Result garbage = Run(file);
    EXPECT_EQ(garbage.status, 1);
    EXPECT_NE(garbage.err.find("キー定義ファイル"), std::string::npos) << garbage.err;
    std::ofstream(file, std::ios::binary | std::ios::trunc).flush();
    EXPECT_EQ(Run(file).status, 0) << "0 bytes: no bindings";

    for (const char* bad :
         {"F5", "Ctrl+F99=1", "Ctrl+F5=0", "Ctrl+F5=x", "Ctrl+F5=70000", "Ctrl+#0=5"}) {
        EXPECT_EQ(Run("--make " + file + " " + bad).status, 2) << bad;
    }
    EXPECT_EQ(Run("--make " + file + " Ctrl+F5=1 Ctrl+F5=2").status, 2) << "bound twice";
    EXPECT_EQ(Run("--make " + file + "/below.key Ctrl+F5=1").status, 1);
}

}  // namespace
}  // namespace almx
