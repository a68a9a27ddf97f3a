// A day of use through the whole program: choices that stick, controls that tell the truth,
// time that moves on.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QFontDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <fstream>

#include "app/almx_app.h"
#include "app/child_frames.h"
#include "app/command_table.h"
#include "app/main_frame.h"
#include "app/menu_layout.h"
#include "app/option_dialogs.h"
#include "app/single_instance.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/document_fixture.h"
#include "core/genre.h"
#include "document/document_messages.h"
#include "document/password_scramble.h"
#include "document/schedule_file_writer.h"
#include "grid/grid_control.h"
#include "ui/font_faces.h"
#include "ui/qt_colour.h"
#include "views/day_view.h"
#include "views/month_view.h"
#include "views/todo_view.h"

namespace almx {
namespace {

constexpr int kEdit = 32768;
constexpr int kDelete = 32782;
constexpr int kOneUp = 32842;
constexpr int kOneDown = 32843;

CAlmxData Schedule(const std::string& title, const DateTime& day) {
    CAlmxData r;
    r.title = title;
    r.start = r.end = day;
    r.alarmMinutes = -1;
    return r;
}

CAlmxData Todo(const std::string& title, const DateTime& day) {
    CAlmxData r = Schedule(title, day);
    r.Set(IsTodo);
    return r;
}

// Runs the hook once, from inside the first password question (a box runs the event loop and
// a hand-over can arrive in it).
class HookPrompter : public ScriptedPrompter {
  public:
    std::function<void()> hook;

    std::optional<std::string> AskPassword(std::string_view prompt) override {
        if (hook) std::exchange(hook, nullptr)();
        return ScriptedPrompter::AskPassword(prompt);
    }
};

class DayOfUseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        settings_.SetInt("System", "HolidayChangeFlag1", 1);
        settings_.SetString("Field", "File", Path("none.dat"));
        settings_.SetInt("View", "First", 0);  // no list of today's schedules
    }
    void TearDown() override { app_.reset(); }

    std::string Path(const char* name) const {
        return dir_.filePath(QString::fromUtf8(name)).toStdString();
    }

    std::string WriteFile(const char* name, const std::vector<CAlmxData>& records) {
        CAlmxArray array;
        array.genres = CAlmxFieldArray::General();
        for (const CAlmxData& r : records) array.records.push_back(r);
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << WriteScheduleFile(array).bytes;
        return path;
    }

    bool Start(const std::vector<std::string>& arguments) {
        app_.reset();
        AppServices services;
        services.settings = &settings_;
        services.prompter = &prompter_;
        services.clock = &clock_;
        services.programFolder = dir_.path().toStdString();
        app_ = std::make_unique<CAlmxApp>(services);
        return app_->Start(arguments);
    }

    CMainFrame& Frame() { return *app_->MainFrame(); }

    std::vector<ViewKind> KindsOf(const std::string& path) {
        std::vector<ViewKind> kinds;
        OpenDocument* document = app_->FindOpen(path);
        if (!document) return kinds;
        for (CAlmxFrame* frame : Frame().FramesOf(*document)) kinds.push_back(frame->Kind());
        std::sort(kinds.begin(), kinds.end());
        return kinds;
    }

    CDayView& DayList() {
        auto* frame = qobject_cast<CMonthFrame*>(Frame().ActiveFrame());
        return *static_cast<CDayView*>(frame->Views().at(1));
    }
    CAlmxView& Month() {
        auto* frame = qobject_cast<CMonthFrame*>(Frame().ActiveFrame());
        return *static_cast<CAlmxView*>(frame->Views().at(0));
    }

    void Focus(QWidget& widget) {
        QApplication::setActiveWindow(&Frame());
        widget.setFocus();
        QApplication::processEvents();
    }

    bool Enabled(int id) { return Frame().Action(id)->isEnabled(); }

    QTemporaryDir dir_;
    MemorySettingsStore settings_;
    HookPrompter prompter_;
    ManualClock clock_{DateTime::FromParts(2025, 5, 3, 9, 0, 5)};
    std::unique_ptr<CAlmxApp> app_;
};

// --- choices stick

TEST_F(DayOfUseTest, TheStartLayoutHasOneOwnerForMenuSheetAndTheNextOpen) {
    settings_.SetInt("Init", "View", 0);
    const std::string first = WriteFile("first.alx", {});
    const std::string second = WriteFile("second.alx", {});
    ASSERT_TRUE(Start({first}));

    EXPECT_TRUE(Frame().Dispatch(cmd::kLayoutWeek));
    EXPECT_TRUE(Frame().Action(cmd::kLayoutWeek)->isChecked());
    EXPECT_FALSE(Frame().Action(cmd::kLayoutMonth)->isChecked());
    // The sheet opens on the menu's choice, and its OK writes that choice.
    OtherSettingsForm sheet = Frame().CurrentOtherSettings();
    EXPECT_EQ(sheet.startLayout, 1);
    Frame().ApplyOtherSettings(sheet);
    EXPECT_EQ(settings_.GetInt("Init", "View", -1), 1);
    EXPECT_EQ(Frame().Options().StartLayout(), 1);

    // Both views: the next file opens in both, before anything was written.
    EXPECT_TRUE(Frame().Dispatch(cmd::kLayoutBoth));
    EXPECT_EQ(settings_.GetInt("Init", "View", -1), 1);
    ASSERT_NE(app_->OpenDocumentFile(second), nullptr);
    EXPECT_EQ(KindsOf(second), (std::vector<ViewKind>{ViewKind::Month, ViewKind::Week}));

    // The sheet's own choice reaches the frame and the next open as well.
    sheet = Frame().CurrentOtherSettings();
    EXPECT_EQ(sheet.startLayout, 2);
    sheet.startLayout = 1;
    sheet.initTodo = true;
    Frame().ApplyOtherSettings(sheet);
    EXPECT_TRUE(Frame().Action(cmd::kLayoutWeek)->isChecked());
    const std::string third = WriteFile("third.alx", {});
    ASSERT_NE(app_->OpenDocumentFile(third), nullptr);
    EXPECT_EQ(KindsOf(third), (std::vector<ViewKind>{ViewKind::Week, ViewKind::Todo}));

    // Written when the frame goes; the next start begins with it.
    EXPECT_TRUE(Frame().Dispatch(cmd::kLayoutMonth));
    Frame().close();
    QApplication::processEvents();
    EXPECT_EQ(settings_.GetInt("Init", "View", -1), 0);
    ASSERT_TRUE(Start({first}));
    EXPECT_TRUE(Frame().Action(cmd::kLayoutMonth)->isChecked());
    EXPECT_EQ(Frame().CurrentOtherSettings().startLayout, 0);
}

// --- controls tell the truth

TEST_F(DayOfUseTest, EverySelectionChangeInTheDayListUpdatesTheToolBar) {
    const DateTime today = DateTime::FromDate(2025, 5, 3);
    const std::string path = WriteFile("plan.alx", {Schedule("朝", today), Schedule("昼", today)});
    ASSERT_TRUE(Start({path}));
    CDayView& day = DayList();
    Focus(day.List());
    ASSERT_EQ(Frame().ActiveFrame()->ActiveView(), &day);
    ASSERT_EQ(day.List().RowCount(), 2);

    day.List().SelectRow(1);
    EXPECT_TRUE(Enabled(kDelete));
    EXPECT_TRUE(Enabled(kEdit));
    EXPECT_TRUE(Enabled(kOneUp));
    EXPECT_FALSE(Enabled(kOneDown));

    day.List().SelectRow(0);
    EXPECT_FALSE(Enabled(kOneUp));
    EXPECT_TRUE(Enabled(kOneDown));

    day.List().SelectRow(-1);
    EXPECT_FALSE(Enabled(kDelete));
    EXPECT_FALSE(Enabled(kEdit));
    EXPECT_FALSE(Enabled(kOneDown));

    // The month's selection moves to an empty day: the list refills with nothing to act on.
    day.List().SelectRow(0);
    ASSERT_TRUE(Enabled(kDelete));
    ASSERT_TRUE(Month().OnCommand(32776));  // next day, as the month grid's key does
    EXPECT_EQ(day.List().RowCount(), 0);
    EXPECT_FALSE(Enabled(kDelete));
    EXPECT_FALSE(Enabled(kOneDown));
}

TEST_F(DayOfUseTest, EverySelectionChangeInTheTodoGridUpdatesTheToolBar) {
    const DateTime today = DateTime::FromDate(2025, 5, 3);
    const std::string path = WriteFile("plan.alx", {Todo("買い物", today), Todo("電話", today)});
    ASSERT_TRUE(Start({path}));
    ASSERT_TRUE(Frame().Dispatch(cmd::kShowTodo));
    auto* todo = static_cast<CTodoView*>(Frame().ActiveFrame()->ActiveView());
    ASSERT_EQ(todo->Grid().RowCount(), 2);

    todo->Grid().SelectRow(1);
    EXPECT_TRUE(Enabled(kOneUp));
    EXPECT_FALSE(Enabled(kOneDown));
    todo->Grid().SelectRow(0);
    EXPECT_FALSE(Enabled(kOneUp));
    EXPECT_TRUE(Enabled(kOneDown));
    todo->Grid().SelectRow(-1);
    EXPECT_FALSE(Enabled(kDelete));
    EXPECT_FALSE(Enabled(kEdit));
}

std::vector<QAction*> MenuActions(const QMenuBar& bar) {
    std::vector<QAction*> actions;
    std::function<void(const QMenu&)> walk = [&](const QMenu& menu) {
        for (QAction* action : menu.actions()) {
            if (action->menu()) {
                walk(*action->menu());
            } else if (!action->isSeparator()) {
                actions.push_back(action);
            }
        }
    };
    for (QAction* top : bar.actions()) {
        if (top->menu()) walk(*top->menu());
    }
    return actions;
}

TEST_F(DayOfUseTest, ACommandThatCannotActIsDisabledNeverADeadClick) {
    const std::string path = WriteFile("plan.alx", {});
    settings_.SetInt("System", "Ime", 1);
    ASSERT_TRUE(Start({path}));

    // The input method cannot be switched on here: disabled, saying why, the value kept.
    QAction* ime = Frame().Action(cmd::kIme);
    EXPECT_FALSE(ime->isEnabled());
    EXPECT_TRUE(ime->isChecked());
    EXPECT_EQ(ime->toolTip().toStdString(), option_messages::kImeUnavailable);
    EXPECT_FALSE(Frame().Dispatch(cmd::kIme));
    EXPECT_EQ(settings_.GetInt("System", "Ime", -1), 1);
    OtherSettingsForm form = Frame().CurrentOtherSettings();
    COptionSheet sheet(form);
    QCheckBox* imeBox = nullptr;
    for (QCheckBox* box : sheet.findChildren<QCheckBox*>()) {
        if (box->text().contains(QStringLiteral("IME"))) imeBox = box;
    }
    ASSERT_NE(imeBox, nullptr);
    EXPECT_FALSE(imeBox->isEnabled());
    EXPECT_TRUE(imeBox->isChecked());
    EXPECT_EQ(imeBox->toolTip().toStdString(), option_messages::kImeUnavailable);
    EXPECT_TRUE(sheet.Form().ime);

    // The diary toggles: in the options menus of every view, and they flip their settings.
    for (int id : {cmd::kDiaryMarks, cmd::kDiaryFirst}) {
        for (MenuSet set : {MenuSet::Month, MenuSet::Week, MenuSet::Todo, MenuSet::Diary}) {
            const std::vector<int> ids = MenuCommandIds(set);
            EXPECT_EQ(std::count(ids.begin(), ids.end(), id), 1) << id;
        }
        EXPECT_TRUE(Enabled(id)) << id;
        EXPECT_TRUE(Frame().Dispatch(id)) << id;
    }
    EXPECT_EQ(settings_.GetInt("View", "Diary", -1), 1);
    EXPECT_EQ(settings_.GetInt("Diary", "First", -1), 1);

    // The to-do frame: no sort that nothing there handles, and its title font in a menu.
    const std::vector<int> todoIds = MenuCommandIds(MenuSet::Todo);
    EXPECT_EQ(std::count(todoIds.begin(), todoIds.end(), 32845), 0);
    ASSERT_TRUE(Frame().Dispatch(cmd::kShowTodo));
    QAction* titleFont = nullptr;
    for (QAction* action : MenuActions(*Frame().menuBar())) {
        if (action->text() == QStringLiteral("タイトルのフォント(&T)...")) titleFont = action;
    }
    ASSERT_NE(titleFont, nullptr);
    EXPECT_TRUE(titleFont->isEnabled());
}

// --- time moves on

TEST_F(DayOfUseTest, AtTheChangeOfTheLogicalDateEveryOpenViewRefills) {
    settings_.SetInt("System", "TodayLimit", 5);
    const std::string path = WriteFile("plan.alx", {Todo("提出", DateTime::FromDate(2025, 5, 10))});
    ASSERT_TRUE(Start({path}));
    CDayView& day = DayList();
    // A to-do waits on today's date.
    ASSERT_EQ(day.List().RowCount(), 1);
    ASSERT_TRUE(Frame().Dispatch(cmd::kShowTodo));  // the month frame is in the background now
    auto* todo = static_cast<CTodoView*>(Frame().ActiveFrame()->ActiveView());
    ASSERT_EQ(todo->Grid().RowCount(), 1);
    EXPECT_EQ(todo->Grid().Text(0, CTodoView::DeadlineColumn), QStringLiteral("あと 7日"));

    // Midnight is still the 3rd before the day-change hour.
    clock_.Set(DateTime::FromParts(2025, 5, 4, 0, 0, 5));
    Frame().Tick();
    EXPECT_EQ(day.List().RowCount(), 1);
    EXPECT_EQ(todo->Grid().Text(0, CTodoView::DeadlineColumn), QStringLiteral("あと 7日"));

    // At 5 o'clock the 4th begins: the to-do moves on, and a day less is left.
    clock_.Set(DateTime::FromParts(2025, 5, 4, 5, 0, 5));
    Frame().Tick();
    EXPECT_EQ(day.List().RowCount(), 0);
    EXPECT_EQ(todo->Grid().Text(0, CTodoView::DeadlineColumn), QStringLiteral("あと 6日"));
    EXPECT_EQ(Frame().StatusText(), Frame().StatusDateText());
}

// --- one change reaches every view

TEST_F(DayOfUseTest, FontsAndColoursChangedInOneFrameReachEveryView) {
    const std::string path = WriteFile("plan.alx", {});
    ASSERT_TRUE(Start({path}));
    CAlmxView& first = Month();
    ASSERT_TRUE(Frame().Dispatch(cmd::kWindowNew));
    CAlmxView& second = Month();
    ASSERT_NE(&first, &second);
    CDayView& secondList = DayList();

    // The caption font chosen in the second frame shows in the first one too.
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
            QFont chosen = dialog->currentFont();
            chosen.setPointSize(31);
            dialog->setCurrentFont(chosen);
            dialog->accept();
        }
    });
    ASSERT_TRUE(Frame().Dispatch(32857));
    ASSERT_NE(settings_.GetInt("YFont", "Size", 0), 0);
    EXPECT_EQ(second.CaptionFont().pixelSize(), first.CaptionFont().pixelSize());
    EXPECT_EQ(second.CaptionFont().family(), first.CaptionFont().family());

    // A header font written by another frame shows on 32948.
    const int before = first.WeekdayFont().pixelSize();
    FontSpec header = FontSpec::Load(settings_, "TFont", {"Arial", -17, 400, 0, 0, 0});
    header.size = -40;
    header.Store(settings_, "TFont");
    Frame().RedrawViews(Redraw::Colours);
    EXPECT_NE(first.WeekdayFont().pixelSize(), before);
    EXPECT_EQ(first.WeekdayFont().pixelSize(), second.WeekdayFont().pixelSize());

    // The holiday colour reaches the day list.
    Frame().RedrawViews(Frame().Options().SetColour(cmd::kHolidayColor, 0x00FF00));
    EXPECT_EQ(secondList.List().HolidayColour(), 0x00FF00u);
}

// --- the keyboard reaches every item

TEST_F(DayOfUseTest, EveryMenuItemCarriesAMnemonicAndTheKeyListKeepsItsLabels) {
    for (MenuSet set : {MenuSet::NoDocument, MenuSet::Month, MenuSet::Week, MenuSet::Todo,
                        MenuSet::Diary, MenuSet::Memo, MenuSet::SearchList}) {
        for (int id : MenuCommandIds(set)) {
            const std::string text = MenuText(*FindCommand(id));
            const std::size_t at = text.find("(&");
            ASSERT_NE(at, std::string::npos) << id << " " << text;
            EXPECT_EQ(text[at + 3], ')') << text;
        }
    }
    EXPECT_EQ(MenuText(*FindCommand(cmd::kFileOpen)), "開く(&O)...");
    EXPECT_EQ(KeyListLabel(*FindCommand(cmd::kFileOpen)), "[ﾌｧｲﾙ]開く...");
    EXPECT_EQ(KeyListLabel(*FindCommand(32891)), "[ｵﾌﾟｼｮﾝ]月間は6週表示");
    for (const CommandSpec& command : CommandTable()) {
        EXPECT_EQ(KeyListLabel(command).find("(&"), std::string::npos) << command.id;
    }
}

// --- legible by default

TEST_F(DayOfUseTest, StoredHeightsMeanWhatTheyMeantAndInkFollowsADarkBackground) {
    // "DayFont" 13 is a cell height of a face whose cell is its character: 13 pixels.
    const FontSpec dayFont{"ＭＳ ゴシック", 13, 400, 0, 0, 128};
    const QFont gothic(QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(FontPixelSize(dayFont, gothic, 96), 13);
    EXPECT_EQ(FontPixelSize(FontSpec{"ＭＳ Ｐゴシック", -13}, gothic, 96), 13);
    // At the screen's logical dpi.
    EXPECT_EQ(FontPixelSize(dayFont, gothic, 120), 16);
    EXPECT_EQ(FontPixelSize(FontSpec{"Arial", -17}, QFont(QStringLiteral("Arial")), 144), 26);
    // A face of our own: its own ascent and descent make the cell.
    const QFont own(QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(FontPixelSize(FontSpec{"DejaVu Sans", 30}, own, 96),
              static_cast<int>(std::lround(30 / CellHeightPerEm(own))));

    // Black lines and captions turn white on a dark stored background.
    EXPECT_EQ(InkOn(ToQColor(0x202020)), QColor(Qt::white));
    EXPECT_EQ(InkOn(ToQColor(16777215)), QColor(Qt::black));
    EXPECT_EQ(ReadableOn(QColor(Qt::black), ToQColor(0x202020)), QColor(Qt::white));
    EXPECT_EQ(ReadableOn(QColor(Qt::red), ToQColor(0x202020)), QColor(Qt::red));
    EXPECT_EQ(ReadableOn(QColor(Qt::black), QColor(Qt::white)), QColor(Qt::black));
    settings_.SetString("View", "BackColor", std::to_string(0x402010));
    const DateTime entryDay = DateTime::FromDate(2025, 5, 8);
    const std::string path = WriteFile("plan.alx", {Schedule("歯医者", entryDay)});
    ASSERT_TRUE(Start({path}));
    CAlmxView& month = Month();
    month.resize(700, 500);
    const QImage image = month.grab().toImage();
    const int line = QFontMetrics(month.CaptionFont()).height();
    EXPECT_EQ(image.pixelColor(3, line), QColor(Qt::white));
    // The entry, stored in black, is written in white on the dark cell.
    const CellRect& r =
        month.CellRects()[static_cast<std::size_t>(month.Cells().IndexOf(entryDay))];
    int light = 0;
    for (int y = r.top + 3; y < (r.top + r.bottom) / 2; ++y) {
        for (int x = r.left + 3; x < r.right - 3; ++x) {
            if (image.pixelColor(x, y).lightness() > 200) ++light;
        }
    }
    EXPECT_GT(light, 10);
    // Today's frame, black by default, shows too: lighter than the dark cell all along its left.
    const CellRect& t = month.CellRects()[static_cast<std::size_t>(
        month.Cells().IndexOf(DateTime::FromDate(2025, 5, 3)))];
    int frame = 0;
    for (int y = t.top + 4; y < t.bottom - 4; ++y) {
        if (image.pixelColor(t.left, y).lightness() > 200) ++frame;
    }
    EXPECT_GT(frame, (t.bottom - t.top) / 2);

    // The tool bar has its icons for a device-pixel ratio of 2.
    const QIcon today = Frame().Action(32775)->icon();
    EXPECT_EQ(today.pixmap(QSize(24, 24), 2.0).size(), QSize(48, 48));
}

// --- no prompt inside a drop or a hand-over

TEST_F(DayOfUseTest, DroppedFilesOpenAfterTheDropHasReturned) {
    const std::string path = WriteFile("plan.alx", {});
    const std::string dropped = WriteFile("dropped.alx", {});
    ASSERT_TRUE(Start({path}));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(app_->FindOpen(dropped), nullptr);  // nothing opened inside the drop
    QApplication::processEvents();
    EXPECT_NE(app_->FindOpen(dropped), nullptr);
}

TEST_F(DayOfUseTest, AHandOverDuringAStartUpQuestionWaitsUntilStartUpIsDone) {
    const std::string path = Path("secret.alx");
    testing::WriteBytes(path, testing::SjisFile(std::string(testing::kHeaderLine) + "\"2\",\"" +
                                                ScramblePassword("pw12") + "\"\n"));
    settings_.SetString("System", "DefaultFile", path);
    settings_.SetInt("System", "ViewChangeMes", 0);
    prompter_.hook = [this] { app_->HandleInstanceMessage("activate\ncommand 32957\n"); };
    prompter_.ThenText("pw12");
    ASSERT_TRUE(Start({}));
    QApplication::processEvents();
    // One password question, one document, one month frame: the hand-over activated it.
    EXPECT_EQ(prompter_.Shown(), std::vector<std::string>{doc_messages::kPasswordPrompt});
    ASSERT_EQ(app_->Documents().size(), 1u);
    EXPECT_EQ(KindsOf(path), std::vector<ViewKind>{ViewKind::Month});
}

TEST_F(DayOfUseTest, TheSecondStartPassesItsActivationTokenAndSaysWhenNobodyAnswers) {
    CAlmxCommandLineInfo plain = CAlmxCommandLineInfo::Parse({});
    EXPECT_EQ(CAlmxApp::HandOverMessage(plain, "a1\nb"), QByteArray("token a1b\nactivate\n"));
    EXPECT_EQ(CAlmxApp::HandOverMessage(plain, {}), QByteArray("activate\n"));

    const std::string path = WriteFile("plan.alx", {});
    ASSERT_TRUE(Start({path}));
    qunsetenv("DESKTOP_STARTUP_ID");
    app_->HandleInstanceMessage("token x11-startup_TIME42\nactivate\n");
    EXPECT_EQ(qgetenv("DESKTOP_STARTUP_ID"), QByteArray("x11-startup_TIME42"));
    qunsetenv("DESKTOP_STARTUP_ID");

    SingleInstance lonely(dir_.filePath(QStringLiteral("nobody")));
    ScriptedPrompter boxes;
    EXPECT_EQ(CAlmxApp::HandOver(lonely, "activate\n", boxes, 200), 1);
    EXPECT_EQ(boxes.Shown(), std::vector<std::string>{app_messages::kPrimaryUnreachable});
}

}  // namespace
}  // namespace almx
