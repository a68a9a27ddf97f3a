// almx ftpset and almx ftp against a real FTP server on the loopback interface (pyftpdlib,
// started by the test and gone by itself within a minute; the test is skipped without it).

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include "cli_fixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

#include "exchange/loopback_ftp.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

using cli_test::ReadText;

// What a POSIX server keeps of a file sent in text mode: its lines end in LF.
std::string StoredAsText(std::string bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        out.push_back(bytes[i]);
    }
    return out;
}

class AlmxFtp : public cli_test::AlmxProcessTest {
  protected:
    using Result = cli_test::Result;
    AlmxFtp() : AlmxProcessTest("almx-ftp") {}

    void SetUp() override {
        AlmxProcessTest::SetUp();
        if (HasFatalFailure()) return;
        fs::create_directories(dir / "server" / "pub");
        ASSERT_EQ(Run("new " + File() + " --defaults").status, 0);
    }
    void TearDown() override {
        if (serverPid > 0) ::kill(serverPid, SIGTERM);
        AlmxProcessTest::TearDown();
    }

    Result Run(const std::string& arguments, const std::string& input = "") {
        return RunAlmx(arguments, input);
    }
    std::string File() const { return Quoted("a.alx"); }

    // Starts the server; the port, or 0 when pyftpdlib is missing.
    int StartServer() {
        if (std::system("/usr/bin/python3 -c 'import pyftpdlib' >/dev/null 2>&1") != 0) return 0;
        const fs::path portFile = dir / "port";
        const std::string command = "/usr/bin/python3 '" + std::string(ALMX_SOURCE_DIR) +
                                    "/tests/cli/data/ftp_server.py' '" + (dir / "server").string() +
                                    "' '" + portFile.string() + "' 60 >/dev/null 2>&1 &";
        if (std::system(command.c_str()) != 0) return 0;
        for (int i = 0; i < 200 && !fs::exists(portFile); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::istringstream in(ReadText(portFile));
        int port = 0;
        in >> port >> serverPid;
        return port;
    }

    int serverPid = 0;
};

TEST_F(AlmxFtp, SettingsAreWrittenForTheOwnerAndShownMasked) {
    Result set = Run("ftpset " + File() +
                         " --host 'ftp.example.jp:2121' --user taro --folder "
                         "/pub --passive 0 --tls 1 --password-stdin",
                     "pa55word");
    ASSERT_EQ(set.status, 0) << set.err;
    struct stat st {};
    ASSERT_EQ(::stat((dir / "a.ftpset").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadText(dir / "a.ftpset").find("pa55word"), std::string::npos);
    const Result shown = Run("ftpset " + File());
    EXPECT_EQ(shown.out,
              "host=ftp.example.jp:2121\nuser=taro\npassword=********\nfolder=/pub\npassive=0\n"
              "tls=1\nask-password=0\n");
    EXPECT_EQ(Run("ftpset " + File() + " --user \"$(printf 'a\\r\\nDELE x')\"").status, 1);
    EXPECT_EQ(Run("ftpset " + File() + " --passive 2").status, 2);
    EXPECT_EQ(Run("ftpset " + File() + " --host 'h:0'").status, 1);
    EXPECT_EQ(Run("ftpset " + File()).out, shown.out);  // refused changes wrote nothing
}

TEST_F(AlmxFtp, NothingToSendSaysSoWithoutConnecting) {
    ASSERT_EQ(Run("ftpset " + File() + " --host 127.0.0.1:9 --user u").status, 0);
    const Result result = Run("ftp " + File());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "転送するファイルがありません\n");
}

TEST_F(AlmxFtp, UploadsAMonthOfPagesToALoopbackServer) {
    const int port = StartServer();
    if (port == 0) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    ASSERT_EQ(
        Run("add " + File() + " --defaults --title '会議 <b>&</b>' --start 2024/01/10").status, 0);
    const fs::path site = dir / "site";
    ASSERT_EQ(Run("html " + File() + " --folder '" + site.string() +
                  "' --from 2024/01 --to 2024/01 --prefix s --top index --mobile m "
                  "--mobile-top mt --now '2024/01/15 10:00'")
                  .status,
              0);
    const std::string host = "127.0.0.1:" + std::to_string(port);
    // What the program's HTML output recorded, as almx html records it too.
    std::ofstream(dir / "config" / "Korvanta" / "Almanix.ini")
        << "[HtmlMonthOut]\nFolder=" << site.string()
        << "\nFileName=s\nTopName=index\nMobileFile=m\nMobileTop=mt\nStartYear=2024\n"
           "StartMonth=1\nEndYear=2024\nEndMonth=1\n";

    // A wrong password: a connection error with the server's reason, nothing sent.
    ASSERT_EQ(Run("ftpset " + File() + " --host " + host +
                      " --user taro --folder /pub "
                      "--password-stdin",
                  "wrong")
                  .status,
              0);
    Result wrong = Run("ftp " + File());
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("接続エラー:530"), std::string::npos) << wrong.err;
    // Neither the protocol nor the password is shown.
    EXPECT_EQ(wrong.err.find("PASS"), std::string::npos) << wrong.err;
    EXPECT_EQ(wrong.err.find("wrong"), std::string::npos) << wrong.err;
    EXPECT_TRUE(fs::is_empty(dir / "server" / "pub"));

    ASSERT_EQ(Run("ftpset " + File() + " --password-stdin", "s3cret").status, 0);
    Result sent = Run("ftp " + File());
    ASSERT_EQ(sent.status, 0) << sent.err;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(site)) {
        ++files;
        const fs::path arrived = dir / "server" / "pub" / entry.path().filename();
        ASSERT_TRUE(fs::exists(arrived)) << arrived;
        EXPECT_EQ(ReadText(arrived), StoredAsText(ReadText(entry.path()))) << arrived;
    }
    EXPECT_EQ(files, 7);  // month, mobile month and body, two top pages, two style sheets
    EXPECT_EQ(sent.out, "7\n");
    EXPECT_NE(sent.err.find("転送中 " + (site / "index.html").string()), std::string::npos);

    // The folder is missing on the server: refused at login, as a connection error.
    ASSERT_EQ(Run("ftpset " + File() + " --folder /nowhere").status, 0);
    Result noFolder = Run("ftp " + File());
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_NE(noFolder.err.find("接続エラー:550"), std::string::npos) << noFolder.err;

    // Active mode reaches the same files.
    fs::remove_all(dir / "server" / "pub");
    fs::create_directories(dir / "server" / "pub");
    ASSERT_EQ(Run("ftpset " + File() + " --folder pub --passive 0").status, 0);
    sent = Run("ftp " + File());
    ASSERT_EQ(sent.status, 0) << sent.err;
    EXPECT_EQ(ReadText(dir / "server" / "pub" / "s202401.html"),
              StoredAsText(ReadText(site / "s202401.html")));
}

TEST_F(AlmxFtp, UploadsOverFtpsWithTheGivenAuthority) {
    almx::testing::LoopbackFtps server(dir / "ftps");
    if (server.Port() == 0) GTEST_SKIP() << "vsftpd or openssl is missing, or vsftpd did not start";
    const fs::path site = dir / "site";
    ASSERT_EQ(Run("html " + File() + " --folder '" + site.string() +
                  "' --from 2024/01 --to 2024/01 --prefix s --now '2024/01/15 10:00'")
                  .status,
              0);
    std::ofstream(dir / "config" / "Korvanta" / "Almanix.ini")
        << "[HtmlMonthOut]\nFolder=" << site.string()
        << "\nFileName=s\nStartYear=2024\nStartMonth=1\nEndYear=2024\nEndMonth=1\n"
           "[HtmlExport]\nCssOut=0\n";
    ASSERT_EQ(Run("ftpset " + File() + " --host " + server.Host() + " --folder up --tls 1").status,
              0);
    // The test's authority is not the system's: refused, nothing sent.
    Result unknown = Run("ftp " + File());
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("接続エラー:"), std::string::npos) << unknown.err;
    EXPECT_FALSE(fs::exists(server.Uploads() / "s202401.html"));

    Result sent = Run("ftp " + File() + " --cacert '" + server.CaFile() + "'");
    ASSERT_EQ(sent.status, 0) << sent.err << server.Log();
    EXPECT_EQ(sent.out, "1\n");
    EXPECT_EQ(ReadText(server.Uploads() / "s202401.html"),
              StoredAsText(ReadText(site / "s202401.html")));
}

}  // namespace
}  // namespace almx
