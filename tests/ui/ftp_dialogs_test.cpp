// The upload in the progress window "ftp": a real server on the loopback interface when
// pyftpdlib is there, "キャンセル" stopping a server that never answers, and "ftp設定".

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "exchange/loopback_ftp.h"
#include "exchange/ui/ftp_dialogs.h"

namespace almx {
namespace {

namespace fs = std::filesystem;
using almx::testing::LoopbackFtp;
using almx::testing::ReadAll;

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class FtpUploadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-ftpui-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directories(dir / "site");
        WriteBytes(dir / "site" / "top.html", "<html>\r\nトップ\r\n</html>\r\n");
        WriteBytes(dir / "site" / "s202401.html", "<p>a\nb</p>\r\n");
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(dir, error);
    }
    std::vector<FtpFile> Files() const {
        return {{(dir / "site" / "top.html").string(), "top.html", true},
                {(dir / "site" / "s202401.html").string(), "s202401.html", true}};
    }
    FtpSettings Account(int port) const {
        FtpSettings s;
        s.host = "127.0.0.1:" + std::to_string(port);
        s.user = "taro";
        s.password = "s3cret";
        return s;
    }

    fs::path dir;
};

TEST_F(FtpUploadTest, TheWindowShowsEachFileWhileARealServerReceivesThem) {
    if (!almx::testing::HavePyftpdlib()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    fs::create_directories(dir / "server");
    LoopbackFtp server("good", dir / "server");
    ASSERT_GT(server.Port(), 0);
    FtpSettings account = Account(server.Port());
    CVeltaFtp ftp(account, Files());
    CFtpProgressWnd window;
    std::vector<QString> shown;
    // Each change the window shows, seen as it is painted.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString now = window.fileLabel->text() + " " + window.statusLabel->text();
        if (shown.empty() || shown.back() != now) shown.push_back(now);
    });
    watch.start(0);
    RunFtpInWindow(ftp, window);
    ASSERT_EQ(ftp.Result(), CVeltaFtp::Outcome::Succeeded) << ftp.Message();
    EXPECT_EQ(ReadAll(dir / "server" / "top.html"), "<html>\nトップ\n</html>\n");
    EXPECT_EQ(ReadAll(dir / "server" / "s202401.html"), "<p>a\nb</p>\n");
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ftp"));
    EXPECT_FALSE(window.isVisible());
    // The window was painted while the upload ran: before connecting, and with a file.
    EXPECT_NE(std::find(shown.begin(), shown.end(), QStringLiteral(" 接続中")), shown.end());
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                            [](const QString& s) { return s.contains("top.html"); }));
    EXPECT_EQ(window.statusLabel->text(), QStringLiteral("切断中"));

    account.password = "nope";
    CVeltaFtp refused(account, Files());
    CFtpProgressWnd second;
    RunFtpInWindow(refused, second);
    EXPECT_EQ(refused.Message().rfind("接続エラー:530", 0), 0u) << refused.Message();
}

TEST_F(FtpUploadTest, TheCancelButtonStopsAServerThatNeverAnswers) {
    fs::create_directories(dir / "server");
    LoopbackFtp server("silent", dir / "server", 30);
    ASSERT_GT(server.Port(), 0);
    CVeltaFtp ftp(Account(server.Port()), Files());
    CFtpProgressWnd window;
    QTimer::singleShot(300, &window, [&] { window.cancelButton->click(); });
    const auto start = std::chrono::steady_clock::now();
    RunFtpInWindow(ftp, window);
    EXPECT_EQ(ftp.Result(), CVeltaFtp::Outcome::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(950));
    EXPECT_EQ(window.statusLabel->text(), QStringLiteral("接続中"));
}

TEST_F(FtpUploadTest, SettingsDialogKeepsTheFieldsAndRefusesInjectedCommands) {
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2025, 5, 3, 14, 7)};
    DocumentContext context;
    context.settings = &settings;
    context.prompter = &prompter;
    context.clock = &clock;
    context.programFolder = dir.string();
    CAlmxDoc doc(context);
    ASSERT_TRUE(doc.SaveTo((dir / "a.alx").string()));

    CFtpSetDlg dialog(doc, prompter);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ftp設定"));
    dialog.hostEdit->setText(QStringLiteral("ftp.example.jp:2121"));
    dialog.userEdit->setText(QStringLiteral("taro"));
    dialog.passwordEdit->setText(QStringLiteral("pw\r\nDELE index.html"));
    dialog.tlsBox->setChecked(true);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(doc.Ftp().IsEmpty());
    EXPECT_FALSE(fs::exists(dir / "a.ftpset"));

    dialog.passwordEdit->setText(QStringLiteral("pw"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(doc.Ftp().host, "ftp.example.jp:2121");
    EXPECT_TRUE(doc.Ftp().tls);
    FtpSettings onDisk;
    ASSERT_EQ(LoadFtpSettings((dir / "a.ftpset").string(), onDisk), FtpSettingsLoad::Loaded);
    EXPECT_EQ(onDisk, doc.Ftp());

    // Nothing output yet: said without connecting.
    RunFtpUploadCommand(doc, settings, prompter, nullptr);
    EXPECT_TRUE(prompter.Saw("転送するファイルがありません"));
}

}  // namespace
}  // namespace almx
