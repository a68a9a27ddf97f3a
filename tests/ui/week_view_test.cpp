#include "views/week_view.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "ui/calendar_ctrl.h"
#include "views/month_view_commands.h"

namespace almx {
namespace {

using namespace month_cmd;

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

class TestWeekView : public CWeekView {
  public:
    using CWeekView::CWeekView;
    std::optional<DateTime> date;
    std::optional<std::uint32_t> colour;

  protected:
    std::optional<DateTime> AskDate(const DateTime&) override { return date; }
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return colour; }
};

CAlmxData OnDay(const std::string& title, const DateTime& day) {
    CAlmxData r;
    r.title = title;
    r.start = day;
    r.end = day;
    r.alarmMinutes = -1;
    return r;
}

class WeekViewTest : public ::testing::Test {
  protected:
    WeekViewTest() {
        settings.SetInt("View", "First", 0);
        DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.computerName = "test";
        auto document = std::make_unique<CAlmxDoc>(context);
        document->Array().genres = CAlmxFieldArray::General();
        host = std::make_unique<DocumentHost>(std::move(document));
    }

    CAlmxDoc& Doc() { return host->Document(); }
    TestWeekView& View() {
        if (!view) {
            view = std::make_unique<TestWeekView>(*host, display, settings, prompter, clock);
            view->resize(1000, 760);
        }
        return *view;
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(&View(), key, mods); }
    QPoint Inside(int index) {
        const CellRect& r = View().Layout().cells[index];
        return QPoint(r.left + 10, r.bottom - 10);
    }
    bool Said(const std::string& text) {
        const auto& shown = prompter.Shown();
        return std::find(shown.begin(), shown.end(), text) != shown.end();
    }

    MemorySettingsStore settings;
    DisplaySettings display;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2025, 5, 3, 14, 7)};  // a Saturday
    std::unique_ptr<DocumentHost> host;
    std::unique_ptr<TestWeekView> view;
};

TEST_F(WeekViewTest, OpensOnTodayInItsMondayWeekWhateverTheMonthStart) {
    display.startMonday = false;
    EXPECT_EQ(View().Selected(), D(2025, 5, 3));
    EXPECT_EQ(View().Navigation().Index(), 5);
    EXPECT_EQ(View().Cells()[0].date, D(2025, 4, 28));
    EXPECT_EQ(View().Calendar().FirstWeekday(), 6);  // Sunday first in the small calendar
    EXPECT_EQ(View().Calendar().Date(), D(2025, 5, 3));
    EXPECT_EQ(View().StatusText(), QStringLiteral("2025/05/03  (土)"));
}

TEST_F(WeekViewTest, TakesTheDocumentsDateSelectedInItsWeekAndTodayIsLogical) {
    host->SetSharedDate(D(2025, 6, 12));
    clock.Set(DateTime::FromParts(2025, 5, 4, 2, 0));  // before the day change at 4
    display.todayLimit = 4;
    EXPECT_EQ(View().Selected(), D(2025, 6, 12));
    EXPECT_EQ(View().Navigation().Index(), 3);
    EXPECT_EQ(View().StatusText(), QStringLiteral("2025/05/03  (土)"));
    View().OnCommand(kToday);
    EXPECT_EQ(View().Selected(), D(2025, 5, 3));
}

TEST_F(WeekViewTest, LabelsInTheThreeWeekdayNameModes) {
    View().OnCommand(kNextWeek);  // 5/5 .. 5/11; 5/10 selected
    for (int youbi : {0, 1, 2}) {
        display.youbi = youbi;
        const QString sat = QString::fromUtf8(display.WeekdayName(6));
        const QString mon = QString::fromUtf8(display.WeekdayName(1));
        EXPECT_EQ(View().CellLabel(0), QStringLiteral(" 5/ 5 (") + mon + ")") << youbi;
        EXPECT_EQ(View().CellLabel(5), QStringLiteral("10 (") + sat + ")") << youbi;
    }
    View().OnCommand(kPrevWeek);
    EXPECT_EQ(View().CellLabel(3).left(5), QStringLiteral(" 5/ 1"));  // the 1st
    EXPECT_EQ(View().CellLabel(2).left(4), QStringLiteral("30 ("));
}

TEST_F(WeekViewTest, KeysMoveInsideTheWeekAndAcrossWeeks) {
    View();
    Key(Qt::Key_Down);  // Sunday 5/4
    EXPECT_EQ(View().Selected(), D(2025, 5, 4));
    Key(Qt::Key_Down);  // past Sunday: next Monday
    EXPECT_EQ(View().Selected(), D(2025, 5, 5));
    EXPECT_EQ(View().Cells()[0].date, D(2025, 5, 5));
    Key(Qt::Key_Right);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(View().Selected(), D(2025, 5, 6));  // 5/9 then up three
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);  // Thursday
    Key(Qt::Key_Right);
    EXPECT_EQ(View().Selected(), D(2025, 5, 11));
    Key(Qt::Key_PageDown);
    EXPECT_EQ(View().Selected(), D(2025, 6, 11));
    Key(Qt::Key_PageUp, Qt::ShiftModifier);
    EXPECT_EQ(View().Selected(), D(2024, 6, 11));
    EXPECT_EQ(View().Calendar().Date(), D(2024, 6, 11));
}

TEST_F(WeekViewTest, TheEndsOfTheCalendarAreNeverSelected) {
    host->SetSharedDate(D(9998, 12, 31));
    View();
    ASSERT_EQ(View().Selected(), D(9998, 12, 31));
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, Inside(5));
    EXPECT_EQ(View().Selected(), D(9998, 12, 31));
    EXPECT_TRUE(prompter.Shown().empty());
    Key(Qt::Key_PageDown);
    EXPECT_TRUE(Said(kNoFurtherMessage));
    EXPECT_EQ(View().Selected(), D(9998, 12, 31));
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, Inside(0));
    EXPECT_EQ(View().Selected(), D(9998, 12, 28));
    View().grab();  // the days beyond draw as empty cells
}

TEST_F(WeekViewTest, HintsRefillAndAPaintAfterAnUnannouncedChangeRefills) {
    View();
    Doc().Records().push_back(OnDay("会議", D(2025, 5, 1)));
    EXPECT_TRUE(View().Cells()[3].entries.empty());
    host->UpdateAllViews(nullptr, kHintRefill);
    ASSERT_EQ(View().Cells()[3].entries.size(), 1u);
    host->UpdateAllViews(nullptr, kHintRemoveRecord, &Doc().Records()[0]);
    EXPECT_TRUE(View().Cells()[3].entries.empty());
    host->UpdateAllViews(nullptr, kHintRecomputeMonth);
    ASSERT_EQ(View().Cells()[3].entries.size(), 1u);

    // The container moves under the view without a hint: the next paint fills first.
    for (int i = 0; i < 50; ++i) Doc().Records().push_back(OnDay("x", D(2025, 5, 2)));
    View().grab();
    EXPECT_EQ(View().Cells()[4].entries.size(), 50u);
    EXPECT_EQ(View().Cells()[4].entries[0]->title, "x");
}

TEST_F(WeekViewTest, TheCalendarPicksWeeksAndTheClockReselectsQuietly) {
    display.startMonday = true;
    host->SetSharedDate(D(2025, 6, 30));
    View();
    // Six rows: June 2025 from Monday needs them for the 30th.
    EXPECT_EQ(View().Calendar().Rows(), 6);
    EXPECT_GE(View().Calendar().Grid().CellOf(D(2025, 6, 30)), 0);

    View().Calendar().SetDate(D(2025, 7, 16));
    EXPECT_EQ(View().Selected(), D(2025, 7, 16));
    EXPECT_EQ(View().Cells()[0].date, D(2025, 7, 14));

    // The clock tick selects the day again in the calendar; the view takes that as no move.
    QSignalSpy moves(&View(), &CWeekView::SelectionChanged);
    QSignalSpy hints(host.get(), &DocumentHost::Updated);
    clock.Set(DateTime::FromParts(2025, 5, 4, 9, 0));
    View().ClockTick();
    EXPECT_EQ(moves.count(), 0);
    EXPECT_EQ(hints.count(), 0);
    EXPECT_EQ(View().Calendar().Date(), D(2025, 7, 16));
    EXPECT_EQ(View().StatusText(), QStringLiteral("2025/05/04  (日)"));
}

TEST_F(WeekViewTest, TheButtonsMoveTheCalendarByAMonthAndStayApart) {
    View().show();
    const QRect prev = View().PreviousButton().geometry();
    const QRect next = View().NextButton().geometry();
    EXPECT_FALSE(prev.intersects(next));
    View().NextButton().click();
    EXPECT_EQ(View().Calendar().Date(), D(2025, 6, 3));
    EXPECT_EQ(View().Selected(), D(2025, 6, 3));
    View().PreviousButton().click();
    View().PreviousButton().click();
    EXPECT_EQ(View().Selected(), D(2025, 4, 3));
}

TEST_F(WeekViewTest, ContextMenuEndsWithTheDaysFromToday) {
    View().OnCommand(kNextWeek);
    auto menu = View().CreateContextMenu();
    EXPECT_EQ(menu->title(), QStringLiteral("WEEK"));
    const QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_EQ(actions.back()->text(), QStringLiteral("このは今日から7日後です..."));
    EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
    // Present and disabled until their dialogs come.
    EXPECT_FALSE(View().CommandStatus(kEditDiary)->enabled);
    EXPECT_FALSE(View().CommandStatus(32824)->enabled);
    EXPECT_TRUE(View().CommandStatus(kDayColour)->enabled);
}

TEST_F(WeekViewTest, CommandsWriteTheirSettings) {
    View().OnCommand(kTimeDisplayPerSchedule + 2);
    EXPECT_EQ(settings.GetInt("View", "WeekViewTime", 0), 2);
    EXPECT_TRUE(View().CommandStatus(kTimeDisplayPerSchedule + 2)->checked);
    View().OnCommand(32828);
    EXPECT_EQ(settings.GetInt("View", "SchList", 1), 0);
    EXPECT_TRUE(Said("この設定は次回、ファイルオープン時から有効です。"));
    View().colour = 0x00FF00;
    View().OnCommand(kDayColour);
    EXPECT_EQ(View().Cells()[5].colour, 0x00FF00u);
}

TEST_F(WeekViewTest, DigitsSelectADate) {
    View();
    for (Qt::Key key : {Qt::Key_0, Qt::Key_7, Qt::Key_2, Qt::Key_0}) Key(key);
    EXPECT_EQ(View().Selected(), D(2025, 7, 20));
    EXPECT_EQ(View().Navigation().Index(), 6);
}

}  // namespace
}  // namespace almx
