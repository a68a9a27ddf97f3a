#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "calendar/recurrence.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

using testing::Day;
using testing::MakeRecord;
using testing::RuleFields;

std::string Text(const DateTime& value) {
    return value.IsValid() ? FormatDate(value) : "none";
}

struct StepCase {
    const char* name;
    RuleFields rule;
    const char* day;
    const char* first;  // FirstOccurrence(day)
    const char* next;   // NextOccurrence(first)
};

// kind, start, end, interval, first, last, position, months
// clang-format off
const StepCase kSteps[] = {
    {"days before the start", {1, "2008/01/30", "2008/12/31", 3}, "2008/01/01", "2008/01/30", "2008/02/02"},
    {"days from inside", {1, "2008/01/30", "2008/12/31", 3}, "2008/02/01", "2008/02/02", "2008/02/05"},
    {"days on an occurrence", {1, "2008/01/30", "2008/12/31", 3}, "2008/02/02", "2008/02/02", "2008/02/05"},
    {"days jump across the calendar", {1, "1583/01/01", "9998/12/31", 1}, "9998/12/31", "9998/12/31", "none"},
    {"weeks", {2, "2008/01/02", "2008/12/31", 2}, "2008/01/03", "2008/01/16", "2008/01/30"},
    {"months in a later cycle", {3, "2008/01/15", "2009/12/31", 3, 15, 15}, "2008/02/20", "2008/04/15", "2008/07/15"},
    {"months reached from before the start", {3, "2008/01/15", "2009/12/31", 3, 15, 15}, "2007/11/01", "2008/01/15", "2008/04/15"},
    {"months in the same cycle month", {3, "2008/01/15", "2009/12/31", 3, 15, 15}, "2008/01/20", "2008/01/15", "2008/04/15"},
    {"monthly 31st skips short months", {3, "2008/01/31", "2009/12/31", 1, 31, 31}, "2008/04/10", "2008/05/31", "2008/07/31"},
    {"every 2 months keeps its cycle months", {3, "2008/01/31", "2009/12/31", 2, 31, 31}, "2008/09/01", "2009/01/31", "2009/03/31"},
    {"every 2 months from a 31st", {3, "2008/01/31", "2009/12/31", 2, 31, 31}, "2008/07/31", "2008/07/31", "2009/01/31"},
    {"last day of the month", {3, "2008/01/31", "2009/12/31", 1, -1, -1}, "2008/01/31", "2008/01/31", "2008/02/29"},
    {"impossible day", {3, "2008/01/31", "2009/12/31", 1, 0, 0}, "2008/01/31", "none", "none"},
    {"yearly February 29", {4, "2008/02/29", "2020/12/31", 1, 29, 29}, "2009/01/01", "2012/02/29", "2016/02/29"},
    {"yearly from February 29", {4, "2008/02/29", "2020/12/31", 1, 29, 29}, "2008/02/29", "2008/02/29", "2012/02/29"},
    {"yearly last day of February", {4, "2008/02/01", "2020/12/31", 1, -1, -1}, "2011/02/28", "2011/02/28", "2012/02/29"},
    {"every 2 years", {4, "2008/06/15", "2020/12/31", 2, 15, 15}, "2009/03/01", "2010/06/15", "2012/06/15"},
    {"chosen months 31st", {5, "2008/01/31", "2009/12/31", 3, 31, 31}, "2008/04/05", "2008/05/31", "2008/07/31"},
    {"chosen months last day", {5, "2008/01/31", "2009/12/31", 1, -1, -1}, "2008/02/10", "2008/02/29", "2008/03/31"},
    {"unknown kind", {8, "2008/01/20", "2009/12/31"}, "2008/03/05", "2008/03/20", "none"},
};
// clang-format on

TEST(RecurrenceSteps, FirstAndNextOccurrence) {
    for (const StepCase& c : kSteps) {
        SCOPED_TRACE(c.name);
        const CAlmxData record = MakeRecord(c.rule);
        const DateTime first = FirstOccurrence(record, Day(c.day));
        EXPECT_EQ(Text(first), c.first);
        EXPECT_EQ(Text(NextOccurrence(record, first)), c.next);
    }
}

TEST(RecurrenceSteps, NthWeekday) {
    // February 2008 has five Fridays, March 2008 four.
    EXPECT_EQ(Text(NthWeekday(Day("2008/02/17"), 0, 5)), "2008/02/01");
    EXPECT_EQ(Text(NthWeekday(Day("2008/02/17"), 0, 4)), "2008/02/07");
    EXPECT_EQ(Text(NthWeekday(Day("2008/02/17"), 3, 5)), "2008/02/22");
    EXPECT_EQ(Text(NthWeekday(Day("2008/02/17"), 4, 5)), "2008/02/29");
    EXPECT_EQ(Text(NthWeekday(Day("2008/03/01"), 4, 5)), "2008/03/28");
    EXPECT_EQ(Text(NthWeekday(Day("2008/03/01"), 4, 6)), "2008/03/29");
    EXPECT_EQ(Text(NthWeekday(Day("2008/03/01"), 5, 6)), "none");
    EXPECT_EQ(Text(NthWeekday(Day("2008/03/01"), 0, 7)), "none");
}

TEST(RecurrenceSteps, IntervalMatch) {
    const CAlmxData quarterly = MakeRecord({3, "2008/01/15", "2009/12/31", 3, 15, 15});
    EXPECT_TRUE(IntervalMatch(quarterly, Day("2008/04/30")));
    EXPECT_FALSE(IntervalMatch(quarterly, Day("2008/02/01")));
    EXPECT_TRUE(IntervalMatch(quarterly, Day("2007/10/01")));
    EXPECT_FALSE(IntervalMatch(quarterly, Day("2007/12/01")));
    const CAlmxData biennial = MakeRecord({4, "2008/06/15", "2019/12/31", 2, 15, 15});
    EXPECT_TRUE(IntervalMatch(biennial, Day("2010/01/01")));
    EXPECT_FALSE(IntervalMatch(biennial, Day("2009/06/15")));
    EXPECT_TRUE(IntervalMatch(MakeRecord({1, "2008/01/01", "2008/12/31", 5}), Day("2008/01/02")));
    EXPECT_TRUE(IntervalMatch(MakeRecord({3, "2008/01/01", "2008/12/31", 0}), Day("2008/02/02")));
}

struct TextCase {
    RuleFields rule;
    const char* expected;
};

const TextCase kTexts[] = {
    {{0, "2008/01/02", "2008/01/02"}, ""},
    {{1, "2008/01/02", "2008/12/31", 1}, "毎日"},
    {{1, "2008/01/02", "2008/12/31", 3}, "3日毎"},
    {{1, "2008/01/02", "2008/12/31", 0}, "毎日"},
    {{2, "2008/01/02", "2008/12/31", 1}, "毎週水曜日"},
    {{2, "2008/01/02", "2008/12/31", 2}, "隔週水曜日"},
    {{2, "2008/01/02", "2008/12/31", 3}, "3週毎水曜日"},
    {{3, "2008/01/15", "2008/12/31", 1, 15, 15}, "毎月15日"},
    {{3, "2008/01/15", "2008/12/31", 2, 15, 15}, "2月毎15日"},
    {{3, "2008/01/15", "2008/12/31", 1, 1, 1, "5F"}, "毎月第5金曜日"},
    {{3, "2008/01/15", "2008/12/31", 1, 1, 1, "13MF"}, "毎月第3金曜日"},
    // A rule by day names its own days, not the start's.
    {{3, "2008/01/15", "2008/12/31", 1, 20, 20}, "毎月20日"},
    {{3, "2008/01/15", "2008/12/31", 1, 10, 12}, "毎月10日～12日"},
    {{3, "2008/01/15", "2008/12/31", 1, -1, -1}, "毎月月末"},
    {{4, "2008/01/15", "2012/12/31", 2, 25, -1}, "2年毎1月25日～月末"},
    {{4, "2008/01/15", "2012/12/31", 1, 15, 15}, "毎年1月15日"},
    {{4, "2008/01/15", "2012/12/31", 3, 15, 15}, "3年毎1月15日"},
    {{4, "2008/01/15", "2012/12/31", 1, 1, 1, "2M", "A"}, "毎年10月第2月曜日"},
    {{5, "2008/01/15", "2008/12/31", 1, 10, 10, "0", "13"}, "1月 3月 10日"},
    {{5, "2008/01/15", "2008/12/31", 1, 10, 12, "0", "13"}, "1月 3月 10日～12日"},
    {{5, "2008/01/15", "2008/12/31", 1, -1, -1, "0", "C"}, "12月 月末"},
    {{5, "2008/01/15", "2008/12/31", 1, 1, 1, "15MF", "4"}, "4月 第1週 最終週月曜 金曜 "},
};

TEST(RepeatText, EveryKind) {
    for (const TextCase& c : kTexts) {
        EXPECT_EQ(RepeatText(MakeRecord(c.rule)), c.expected);
    }
}

TEST(MoveToDate, SingleAndDayStepsKeepTheirLength) {
    CAlmxData timed = MakeRecord({0, "2008/01/10 10:00", "2008/01/12 11:30"});
    MoveToDate(timed, Day("2008/02/28"));
    EXPECT_EQ(FormatDate(timed.start) + " " + FormatTime(timed.start), "2008/02/28 10:00");
    EXPECT_EQ(FormatDate(timed.end) + " " + FormatTime(timed.end), "2008/03/01 11:30");

    CAlmxData untimedEnd = MakeRecord({2, "2008/01/10 10:00", "2008/01/12"});
    MoveToDate(untimedEnd, Day("2008/02/01"));
    EXPECT_EQ(FormatDate(untimedEnd.end), "2008/02/03");

    CAlmxData openEnded = MakeRecord({1, "2008/01/10", "9998/12/31"});
    MoveToDate(openEnded, Day("2007/05/05"));
    EXPECT_EQ(FormatDate(openEnded.start), "2007/05/05");
    EXPECT_EQ(FormatDate(openEnded.end), "9998/12/31");

    const CAlmxData before = timed;
    MoveToDate(timed, DateTime::Invalid());
    EXPECT_EQ(timed, before);
}

TEST(MoveToDate, PositionRules) {
    CAlmxData chosen = MakeRecord({5, "2008/01/10 09:00", "2008/12/31 10:00", 1, 1, 1, "1M"});
    MoveToDate(chosen, Day("2008/03/03"));
    EXPECT_EQ(chosen.repeatType, RepeatNone);
    EXPECT_EQ(chosen.positionMode, 0);
    EXPECT_EQ(FormatDate(chosen.start) + " " + FormatTime(chosen.start), "2008/03/03 09:00");
    EXPECT_EQ(FormatDate(chosen.end) + " " + FormatTime(chosen.end), "2008/03/03 10:00");

    CAlmxData monthly = MakeRecord({3, "2008/01/10", "2008/12/31", 1, 1, 1, "1M"});
    MoveToDate(monthly, Day("2008/02/29"));  // the fifth Friday: the last week
    EXPECT_EQ(RepeatText(monthly), "毎月第5金曜日");
    EXPECT_EQ(monthly.validWeeks, (std::array<std::uint8_t, 5>{0, 0, 0, 0, 1}));
    EXPECT_EQ(monthly.validWeekdays, (std::array<std::uint8_t, 7>{0, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(FormatDate(monthly.start), "2008/01/10");
}

TEST(MoveToDate, DayRules) {
    CAlmxData span = MakeRecord({3, "2008/01/10", "2008/12/31", 1, 10, 12});
    MoveToDate(span, Day("2008/02/28"));
    EXPECT_EQ(span.repeatFirstDay, 28);
    EXPECT_EQ(span.repeatLastDay, 29);  // capped at February's length

    CAlmxData toMonthEnd = MakeRecord({3, "2008/01/05", "2008/12/31", 1, 5, -1});
    MoveToDate(toMonthEnd, Day("2008/04/10"));
    EXPECT_EQ(toMonthEnd.repeatFirstDay, 10);
    EXPECT_EQ(toMonthEnd.repeatLastDay, -1);

    CAlmxData monthEnd = MakeRecord({5, "2008/01/31", "2008/12/31", 1, -1, -1});
    MoveToDate(monthEnd, Day("2008/04/15"));
    EXPECT_EQ(monthEnd.repeatFirstDay, 15);
    EXPECT_EQ(monthEnd.repeatLastDay, 15);

    CAlmxData yearly = MakeRecord({4, "2008/08/13 10:00", "2012/12/31", 1, 13, 16});
    MoveToDate(yearly, Day("2009/03/05"));
    EXPECT_EQ(yearly.repeatFirstDay, 5);
    EXPECT_EQ(yearly.repeatLastDay, 8);
    EXPECT_EQ(FormatDate(yearly.start) + " " + FormatTime(yearly.start), "2008/03/08 10:00");

    CAlmxData leap = MakeRecord({4, "2009/01/10", "2012/12/31", 1, 10, 10});
    MoveToDate(leap, Day("2008/02/29"));
    EXPECT_EQ(FormatDate(leap.start), "2009/02/28");  // no February 29 in the rule's own year

    CAlmxData damaged = MakeRecord({3, "2008/01/10", "2008/12/31", 1, INT_MIN, INT_MAX});
    MoveToDate(damaged, Day("2008/04/30"));
    EXPECT_EQ(damaged.repeatFirstDay, 30);
    EXPECT_EQ(damaged.repeatLastDay, 30);
}

TEST(MoveToDate, NeverLeavesTheDatesTheFileCanHold) {
    // Ten days long, moved onto the calendar's last week: the end stops at its last day.
    CAlmxData untimed = MakeRecord({0, "2008/01/10", "2008/01/20"});
    MoveToDate(untimed, Day("9998/12/28"));
    EXPECT_EQ(FormatDate(untimed.start), "9998/12/28");
    EXPECT_EQ(FormatDate(untimed.end), "9998/12/31");

    CAlmxData timed = MakeRecord({2, "2008/01/10 22:00", "2008/01/11 02:00"});
    MoveToDate(timed, Day("9998/12/31"));
    EXPECT_EQ(FormatDate(timed.start) + " " + FormatTime(timed.start), "9998/12/31 22:00");
    EXPECT_EQ(FormatDate(timed.end) + " " + FormatTime(timed.end), "9998/12/31 22:00");

    // A day outside the calendar moves nothing.
    CAlmxData single = MakeRecord({0, "2008/01/10", "2008/01/10"});
    const CAlmxData before = single;
    MoveToDate(single, DateTime::FromDate(1582, 12, 31));
    EXPECT_EQ(single, before);
    MoveToDate(single, DateTime::FromDate(9999, 1, 1));
    EXPECT_EQ(single, before);
}

}  // namespace
}  // namespace almx
