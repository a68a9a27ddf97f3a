#include "calendar/calendar_grid.h"

#include <gtest/gtest.h>

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

TEST(CalendarGridStart, EveryFirstWeekdayKeepsTheFirstInTheFirstRow) {
    // Every month of 2024..2026 with every first weekday: the grid starts on the column's
    // weekday, at most six days before the 1st and never after it.
    for (int first = 0; first < 7; ++first) {
        for (int year = 2024; year <= 2026; ++year) {
            for (int month = 1; month <= 12; ++month) {
                const DateTime start = CalendarGridStart(year, month, first);
                const long before = D(year, month, 1).DayNumber() - start.DayNumber();
                EXPECT_EQ(start.DayOfWeek(), CalendarColumnWeekday(first))
                    << first << " " << year << "/" << month;
                EXPECT_GE(before, 0) << first << " " << year << "/" << month;
                EXPECT_LE(before, 6) << first << " " << year << "/" << month;
            }
        }
    }
}

TEST(CalendarGridStart, KnownMonths) {
    // 2025/06/01 is a Sunday: Monday start goes back six days, Sunday start begins on it.
    EXPECT_EQ(CalendarGridStart(2025, 6, 0), D(2025, 5, 26));
    EXPECT_EQ(CalendarGridStart(2025, 6, 6), D(2025, 6, 1));
    // Tuesday..Saturday starts for June 2025 (1st Sunday): the weekday before the 1st.
    EXPECT_EQ(CalendarGridStart(2025, 6, 1), D(2025, 5, 27));
    EXPECT_EQ(CalendarGridStart(2025, 6, 2), D(2025, 5, 28));
    EXPECT_EQ(CalendarGridStart(2025, 6, 3), D(2025, 5, 29));
    EXPECT_EQ(CalendarGridStart(2025, 6, 4), D(2025, 5, 30));
    EXPECT_EQ(CalendarGridStart(2025, 6, 5), D(2025, 5, 31));
    // A 1st on the first column's weekday starts the grid on the 1st (2025/09/01 Monday).
    EXPECT_EQ(CalendarGridStart(2025, 9, 0), D(2025, 9, 1));
    // Both ends of the calendar: the grid shows a few days outside it.
    EXPECT_EQ(CalendarGridStart(1583, 1, 6), D(1582, 12, 26));
    EXPECT_EQ(CalendarGridStart(9998, 12, 0), D(9998, 11, 30));
}

TEST(CalendarGridRows, FiveRowsHideTheSixthWeek) {
    CalendarGrid grid;
    grid.SetFirstWeekday(0);
    ASSERT_EQ(grid.Select(D(2025, 6, 30)), CalendarGrid::Change::NewMonth);
    grid.SetRows(5);
    EXPECT_EQ(grid.CellCount(), 35);
    EXPECT_EQ(grid.CellOf(D(2025, 6, 29)), 34);
    EXPECT_EQ(grid.CellOf(D(2025, 6, 30)), -1);
    EXPECT_FALSE(grid.CellUsable(35));
    grid.SetRows(6);
    EXPECT_EQ(grid.CellOf(D(2025, 6, 30)), 35);
    EXPECT_TRUE(grid.CellUsable(35));
    EXPECT_EQ(grid.CellDate(41), D(2025, 7, 6));
    grid.SetRows(9);
    EXPECT_EQ(grid.Rows(), 6);
}

TEST(CalendarGridRows, DaysBeyondTheCalendarAreNotUsable) {
    CalendarGrid grid;
    grid.SetFirstWeekday(6);
    ASSERT_NE(grid.Select(D(1583, 1, 1)), CalendarGrid::Change::Refused);
    EXPECT_FALSE(grid.CellUsable(0));  // 1582/12/26
    EXPECT_TRUE(grid.CellUsable(grid.CellOf(D(1583, 1, 1))));
    ASSERT_NE(grid.Select(D(9998, 12, 31)), CalendarGrid::Change::Refused);
    EXPECT_TRUE(grid.CellUsable(grid.CellOf(D(9998, 12, 31))));
    EXPECT_FALSE(grid.CellUsable(grid.CellOf(D(9998, 12, 31)) + 1));
}

TEST(CalendarKeys, DaysWeeksMonthsAndYears) {
    const DateTime from = D(2024, 1, 31);
    EXPECT_EQ(CalendarKeyTarget(from, CalendarKey::Left, false), D(2024, 1, 30));
    EXPECT_EQ(CalendarKeyTarget(from, CalendarKey::Right, false), D(2024, 2, 1));
    EXPECT_EQ(CalendarKeyTarget(from, CalendarKey::Up, false), D(2024, 1, 24));
    EXPECT_EQ(CalendarKeyTarget(from, CalendarKey::Down, false), D(2024, 2, 7));
    EXPECT_EQ(CalendarKeyTarget(from, CalendarKey::PageDown, false), D(2024, 2, 29));
    EXPECT_EQ(CalendarKeyTarget(D(2025, 1, 31), CalendarKey::PageDown, false), D(2025, 2, 28));
    EXPECT_EQ(CalendarKeyTarget(from, CalendarKey::PageUp, false), D(2023, 12, 31));
    EXPECT_EQ(CalendarKeyTarget(D(2024, 2, 29), CalendarKey::PageDown, true), D(2025, 2, 28));
    EXPECT_EQ(CalendarKeyTarget(D(2024, 2, 29), CalendarKey::PageUp, true), D(2023, 2, 28));
}

TEST(CalendarKeys, NeverLeaveTheCalendar) {
    const DateTime first = D(1583, 1, 1);
    const DateTime last = D(9998, 12, 31);
    EXPECT_EQ(CalendarKeyTarget(first, CalendarKey::Left, false), first);
    EXPECT_EQ(CalendarKeyTarget(first, CalendarKey::Up, false), first);
    EXPECT_EQ(CalendarKeyTarget(D(1583, 1, 5), CalendarKey::Up, false), first);
    EXPECT_EQ(CalendarKeyTarget(D(1583, 1, 20), CalendarKey::PageUp, false), first);
    EXPECT_EQ(CalendarKeyTarget(D(1583, 11, 20), CalendarKey::PageUp, true), first);
    EXPECT_EQ(CalendarKeyTarget(D(1584, 2, 29), CalendarKey::PageUp, true), D(1583, 2, 28));
    EXPECT_EQ(CalendarKeyTarget(last, CalendarKey::Right, false), last);
    EXPECT_EQ(CalendarKeyTarget(last, CalendarKey::Down, false), last);
    EXPECT_EQ(CalendarKeyTarget(D(9998, 12, 28), CalendarKey::Down, false), last);
    EXPECT_EQ(CalendarKeyTarget(D(9998, 12, 2), CalendarKey::PageDown, false), last);
    EXPECT_EQ(CalendarKeyTarget(D(9998, 2, 2), CalendarKey::PageDown, true), last);
    EXPECT_EQ(CalendarKeyTarget(D(9997, 12, 31), CalendarKey::PageDown, true), last);
}

TEST(CalendarGridSelect, MonthChangeClearsTheDayFlags) {
    CalendarGrid grid;
    ASSERT_EQ(grid.Select(D(2025, 5, 10)), CalendarGrid::Change::NewMonth);
    grid.SetBold(10, true);
    grid.SetHoliday(31, true);
    EXPECT_EQ(grid.Select(D(2025, 5, 31)), CalendarGrid::Change::SameMonth);
    EXPECT_TRUE(grid.Bold(10));
    EXPECT_TRUE(grid.Holiday(31));
    EXPECT_EQ(grid.MoveMonths(1), CalendarGrid::Change::NewMonth);
    EXPECT_EQ(grid.Selected(), D(2025, 6, 30));
    EXPECT_FALSE(grid.Bold(10));
    EXPECT_FALSE(grid.Holiday(31));
    // Out-of-range days and flags are ignored rather than written past the table.
    grid.SetBold(32, true);
    grid.SetBold(0, true);
    EXPECT_FALSE(grid.Bold(32));
    EXPECT_FALSE(grid.Bold(0));
}

TEST(CalendarGridSelect, OwnerCannotSelectOutsideTheCalendar) {
    CalendarGrid grid;
    ASSERT_EQ(grid.Select(D(2025, 5, 10)), CalendarGrid::Change::NewMonth);
    EXPECT_EQ(grid.Select(D(1582, 12, 31)), CalendarGrid::Change::Refused);
    EXPECT_EQ(grid.Select(D(9999, 1, 1)), CalendarGrid::Change::Refused);
    EXPECT_EQ(grid.Select(DateTime::Invalid()), CalendarGrid::Change::Refused);
    EXPECT_EQ(grid.Selected(), D(2025, 5, 10));
    ASSERT_NE(grid.Select(D(9998, 12, 31)), CalendarGrid::Change::Refused);
    EXPECT_EQ(grid.MoveMonths(1), CalendarGrid::Change::Refused);
    EXPECT_EQ(grid.MoveMonths(12), CalendarGrid::Change::Refused);
    EXPECT_EQ(grid.Selected(), D(9998, 12, 31));
    ASSERT_NE(grid.Select(D(1583, 11, 30)), CalendarGrid::Change::Refused);
    EXPECT_EQ(grid.MoveMonths(-12), CalendarGrid::Change::Refused);
    EXPECT_EQ(grid.MoveMonths(-10), CalendarGrid::Change::NewMonth);
    EXPECT_EQ(grid.Selected(), D(1583, 1, 30));
}

TEST(CalendarGridSelect, HolidayMarkingSetsTheMonthsHolidays) {
    CalendarGrid grid;
    ASSERT_NE(grid.Select(D(2025, 5, 1)), CalendarGrid::Change::Refused);
    grid.MarkHolidays();
    for (int day : {3, 4, 5, 6}) EXPECT_TRUE(grid.Holiday(day)) << day;
    EXPECT_FALSE(grid.Holiday(7));
    EXPECT_FALSE(grid.Holiday(11));  // a Sunday is no holiday flag
}

CalendarLayout::Metrics Metrics(int captionHeight, int rows) {
    CalendarLayout::Metrics m;
    m.width = 140;
    m.height = captionHeight + 120;
    m.captionHeight = captionHeight;
    m.rows = rows;
    m.boxWidth = 10;
    m.boxHeight = 8;
    return m;
}

TEST(CalendarLayoutTest, HitTestOnTheFiftyFiveBoxes) {
    const CalendarLayout layout(Metrics(0, 5));
    // Row 0 column 0: box x 1..16, y 19..32.
    EXPECT_EQ(layout.HitCell(1, 19), 0);
    EXPECT_EQ(layout.HitCell(16, 32), 0);
    EXPECT_EQ(layout.HitCell(17, 25), -1);  // between the boxes
    EXPECT_EQ(layout.HitCell(5, 10), -1);   // the header
    EXPECT_EQ(layout.HitCell(0, 25), -1);
    // Row 4 column 6, the last cell of five rows.
    EXPECT_EQ(layout.HitCell(6 * 20 + 3, 5 * 20 + 1), 34);
    // No sixth row with five rows: the band below the last is empty.
    EXPECT_EQ(layout.HitCell(3, 6 * 20 + 1), -1);
    const CalendarLayout six(Metrics(0, 6));
    EXPECT_EQ(six.HitCell(3, 6 * six.BandHeight() + 1), 35);
    // The caption band moves the rows down.
    const CalendarLayout captioned(Metrics(30, 5));
    EXPECT_EQ(captioned.HitCell(3, 21), -1);
    EXPECT_EQ(captioned.HitCell(3, 51), 0);
    // A window too small for any band hits nothing.
    EXPECT_EQ(CalendarLayout(CalendarLayout::Metrics{}).HitCell(0, 0), -1);
}

}  // namespace
}  // namespace almx
