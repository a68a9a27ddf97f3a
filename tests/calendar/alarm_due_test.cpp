#include <gtest/gtest.h>

#include "calendar/record_alarm.h"
#include "core/record.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

using testing::MakeRecord;

DateTime At(const char* text) {
    return testing::DayAndTime(text).first;
}

CAlmxData Timed(testing::RuleFields fields, int alarmMinutes) {
    CAlmxData record = MakeRecord(fields);
    record.alarmMinutes = alarmMinutes;
    return record;
}

TEST(IsAlarmDue, SingleRecordAtItsLeadTime) {
    const CAlmxData record = Timed({0, "2008/01/10 10:30", "2008/01/10 11:00"}, 10);
    EXPECT_TRUE(IsAlarmDue(record, At("2008/01/10 10:20")));
    EXPECT_FALSE(IsAlarmDue(record, At("2008/01/10 10:21")));
    EXPECT_FALSE(IsAlarmDue(record, At("2008/01/10 10:30")));
    EXPECT_FALSE(IsAlarmDue(record, At("2008/01/11 10:20")));
}

TEST(IsAlarmDue, NeverWithoutANotification) {
    EXPECT_FALSE(
        IsAlarmDue(Timed({0, "2008/01/10 10:30", "2008/01/10"}, -1), At("2008/01/10 10:30")));
    CAlmxData todo = Timed({0, "2008/01/10 10:30", "2008/01/10"}, 0);
    todo.Set(IsTodo);
    EXPECT_FALSE(IsAlarmDue(todo, At("2008/01/10 10:30")));
    EXPECT_FALSE(IsAlarmDue(Timed({0, "2008/01/10", "2008/01/10"}, 0), At("2008/01/10 00:00")));
    EXPECT_FALSE(IsAlarmDue(Timed({0, "2008/01/10 10:30", "2008/01/10"}, 0), DateTime::Invalid()));
}

TEST(IsAlarmDue, LeadTimeAcrossMidnight) {
    EXPECT_TRUE(
        IsAlarmDue(Timed({0, "2008/01/10 00:05", "2008/01/10"}, 10), At("2008/01/09 23:55")));
    const CAlmxData weekly = Timed({2, "2008/01/07 00:05", "2008/03/31"}, 10);  // Mondays
    EXPECT_TRUE(IsAlarmDue(weekly, At("2008/01/13 23:55")));
    EXPECT_FALSE(IsAlarmDue(weekly, At("2008/01/14 23:55")));
}

TEST(IsAlarmDue, RecurringOnItsOccurrenceDaysOnly) {
    const CAlmxData weekly =
        Timed({2, "2008/01/07 09:00", "2008/03/31", 1, 1, 1, "0", "", 0, "2008/01/21"}, 0);
    EXPECT_TRUE(IsAlarmDue(weekly, At("2008/01/07 09:00")));
    EXPECT_TRUE(IsAlarmDue(weekly, At("2008/01/14 09:00")));
    EXPECT_FALSE(IsAlarmDue(weekly, At("2008/01/15 09:00")));
    EXPECT_FALSE(IsAlarmDue(weekly, At("2008/01/21 09:00")));  // excluded
    EXPECT_FALSE(IsAlarmDue(weekly, At("2008/04/07 09:00")));  // after the period
    EXPECT_FALSE(IsAlarmDue(weekly, At("2008/01/14 09:01")));
}

TEST(IsAlarmDue, RecurringIgnoresTheDayChangeHour) {
    // With the day changing at 4 the views show this on Sunday; the alarm rings on Monday 01:00.
    const CAlmxData weekly = Timed({2, "2008/01/07 01:00", "2008/03/31"}, 0);
    OccurrenceContext context = testing::TestContext(4);
    EXPECT_TRUE(IsAlarmDue(weekly, At("2008/01/14 01:00"), context));
    EXPECT_FALSE(IsAlarmDue(weekly, At("2008/01/13 01:00"), context));
}

TEST(IsAlarmDue, RecurringFollowsTheShiftRule) {
    const CAlmxData monthly =
        Timed({3, "2019/01/06 08:00", "2019/12/31", 1, 6, 6, "0", "", 14}, 30);
    const OccurrenceContext context = testing::TestContext();
    EXPECT_TRUE(IsAlarmDue(monthly, At("2019/04/26 07:30"), context));
    EXPECT_FALSE(IsAlarmDue(monthly, At("2019/05/06 07:30"), context));
    EXPECT_TRUE(IsAlarmDue(monthly, At("2019/06/06 07:30"), context));
}

TEST(IsAlarmDue, SnoozeCopyRingsAtItsSnoozeTime) {
    const CAlmxData record = Timed({0, "2008/01/10 10:30", "2008/01/10 11:00"}, 10);
    const CAlmxSnoozeData snoozed(record, At("2008/01/10 10:20").PlusSeconds(40), 5);
    EXPECT_TRUE(IsAlarmDue(snoozed, At("2008/01/10 10:25")));
    EXPECT_FALSE(IsAlarmDue(snoozed, At("2008/01/10 10:20")));

    const CAlmxData weekly = Timed({2, "2008/01/07 09:00", "2008/03/31"}, 0);
    const CAlmxSnoozeData again(weekly, At("2008/01/14 09:00"), 5);
    EXPECT_TRUE(IsAlarmDue(again, At("2008/01/14 09:05")));
    EXPECT_FALSE(IsAlarmDue(again, At("2008/01/15 09:05")));
    EXPECT_FALSE(IsAlarmDue(again, At("2008/01/14 09:00")));
}

}  // namespace
}  // namespace almx
