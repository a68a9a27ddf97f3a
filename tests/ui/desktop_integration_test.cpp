// The program as a desktop citizen: its built-in icon, and a file handed over by a second
// start (a double-click in a file manager) while the program runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <filesystem>

#include "app/almx_app.h"
#include "app/child_frames.h"
#include "app/command_line.h"
#include "app/main_frame.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/document_fixture.h"

namespace almx {
namespace {

namespace fs = std::filesystem;
using testing::SjisFile;
using testing::WriteBytes;

TEST(ApplicationIcon, ComesInEveryShippedSizeAndIsDrawn) {
    const QIcon icon = ApplicationIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 48, 256}) {
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size)) << size;
        // Not an empty picture: the middle of the page is opaque.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;
    }
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
}

CAlmxCommandLineInfo Parsed(const std::vector<std::string>& arguments) {
    return CAlmxCommandLineInfo::Parse(arguments);
}

TEST(HandOverMessage, CarriesTheViewAndAnAbsoluteFileWhateverItsName) {
    EXPECT_EQ(CAlmxApp::HandOverMessage(Parsed({})), QByteArray("activate\n"));
    EXPECT_EQ(CAlmxApp::HandOverMessage(Parsed({"-week"})),
              QByteArray("activate\ncommand 32957\n"));

    // Spaces, a line feed and Japanese in a name stay one line and come back whole.
    const std::string odd = "/tmp/予定 表\nx.alx";
    const QByteArray message = CAlmxApp::HandOverMessage(Parsed({odd, "-todo"}));
    const QList<QByteArray> lines = message.split('\n');
    ASSERT_EQ(lines.size(), 4);  // three lines and the empty rest
    EXPECT_EQ(lines[1], "command 32957");
    ASSERT_TRUE(lines[2].startsWith("file "));
    EXPECT_EQ(QString::fromUtf8(QByteArray::fromPercentEncoding(lines[2].mid(5))).toStdString(),
              odd);

    // A relative name is made absolute here, where it was given.
    const QByteArray relative = CAlmxApp::HandOverMessage(Parsed({"plan.alx"}));
    const std::string expected = (fs::current_path() / "plan.alx").string();
    EXPECT_EQ(relative, "activate\nfile " + QByteArray::fromStdString(expected) + "\n");
}

class HandOverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-handover-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = (dir_ / "plan.alx").string();
        WriteBytes(path_, SjisFile(testing::kHeaderLine));
        other_ = (dir_ / "other.alx").string();
        WriteBytes(other_, SjisFile(testing::kHeaderLine));
        settings_.SetInt("System", "HolidayChangeFlag1", 1);
        settings_.SetString("Field", "File", (dir_ / "none.dat").string());
        AppServices services;
        services.settings = &settings_;
        services.prompter = &prompter_;
        services.clock = &clock_;
        services.programFolder = dir_.string();
        app_ = std::make_unique<CAlmxApp>(services);
        ASSERT_TRUE(app_->Start({path_}));
    }
    void TearDown() override {
        app_.reset();
        fs::remove_all(dir_);
    }

    fs::path dir_;
    std::string path_;
    std::string other_;
    MemorySettingsStore settings_;
    ScriptedPrompter prompter_;
    ManualClock clock_{DateTime::FromParts(2025, 5, 3, 9, 0, 5)};
    std::unique_ptr<CAlmxApp> app_;
};

TEST_F(HandOverTest, TheMainWindowAndItsFramesShowTheApplicationIcon) {
    CMainFrame& frame = *app_->MainFrame();
    EXPECT_EQ(frame.windowIcon().availableSizes(), ApplicationIcon().availableSizes());
    EXPECT_EQ(frame.windowIcon().pixmap(48, 48).toImage(),
              ApplicationIcon().pixmap(48, 48).toImage());
    ASSERT_NE(frame.ActiveFrame(), nullptr);
    EXPECT_EQ(frame.ActiveFrame()->windowIcon().pixmap(16, 16).toImage(),
              ApplicationIcon().pixmap(16, 16).toImage());
}

TEST_F(HandOverTest, AnotherFileIsNotOpenedAndTheUserIsToldSo) {
    ASSERT_TRUE(prompter_.Shown().empty());
    app_->HandleInstanceMessage(CAlmxApp::HandOverMessage(Parsed({other_})));
    EXPECT_EQ(app_->Documents().size(), 1u);
    ASSERT_EQ(prompter_.Shown().size(), 1u);
    EXPECT_EQ(
        prompter_.Shown()[0],
        "Almanixはすでに起動しています。\n" + other_ +
            " は開いていません。\n開くときは［ファイル］メニューの［開く］を使ってください。");
}

TEST_F(HandOverTest, TheFileAlreadyOpenIsBroughtForwardWithoutAMessage) {
    const std::size_t frames = app_->MainFrame()->Frames().size();
    app_->HandleInstanceMessage(CAlmxApp::HandOverMessage(Parsed({path_})));
    EXPECT_TRUE(prompter_.Shown().empty());
    EXPECT_EQ(app_->Documents().size(), 1u);
    EXPECT_EQ(app_->MainFrame()->Frames().size(), frames);
    EXPECT_NE(app_->MainFrame()->ActiveFrame(), nullptr);
}

// The built program twice: a file named on the second start reaches the running one, which
// keeps its own document and says so.
TEST(HandOverProcess, AFileFromASecondStartIsAnnouncedNotOpened) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString runtime = dir.filePath(QStringLiteral("run"));
    const QString config = dir.filePath(QStringLiteral("config"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDir().mkpath(config + QStringLiteral("/Korvanta"));
    const QString plan = dir.filePath(QStringLiteral("plan.alx"));
    const QString other = dir.filePath(QStringLiteral("other.alx"));
    WriteBytes(plan.toStdString(), SjisFile(testing::kHeaderLine));
    WriteBytes(other.toStdString(), SjisFile(testing::kHeaderLine));
    {
        QSettings ini(config + QStringLiteral("/Korvanta/Almanix.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("System/HolidayChangeFlag1"), 1);
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("almx.app.info=true"));
    const QString program = QStringLiteral(ALMX_BINARY_DIR "/src/app/almanix");

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {plan});
    QString log;
    auto firstSays = [&](const QString& text) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000 && first.state() != QProcess::NotRunning) {
            first.waitForReadyRead(100);
            log += QString::fromUtf8(first.readAllStandardError());
            if (log.contains(text)) return true;
        }
        return false;
    };
    ASSERT_TRUE(firstSays(QStringLiteral("started"))) << log.toStdString();

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {other});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(firstSays(QStringLiteral("hand-over: file"))) << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("other.alx")));
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(5000);
}

}  // namespace
}  // namespace almx
