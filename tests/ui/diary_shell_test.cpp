// The diary in the program's shell: the month view's diary commands and marks, the diary
// frame with its title, menus and placement, and "Diary"/"First".

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <filesystem>
#include <fstream>

#include "app/almx_app.h"
#include "app/child_frames.h"
#include "app/main_frame.h"
#include "app/open_document.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/record_array.h"
#include "document/schedule_file_writer.h"
#include "links/file_launcher.h"
#include "views/diary_view.h"
#include "views/memo_view.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

class RecordingLauncher : public FileLauncher {
  public:
    int Open(const std::string& target, const std::string&) override {
        opened.push_back(target);
        return launch::kSuccess;
    }
    std::vector<std::string> opened;
};

class RemovingTrash : public FileTrash {
  public:
    bool MoveToTrash(const std::string& path) override {
        trashed.push_back(path);
        return fs::remove(path);
    }
    std::vector<std::string> trashed;
};

class DiaryShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-diaryshell-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        CAlmxArray doc;
        doc.diaryFolder = "nikki";
        path_ = (dir_ / "plan.alx").string();
        std::ofstream(path_, std::ios::binary) << WriteScheduleFile(doc).bytes;
        settings_.SetInt("System", "HolidayChangeFlag1", 1);
        settings_.SetString("Field", "File", (dir_ / "none.dat").string());
        settings_.SetInt("View", "First", 0);
    }
    void TearDown() override {
        app_.reset();
        fs::remove_all(dir_);
    }
    bool Start(const std::vector<std::string>& arguments) {
        AppServices services;
        services.settings = &settings_;
        services.prompter = &prompter_;
        services.clock = &clock_;
        services.programFolder = dir_.string();
        services.launcher = &launcher_;
        services.trash = &trash_;
        app_ = std::make_unique<CAlmxApp>(services);
        return app_->Start(arguments);
    }
    CMainFrame& Frame() { return *app_->MainFrame(); }
    std::string Today() { return (dir_ / "nikki" / "20250503.TXT").string(); }

    fs::path dir_;
    std::string path_;
    MemorySettingsStore settings_;
    ScriptedPrompter prompter_;
    ManualClock clock_{DateTime::FromParts(2025, 5, 3, 9, 0, 5)};
    RecordingLauncher launcher_;
    RemovingTrash trash_;
    std::unique_ptr<CAlmxApp> app_;
};

TEST_F(DiaryShellTest, TheMonthViewEditsAndRemovesTheDaysDiaryAndItsMarkFollows) {
    ASSERT_TRUE(Start({path_}));
    DiaryStore* diary = app_->Documents()[0]->Host().Diary();
    ASSERT_NE(diary, nullptr);
    EXPECT_EQ(diary->FolderInUse(), (fs::canonical(dir_) / "nikki").string());

    ASSERT_TRUE(Frame().Action(32791)->isEnabled());
    EXPECT_TRUE(Frame().Dispatch(32791));
    const std::string today = (fs::canonical(dir_) / "nikki" / "20250503.TXT").string();
    EXPECT_EQ(launcher_.opened, std::vector<std::string>{today});
    EXPECT_TRUE(fs::exists(today));
    EXPECT_TRUE(diary->HasDiary(DateTime::FromDate(2025, 5, 3)));
    EXPECT_TRUE(Frame().Dispatch(32831));  // show the marks
    EXPECT_TRUE(app_->Context().display.diaryMarks);
    if (const char* out = std::getenv("ALMX_DIARY_MONTH_PNG")) {
        Frame().resize(900, 640);
        Frame().show();
        QApplication::processEvents();
        Frame().grab().save(QString::fromUtf8(out));
    }

    prompter_.Then(Answer::Yes);
    EXPECT_TRUE(Frame().Dispatch(32898));
    EXPECT_EQ(trash_.trashed, std::vector<std::string>{today});
    EXPECT_FALSE(diary->HasDiary(DateTime::FromDate(2025, 5, 3)));
}

TEST_F(DiaryShellTest, DiaryFirstOpensTodaysDiaryInItsOwnFrame) {
    settings_.SetInt("Diary", "First", 1);
    ASSERT_TRUE(Start({path_}));
    CAlmxFrame* active = Frame().ActiveFrame();
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->Kind(), ViewKind::Diary);
    EXPECT_NE(qobject_cast<CDiaryFrame*>(active), nullptr);
    EXPECT_TRUE(active->windowTitle().endsWith(QStringLiteral(" - 日記")));
    auto* view = qobject_cast<CDiaryView*>(active->ActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Date(), DateTime::FromDate(2025, 5, 3));
    EXPECT_STREQ(active->PlacementSection(), "DiaryView");
    EXPECT_STREQ(active->PlacementKey(), "DiaryPos");
    // Activating a diary frame (not another one) names its file in "System"/"OpenFile".
    settings_.SetString("System", "OpenFile", "elsewhere");
    for (CAlmxFrame* frame : Frame().Frames())
        if (frame->Kind() == ViewKind::Month) Frame().ActivateFrame(frame);
    QApplication::processEvents();
    EXPECT_EQ(settings_.GetString("System", "OpenFile", ""), "elsewhere");
    Frame().ActivateFrame(active);
    QApplication::processEvents();
    EXPECT_EQ(settings_.GetString("System", "OpenFile", ""), app_->Documents()[0]->Doc().Path());

    // "新しいウィンドウを開く" keeps the one diary view of the document.
    EXPECT_TRUE(Frame().Dispatch(57648));
    int diaries = 0;
    for (CAlmxFrame* frame : Frame().Frames()) diaries += frame->Kind() == ViewKind::Diary;
    EXPECT_EQ(diaries, 1);
    EXPECT_EQ(Frame().ActiveFrame(), active);

    // Typed text is saved when the frame closes.
    view->Editor().insertPlainText(QStringLiteral("text"));
    active->close();
    QApplication::processEvents();
    EXPECT_TRUE(fs::exists(fs::canonical(dir_) / "nikki" / "20250503.TXT"));
}

TEST_F(DiaryShellTest, ANewWindowOnTheMemoViewActivatesTheOneThereIs) {
    ASSERT_TRUE(Start({path_}));
    Frame().ShowView(ViewKind::Memo);
    QApplication::processEvents();
    CAlmxFrame* memo = Frame().ActiveFrame();
    ASSERT_NE(memo, nullptr);
    ASSERT_EQ(memo->Kind(), ViewKind::Memo);
    auto* view = qobject_cast<CMemoView*>(memo->ActiveView());
    ASSERT_NE(view, nullptr);
    view->CurrentEditor()->insertPlainText(QStringLiteral("unsaved"));

    // From another frame first: the month view gets a second window as before.
    const auto count = [this](ViewKind kind) {
        int n = 0;
        for (CAlmxFrame* frame : Frame().Frames()) n += frame->Kind() == kind;
        return n;
    };
    const int months = count(ViewKind::Month);
    Frame().ActivateFrame(memo);
    QApplication::processEvents();
    EXPECT_TRUE(Frame().Dispatch(57648));
    QApplication::processEvents();
    EXPECT_EQ(count(ViewKind::Memo), 1);
    EXPECT_EQ(count(ViewKind::Month), months);
    EXPECT_EQ(Frame().ActiveFrame(), memo);
    EXPECT_EQ(view->CurrentEditor()->toPlainText(), QStringLiteral("unsaved"));

    for (CAlmxFrame* frame : Frame().Frames())
        if (frame->Kind() == ViewKind::Month) Frame().ActivateFrame(frame);
    QApplication::processEvents();
    EXPECT_TRUE(Frame().Dispatch(57648));
    QApplication::processEvents();
    EXPECT_EQ(count(ViewKind::Month), months + 1);
}

TEST_F(DiaryShellTest, DiaryFramesKeepTheirOwnShowState) {
    settings_.SetInt("Diary", "First", 1);
    ASSERT_TRUE(Start({path_}));
    CAlmxFrame* diary = Frame().ActiveFrame();
    ASSERT_EQ(diary->Kind(), ViewKind::Diary);
    diary->showMaximized();
    QApplication::processEvents();
    // Closing the program writes the day being typed.
    qobject_cast<CDiaryView*>(diary->ActiveView())->Editor().insertPlainText(QStringLiteral("x"));
    Frame().close();
    QApplication::processEvents();
    EXPECT_EQ(settings_.GetInt("DiaryView", "ShowCmd", -1), 3);
    EXPECT_FALSE(settings_.Contains("Settings", "ShowCmd"));
    EXPECT_TRUE(fs::exists(fs::canonical(dir_) / "nikki" / "20250503.TXT"));
}

}  // namespace
}  // namespace almx
