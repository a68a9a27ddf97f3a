// The program's shell with a memory store, scripted answers and a manual clock: start-up,
// the main window and child frames, routing, the close sequence, placements, the clock.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <filesystem>

#include "app/almx_app.h"
#include "app/child_frames.h"
#include "app/command_table.h"
#include "app/main_frame.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/ui/entry_commands.h"
#include "core/document_fixture.h"
#include "document/schedule_file_writer.h"
#include "ui/qt_settings_store.h"
#include "views/month_view.h"
#include "views/view_base.h"

namespace almx {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::SjisFile;
using testing::WriteBytes;

constexpr const char* kCannotOpen = "ファイルを開けません。";
constexpr const char* kNewAskHolidays = "ファイルを新規作成します。祝日を設定しますか？";
constexpr const char* kSnoozeQuestion =
    "後で確認するスケジュールがあります。Almanixを閉じると後で確認できませんがよろしいですか？";

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-shell-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = (dir_ / "plan.alx").string();
        WriteBytes(path_, SjisFile(testing::kHeaderLine));
        settings_.SetInt("System", "HolidayChangeFlag1", 1);
        // No genre file: "一般" alone.
        settings_.SetString("Field", "File", (dir_ / "none.dat").string());
    }
    void TearDown() override {
        app_.reset();
        fs::remove_all(dir_);
    }

    bool Start(const std::vector<std::string>& arguments = {}) {
        app_.reset();
        AppServices services;
        services.settings = &settings_;
        services.prompter = &prompter_;
        services.clock = &clock_;
        services.programFolder = dir_.string();
        services.trash = trash_;
        app_ = std::make_unique<CAlmxApp>(services);
        return app_->Start(arguments);
    }

    CMainFrame& Frame() { return *app_->MainFrame(); }

    std::vector<ViewKind> Kinds() {
        std::vector<ViewKind> kinds;
        for (CAlmxFrame* frame : Frame().Frames()) kinds.push_back(frame->Kind());
        std::sort(kinds.begin(), kinds.end());
        return kinds;
    }

    // What the event loop does between two user actions: posted events, deferred deletes.
    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    // Closes the main window as the user would; true when it closed.
    bool Close() {
        Frame().close();
        QApplication::processEvents();
        return !Frame().isVisible();
    }

    fs::path dir_;
    std::string path_;
    MemorySettingsStore settings_;
    ScriptedPrompter prompter_;
    ManualClock clock_{DateTime::FromParts(2025, 5, 3, 9, 0, 5)};
    FileTrash* trash_ = nullptr;  // nullptr: the desktop's
    std::unique_ptr<CAlmxApp> app_;
};

TEST_F(ShellTest, StartsOnTheDefaultFileInTheMonthFrame) {
    settings_.SetString("System", "DefaultFile", path_);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(prompter_.Shown().empty());
    ASSERT_EQ(app_->Documents().size(), 1u);
    EXPECT_EQ(app_->Documents()[0]->Doc().Path(), fs::canonical(path_).string());
    EXPECT_EQ(Kinds(), std::vector<ViewKind>{ViewKind::Month});
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Almanix - plan.alx"));
    EXPECT_EQ(app_->RecentFiles(), std::vector<std::string>{fs::canonical(path_).string()});
    EXPECT_EQ(settings_.GetString("Recent File List", "File1", ""), fs::canonical(path_).string());
}

TEST_F(ShellTest, AMissingDefaultFileSaysSoAndGivesANewDocument) {
    settings_.SetString("System", "DefaultFile", (dir_ / "moved.alx").string());
    prompter_.Then(Answer::No);  // no holidays
    ASSERT_TRUE(Start());
    EXPECT_EQ(prompter_.Shown(), (std::vector<std::string>{kCannotOpen, kNewAskHolidays}));
    ASSERT_EQ(app_->Documents().size(), 1u);
    EXPECT_TRUE(app_->Documents()[0]->Doc().Path().empty());
    EXPECT_EQ(app_->Documents()[0]->Title(), QStringLiteral("ｽｹｼﾞｭｰﾗ2"));
    EXPECT_EQ(Kinds(), std::vector<ViewKind>{ViewKind::Month});
}

TEST_F(ShellTest, WithoutADefaultFileANewDocumentInTheMonthFrameOnly) {
    settings_.SetInt("Init", "View", 2);
    settings_.SetInt("Init", "Todo", 1);
    prompter_.Then(Answer::No);
    ASSERT_TRUE(Start());
    EXPECT_EQ(prompter_.Shown(), std::vector<std::string>{kNewAskHolidays});
    EXPECT_EQ(Kinds(), std::vector<ViewKind>{ViewKind::Month});
}

TEST_F(ShellTest, TheTodoFlagAtTheFirstStartIsALayoutCode) {
    settings_.SetString("System", "DefaultFile", path_);
    ASSERT_TRUE(Start({"-todo"}));
    EXPECT_EQ(Kinds(), (std::vector<ViewKind>{ViewKind::Month, ViewKind::Week}));
    app_.reset();
    settings_.SetInt("Init", "Todo", 1);
    ASSERT_TRUE(Start({"/todo", "-s"}));
    EXPECT_EQ(Kinds(), (std::vector<ViewKind>{ViewKind::Month, ViewKind::Week, ViewKind::Todo}));
    EXPECT_FALSE(app_->CommandLine().showToday);
    // The entry dialogs and list views get the link dialogs and the desktop launcher.
    EXPECT_TRUE(app_->Context().ForEntries().links.has_value());
    // "s": the month view of the start-up shows no today's schedules; a later one does.
    const auto started = Frame().findChildren<CAlmxView*>();
    ASSERT_EQ(started.size(), 1);
    EXPECT_FALSE(started.front()->StartupPopupAllowed());
    app_->NewDocument();
    for (CAlmxView* view : Frame().findChildren<CAlmxView*>()) {
        if (view != started.front()) {
            EXPECT_TRUE(view->StartupPopupAllowed());
        }
    }
}

TEST_F(ShellTest, ALayoutAboveFourOpensNothing) {
    settings_.SetString("System", "DefaultFile", path_);
    settings_.SetInt("Init", "View", 7);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(app_->Documents().empty());
    EXPECT_TRUE(Frame().Frames().empty());
    EXPECT_TRUE(prompter_.Shown().empty());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Almanix"));
}

TEST_F(ShellTest, AFileNamedOnTheCommandLineThatCannotBeOpenedEndsStartUp) {
    EXPECT_FALSE(Start({(dir_ / "absent.alx").string()}));
    EXPECT_EQ(app_->MainFrame(), nullptr);
    EXPECT_EQ(prompter_.Shown(), std::vector<std::string>{kCannotOpen});
}

TEST_F(ShellTest, OpeningAnOpenFileActivatesItsFrame) {
    ASSERT_TRUE(Start({path_}));
    OpenDocument* first = app_->Documents()[0];
    OpenResult result = OpenResult::Failed;
    EXPECT_EQ(app_->OpenDocumentFile((dir_ / "." / "plan.alx").string(), &result), first);
    EXPECT_EQ(result, OpenResult::Opened);
    EXPECT_EQ(app_->Documents().size(), 1u);
}

TEST_F(ShellTest, CommandsFindTheirHandlersAlongTheRoute) {
    ASSERT_TRUE(Start({path_}));
    CMainFrame& frame = Frame();
    OpenDocument& document = *app_->Documents()[0];

    // The month frame's own command.
    auto* month = qobject_cast<CMonthFrame*>(frame.ActiveFrame());
    ASSERT_NE(month, nullptr);
    ASSERT_TRUE(frame.Action(cmd::kDayListRight)->isEnabled());
    EXPECT_TRUE(frame.Dispatch(cmd::kDayListRight));
    EXPECT_EQ(month->Splitter()->orientation(), Qt::Horizontal);
    EXPECT_EQ(settings_.GetInt("View", "SchList", -1), 2);
    EXPECT_TRUE(frame.Action(cmd::kDayListRight)->isChecked());
    EXPECT_TRUE(frame.Dispatch(cmd::kDayListHide));
    EXPECT_FALSE(month->ListShown());
    EXPECT_EQ(settings_.GetInt("View", "SchListView", -1), 0);

    // The document's: save writes the modified document.
    document.Doc().SetModified(true);
    EXPECT_TRUE(frame.Dispatch(cmd::kFileSave));
    EXPECT_FALSE(document.Doc().IsModified());

    // The main frame's option.
    EXPECT_TRUE(frame.Dispatch(cmd::kMultiline));
    EXPECT_EQ(settings_.GetInt("View", "Multiline", -1), 1);
    EXPECT_TRUE(frame.Action(cmd::kMultiline)->isChecked());

    // Commands whose handlers come later are there, and disabled.
    EXPECT_TRUE(frame.Action(32905)->isEnabled());
    EXPECT_TRUE(frame.Action(32901)->isEnabled());  // HTML出力 has its handler
    for (int id : {32895}) {
        ASSERT_NE(frame.Action(id), nullptr) << id;
        EXPECT_FALSE(frame.Action(id)->isEnabled()) << id;
        EXPECT_FALSE(frame.Dispatch(id)) << id;
    }
    // The mail commands, the diary list and the diary mark dialog have theirs now.
    for (int id : {57600, 57601, 57603, 57604, 32885, 32858, 32784, 32837, 32840, 32913, 57664,
                   32906, 32976, 32977, 32833, 32946}) {
        EXPECT_TRUE(frame.Action(id)->isEnabled()) << id;
    }
}

TEST_F(ShellTest, ShowingViewsAndTheHandOverCommand) {
    ASSERT_TRUE(Start({path_}));
    CMainFrame& frame = Frame();
    EXPECT_TRUE(frame.Dispatch(cmd::kShowTodo));
    EXPECT_EQ(frame.ActiveFrame()->Kind(), ViewKind::Todo);
    // A view the document has is activated, not made again.
    EXPECT_TRUE(frame.Dispatch(cmd::kShowMonth));
    EXPECT_EQ(frame.ActiveFrame()->Kind(), ViewKind::Month);
    EXPECT_EQ(frame.Frames().size(), 2u);

    settings_.SetInt("System", "ViewChangeMes", 1);
    app_->HandleInstanceMessage("activate\ncommand 32957\n");
    EXPECT_EQ(frame.ActiveFrame()->Kind(), ViewKind::Week);
    settings_.SetInt("System", "ViewChangeMes", 9);
    EXPECT_TRUE(frame.Dispatch(cmd::kViewChangeMes));
    EXPECT_EQ(frame.Frames().size(), 3u);
    // Other commands do not come in from a second start.
    app_->HandleInstanceMessage("command 32780\n");
    EXPECT_EQ(frame.Frames().size(), 3u);

    // A new frame comes maximised when the active one is.
    frame.ActiveFrame()->showMaximized();
    EXPECT_TRUE(frame.Dispatch(cmd::kShowSearchList));
    EXPECT_TRUE(frame.ActiveFrame()->isMaximized());
}

TEST_F(ShellTest, AFrameBeingActivatedTakesTheDateOfTheFrameLeft) {
    ASSERT_TRUE(Start({path_}));
    CMainFrame& frame = Frame();
    CAlmxFrame* month = frame.ActiveFrame();
    const std::optional<DateTime> before = month->ActiveView()->SelectedDate();
    ASSERT_TRUE(before);
    ASSERT_TRUE(frame.Dispatch(32769));  // next month
    const std::optional<DateTime> moved = month->ActiveView()->SelectedDate();
    ASSERT_NE(moved, before);
    frame.ShowView(ViewKind::Week);
    CAlmxFrame* week = frame.ActiveFrame();
    EXPECT_EQ(week->ActiveView()->SelectedDate(), moved);
    // The week view took the document's date, which is then cleared.
    EXPECT_NE(app_->Documents()[0]->Host().SharedDate(), *moved);

    // Without synchronisation the frames keep their own dates.
    app_->Context().display.viewDateSync = false;
    frame.ActivateFrame(month);
    ASSERT_TRUE(frame.Dispatch(32769));
    frame.ActivateFrame(week);
    EXPECT_EQ(week->ActiveView()->SelectedDate(), moved);
}

TEST_F(ShellTest, TheClockWritesTheDateAndSavesADueDocument) {
    settings_.SetInt("System", "SaveSpanMinute", 5);
    ASSERT_TRUE(Start({path_}));
    CMainFrame& frame = Frame();
    frame.Tick();
    EXPECT_EQ(frame.StatusText(), QStringLiteral("2025/05/03  (Sat.)"));
    frame.Dispatch(cmd::kYoubi);
    OpenDocument& document = *app_->Documents()[0];
    document.Doc().SetModified(true);
    for (int tick = 0; tick < 29; ++tick) {
        clock_.AdvanceSeconds(10);
        frame.Tick();
    }
    EXPECT_TRUE(document.Doc().IsModified());
    clock_.AdvanceSeconds(10);
    frame.Tick();
    EXPECT_FALSE(document.Doc().IsModified());
    // The date text follows the day change.
    clock_.Set(DateTime::FromParts(2025, 5, 4, 0, 0, 0));
    frame.Tick();
    EXPECT_EQ(frame.StatusText(), QStringLiteral("2025/05/04  (日)"));
}

TEST_F(ShellTest, TheClockWritesTheLogicalToday) {
    ASSERT_TRUE(Start({path_}));
    CMainFrame& frame = Frame();
    app_->Context().display.todayLimit = 4;
    clock_.Set(DateTime::FromParts(2025, 5, 3, 23, 59, 50));
    frame.Tick();
    // Midnight is not yet the day change at four: the date stays the 3rd.
    clock_.Set(DateTime::FromParts(2025, 5, 4, 0, 0, 0));
    frame.Tick();
    EXPECT_EQ(frame.StatusText().left(10), QStringLiteral("2025/05/03"));
    clock_.Set(DateTime::FromParts(2025, 5, 4, 4, 0, 0));
    frame.Tick();
    EXPECT_EQ(frame.StatusText().left(10), QStringLiteral("2025/05/04"));
}

class CloseTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(Start({path_}));
        document_ = app_->Documents()[0];
        CAlmxData record;
        record.title = "会議";
        document_->Doc().SnoozeList().emplace_back(record, clock_.Now(), 5);
        document_->Doc().SetModified(true);
    }
    OpenDocument* document_ = nullptr;
};

TEST_F(CloseTest, NoToTheSnoozeQuestionKeepsEverything) {
    prompter_.Then(Answer::No);
    EXPECT_FALSE(Close());
    EXPECT_EQ(prompter_.Shown(), std::vector<std::string>{kSnoozeQuestion});
    EXPECT_EQ(document_->Doc().SnoozeList().size(), 1u);
    EXPECT_TRUE(document_->Doc().IsModified());
    EXPECT_FALSE(settings_.Contains("Settings", "WindowPos"));
}

TEST_F(CloseTest, CancellingTheSaveQuestionKeepsTheReminders) {
    prompter_.Then(Answer::Yes).Then(Answer::Cancel);
    EXPECT_FALSE(Close());
    EXPECT_EQ(prompter_.Shown(),
              (std::vector<std::string>{kSnoozeQuestion, "plan.alx への変更を保存しますか？"}));
    EXPECT_EQ(document_->Doc().SnoozeList().size(), 1u);
    EXPECT_EQ(app_->Documents().size(), 1u);
}

TEST_F(CloseTest, YesClosesAndWritesWhatExitWrites) {
    settings_.SetString("System", "SharedFile", "1");
    Frame().setGeometry(40, 50, 700, 500);
    prompter_.Then(Answer::Yes).Then(Answer::Yes);
    EXPECT_TRUE(Close());
    EXPECT_TRUE(document_->Doc().SnoozeList().empty());
    EXPECT_FALSE(document_->Doc().IsModified());  // saved
    EXPECT_EQ(settings_.GetString("Settings", "WindowPos", ""), "0,1,-1,-1,-1,-1,40,50,740,550");
    EXPECT_EQ(settings_.GetInt("View", "StandardBar", -1), 1);
    EXPECT_FALSE(settings_.GetString("General", "ToolBarState", "").empty());
    EXPECT_FALSE(settings_.GetString("Settings", "MonthPos", "").empty());
    EXPECT_EQ(settings_.GetString("ColorDlg", "Custom15", ""), "16777215");
    EXPECT_EQ(settings_.GetInt("Init", "View", -1), 0);
}

TEST_F(ShellTest, PlacementsComeBackAtTheNextStart) {
    ASSERT_TRUE(Start({path_}));
    Frame().setGeometry(30, 40, 720, 560);
    CAlmxFrame* month = Frame().ActiveFrame();
    month->setGeometry(10, 20, 400, 300);
    ASSERT_TRUE(Close());
    const std::string monthPos = settings_.GetString("Settings", "MonthPos", "");
    EXPECT_EQ(monthPos, "0,1,-1,-1,-1,-1,10,20,410,320");

    ASSERT_TRUE(Start({path_}));
    EXPECT_EQ(Frame().geometry(), QRect(30, 40, 720, 560));
    EXPECT_EQ(Frame().ActiveFrame()->geometry(), QRect(10, 20, 400, 300));
    // A maximised child frame: the shared show state, its normal rectangle kept.
    Frame().ActiveFrame()->showMaximized();
    ASSERT_TRUE(Close());
    EXPECT_EQ(settings_.GetInt("Settings", "ShowCmd", -1), 3);
    EXPECT_EQ(settings_.GetString("Settings", "MonthPos", ""), "2,3,-1,-1,-1,-1,10,20,410,320");

    ASSERT_TRUE(Start({path_}));
    EXPECT_TRUE(Frame().ActiveFrame()->isMaximized());
}

TEST_F(ShellTest, AMalformedPlacementIsIgnored) {
    settings_.SetString("Settings", "WindowPos", "0,1,-1,-1,-1,-1,30,40,20");
    settings_.SetString("Settings", "MonthPos", "0,1,-1,-1,-1,-1,50,50,50,50");
    ASSERT_TRUE(Start({path_}));
    EXPECT_EQ(Frame().size(), QSize(1000, 720));
    EXPECT_GT(Frame().ActiveFrame()->width(), 0);
}

TEST_F(ShellTest, TheMonthFrameSplitFromTheStore) {
    settings_.SetInt("View", "SchList", 0);  // rows, list hidden
    ASSERT_TRUE(Start({path_}));
    auto* month = qobject_cast<CMonthFrame*>(Frame().ActiveFrame());
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->Split(), 1);
    EXPECT_FALSE(month->ListShown());
    EXPECT_EQ(month->Splitter()->orientation(), Qt::Vertical);
    EXPECT_TRUE(Frame().Action(cmd::kDayListHide)->isChecked());
    Frame().Dispatch(cmd::kDayListBelow);
    EXPECT_TRUE(month->ListShown());
    QApplication::processEvents();
    // The month pane takes four fifths of the height.
    const int whole = month->Splitter()->height();
    EXPECT_NEAR(month->MonthView()->height(), whole * 4 / 5, 12);
}

TEST_F(ShellTest, TheDocumentsFileCommands) {
    ASSERT_TRUE(Start({path_}));
    CMainFrame& frame = Frame();
    OpenDocument* document = app_->Documents()[0];

    // Save as: the extension is added, the title and the recent files follow.
    prompter_.ThenText((dir_ / "copy").string());
    ASSERT_TRUE(frame.Dispatch(cmd::kFileSaveAs));
    EXPECT_TRUE(fs::exists(dir_ / "copy.alx"));
    EXPECT_EQ(document->Title(), QStringLiteral("copy.alx"));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Almanix - copy.alx"));
    EXPECT_EQ(app_->RecentFiles().front(), (dir_ / "copy.alx").string());
    EXPECT_EQ(settings_.GetString("System", "DefaultFile", ""), (dir_ / "copy.alx").string());

    // Import: the other file's records are appended.
    CAlmxData record;
    record.title = "取り込み元";
    document->Doc().Records().push_back(record);
    ASSERT_TRUE(document->Doc().SaveTo(path_));
    document->Doc().Records().clear();
    ASSERT_TRUE(document->Doc().SaveTo((dir_ / "copy.alx").string()));
    prompter_.ThenText(path_);
    ASSERT_TRUE(frame.Dispatch(cmd::kImport));
    EXPECT_EQ(document->Doc().Records().size(), 1u);
    EXPECT_TRUE(prompter_.Saw("1個のデータを取り込みました"));

    // Close: the save question, then the frames and the document go.
    prompter_.Then(Answer::No);
    ASSERT_TRUE(frame.Dispatch(cmd::kFileClose));
    Settle();
    EXPECT_TRUE(prompter_.Saw("copy.alx への変更を保存しますか？"));
    EXPECT_TRUE(app_->Documents().empty());
    EXPECT_TRUE(frame.Frames().empty());
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Almanix"));
    EXPECT_FALSE(frame.Action(cmd::kFileSave)->isEnabled());
    EXPECT_TRUE(frame.Action(cmd::kFileOpen)->isEnabled());

    // A view command with no document opens the default file.
    EXPECT_TRUE(frame.Dispatch(cmd::kShowWeek));
    ASSERT_EQ(app_->Documents().size(), 1u);
    EXPECT_EQ(app_->Documents()[0]->Title(), QStringLiteral("copy.alx"));
}

TEST_F(ShellTest, DocumentsDeleteLinkedFilesThroughTheProgramsTrashAndSaveAsMovesTheLock) {
    settings_.SetInt("System", "SharedFile", 1);
    CAlmxArray content;
    CAlmxData linked;
    linked.title = "議事録";
    linked.start = linked.end = DateTime::FromDate(2025, 5, 3);
    linked.linkFile = "notes.txt";
    content.records.push_back(linked);
    WriteBytes(path_, WriteScheduleFile(content).bytes);
    WriteBytes(dir_ / "notes.txt", "notes");
    testing::RecordingTrash trash;
    trash_ = &trash;
    ASSERT_TRUE(Start({path_}));
    CAlmxDoc& doc = app_->Documents()[0]->Doc();
    prompter_.Then(Answer::Yes).Then(Answer::Yes);
    EXPECT_EQ(doc.DeleteRecord(&doc.Records()[0], DateTime::FromDate(2025, 5, 3)),
              DeleteOutcome::Deleted);
    EXPECT_EQ(trash.trashed, std::vector<std::string>{(dir_ / "notes.txt").string()});
    EXPECT_FALSE(fs::exists(dir_ / "notes.txt"));

    EXPECT_TRUE(fs::exists(path_ + ".lock"));
    prompter_.ThenText((dir_ / "moved").string());
    ASSERT_TRUE(Frame().Dispatch(cmd::kFileSaveAs));
    EXPECT_FALSE(fs::exists(path_ + ".lock"));
    EXPECT_TRUE(fs::exists(dir_ / "moved.alx.lock"));
}

TEST_F(ShellTest, ClosingTheLastFrameAsksAndCancelKeepsIt) {
    ASSERT_TRUE(Start({path_}));
    OpenDocument* document = app_->Documents()[0];
    document->Doc().SetModified(true);
    CAlmxFrame* month = Frame().ActiveFrame();
    prompter_.Then(Answer::Cancel);
    EXPECT_FALSE(month->close());
    EXPECT_EQ(app_->Documents().size(), 1u);
    // With another frame of the document it closes without a question.
    Frame().ShowView(ViewKind::Todo);
    EXPECT_TRUE(month->close());
    Settle();
    EXPECT_EQ(Frame().Frames().size(), 1u);
    EXPECT_EQ(prompter_.Shown().size(), 1u);
    EXPECT_EQ(app_->Documents().size(), 1u);
}

TEST_F(ShellTest, AMissingHelpPageIsNamed) {
    ASSERT_TRUE(Start({path_}));
    EXPECT_TRUE(Frame().Dispatch(cmd::kHelpContents));
    EXPECT_TRUE(Frame().Dispatch(cmd::kHelpKeyword));
    EXPECT_EQ(prompter_.Shown(),
              (std::vector<std::string>{
                  "ヘルプファイルがありません：" + (dir_ / "help/index.html").string(),
                  "ヘルプファイルがありません：" + (dir_ / "help/keywords.html").string()}));
}

TEST_F(ShellTest, TheToolBarStateKeepsClearOfQSettingsGeneralGroup) {
    const QString ini = QString::fromStdString((dir_ / "Almanix.ini").string());
    {
        QtSettingsStore store(ini);
        store.SetString("General", "ToolBarState", "AAAA");
        store.SetInt("View", "StandardBar", 0);
        store.Sync();
    }
    QSettings raw(ini, QSettings::IniFormat);
    EXPECT_FALSE(raw.contains(QStringLiteral("ToolBarState")));
    EXPECT_EQ(raw.value(QStringLiteral("General_/ToolBarState")).toString(),
              QStringLiteral("AAAA"));
    QtSettingsStore again(ini);
    EXPECT_EQ(again.GetString("General", "ToolBarState", ""), "AAAA");
    EXPECT_EQ(again.GetInt("View", "StandardBar", 1), 0);
    EXPECT_EQ(again.GetInt("View", "MonthWeeks", 5), 5);
    EXPECT_EQ(again.GetString("System", "DefaultFile", "none"), "none");
}

}  // namespace
}  // namespace almx

namespace almx {
namespace {

TEST_F(ShellTest, AReadOnlyDocumentShowsItsChangingCommandsDisabled) {
    std::filesystem::permissions(path_, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::group_read |
                                            std::filesystem::perms::others_read);
    ASSERT_TRUE(Start({path_}));
    ASSERT_TRUE(app_->Documents()[0]->Doc().IsReadOnly());
    CMainFrame& frame = Frame();
    frame.UpdateCommandStates();
    for (int id : {cmd::kImport, cmd::kPassword, cmd::kDeleteOld, cmd::kGenres, 32878, 57637}) {
        ASSERT_NE(frame.Action(id), nullptr) << id;
        EXPECT_FALSE(frame.Action(id)->isEnabled()) << id;
    }
    // A key still reaching one is refused with the reason, and nothing changes.
    const std::size_t records = app_->Documents()[0]->Doc().Records().size();
    EXPECT_FALSE(frame.Dispatch(cmd::kDeleteOld));
    EXPECT_EQ(prompter_.Shown().back(), "読み取り専用ファイルのため、変更は反映されません");
    EXPECT_EQ(app_->Documents()[0]->Doc().Records().size(), records);
    EXPECT_TRUE(frame.Action(cmd::kFileSaveAs)->isEnabled());
}

}  // namespace
}  // namespace almx
