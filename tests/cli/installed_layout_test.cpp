// almx copied into an installed layout (bin/ and share/almanix/) finds its holiday template
// there, whatever the working directory holds; and its man page lists what --help lists.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace almx {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome RunIn(const fs::path& dir, const fs::path& program, const std::string& arguments,
              const fs::path& scratch) {
    const std::string command = "cd '" + dir.string() + "' && XDG_CONFIG_HOME='" +
                                (scratch / "config").string() + "' '" + program.string() + "' " +
                                arguments + " >'" + (scratch / "out").string() + "' 2>'" +
                                (scratch / "err").string() + "'";
    const int raw = std::system(command.c_str());
    Outcome run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadText(scratch / "out");
    run.err = ReadText(scratch / "err");
    return run;
}

const fs::path kBuiltAlmx = fs::path(ALMX_BINARY_DIR) / "src" / "cli" / "almx";

class InstalledAlmx : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-installed-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directories(root / "usr" / "bin");
        fs::create_directories(root / "usr" / "share" / "almanix");
        fs::create_directories(root / "elsewhere");
        fs::copy_file(kBuiltAlmx, root / "usr" / "bin" / "almx");
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(root, error);
    }
    fs::path root;
};

TEST_F(InstalledAlmx, FindsTheTemplateInItsDataFolderNotInTheWorkingDirectory) {
    const fs::path installed = root / "usr" / "share" / "almanix" / "holiday.alx";
    fs::copy_file(fs::path(ALMX_SOURCE_DIR) / "resources" / "holiday.alx", installed);
    // A file of that name in the working directory must not be read.
    std::ofstream(root / "elsewhere" / "holiday.alx") << "not a schedule file\n";

    const Outcome expected = RunIn(root, kBuiltAlmx, "holidays 2026", root);
    ASSERT_EQ(expected.status, 0) << expected.err;
    const Outcome run =
        RunIn(root / "elsewhere", root / "usr" / "bin" / "almx", "holidays 2026", root);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected.out);
    EXPECT_NE(run.out.find("2026/01/01\t元日\n"), std::string::npos);

    // Without the installed template the message names where it belongs.
    fs::remove(installed);
    const Outcome missing =
        RunIn(root / "elsewhere", root / "usr" / "bin" / "almx", "holidays 2026", root);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find(installed.string()), std::string::npos) << missing.err;
}

TEST_F(InstalledAlmx, HandsServerCommandsToTheNetProgramInLibexec) {
    const fs::path almx = root / "usr" / "bin" / "almx";
    const std::string send = "mail send --to taro@example.jp --subject test --body text";
    const Outcome missing = RunIn(root / "elsewhere", almx, send, root);
    EXPECT_EQ(missing.status, 1);
    const fs::path helper = root / "usr" / "libexec" / "almanix" / "almx-net";
    EXPECT_NE(missing.err.find("almx-net is not installed (" + helper.string() + ")"),
              std::string::npos)
        << missing.err;
    // Commands that need no server never look for it.
    const std::string compose = "mail compose --to taro@example.jp --address hanako@example.jp";
    EXPECT_EQ(RunIn(root / "elsewhere", almx, compose, root).status, 0);

    fs::create_directories(helper.parent_path());
    fs::copy_file(kBuiltAlmx.parent_path() / "almx-net", helper);
    const Outcome built = RunIn(root / "elsewhere", kBuiltAlmx, send, root);
    const Outcome installed = RunIn(root / "elsewhere", almx, send, root);
    EXPECT_EQ(installed.err.find("not installed"), std::string::npos) << installed.err;
    EXPECT_EQ(installed.status, built.status);
    EXPECT_EQ(installed.err, built.err);
    EXPECT_EQ(installed.out, built.out);
}

// The subcommands and options of a help text: "  name ..." lines and every --word.
std::set<std::string> HelpWords(const std::string& help) {
    std::set<std::string> words;
    std::istringstream lines(help);
    std::string line;
    const std::regex command("^  ([a-z][a-z-]*) ");
    const std::regex option("--[a-z][a-z-]*");
    while (std::getline(lines, line)) {
        std::smatch match;
        if (std::regex_search(line, match, command)) words.insert(match[1]);
        for (auto it = std::sregex_iterator(line.begin(), line.end(), option);
             it != std::sregex_iterator(); ++it) {
            words.insert(it->str());
        }
    }
    return words;
}

TEST(AlmxManPage, NamesEverySubcommandAndOptionOfTheHelp) {
    char pattern[] = "/tmp/almx-man-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path scratch = pattern;
    const Outcome help = RunIn(scratch, kBuiltAlmx, "--help", scratch);
    fs::remove_all(scratch);
    ASSERT_EQ(help.status, 0);

    std::string page = ReadText(fs::path(ALMX_SOURCE_DIR) / "resources" / "man" / "almx.1");
    ASSERT_FALSE(page.empty());
    // roff writes a minus as "\-"; font changes sit between words.
    page = std::regex_replace(page, std::regex(R"(\\-)"), "-");
    page = std::regex_replace(page, std::regex(R"(\\f[BIRP])"), "");
    const std::set<std::string> words = HelpWords(help.out);
    ASSERT_GT(words.size(), 10u);
    for (const std::string& word : words) {
        const bool named = word.rfind("--", 0) == 0
                               ? page.find(word) != std::string::npos
                               : std::regex_search(page, std::regex("\\.TP\n" + word + " "));
        EXPECT_TRUE(named) << "almx.1 does not describe " << word;
    }
}

}  // namespace
}  // namespace almx
