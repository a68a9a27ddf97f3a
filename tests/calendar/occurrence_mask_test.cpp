#include <gtest/gtest.h>

#include <vector>

#include "base/prompter.h"
#include "calendar/recurrence.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

using testing::Day;
using testing::MakeRecord;
using testing::MarkedDays;
using testing::RuleFields;

struct MaskCase {
    const char* name;
    RuleFields rule;
    int todayLimit;
    const char* first;  // window
    const char* last;
    const char* expected;
};

// kind, start, end, interval, first, last, position, months, shift, exceptions
// clang-format off
const MaskCase kCases[] = {
    // Every n days and weeks.
    {"every 3 days", {1, "2008/01/30", "2008/12/31", 3}, 0, "2008/02/01", "2008/02/10", "02/02 02/05 02/08"},
    {"every 2 weeks", {2, "2008/01/02", "2008/03/31", 2}, 0, "2008/01/01", "2008/02/29", "01/02 01/16 01/30 02/13 02/27"},
    {"window far after start", {1, "1600/01/01", "9998/12/31", 7}, 0, "9000/01/01", "9000/01/10", "01/04"},
    {"interval 0 steps daily", {1, "2008/01/01", "2008/12/31", 0}, 0, "2008/01/01", "2008/01/03", "01/01 01/02 01/03"},
    {"negative interval steps daily", {2, "2008/01/01", "2008/12/31", -3}, 0, "2008/01/01", "2008/01/16", "01/01 01/08 01/15"},
    {"position flags mean nothing for days", {1, "2008/01/01", "2008/12/31", 2, 1, 1, "1M"}, 0, "2008/01/01", "2008/01/06", "01/01 01/03 01/05"},
    {"end limit with end time", {1, "2008/01/01 10:00", "2008/01/05 09:00"}, 0, "2008/01/01", "2008/01/10", "01/01 01/02 01/03 01/04 01/05"},
    {"window before the start", {1, "2008/03/01", "2008/12/31"}, 0, "2008/01/01", "2008/02/29", ""},

    // Every n months by day.
    {"monthly on the 31st", {3, "2008/01/31", "2008/12/31", 1, 31, 31}, 0, "2008/01/01", "2008/12/31", "01/31 03/31 05/31 07/31 08/31 10/31 12/31"},
    {"monthly on the last day", {3, "2008/01/31", "2009/12/31", 1, -1, -1}, 0, "2008/01/01", "2008/04/30", "01/31 02/29 03/31 04/30"},
    {"last day in a common February", {3, "2008/01/31", "2009/12/31", 1, -1, -1}, 0, "2009/02/01", "2009/03/01", "02/28"},
    {"every 2 months on the last day", {3, "2008/01/31", "2008/12/31", 2, -1, -1}, 0, "2008/01/01", "2008/12/31", "01/31 03/31 05/31 07/31 09/30 11/30"},
    {"every 2 months on the 31st keeps its cycle", {3, "2008/01/31", "2009/12/31", 2, 31, 31}, 0, "2008/01/01", "2009/03/31", "2008/01/31 2008/03/31 2008/05/31 2008/07/31 2009/01/31 2009/03/31"},
    {"monthly from the 10th to the 12th", {3, "2008/01/10", "2008/12/31", 1, 10, 12}, 0, "2008/02/01", "2008/03/31", "02/10 02/11 02/12 03/10 03/11 03/12"},
    {"span stops at the month's end", {3, "2008/01/29", "2009/12/31", 1, 29, 31}, 0, "2008/04/01", "2008/05/02", "04/29 04/30"},
    {"span in a month without its first day", {3, "2008/01/29", "2009/12/31", 1, 29, 31}, 0, "2009/02/01", "2009/03/01", ""},
    {"span begun before the window", {3, "2008/01/10", "2008/12/31", 1, 10, 12}, 0, "2008/02/11", "2008/02/20", "02/11 02/12"},
    {"last day before first day", {3, "2008/01/10", "2008/12/31", 1, 10, 5}, 0, "2008/01/01", "2008/02/29", ""},
    {"day 0 cannot occur", {3, "2008/01/10", "2008/12/31", 1, 0, 0}, 0, "2008/01/01", "2008/03/31", ""},
    {"day 32 cannot occur", {3, "2008/01/10", "2008/12/31", 1, 32, 32}, 0, "2008/01/01", "2008/03/31", ""},
    {"monthly from a start mid-cycle", {3, "2008/01/20", "2008/12/31", 1, 5, 5}, 0, "2008/01/01", "2008/02/29", "02/05"},

    // Every n years.
    {"yearly on February 29", {4, "2008/02/29", "2016/12/31", 1, 29, 29}, 0, "2008/01/01", "2016/12/31", "2008/02/29 2012/02/29 2016/02/29"},
    {"every 2 years", {4, "2008/06/15", "2014/12/31", 2, 15, 15}, 0, "2008/01/01", "2014/12/31", "2008/06/15 2010/06/15 2012/06/15 2014/06/15"},
    {"yearly span", {4, "2008/08/13", "2010/12/31", 1, 13, 16}, 0, "2009/08/01", "2009/08/31", "08/13 08/14 08/15 08/16"},
    {"yearly by position", {4, "2008/10/13", "2012/12/31", 1, 1, 1, "2M", "A"}, 0, "2009/10/01", "2009/10/31", "10/12"},

    // Position mode.
    {"last Friday", {3, "2008/01/01", "2008/12/31", 1, 1, 1, "5F"}, 0, "2008/01/01", "2008/06/30", "01/25 02/29 03/28 04/25 05/30 06/27"},
    {"every 3 months, first Monday", {3, "2008/01/07", "2008/12/31", 3, 1, 1, "1M"}, 0, "2008/01/01", "2008/12/31", "01/07 04/07 07/07 10/06"},
    {"position before the start", {3, "2008/01/10", "2008/12/31", 1, 1, 1, "1M"}, 0, "2008/01/01", "2008/02/29", "02/04"},

    // Chosen months.
    {"chosen months on the 31st", {5, "2008/01/31", "2008/12/31", 1, 31, 31, "0", "13579B"}, 0, "2008/01/01", "2008/12/31", "01/31 03/31 05/31 07/31"},
    {"chosen February's last day", {5, "2008/01/01", "2009/12/31", 1, -1, -1, "0", "2"}, 0, "2008/01/01", "2009/12/31", "2008/02/29 2009/02/28"},
    {"chosen months ignore the interval", {5, "2008/01/15", "2008/12/31", 3, 15, 15}, 0, "2008/01/01", "2008/04/30", "01/15 02/15 03/15 04/15"},
    {"chosen months by position", {5, "2008/01/01", "2008/12/31", 1, 1, 1, "13MF", "4"}, 0, "2008/03/25", "2008/05/10", "04/04 04/07 04/18 04/21"},

    // Single records.
    {"three days", {0, "2008/01/10", "2008/01/12"}, 0, "2008/01/11", "2008/01/20", "01/11 01/12"},
    {"night hours belong to the day before", {0, "2008/01/10 01:00", "2008/01/10 02:00"}, 4, "2008/01/08", "2008/01/12", "01/09"},
    {"single record avoiding Sunday", {0, "2008/01/06", "2008/01/06", 1, 1, 1, "0", "", 6}, 0, "2008/01/01", "2008/01/10", "01/04"},

    // Day boundary.
    {"start at 01:00 with the day changing at 4", {1, "2008/01/10 01:00", "2008/01/20"}, 4, "2008/01/08", "2008/01/12", "01/09 01/10 01/11 01/12"},
    {"start at 01:00 with the day changing at 0", {1, "2008/01/10 01:00", "2008/01/20"}, 0, "2008/01/08", "2008/01/12", "01/10 01/11 01/12"},
    {"untimed start ignores the day boundary", {1, "2008/01/10", "2008/01/20"}, 4, "2008/01/09", "2008/01/11", "01/10 01/11"},
    {"occurrence after the window shown on its last day", {1, "2008/01/01 01:00", "2008/12/31"}, 4, "2008/01/05", "2008/01/05", "01/05"},
    {"early yearly occurrence shown in the old year", {4, "2008/01/01 01:00", "2012/12/31", 1, 1, 1}, 4, "2008/12/31", "2008/12/31", "12/31"},

    // Shift rule.
    {"Sunday moved to Friday", {2, "2008/01/06", "2008/12/31", 1, 1, 1, "0", "", 6}, 0, "2008/01/01", "2008/01/31", "01/04 01/11 01/18 01/25"},
    {"Sunday dropped", {2, "2008/01/06", "2008/12/31", 1, 1, 1, "0", "", 22}, 0, "2008/01/01", "2008/01/31", ""},
    {"Sunday kept when only Saturdays move", {2, "2008/01/06", "2008/12/31", 1, 1, 1, "0", "", 2}, 0, "2008/01/01", "2008/01/14", "01/06 01/13"},
    {"move off the window's first day leaves it", {2, "2008/01/06", "2008/12/31", 1, 1, 1, "0", "", 6}, 0, "2008/01/06", "2008/01/12", "01/11"},
    {"golden week moved back ten days", {3, "2019/01/06", "2019/12/31", 1, 6, 6, "0", "", 14}, 0, "2019/04/20", "2019/04/30", "04/26"},
    {"golden week into a one-day window", {3, "2019/01/06", "2019/12/31", 1, 6, 6, "0", "", 14}, 0, "2019/04/26", "2019/04/26", "04/26"},
    {"holiday dropped", {3, "2019/01/06", "2019/12/31", 1, 6, 6, "0", "", 24}, 0, "2019/04/20", "2019/05/10", ""},
    {"holiday bit alone", {1, "2019/07/13", "2019/07/16", 1, 1, 1, "0", "", 8}, 0, "2019/07/13", "2019/07/16", "07/13 07/14 07/16"},
    {"untimed Saturday kept with the day changing at 4", {2, "2008/01/05", "2008/12/31", 1, 1, 1, "0", "", 4}, 4, "2008/01/01", "2008/01/07", "01/05"},
    {"night occurrence judged by its own date", {2, "2008/01/06 01:00", "2008/12/31", 1, 1, 1, "0", "", 4}, 4, "2008/01/01", "2008/01/10", "01/04"},

    // Exceptions.
    {"three excluded days", {1, "2008/01/01", "2008/01/31", 1, 1, 1, "0", "", 0, "2008/01/10~2008/01/12"}, 0, "2008/01/08", "2008/01/14", "01/08 01/09 01/13 01/14"},
    {"exception names the occurrence date", {1, "2008/01/01 01:00", "2008/01/31", 1, 1, 1, "0", "", 0, "2008/01/06"}, 4, "2008/01/04", "2008/01/07", "01/04 01/06 01/07"},
    {"exception after the shift", {2, "2008/01/06", "2008/12/31", 1, 1, 1, "0", "", 6, "2008/01/06,2008/01/11"}, 0, "2008/01/01", "2008/01/20", "01/04 01/18"},
    {"reversed exception removes nothing", {1, "2008/01/01", "2008/01/31", 1, 1, 1, "0", "", 0, "2008/01/12~2008/01/10"}, 0, "2008/01/10", "2008/01/12", "01/10 01/11 01/12"},
};
// clang-format on

TEST(OccurrenceMaskTable, GoldenCases) {
    for (const MaskCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const CAlmxData record = MakeRecord(c.rule);
        ASSERT_TRUE(record.start.IsValid());
        const DateTime first = Day(c.first);
        const DateTime last = Day(c.last);
        std::vector<std::uint8_t> mask =
            OccurrenceMask(record, first, last, testing::TestContext(c.todayLimit));
        ASSERT_EQ(mask.size(), static_cast<std::size_t>(DateDifference(first, last) + 1));
        EXPECT_EQ(MarkedDays(mask, first, last), c.expected);
    }
}

TEST(OccurrenceMask, HolidaysDefaultToTheHolidayLaw) {
    // The 6th of May 2019 (a substitute holiday) ends a ten-day run of days off.
    const CAlmxData record = MakeRecord({3, "2019/01/06", "2019/12/31", 1, 6, 6, "0", "", 14});
    EXPECT_EQ(MarkedDays(OccurrenceMask(record, Day("2019/04/20"), Day("2019/05/10")),
                         Day("2019/04/20"), Day("2019/05/10")),
              "04/26");
}

TEST(OccurrenceMask, ClearsTheWholeArrayAndKeepsToItsSize) {
    const CAlmxData record = MakeRecord({1, "2008/01/01", "2008/12/31"});
    std::vector<std::uint8_t> mask(10, 7);
    // The window is longer than the array: only the array's days are written.
    OccurrenceMask(record, Day("2008/01/01"), Day("2008/01/31"), mask);
    EXPECT_EQ(mask, std::vector<std::uint8_t>(10, 1));
    // A window ending before it starts clears and marks nothing.
    OccurrenceMask(record, Day("2008/01/05"), Day("2008/01/01"), mask);
    EXPECT_EQ(mask, std::vector<std::uint8_t>(10, 0));
}

TEST(OccurrenceMask, UnknownKindIsReportedOncePerCall) {
    CAlmxData record = MakeRecord({1, "2008/01/01", "2008/12/31"});
    record.repeatType = 9;
    ScriptedPrompter prompter;
    OccurrenceContext context;
    context.prompter = &prompter;
    std::vector<std::uint8_t> mask =
        OccurrenceMask(record, Day("2008/01/01"), Day("2008/03/31"), context);
    EXPECT_EQ(MarkedDays(mask, Day("2008/01/01"), Day("2008/03/31")), "");
    OccurrenceMask(record, Day("2008/04/01"), Day("2008/04/30"), context);
    EXPECT_EQ(prompter.Shown(),
              (std::vector<std::string>{"繰り返し処理エラー1", "繰り返し処理エラー1"}));
    // Silent without a prompter.
    record.repeatType = -1;
    EXPECT_EQ(MarkedDays(OccurrenceMask(record, Day("2008/01/01"), Day("2008/01/31")),
                         Day("2008/01/01"), Day("2008/01/31")),
              "");
}

TEST(OccurrenceMask, DamagedRecordsMarkNothingAndStayUntouched) {
    CAlmxData record = MakeRecord({3, "2008/01/31", "9998/12/31", 0, 45, -7});
    record.validMonths.fill(0);
    const CAlmxData before = record;
    std::vector<std::uint8_t> mask =
        OccurrenceMask(record, Day("1583/01/01"), Day("9998/12/31"), testing::TestContext());
    EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), 0);
    EXPECT_EQ(record, before);

    CAlmxData invalid = MakeRecord({1, "2008/01/01", "2008/12/31"});
    invalid.start = DateTime::Invalid();
    EXPECT_EQ(MarkedDays(OccurrenceMask(invalid, Day("2008/01/01"), Day("2008/01/31")),
                         Day("2008/01/01"), Day("2008/01/31")),
              "");
    CAlmxData garbageException = MakeRecord({1, "2008/01/01", "2008/12/31"});
    garbageException.exceptions.push_back({2008, 13, 40, -5, 0, 0});
    EXPECT_EQ(MarkedDays(OccurrenceMask(garbageException, Day("2008/01/01"), Day("2008/01/03")),
                         Day("2008/01/01"), Day("2008/01/03")),
              "01/01 01/02 01/03");
}

TEST(OccurrenceMask, WholeCalendarWindowsEndAtTheCalendarsEnd) {
    // Huge intervals and windows at the ends of the calendar neither overflow nor run long.
    CAlmxData yearly = MakeRecord({4, "1583/03/01", "9998/12/31", 2147483647, 1, -1});
    std::vector<std::uint8_t> mask = OccurrenceMask(yearly, Day("1583/01/01"), Day("9998/12/31"));
    EXPECT_EQ(std::count(mask.begin(), mask.end(), 1), 31);  // March 1583 only, all 31 days
    CAlmxData monthly = MakeRecord({3, "9998/12/31", "9998/12/31", 1, 31, 31});
    mask = OccurrenceMask(monthly, Day("9998/12/01"), Day("9998/12/31"));
    EXPECT_EQ(mask.back(), 1);
    CAlmxData daily = MakeRecord({1, "1583/01/01", "9998/12/31", 1, 1, 1, "0", "", 14});
    mask = OccurrenceMask(daily, Day("1583/01/01"), Day("9998/12/31"), testing::TestContext());
    EXPECT_EQ(mask.front(), 0);  // a Saturday: moved off the window
    EXPECT_EQ(mask.back(), 1);   // 9998/12/31 is a Thursday
}

}  // namespace
}  // namespace almx
