#include "calendar/month_grid.h"

#include <gtest/gtest.h>

#include "base/prompter.h"
#include "calendar/month_dialog_forms.h"
#include "core/record.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

GridOptions Options(int weeks, bool noLastCur, bool startMonday = false) {
    GridOptions options;
    options.weeks = weeks;
    options.noLastCur = noLastCur;
    options.startMonday = startMonday;
    return options;
}

TEST(MonthGrid, GridStartsOnTheFirstColumnBeforeTheFirst) {
    // 2008/06/01 is a Sunday.
    EXPECT_EQ(GridStart(2008, 6, false), D(2008, 6, 1));
    EXPECT_EQ(GridStart(2008, 6, true), D(2008, 5, 26));
    // 2008/05/01 is a Thursday.
    EXPECT_EQ(GridStart(2008, 5, false), D(2008, 4, 27));
    EXPECT_EQ(GridStart(2008, 5, true), D(2008, 4, 28));
    EXPECT_EQ(ColumnWeekday(0, true), 1);
    EXPECT_EQ(ColumnWeekday(6, true), 0);
    EXPECT_EQ(ColumnWeekday(6, false), 6);
}

TEST(MonthGrid, LastRowMovesToTheNextMonthOnlyWhenItHoldsThatMonthsFirst) {
    // June 2008 (Sunday start): rows from 06/01; the fifth row runs 06/29..07/05.
    ShownMonth shown = ChooseShownMonth(D(2008, 6, 30), Options(5, true));
    EXPECT_EQ(shown.month, 7);
    EXPECT_EQ(shown.first, D(2008, 6, 29));
    EXPECT_EQ(shown.index, 1);
    // Without "NoLastCur" the last row may hold the selection.
    shown = ChooseShownMonth(D(2008, 6, 30), Options(5, false));
    EXPECT_EQ(shown.month, 6);
    EXPECT_EQ(shown.index, 29);
    // May 2008: the fifth row (05/25..05/31) is all May, so May stays.
    shown = ChooseShownMonth(D(2008, 5, 28), Options(5, true));
    EXPECT_EQ(shown.month, 5);
    EXPECT_EQ(shown.index, 31);
    // The fourth row is never the last.
    shown = ChooseShownMonth(D(2008, 6, 28), Options(5, true));
    EXPECT_EQ(shown.month, 6);
    EXPECT_EQ(shown.index, 27);
}

TEST(MonthGrid, MondayStartMovesPastTheGridAndKeepsTheRuleForASundayFirst) {
    // June 2008, Monday start: the grid begins 05/26 and 06/30 is beyond five weeks.
    ShownMonth shown = ChooseShownMonth(D(2008, 6, 30), Options(5, true, true));
    EXPECT_EQ(shown.month, 7);
    EXPECT_EQ(shown.first, D(2008, 6, 30));
    EXPECT_EQ(shown.index, 0);
    // May 2008, Monday start: the fifth row 05/26..06/01 ends on June's 1st, a Sunday; the
    // rule (w - 1 - x <= 0) keeps May.
    shown = ChooseShownMonth(D(2008, 5, 27), Options(5, true, true));
    EXPECT_EQ(shown.month, 5);
    EXPECT_EQ(shown.index, 29);
    // Six weeks: the same day is no longer in the last row.
    shown = ChooseShownMonth(D(2008, 5, 27), Options(6, true, true));
    EXPECT_EQ(shown.month, 5);
}

TEST(MonthGrid, FourWeeksKeepTheDateInsideTheGrid) {
    // May 2008 has five rows from 04/27; 05/28 lies in the fifth, which no 4-week grid of
    // May or June starts at.
    const ShownMonth shown = ChooseShownMonth(D(2008, 5, 28), Options(4, true));
    EXPECT_EQ(shown.month, 5);
    EXPECT_EQ(shown.first, D(2008, 5, 4));
    EXPECT_EQ(shown.index, 24);
}

// Whatever the settings, the grid starts on its first column and holds the date, in the
// date's month or the next one.
TEST(MonthGrid, EveryDateEndsInsideItsGrid) {
    for (int weeks = kMinMonthWeeks; weeks <= kMaxMonthWeeks; ++weeks) {
        for (int flags = 0; flags < 4; ++flags) {
            const GridOptions options = Options(weeks, flags & 1, flags & 2);
            for (DateTime day = D(2023, 12, 1); day <= D(2025, 2, 1); day = day.PlusDays(1)) {
                const ShownMonth shown = ChooseShownMonth(day, options);
                ASSERT_GE(shown.index, 0) << FormatDate(day) << " weeks " << weeks;
                ASSERT_LT(shown.index, weeks * 7) << FormatDate(day) << " weeks " << weeks;
                ASSERT_EQ(shown.first.PlusDays(shown.index), day);
                ASSERT_EQ(WeekdayColumn(shown.first, options.startMonday), 0);
                const int months = (shown.year - day.Year()) * 12 + shown.month - day.Month();
                ASSERT_TRUE(months == 0 || months == 1) << FormatDate(day);
            }
        }
    }
}

TEST(MonthGrid, TheCalendarsEndsAreShownInTheirOwnMonths) {
    for (bool noLastCur : {true, false}) {
        for (int day = 20; day <= 31; ++day) {
            const ShownMonth shown = ChooseShownMonth(D(9998, 12, day), Options(5, noLastCur));
            EXPECT_EQ(shown.year, 9998);
            EXPECT_EQ(shown.month, 12);
            EXPECT_EQ(shown.first.PlusDays(shown.index), D(9998, 12, day));
        }
    }
    // A day of the grid beyond the calendar belongs to the nearest month.
    const ShownMonth shown = ChooseShownMonth(D(9999, 1, 1), Options(6, false));
    EXPECT_EQ(shown.year, 9998);
    EXPECT_EQ(shown.month, 12);
    EXPECT_EQ(shown.first.PlusDays(shown.index), D(9999, 1, 1));
}

TEST(MonthNavigation, MovesInsideTheGridKeepTheMonth) {
    MonthNavigation nav(Options(5, true));
    ASSERT_TRUE(nav.Select(D(2008, 6, 28)));  // index 27, June
    auto move = nav.MoveDays(7);              // onto 07/05 in the last row
    EXPECT_EQ(move.outcome, MonthNavigation::Outcome::InsideGrid);
    EXPECT_EQ(move.oldIndex, 27);
    EXPECT_EQ(move.newIndex, 34);
    EXPECT_EQ(nav.Selected(), D(2008, 7, 5));
    EXPECT_EQ(nav.Shown().month, 6);
    // Leaving the grid moves the date and chooses the month again.
    move = nav.MoveDays(1);
    EXPECT_EQ(move.outcome, MonthNavigation::Outcome::Recomputed);
    EXPECT_EQ(nav.Selected(), D(2008, 7, 6));
    EXPECT_EQ(nav.Shown().month, 7);
    EXPECT_EQ(nav.CellDate(nav.Index()), D(2008, 7, 6));
    // Back over the grid's start.
    nav.Select(D(2008, 7, 1));
    move = nav.MoveDays(-7);
    EXPECT_EQ(move.outcome, MonthNavigation::Outcome::Recomputed);
    EXPECT_EQ(nav.Selected(), D(2008, 6, 24));
    // Months keep the day where the month has it.
    nav.Select(D(2008, 1, 31));
    nav.MoveMonths(1);
    EXPECT_EQ(nav.Selected(), D(2008, 2, 29));
    nav.MoveMonths(-12);
    EXPECT_EQ(nav.Selected(), D(2007, 2, 28));
}

TEST(MonthNavigation, TheCalendarsEndsRefuseEveryMoveBeyond) {
    MonthNavigation nav(Options(5, true));
    ASSERT_TRUE(nav.Select(D(9998, 12, 10)));
    for (int days : {1, 7}) {
        EXPECT_EQ(nav.MoveDays(days).outcome, MonthNavigation::Outcome::Refused);
    }
    EXPECT_EQ(nav.MoveMonths(1).outcome, MonthNavigation::Outcome::Refused);
    EXPECT_EQ(nav.MoveMonths(12).outcome, MonthNavigation::Outcome::Refused);
    EXPECT_EQ(nav.Selected(), D(9998, 12, 10));
    EXPECT_EQ(nav.MoveDays(-1).outcome, MonthNavigation::Outcome::InsideGrid);
    EXPECT_EQ(nav.MoveFreely(30).outcome, MonthNavigation::Outcome::Refused);
    EXPECT_EQ(nav.MoveFreely(22).outcome, MonthNavigation::Outcome::Recomputed);
    EXPECT_EQ(nav.Selected(), D(9998, 12, 31));

    // November shown, the selection moved onto December 1st in its last row: a month on
    // leaves the calendar.
    MonthNavigation november(Options(5, false));
    ASSERT_TRUE(november.Select(D(9998, 11, 30)));
    ASSERT_EQ(november.MoveDays(1).outcome, MonthNavigation::Outcome::InsideGrid);
    EXPECT_EQ(november.Shown().month, 11);
    EXPECT_EQ(november.MoveMonths(1).outcome, MonthNavigation::Outcome::Refused);
    EXPECT_EQ(november.Selected(), D(9998, 12, 1));
    // With "NoLastCur" the same day shows December.
    ASSERT_TRUE(nav.Select(D(9998, 11, 30)));
    EXPECT_EQ(nav.Shown().month, 12);

    ASSERT_TRUE(nav.Select(D(1583, 1, 20)));
    EXPECT_EQ(nav.MoveDays(-1).outcome, MonthNavigation::Outcome::Refused);
    EXPECT_EQ(nav.MoveMonths(-1).outcome, MonthNavigation::Outcome::Refused);
    EXPECT_EQ(nav.MoveFreely(-20).outcome, MonthNavigation::Outcome::Refused);
    EXPECT_FALSE(nav.Select(D(1582, 12, 31)));
    EXPECT_FALSE(nav.Select(DateTime::Invalid()));
    EXPECT_EQ(nav.Selected(), D(1583, 1, 20));
}

TEST(MonthNavigation, NewOptionsChooseTheMonthAgain) {
    MonthNavigation nav(Options(6, false));
    ASSERT_TRUE(nav.Select(D(2008, 5, 31)));  // the fifth row of May, index 34
    EXPECT_EQ(nav.Index(), 34);
    nav.SetOptions(Options(4, true));
    EXPECT_LT(nav.Index(), 28);
    EXPECT_EQ(nav.CellDate(nav.Index()), D(2008, 5, 31));
    EXPECT_EQ(nav.SelectCell(28).outcome, MonthNavigation::Outcome::Refused);
    EXPECT_EQ(nav.SelectCell(0).outcome, MonthNavigation::Outcome::InsideGrid);
    EXPECT_EQ(nav.Selected(), nav.Shown().first);
}

TEST(DigitDateEntry, FourDigitsGiveMonthAndDayInTheComingYear) {
    const DateTime december = D(2025, 12, 10);
    DigitDateEntry entry;
    EXPECT_FALSE(entry.Add(0, december).finished);
    EXPECT_TRUE(entry.Active());
    EXPECT_EQ(entry.StatusText(), "日付入力：0");
    entry.Add(1, december);
    entry.Add(1, december);
    EXPECT_EQ(entry.StatusText(), "日付入力：011");
    auto step = entry.Add(5, december);
    EXPECT_TRUE(step.finished);
    EXPECT_EQ(step.date, D(2026, 1, 15));
    EXPECT_FALSE(entry.Active());

    // February 30 of next year does not exist.
    for (int digit : {0, 2, 3}) entry.Add(digit, december);
    step = entry.Add(0, december);
    EXPECT_TRUE(step.finished);
    EXPECT_FALSE(step.date.has_value());

    // The current month itself stays in this year.
    for (int digit : {1, 2, 0}) entry.Add(digit, december);
    EXPECT_EQ(entry.Add(1, december).date, D(2025, 12, 1));
    for (int digit : {1, 3, 0}) entry.Add(digit, december);
    EXPECT_FALSE(entry.Add(1, december).date.has_value());
}

TEST(MonthLayout, CellsAndHitTesting) {
    // 705 wide: cells of 100, the last 5 pixels stay empty; rows of (600 - 40) / 5.
    const auto cells = LayOutCells(705, 600, 40, 35);
    ASSERT_EQ(cells.size(), 35u);
    EXPECT_EQ(cells[0].left, 0);
    EXPECT_EQ(cells[0].top, 40);
    EXPECT_EQ(cells[0].right, 100);
    EXPECT_EQ(cells[0].bottom, 152);
    EXPECT_EQ(cells[6].left, 600);
    EXPECT_EQ(cells[7].left, 0);
    EXPECT_EQ(cells[7].top, 152);
    EXPECT_EQ(cells[34].bottom, 600);

    EXPECT_EQ(HitTest(cells, 0, 40), 0);
    EXPECT_EQ(HitTest(cells, 99, 151), 0);
    EXPECT_EQ(HitTest(cells, 100, 151), 1);
    EXPECT_EQ(HitTest(cells, 150, 152), 8);
    EXPECT_EQ(HitTest(cells, 699, 599), 34);
    EXPECT_EQ(HitTest(cells, 702, 300), -1);  // the empty remainder
    EXPECT_EQ(HitTest(cells, 50, 39), -1);    // the header
    EXPECT_EQ(HitTest(cells, 50, 600), -1);
    EXPECT_EQ(HeaderHeight(20, 18), 40);
}

TEST(MonthLayout, DayNumberPositions) {
    const CellRect cell{100, 50, 200, 130};  // area inset by 1: 101..199, 51..129
    EXPECT_EQ(DayNumberOrigin(cell, 0, 20, 16), (Point{103, 53}));
    EXPECT_EQ(DayNumberOrigin(cell, 1, 20, 16), (Point{177, 53}));
    EXPECT_EQ(DayNumberOrigin(cell, 2, 20, 16), (Point{103, 112}));
    EXPECT_EQ(DayNumberOrigin(cell, 3, 20, 16), (Point{177, 112}));
    EXPECT_EQ(DayNumberOrigin(cell, 4, 20, 16), (Point{140, 82}));
}

TEST(MonthTexts, CaptionStatusAndContextMenuLabel) {
    EXPECT_EQ(CaptionText(1996, 5, 0), "1996 - 05");
    EXPECT_EQ(CaptionText(1996, 5, 1), "1996 - May");
    EXPECT_EQ(CaptionText(1996, 5, 2), "1996年 05月");
    EXPECT_EQ(DaysFromTodayLabel(D(2025, 5, 13), D(2025, 5, 3)), "05月13日は今日から10日後です...");
    EXPECT_EQ(DaysFromTodayLabel(D(2025, 4, 30), D(2025, 5, 3)), "04月30日は今日から-3日後です...");
    EXPECT_EQ(StatusDateText(D(2025, 5, 3), "土"), "2025/05/03  (土)");
    EXPECT_EQ(WeeksOfChoice(WeeksChoiceIndex(12)), 12);
    EXPECT_EQ(WeeksChoiceIndex(4), 0);
}

TEST(TodaySchedules, SchedulesWithTimesAndOpenTodosWithDaysLeft) {
    const DateTime today = D(2025, 5, 3);
    CAlmxData holiday;
    holiday.title = "憲法記念日";
    holiday.Set(HolidayMark);
    CAlmxData meeting;
    meeting.title = "会議";
    meeting.start = today.WithTime(9, 5);
    meeting.end = today.WithTime(10, 0);
    meeting.Set(StartTimeSet);
    CAlmxData trip;  // began yesterday: no time today
    trip.title = "出張";
    trip.start = today.PlusDays(-1).WithTime(8, 0);
    trip.end = today.PlusDays(1);
    trip.Set(StartTimeSet);
    CAlmxData weekly = trip;  // recurring: its time every day
    weekly.title = "朝会";
    weekly.repeatType = RepeatWeeks;
    CAlmxData hidden = meeting;
    hidden.title = "非表示";
    hidden.Set(HideInViews);
    CAlmxData soon;
    soon.title = "報告書";
    soon.start = today.PlusDays(3);
    soon.Set(IsTodo);
    CAlmxData late = soon;
    late.title = "請求";
    late.start = today.PlusDays(-2);
    CAlmxData open = soon;
    open.title = "読書";
    open.Set(TodoNoDeadline);
    CAlmxData done = soon;
    done.title = "済み";
    done.Set(TodoDone);

    DayCell cell;
    cell.date = today;
    cell.entries = {&holiday, &meeting, &trip, &weekly, &hidden, &soon, &late, &open, &done};
    const TodaySchedules texts = TodaySchedulesOf(cell, 0);
    EXPECT_EQ(texts.schedules, "憲法記念日\n09:05 会議\n出張\n08:00 朝会\n");
    EXPECT_EQ(texts.todos, "報告書 あと3日\n請求 期限over\n読書\n");

    cell.entries = {&done, &hidden};
    EXPECT_TRUE(TodaySchedulesOf(cell, 0).Empty());
}

TEST(MonthDialogs, DateFieldsMustNameACalendarDay) {
    ScriptedPrompter prompter;
    DateFieldsForm form = DateFieldsForm::From(D(2008, 2, 10));
    EXPECT_EQ(form.Confirm(prompter), D(2008, 2, 10));
    form.day = 30;
    EXPECT_FALSE(form.Confirm(prompter).has_value());
    EXPECT_TRUE(prompter.Saw(kInvalidDateMessage));
    form = {1582, 12, 31};
    EXPECT_FALSE(form.Confirm(prompter).has_value());
    form = {9998, 12, 31};
    EXPECT_TRUE(form.Confirm(prompter).has_value());
}

}  // namespace
}  // namespace almx
