#include "base/date_time.h"

#include <gtest/gtest.h>

#include "base/clock.h"

namespace almx {
namespace {

std::string Show(const std::optional<DateTime>& value) {
    if (!value) return "fail";
    return FormatDate(*value) + " " + FormatTime(*value) + ":" + std::to_string(value->Second());
}

TEST(ParseDate, TwoDigitYearsAndTheValidRange) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"08/1/5", "2008/01/05 00:00:0"},
        {"70/1/1", "1970/01/01 00:00:0"},
        {"38/12/31", "2038/12/31 00:00:0"},
        {"39/1/1", "fail"},
        {"50/1/1", "fail"},
        {"69/12/31", "fail"},
        {"1582/12/31", "fail"},
        {"1583/01/01", "1583/01/01 00:00:0"},
        {"9998/12/31", "9998/12/31 00:00:0"},
        {"9999/1/1", "fail"},
        {"2008/2/30", "fail"},
        {"2000/2/29", "2000/02/29 00:00:0"},
        {"1900/2/29", "fail"},
        {"2008/13/1", "fail"},
        {"2008/1/0", "fail"},
        {"2008/1/5xyz", "2008/01/05 00:00:0"},
        {"2008-01-05", "fail"},
        {"2008/1", "fail"},
        {"", "fail"},
        {"/1/5", "2000/01/05 00:00:0"},
        {"99999999999/1/1", "fail"},
        {"-5/1/1", "fail"},
    };
    for (const Case& c : cases) EXPECT_EQ(Show(ParseDate(c.text)), c.expected) << c.text;
}

TEST(ParseTime, TheThreeTimeForms) {
    struct Case {
        const char* time;
        const char* expected;
    } cases[] = {
        {"9", "2008/01/05 09:00:0"},
        {"09", "2008/01/05 09:00:0"},
        {"0930", "2008/01/05 09:30:0"},
        {"9:5", "2008/01/05 09:05:0"},
        {"9:05:30", "2008/01/05 09:05:30"},
        {"23:59", "2008/01/05 23:59:0"},
        {"24:00", "fail"},
        {"12:60", "fail"},
        {"24", "fail"},
        {"2400", "fail"},
        {"930", "fail"},
        {"", "fail"},
        {"1:2:60", "fail"},
        {"-1:00", "fail"},
        {"12:", "2008/01/05 12:00:0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(ParseTime("2008/1/5", c.time)), c.expected) << c.time;
    EXPECT_FALSE(ParseTime("2008/2/30", "10:00"));
}

TEST(ParseHourMinute, NeedsAColonAndARealTime) {
    EXPECT_EQ(ParseHourMinute("7:45")->hour, 7);
    EXPECT_EQ(ParseHourMinute("7:45")->minute, 45);
    EXPECT_FALSE(ParseHourMinute("745"));
    EXPECT_FALSE(ParseHourMinute("24:00"));
    EXPECT_FALSE(ParseHourMinute("10:60"));
}

TEST(DateTime, CalendarPartsAcrossTheWholeRange) {
    // Day numbers known from the epoch.
    EXPECT_EQ(DateTime::FromDate(1899, 12, 30).Days(), 0.0);
    EXPECT_EQ(DateTime::FromDate(1900, 1, 1).Days(), 2.0);
    EXPECT_EQ(DateTime::FromDate(2008, 1, 5).Days(), 39452.0);
    EXPECT_EQ(DateTime::FromDate(1583, 1, 1).DayOfWeek(), 6);  // a Saturday
    EXPECT_EQ(DateTime::FromDate(2008, 1, 5).DayOfWeek(), 6);
    EXPECT_EQ(DateTime::FromDate(9998, 12, 31).DayOfWeek(), 4);
    // Every day from one end of the range to the other comes back as itself.
    long previous = DateTime::FromDate(1583, 1, 1).DayNumber() - 1;
    for (int year = kMinYear; year <= kMaxYear; year += year < 1700 || year > 9900 ? 1 : 37) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                DateTime value = DateTime::FromParts(year, month, day, 23, 59, 59);
                ASSERT_EQ(value.Year(), year);
                ASSERT_EQ(value.Month(), month);
                ASSERT_EQ(value.Day(), day);
                ASSERT_EQ(value.Hour(), 23);
                ASSERT_EQ(value.Minute(), 59);
                ASSERT_EQ(value.Second(), 59);
                ASSERT_GT(value.DayNumber(), previous);
                previous = value.DayNumber();
            }
        }
    }
    EXPECT_FALSE(DateTime::FromDate(2007, 2, 29).IsValid());
    EXPECT_FALSE(DateTime::FromParts(2007, 2, 1, 24, 0).IsValid());
    EXPECT_EQ(FormatDate(DateTime::FromDate(1899, 12, 29).WithTime(6, 0)), "1899/12/29");
}

TEST(DateTime, MonthLengths) {
    EXPECT_EQ(DaysInMonth(2008, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2009, 4), 30);
    EXPECT_EQ(DaysInMonth(2009, 12), 31);
    EXPECT_FALSE(IsValidDate(2009, 4, 31));
}

TEST(DateTime, SpansAndWholeDays) {
    DateTime a = DateTime::FromParts(2008, 1, 5, 10, 0);
    DateTime b = DateTime::FromParts(2008, 1, 7, 9, 59);
    EXPECT_EQ(WholeDays(a, b), 1);
    EXPECT_EQ(WholeDays(b, a), -1);
    EXPECT_EQ(DateDifference(a, b), 2);
    EXPECT_EQ(WholeDays(a.Date(), a.Date().WithTime(23, 59, 59)), 0);
    EXPECT_EQ(FormatTime(a.PlusMinutes(-601)), "23:59");
}

TEST(LogicalDate, HoursBeforeTheDayChangeBelongToThePreviousDay) {
    DateTime before = DateTime::FromParts(2008, 1, 5, 3, 59);
    DateTime after = DateTime::FromParts(2008, 1, 5, 4, 0);
    EXPECT_EQ(FormatDate(LogicalDate(before, 4)), "2008/01/04");
    EXPECT_EQ(FormatDate(LogicalDate(after, 4)), "2008/01/05");
    EXPECT_EQ(LogicalDate(before, 4).SecondsOfDay(), 0);
    EXPECT_EQ(FormatDate(LogicalDate(before, 0)), "2008/01/05");
    EXPECT_EQ(FormatDate(LogicalDate(DateTime::FromDate(2008, 3, 1), 3, 4)), "2008/02/29");
    EXPECT_EQ(FormatDate(LogicalDate(DateTime::FromDate(2008, 3, 1), 4, 4)), "2008/03/01");
}

TEST(DateTime, ReplacingPartsAndStepping) {
    DateTime leap = DateTime::FromParts(2008, 2, 29, 10, 30, 15);
    EXPECT_FALSE(ReplaceYear(leap, 2009).IsValid());
    EXPECT_EQ(Show(ReplaceYear(leap, 2012)), "2012/02/29 10:30:0");
    EXPECT_EQ(Show(ReplaceDateParts(leap, 0, 3, 0)), "2008/03/29 10:30:15");
    EXPECT_EQ(FormatDate(AddMonths(DateTime::FromDate(2008, 1, 31), 1)), "2008/02/29");
    EXPECT_EQ(FormatDate(AddMonths(DateTime::FromDate(2008, 1, 31), -2)), "2007/11/30");
    EXPECT_EQ(FormatDate(AddYears(leap, 1)), "2009/02/28");
    // Wednesday 2008/01/02 forward to Friday and to Wednesday itself.
    EXPECT_EQ(FormatDate(AlignForwardToWeekday(DateTime::FromDate(2008, 1, 2), 5)), "2008/01/04");
    EXPECT_EQ(FormatDate(AlignForwardToWeekday(DateTime::FromDate(2008, 1, 2), 3)), "2008/01/02");
    EXPECT_EQ(FormatDate(AlignForwardToWeekday(DateTime::FromDate(2008, 1, 2), 0)), "2008/01/06");
}

TEST(Clock, TodayFollowsTheInjectedClockAndTheDayChangeHour) {
    ManualClock clock(DateTime::FromParts(2008, 1, 5, 2, 0));
    EXPECT_EQ(FormatDate(Today(clock, 0)), "2008/01/05");
    EXPECT_EQ(FormatDate(Today(clock, 3)), "2008/01/04");
    clock.AdvanceSeconds(3600);
    EXPECT_EQ(FormatDate(Today(clock, 3)), "2008/01/05");
    // The system clock is read as Japan time whatever the machine's zone: 9 hours ahead of UTC.
    DateTime now = SystemClock().Now();
    EXPECT_TRUE(now.IsValid());
    EXPECT_GT(now.Year(), 2000);
}

}  // namespace
}  // namespace almx
