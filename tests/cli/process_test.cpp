// almx as a process: what it loads, and output it could not write.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli_fixture.h"

namespace almx::cli_test {
namespace {

// What ldd lists for a program.
std::string ReadLdd(const std::string& program) {
    std::string listed;
    if (FILE* pipe = ::popen(("ldd '" + program + "' 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            listed.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return listed;
}

class AlmxProcess : public AlmxProcessTest {
  protected:
    AlmxProcess() : AlmxProcessTest("almx-process") {}

    // almx with its standard output on a full disk.
    Result RunIntoFullDisk(const std::string& arguments) const {
        const std::string command = "</dev/null XDG_CONFIG_HOME='" + (dir / "config").string() +
                                    "' '" + std::string(ALMX_BINARY_DIR) + "/src/cli/almx' " +
                                    arguments + " >/dev/full 2>'" + (dir / "err").string() + "'";
        Result result;
        const int raw = std::system(command.c_str());
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.err = ReadText(dir / "err");
        return result;
    }
};

TEST_F(AlmxProcess, LoadsNoNetworkLibrariesButItsNetProgramDoes) {
    const std::string bin = std::string(ALMX_BINARY_DIR) + "/src/cli/";
    const std::string almx = ReadLdd(bin + "almx");
    ASSERT_NE(almx.find("libc.so"), std::string::npos) << almx;
    for (const char* library : {"libQt6", "libcurl", "libssl", "libgnutls", "libicu"}) {
        EXPECT_EQ(almx.find(library), std::string::npos) << library << " in\n" << almx;
    }
    EXPECT_NE(ReadLdd(bin + "almx-net").find("libcurl"), std::string::npos);
}

TEST_F(AlmxProcess, OutputThatCannotBeWrittenIsAFailure) {
    ASSERT_EQ(RunAlmx("new " + Quoted("plan.alx") + " --defaults").status, 0);
    for (const std::string& command : {"agenda " + Quoted("plan.alx") + " 2026/01/01 2026/12/31",
                                       "check " + Quoted("plan.alx")}) {
        const Result full = RunIntoFullDisk(command + " --defaults");
        EXPECT_EQ(full.status, 1) << command;
        EXPECT_NE(full.err.find("could not be written"), std::string::npos) << full.err;
        EXPECT_EQ(RunAlmx(command + " --defaults").status, 0) << command;
    }
}

}  // namespace
}  // namespace almx::cli_test
