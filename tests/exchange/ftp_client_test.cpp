// The upload through libcurl against real servers on 127.0.0.1: pyftpdlib (files, one login,
// wrong password, a refused second file, a passive reply naming another machine, active mode),
// servers that stay silent or talk without end, and vsftpd speaking explicit FTPS.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "exchange/ftp_client.h"
#include "exchange/loopback_ftp.h"

namespace almx {
namespace {

using almx::testing::LoopbackFtp;
using almx::testing::LoopbackFtps;
using almx::testing::ReadAll;
namespace fs = std::filesystem;

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class FtpUpload : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-ftpc-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directories(dir / "site");
        fs::create_directories(dir / "server" / "pub");
        // One page with CR LF lines, one with LF lines and a CR alone.
        WriteBytes(dir / "site" / "top.html", "<html>\r\nトップ\r\n</html>\r\n");
        WriteBytes(dir / "site" / "s202401.html", "<p>a\nb\r</p>\n");
        for (int i = 0; i < 300000; ++i) binary.push_back(static_cast<char>(i * 7 % 256));
        WriteBytes(dir / "site" / "pic.bin", binary);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(dir, error);
    }
    std::vector<FtpFile> Files() const {
        return {{(dir / "site" / "top.html").string(), "top.html", true},
                {(dir / "site" / "s202401.html").string(), "s202401.html", true},
                {(dir / "site" / "pic.bin").string(), "pic.bin", false}};
    }
    static FtpSettings Account(const std::string& host) {
        FtpSettings s;
        s.host = host;
        s.user = "taro";
        s.password = "s3cret";
        s.folder = "/pub";
        s.passive = true;
        return s;
    }
    // What a POSIX server keeps of the three files.
    void ExpectArrived(const fs::path& folder) const {
        EXPECT_EQ(ReadAll(folder / "top.html"), "<html>\nトップ\n</html>\n");
        EXPECT_EQ(ReadAll(folder / "s202401.html"), "<p>a\nb\r</p>\n");
        EXPECT_EQ(ReadAll(folder / "pic.bin"), binary);
    }

    fs::path dir;
    std::string binary;
};

TEST_F(FtpUpload, EveryFileArrivesOverOneLoginInPassiveAndActiveMode) {
    if (!almx::testing::HavePyftpdlib()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    LoopbackFtp server("good", dir / "server");
    ASSERT_GT(server.Port(), 0);

    CVeltaFtp ftp(Account(server.Host()), Files());
    std::vector<std::string> statuses;
    ftp.Run([&] {
        if (statuses.empty() || statuses.back() != ftp.Status()) statuses.push_back(ftp.Status());
        return true;
    });
    ASSERT_EQ(ftp.Result(), CVeltaFtp::Outcome::Succeeded) << ftp.Message();
    EXPECT_EQ(ftp.FilesSent(), 3u);
    ExpectArrived(dir / "server" / "pub");
    EXPECT_EQ(server.Logins(), 1);
    EXPECT_EQ(statuses.front(), "接続中");
    EXPECT_EQ(statuses.back(), "切断中");
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "転送中"), statuses.end());

    // Active mode, and a folder relative to the login folder.
    fs::remove_all(dir / "server" / "pub");
    fs::create_directories(dir / "server" / "pub");
    FtpSettings active = Account(server.Host());
    active.passive = false;
    active.folder = "pub/";
    CVeltaFtp second(active, Files());
    ASSERT_EQ(second.Run(), CVeltaFtp::Outcome::Succeeded) << second.Message();
    ExpectArrived(dir / "server" / "pub");
    EXPECT_EQ(server.Logins(), 2);
}

TEST_F(FtpUpload, ServerRefusalsEndWithTheirMessageAndNeverSucceed) {
    if (!almx::testing::HavePyftpdlib()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    {
        LoopbackFtp server("good", dir / "server");
        ASSERT_GT(server.Port(), 0);
        FtpSettings wrong = Account(server.Host());
        wrong.password = "nope";
        CVeltaFtp ftp(wrong, Files());
        EXPECT_EQ(ftp.Run(), CVeltaFtp::Outcome::Failed);
        EXPECT_EQ(ftp.Message().rfind("接続エラー:530", 0), 0u) << ftp.Message();
        EXPECT_EQ(ftp.Message().find("nope"), std::string::npos);
        EXPECT_TRUE(fs::is_empty(dir / "server" / "pub"));

        FtpSettings missing = Account(server.Host());
        missing.folder = "/nowhere/deeper";
        CVeltaFtp noFolder(missing, Files());
        EXPECT_EQ(noFolder.Run(), CVeltaFtp::Outcome::Failed);
        EXPECT_EQ(noFolder.Message().rfind("接続エラー:550", 0), 0u) << noFolder.Message();

        // A page gone since the list was made: said with its name, never sent empty.
        std::vector<FtpFile> files = Files();
        files[1].localPath = (dir / "site" / "gone.html").string();
        CVeltaFtp gone(Account(server.Host()), files);
        EXPECT_EQ(gone.Run(), CVeltaFtp::Outcome::Failed);
        EXPECT_EQ(gone.Message(),
                  "ファイル転送エラー:" + files[1].localPath + "\nファイルが読めません");
        EXPECT_TRUE(fs::exists(dir / "server" / "pub" / "top.html"));
        EXPECT_FALSE(fs::exists(dir / "server" / "pub" / "s202401.html"));
        fs::remove(dir / "server" / "pub" / "top.html");
    }
    LoopbackFtp refusing("refuse-second", dir / "server");
    ASSERT_GT(refusing.Port(), 0);
    CVeltaFtp ftp(Account(refusing.Host()), Files());
    EXPECT_EQ(ftp.Run(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(ftp.Message(), "ファイル転送エラー:" + Files()[1].localPath +
                                 "\n452 No space left on the test server.");
    EXPECT_EQ(ftp.FilesSent(), 1u);
    EXPECT_EQ(ReadAll(dir / "server" / "pub" / "top.html"), "<html>\nトップ\n</html>\n");
    EXPECT_FALSE(fs::exists(dir / "server" / "pub" / "pic.bin"));
}

TEST_F(FtpUpload, APassiveReplyNamingAnotherMachineIsNotFollowed) {
    if (!almx::testing::HavePyftpdlib()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    // No EPSV there, so PASV is asked, and it names 10.1.2.3.
    LoopbackFtp server("pasv-elsewhere", dir / "server");
    ASSERT_GT(server.Port(), 0);
    CVeltaFtp ftp(Account(server.Host()), Files());
    ftp.SetLimits({5, 5, 5});
    ASSERT_EQ(ftp.Run(), CVeltaFtp::Outcome::Succeeded) << ftp.Message();
    ExpectArrived(dir / "server" / "pub");
}

TEST_F(FtpUpload, SilentAndEndlessServersEndWithinTheLimit) {
    for (const char* mode : {"silent", "endless", "endless-line"}) {
        LoopbackFtp server(mode, dir / "server", 30);
        ASSERT_GT(server.Port(), 0) << mode;
        CVeltaFtp ftp(Account(server.Host()), Files());
        ftp.SetLimits({2, 2, 2});
        const auto start = std::chrono::steady_clock::now();
        bool claimedConnected = false;  // a greeting that never ends is no login
        EXPECT_EQ(ftp.Run([&] {
            claimedConnected |= ftp.Status() == "接続完了";
            return true;
        }),
                  CVeltaFtp::Outcome::Failed)
            << mode;
        EXPECT_FALSE(claimedConnected) << mode;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << mode;
        EXPECT_EQ(ftp.Message().rfind("接続エラー:", 0), 0u) << mode << " " << ftp.Message();
    }
}

TEST_F(FtpUpload, CancellingStopsAWaitingUploadAtOnce) {
    LoopbackFtp server("silent", dir / "server", 30);
    ASSERT_GT(server.Port(), 0);
    CVeltaFtp ftp(Account(server.Host()), Files());
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::steady_clock::now() - start; };
    int calls = 0;
    // The callback keeps coming while the server says nothing, often enough for a window
    // to repaint and a cancel to take effect well within a second.
    EXPECT_EQ(ftp.Run([&] {
        ++calls;
        return elapsed() < std::chrono::milliseconds(400);
    }),
              CVeltaFtp::Outcome::Cancelled);
    EXPECT_LT(elapsed(), std::chrono::milliseconds(950));
    EXPECT_GE(calls, 4);
    EXPECT_TRUE(ftp.Message().empty());
}

TEST_F(FtpUpload, UnsafeSettingsAndNamesAreRefusedBeforeConnecting) {
    // Port 1 on the loopback interface: had anything connected, the message would say so.
    std::vector<FtpSettings> hostile(7, Account("127.0.0.1:1"));
    hostile[0].password = "pw\r\nDELE index.html";
    hostile[1].user = "taro\nSITE CHMOD 777 /";
    hostile[2].folder = std::string("www\0x", 5);
    hostile[3].host = "host\r";
    hostile[4].host = "host:99999";
    hostile[5].host = "user@127.0.0.1";
    hostile[6].host = "127.0.0.1/x?y";
    for (const FtpSettings& settings : hostile) {
        CVeltaFtp ftp(settings, Files());
        EXPECT_EQ(ftp.Run(), CVeltaFtp::Outcome::Failed);
        EXPECT_TRUE(ftp.Message() == "接続エラー:設定に使えない文字（制御文字）が含まれています" ||
                    ftp.Message() == "接続エラー:ホスト名が正しくありません")
            << ftp.Message();
    }
    for (const char* name : {"..", "a\r\nDELE b", "", "x/y"}) {
        CVeltaFtp ftp(Account("127.0.0.1:1"),
                      {{"/out/ok.html", "ok.html", true}, {"/out/bad", name, true}});
        EXPECT_EQ(ftp.Run(), CVeltaFtp::Outcome::Failed);
        EXPECT_EQ(ftp.Message(),
                  "ファイル転送エラー:/out/bad\n転送先のファイル名に使えない文字が含まれています");
    }
}

TEST_F(FtpUpload, ExplicitFtpsCarriesControlAndDataAndNeverFallsBack) {
    LoopbackFtps server(dir / "ftps");
    if (server.Port() == 0) GTEST_SKIP() << "vsftpd or openssl is missing, or vsftpd did not start";
    FtpSettings settings;
    settings.host = server.Host();  // anonymous
    settings.folder = "up";
    settings.passive = true;
    settings.tls = true;

    // The test's own authority is unknown to the system: refused before any login.
    CVeltaFtp unknown(settings, Files());
    unknown.SetLimits({5, 5, 5});
    EXPECT_EQ(unknown.Run(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(unknown.Message().rfind("接続エラー:", 0), 0u) << unknown.Message();
    EXPECT_TRUE(fs::is_empty(server.Uploads()));

    // Passive only: Debian 12's libcurl 7.88.1 ends active FTPS uploads with a bogus
    // "sa_addr inet_ntop() failed" after the file has arrived (fixed in later libcurl).
    CVeltaFtp ftp(settings, Files());
    ftp.SetCaFile(server.CaFile());
    ftp.SetLimits({5, 5, 5});
    ASSERT_EQ(ftp.Run(), CVeltaFtp::Outcome::Succeeded) << ftp.Message() << server.Log();
    ExpectArrived(server.Uploads());

    // The same server without TLS refuses the login; a server without TLS is never used in
    // the clear when TLS is set.
    settings.tls = false;
    CVeltaFtp clear(settings, Files());
    EXPECT_EQ(clear.Run(), CVeltaFtp::Outcome::Failed);
    if (almx::testing::HavePyftpdlib()) {
        LoopbackFtp plain("good", dir / "server");
        FtpSettings tls = Account(plain.Host());
        tls.tls = true;
        CVeltaFtp ftp(tls, Files());
        EXPECT_EQ(ftp.Run(), CVeltaFtp::Outcome::Failed);
        EXPECT_EQ(ftp.Message().rfind("接続エラー:", 0), 0u) << ftp.Message();
        EXPECT_EQ(plain.Logins(), 0);
        EXPECT_TRUE(fs::is_empty(dir / "server" / "pub"));
    }
}

TEST(FtpHelpers, HostFieldsUrlsNamesAndText) {
    EXPECT_EQ(ParseFtpHost("ftp.example.jp")->port, 21);
    EXPECT_EQ(ParseFtpHost("ftp.example.jp:2121")->port, 2121);
    EXPECT_EQ(ParseFtpHost("ftp.example.jp:2121")->host, "ftp.example.jp");
    EXPECT_EQ(ParseFtpHost("[::1]:2121")->host, "::1");
    EXPECT_EQ(ParseFtpHost("[::1]:2121")->port, 2121);
    EXPECT_EQ(ParseFtpHost("fe80::1")->host, "fe80::1");
    for (const char* bad : {"", "host:", "host:0", "host:65536", "host:2x", ":21", "[::1", "[]",
                            "[::1]x", "a@b", "a/b", "a b", "a?b", "[::1%eth0]", "a#b"}) {
        EXPECT_FALSE(ParseFtpHost(bad).has_value()) << bad;
    }

    const FtpEndpoint host{"ftp.example.jp", 21};
    EXPECT_EQ(FtpUrl(host, "", "top.html"), "ftp://ftp.example.jp:21/top.html");
    EXPECT_EQ(FtpUrl(host, "public_html/cal", "a.html"),
              "ftp://ftp.example.jp:21/public_html/cal/a.html");
    EXPECT_EQ(FtpUrl(host, "/var//www/", "a.html"), "ftp://ftp.example.jp:21/%2Fvar/www/a.html");
    EXPECT_EQ(FtpUrl(host, "/", "a.html"), "ftp://ftp.example.jp:21/%2Fa.html");
    EXPECT_EQ(FtpUrl(host, "my site;type=i", "予定 #1?.html"),
              "ftp://ftp.example.jp:21/my%20site%3Btype%3Di/"
              "%E4%BA%88%E5%AE%9A%20%231%3F.html");
    EXPECT_EQ(FtpUrl({"::1", 2121}, "", "a"), "ftp://[::1]:2121/a");

    EXPECT_EQ(RemoteNameOf("/home/u/out/sch202401.html"), "sch202401.html");
    EXPECT_EQ(RemoteNameOf("top.html"), "top.html");

    bool held = false;
    EXPECT_EQ(ToLineFeedText("a\r\nb\nc\r", held), "a\nb\nc");
    EXPECT_TRUE(held);
    EXPECT_EQ(ToLineFeedText("\nd\r", held), "\nd");  // the CR of the piece before ended a line
    EXPECT_EQ(ToLineFeedText("e", held), "\re");      // a CR alone stays
    EXPECT_FALSE(held);
}

}  // namespace
}  // namespace almx
