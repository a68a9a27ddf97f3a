#include "calendar/week_grid.h"

#include <gtest/gtest.h>

#include <array>

#include "calendar/month_grid.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

using Key = WeekNavigation::Key;

std::array<int, 4> Box(const CellRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}
using Outcome = WeekNavigation::Outcome;

TEST(WeekStartTest, EveryWeekdayGoesBackToItsMonday) {
    // 2025/05/05 is a Monday: the week runs to Sunday the 11th.
    for (int d = 5; d <= 11; ++d) EXPECT_EQ(WeekStart(D(2025, 5, d)), D(2025, 5, 5)) << d;
    EXPECT_EQ(WeekStart(D(2025, 5, 12)), D(2025, 5, 12));
    EXPECT_EQ(WeekStart(D(2025, 5, 4)), D(2025, 4, 28));
    // Across a year and at both ends of the calendar.
    EXPECT_EQ(WeekStart(D(2025, 1, 1)), D(2024, 12, 30));
    EXPECT_EQ(WeekStart(D(1583, 1, 1)), D(1582, 12, 27));
    EXPECT_EQ(WeekStart(D(9998, 12, 31)), D(9998, 12, 28));
    EXPECT_EQ(WeekStart(D(9998, 12, 31)).PlusDays(6), D(9999, 1, 3));
}

TEST(WeekDayLabelTest, MondayAndTheFirstCarryTheMonth) {
    EXPECT_EQ(WeekDayLabel(D(2025, 5, 5), 0, "月"), " 5/ 5 (月)");
    EXPECT_EQ(WeekDayLabel(D(2025, 5, 6), 1, "Tue."), " 6 (Tue.)");
    EXPECT_EQ(WeekDayLabel(D(2025, 7, 1), 1, "火"), " 7/ 1 (火)");
    EXPECT_EQ(WeekDayLabel(D(2025, 12, 14), 6, "日"), "14 (日)");
    EXPECT_EQ(WeekDayLabel(D(2025, 12, 15), 0, "Monday"), "12/15 (Monday)");
}

// Each key from each index of an ordinary week: the date reached and whether the week changed.
TEST(WeekNavigationTest, EveryKeyFromEveryIndex) {
    const DateTime monday = D(2025, 5, 5);
    struct Case {
        Key key;
        int from;
        int to;  // days from this week's Monday
    };
    const Case cases[] = {
        {Key::Down, 0, 1},  {Key::Down, 3, 4},  {Key::Down, 6, 7},  {Key::Up, 0, -1},
        {Key::Up, 4, 3},    {Key::Up, 6, 5},    {Key::Right, 0, 4}, {Key::Right, 1, 5},
        {Key::Right, 2, 6}, {Key::Right, 3, 6}, {Key::Right, 4, 7}, {Key::Right, 5, 8},
        {Key::Right, 6, 9}, {Key::Left, 0, -3}, {Key::Left, 1, -2}, {Key::Left, 2, -1},
        {Key::Left, 3, -1}, {Key::Left, 4, 0},  {Key::Left, 5, 1},  {Key::Left, 6, 2},
        {Key::Down, 5, 6},  {Key::Up, 1, 0},
    };
    for (const Case& c : cases) {
        WeekNavigation nav;
        ASSERT_TRUE(nav.Select(monday.PlusDays(c.from)));
        const auto move = nav.MoveKey(c.key);
        const DateTime want = monday.PlusDays(c.to);
        SCOPED_TRACE(testing::Message() << "key " << static_cast<int>(c.key) << " from " << c.from);
        EXPECT_EQ(nav.Selected(), want);
        EXPECT_EQ(nav.Start(), WeekStart(want));
        EXPECT_EQ(move.outcome, c.to >= 0 && c.to < 7 ? Outcome::InsideWeek : Outcome::NewWeek);
        EXPECT_EQ(move.oldIndex, c.from);
        EXPECT_EQ(move.newIndex, nav.Index());
    }
}

TEST(WeekNavigationTest, ThursdayNeverReachesCellsSevenOrMinusOne) {
    WeekNavigation nav;
    nav.Select(D(2025, 5, 8));  // Thursday
    nav.MoveKey(Key::Right);
    EXPECT_EQ(nav.Selected(), D(2025, 5, 11));
    EXPECT_EQ(nav.Index(), 6);
    nav.Select(D(2025, 5, 8));
    nav.MoveKey(Key::Left);
    EXPECT_EQ(nav.Selected(), D(2025, 5, 4));
    EXPECT_EQ(nav.Index(), 6);
}

TEST(WeekNavigationTest, KeysStopAtTheCalendarsEnds) {
    WeekNavigation nav;
    // The last week ends on 9999/01/03; its Thursday 9998/12/31 is the last day.
    ASSERT_TRUE(nav.Select(D(9998, 12, 31)));
    EXPECT_EQ(nav.Index(), 3);
    EXPECT_FALSE(nav.CellUsable(4));
    for (Key key : {Key::Down, Key::Right}) {
        EXPECT_EQ(nav.MoveKey(key).outcome, Outcome::Refused);
        EXPECT_EQ(nav.Selected(), D(9998, 12, 31));
    }
    nav.Select(D(9998, 12, 28));
    EXPECT_EQ(nav.MoveKey(Key::Right).outcome, Outcome::Refused);  // would be 9999/01/01
    EXPECT_EQ(nav.MoveDays(7).outcome, Outcome::Refused);
    EXPECT_EQ(nav.SelectCell(5).outcome, Outcome::Refused);
    EXPECT_EQ(nav.Selected(), D(9998, 12, 28));

    // The first week starts on 1582/12/27; 1583/01/01 is its Saturday.
    ASSERT_TRUE(nav.Select(D(1583, 1, 1)));
    EXPECT_EQ(nav.Index(), 5);
    EXPECT_FALSE(nav.CellUsable(4));
    EXPECT_EQ(nav.MoveKey(Key::Up).outcome, Outcome::Refused);
    EXPECT_EQ(nav.MoveKey(Key::Left).outcome, Outcome::Refused);
    EXPECT_EQ(nav.Selected(), D(1583, 1, 1));
    EXPECT_EQ(nav.MoveKey(Key::Down).outcome, Outcome::InsideWeek);
    EXPECT_FALSE(nav.Select(D(1582, 12, 31)));
    EXPECT_FALSE(nav.Select(D(9999, 1, 1)));
}

TEST(WeekNavigationTest, MonthAndYearMovesKeepTheDayOrCapIt) {
    WeekNavigation nav;
    nav.Select(D(2025, 1, 31));
    EXPECT_EQ(nav.MoveMonths(1).outcome, Outcome::NewWeek);
    EXPECT_EQ(nav.Selected(), D(2025, 2, 28));
    EXPECT_EQ(nav.Start(), D(2025, 2, 24));
    nav.Select(D(2024, 3, 31));
    nav.MoveMonths(-1);
    EXPECT_EQ(nav.Selected(), D(2024, 2, 29));
    nav.MoveMonths(12);
    EXPECT_EQ(nav.Selected(), D(2025, 2, 28));
    nav.Select(D(2025, 8, 31));
    nav.MoveMonths(-12);
    EXPECT_EQ(nav.Selected(), D(2024, 8, 31));

    nav.Select(D(9998, 12, 31));
    EXPECT_EQ(nav.MoveMonths(1).outcome, Outcome::Refused);
    EXPECT_EQ(nav.MoveMonths(12).outcome, Outcome::Refused);
    nav.Select(D(9998, 1, 31));
    EXPECT_EQ(nav.MoveMonths(12).outcome, Outcome::Refused);
    EXPECT_EQ(nav.MoveMonths(11).outcome, Outcome::NewWeek);
    EXPECT_EQ(nav.Selected(), D(9998, 12, 31));
    nav.Select(D(1583, 1, 31));
    EXPECT_EQ(nav.MoveMonths(-1).outcome, Outcome::Refused);
    EXPECT_EQ(nav.Selected(), D(1583, 1, 31));
}

TEST(WeekLayoutTest, CellsFillTwoColumnsAndTheButtonsNeverOverlap) {
    const WeekLayout l = LayOutWeek(1000, 760);
    EXPECT_EQ(Box(l.cells[0]), (std::array<int, 4>{0, 0, 500, 190}));
    EXPECT_EQ(Box(l.cells[3]), (std::array<int, 4>{0, 570, 500, 760}));
    EXPECT_EQ(Box(l.cells[4]), (std::array<int, 4>{500, 0, 1000, 190}));
    EXPECT_EQ(Box(l.cells[6]), (std::array<int, 4>{500, 380, 1000, 570}));
    EXPECT_EQ(l.calendar, (WeekRect{501, 571, 751, 760}));
    EXPECT_EQ(l.caption, (WeekRect{750, 571, 1000, 666}));
    // g = 250 * 3 / 10 = 75; f = 760 - 190 * 3 / 8 = 689.
    EXPECT_EQ(l.previous, (WeekRect{775, 689, 850, 736}));
    EXPECT_EQ(l.next, (WeekRect{900, 689, 975, 736}));
    for (int w : {100, 333, 640, 1000, 1921}) {
        for (int h : {80, 401, 760}) {
            const WeekLayout k = LayOutWeek(w, h);
            EXPECT_FALSE(k.previous.Overlaps(k.next)) << w << "x" << h;
            EXPECT_LE(k.next.right, k.cells[6].right);
            EXPECT_GE(k.previous.left, k.calendar.right - 1);
        }
    }
}

}  // namespace
}  // namespace almx
