#include <gtest/gtest.h>

#include "base/date_time.h"

namespace almx {
namespace {

TEST(WeekdayFromDays, AgreesWithDateTimeOnBothSidesOfBothEpochs) {
    // 1970/01/01 (day 0) was a Thursday, 1899/12/30 a Saturday, 0001/01/01 a Monday.
    EXPECT_EQ(WeekdayFromDays(0), 4);
    EXPECT_EQ(WeekdayFromDays(-1), 3);
    EXPECT_EQ(WeekdayFromDays(-kEpochToUnixDays), 6);
    EXPECT_EQ(WeekdayFromDays(DaysFromCivil(1, 1, 1)), 1);
    for (int year : {1, 1582, 1899, 1900, 1969, 1970, 2000, 2024, 9999}) {
        for (int month = 1; month <= 12; ++month) {
            const DateTime date = DateTime::FromDate(year, month, 1);
            ASSERT_TRUE(date.IsValid());
            EXPECT_EQ(WeekdayFromDays(DaysFromCivil(year, month, 1)), date.DayOfWeek())
                << year << "/" << month;
            EXPECT_EQ(date.DayNumber() - kEpochToUnixDays, DaysFromCivil(year, month, 1));
        }
    }
}

TEST(DateExists, TheDatesDateTimeCanHold) {
    EXPECT_TRUE(DateExists(1, 1, 1));
    EXPECT_TRUE(DateExists(9999, 12, 31));
    EXPECT_FALSE(DateExists(0, 12, 31));
    EXPECT_FALSE(DateExists(10000, 1, 1));
    EXPECT_TRUE(DateExists(2000, 2, 29));
    EXPECT_FALSE(DateExists(1900, 2, 29));
    EXPECT_TRUE(DateExists(2024, 2, 29));
    EXPECT_FALSE(DateExists(2023, 2, 29));
    EXPECT_FALSE(DateExists(2023, 4, 31));
    EXPECT_FALSE(DateExists(2023, 13, 1));
    EXPECT_FALSE(DateExists(2023, 1, 0));
    // Wider than the dates a record may carry.
    EXPECT_FALSE(IsValidDate(1582, 12, 31));
    EXPECT_TRUE(DateExists(1582, 12, 31));
    EXPECT_EQ(DateTime::FromDate(1, 1, 1).IsValid(), DateExists(1, 1, 1));
    EXPECT_EQ(DateTime::FromDate(1900, 2, 29).IsValid(), DateExists(1900, 2, 29));
}

}  // namespace
}  // namespace almx
