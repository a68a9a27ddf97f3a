// almx run as a process in a temporary folder that holds its own settings.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace almx::cli_test {

namespace fs = std::filesystem;

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

class AlmxProcessTest : public ::testing::Test {
  protected:
    explicit AlmxProcessTest(const char* prefix = "almx-cli") : prefix_(prefix) {}

    void SetUp() override {
        std::string pattern = "/tmp/" + prefix_ + "-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        fs::create_directories(dir / "config" / "Korvanta");
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(dir, error);
    }

    // Runs almx with the settings of our own config folder; `input` (one line) is its
    // standard input, else it reads nothing.
    Result RunAlmx(const std::string& arguments, const std::string& input = "") const {
        const std::string feed =
            input.empty() ? "</dev/null " : "printf '%s\\n' '" + input + "' | ";
        const std::string command = feed + "XDG_CONFIG_HOME='" + (dir / "config").string() + "' '" +
                                    std::string(ALMX_BINARY_DIR) + "/src/cli/almx' " + arguments +
                                    " >'" + (dir / "out").string() + "' 2>'" +
                                    (dir / "err").string() + "'";
        Result result;
        const int raw = std::system(command.c_str());
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = ReadText(dir / "out");
        result.err = ReadText(dir / "err");
        return result;
    }

    // A file in the folder, quoted for the shell.
    std::string Quoted(const std::string& name) const { return "'" + (dir / name).string() + "'"; }

    fs::path dir;

  private:
    std::string prefix_;
};

}  // namespace almx::cli_test
