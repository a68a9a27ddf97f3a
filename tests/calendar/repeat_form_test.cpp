#include <gtest/gtest.h>

#include <string>

#include "base/prompter.h"
#include "calendar/repeat_form.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

using testing::Day;
using testing::MakeRecord;
using Result = RepeatForm::OkResult;
using Weeks = std::array<std::uint8_t, 5>;
using Weekdays = std::array<std::uint8_t, 7>;
using Months = std::array<std::uint8_t, 12>;

TEST(RepeatForm, Proposals) {
    // From the start (Monday 2008/03/31, the fifth week), also for a rule by day with flags set.
    CAlmxData stale = MakeRecord({4, "2008/03/31", "2012/12/31", 1, 31, 31, "2T", "A"});
    stale.positionMode = 0;
    const RepeatForm byDay(stale);
    EXPECT_EQ(std::make_tuple(byDay.week, byDay.weekday, byDay.month), std::make_tuple(4, 1, 3));
    // A position rule of kind 3 or 4 proposes its own last set choice.
    const RepeatForm yearly(MakeRecord({4, "2008/01/17", "2012/12/31", 1, 1, 1, "2M", "A"}));
    EXPECT_EQ(std::make_tuple(yearly.week, yearly.weekday, yearly.month),
              std::make_tuple(1, 1, 10));
    const RepeatForm monthly(MakeRecord({3, "2008/01/17", "2012/12/31", 1, 1, 1, "35HA"}));
    EXPECT_EQ(std::make_tuple(monthly.week, monthly.weekday), std::make_tuple(4, 6));
}

TEST(RepeatForm, OkNormalisesTheFlagsOfEachKind) {
    RepeatForm daily(MakeRecord({1, "2008/01/01", "2008/12/31", 1, 1, 1, "0", "13"}));
    ASSERT_EQ(daily.Ok(), Result::Accepted);
    EXPECT_EQ(daily.validMonths, (Months{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));

    RepeatForm monthly(MakeRecord({3, "2008/01/01", "2008/12/31", 1, 1, 1, "13MF"}));
    monthly.week = 2;
    monthly.weekday = 3;
    ASSERT_EQ(monthly.Ok(), Result::Accepted);
    EXPECT_EQ(monthly.validWeeks, (Weeks{0, 0, 1, 0, 0}));
    EXPECT_EQ(monthly.validWeekdays, (Weekdays{0, 0, 0, 1, 0, 0, 0}));

    RepeatForm yearly(MakeRecord({4, "2008/01/01", "2012/12/31", 1, 1, 1, "2M", "A"}));
    yearly.week = 4;
    yearly.weekday = 5;
    yearly.month = 2;
    ASSERT_EQ(yearly.Ok(), Result::Accepted);
    EXPECT_EQ(yearly.validWeeks, (Weeks{0, 0, 0, 0, 1}));
    EXPECT_EQ(yearly.validWeekdays, (Weekdays{0, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(yearly.validMonths, (Months{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    RepeatForm chosen(MakeRecord({5, "2008/01/01", "2008/12/31", 1, 1, 1, "13MF", "4C"}));
    ASSERT_EQ(chosen.Ok(), Result::Accepted);
    EXPECT_EQ(chosen.validWeeks, (Weeks{1, 0, 1, 0, 0}));
    EXPECT_EQ(chosen.validMonths, (Months{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1}));
}

TEST(RepeatForm, MinimumPeriodOfEachKind) {
    struct Case {
        int kind;
        const char* first;
        const char* last;
        bool accepted;
    };
    const Case cases[] = {
        {1, "2008/01/01", "2008/01/01", false}, {1, "2008/01/01", "2008/01/02", true},
        {2, "2008/01/01", "2008/01/07", false}, {2, "2008/01/01", "2008/01/08", true},
        {3, "2008/01/01", "2008/01/30", false}, {3, "2008/01/01", "2008/01/31", true},
        {5, "2008/01/01", "2008/01/30", false}, {5, "2008/01/01", "2008/01/31", true},
        {4, "2009/01/01", "2009/12/31", false}, {4, "2008/01/01", "2008/12/31", true},
        {0, "2008/01/01", "2008/01/01", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + c.first + " " + c.last);
        RepeatForm form(MakeRecord({c.kind, c.first, c.last}));
        EXPECT_EQ(form.Ok() == Result::Accepted, c.accepted);
    }
}

TEST(RepeatForm, WeeklyStartMovesToTheChosenWeekdayOnceAccepted) {
    RepeatForm form(MakeRecord({2, "2008/01/02", "2008/01/05", 1, 1, 1, "0", "13"}));
    form.weekday = 5;  // Friday; the period starts on a Wednesday
    const RepeatForm before = form;
    ASSERT_EQ(form.Ok(), Result::PeriodTooShort);
    EXPECT_EQ(form.validMonths, before.validMonths);
    EXPECT_EQ(form.periodStart, before.periodStart);

    form.SetPeriod(Day("2008/01/02"), Day("2008/06/30"));
    ASSERT_EQ(form.Ok(), Result::Accepted);
    EXPECT_EQ(FormatDate(form.periodStart), "2008/01/04");
    ASSERT_EQ(form.Ok(), Result::Accepted);  // already on a Friday: stays
    EXPECT_EQ(FormatDate(form.periodStart), "2008/01/04");

    CAlmxData record = MakeRecord({0, "2008/01/02 09:15", "2008/01/02 10:45"});
    form.WriteTo(record);
    EXPECT_EQ(record.repeatType, RepeatWeeks);
    EXPECT_EQ(FormatDate(record.start) + " " + FormatTime(record.start), "2008/01/04 09:15");
    EXPECT_EQ(FormatDate(record.end) + " " + FormatTime(record.end), "2008/06/30 10:45");
}

TEST(RepeatCustomForm, ChecksWeeksWeekdaysAndMonths) {
    const RepeatForm base(MakeRecord({5, "2008/01/01", "2008/12/31"}));
    RepeatCustomForm custom(base);
    ScriptedPrompter prompter;
    EXPECT_TRUE(custom.DayFieldsEnabled());
    EXPECT_TRUE(custom.Ok(prompter));  // by day no week or weekday is needed

    custom.position = true;
    EXPECT_TRUE(custom.WeekControlsEnabled());
    EXPECT_FALSE(custom.DayFieldsEnabled());
    custom.validWeeks[0] = 1;  // a week but no weekday
    EXPECT_FALSE(custom.Ok(prompter));
    custom.validWeeks[0] = 0;
    custom.validWeekdays[1] = 1;  // a weekday but no week
    EXPECT_FALSE(custom.Ok(prompter));
    custom.validWeeks[4] = 1;
    custom.validMonths.fill(0);
    EXPECT_FALSE(custom.Ok(prompter));
    custom.validMonths[6] = 1;
    EXPECT_TRUE(custom.Ok(prompter));
    EXPECT_EQ(prompter.Shown(), (std::vector<std::string>{
                                    "位置指定の場合、有効週と有効曜日を指定してください",
                                    "位置指定の場合、有効週と有効曜日を指定してください",
                                    "有効月が指定されていません",
                                }));

    RepeatForm form = base;
    custom.WriteTo(form);
    EXPECT_TRUE(form.position);
    EXPECT_EQ(form.validWeeks, custom.validWeeks);
    EXPECT_EQ(form.validMonths, custom.validMonths);
}

TEST(RepeatForm, DayRangesThatCanNeverOccurAreRefused) {
    struct Case {
        int kind;
        int first;
        int last;
        const char* problem;
    };
    const Case cases[] = {
        {3, 20, 10, kRepeatFirstAfterLast},
        {4, 31, 1, kRepeatFirstAfterLast},
        {3, -1, 5, kRepeatMonthEndFirst},
        {4, -1, 31, kRepeatMonthEndFirst},
        {3, 10, 20, nullptr},
        {3, 10, 10, nullptr},
        {3, 10, -1, nullptr},
        {4, -1, -1, nullptr},
        // Chosen months and the day kinds use no last day.
        {5, 20, 10, nullptr},
        {1, -1, 5, nullptr},
    };
    for (const Case& c : cases) {
        CAlmxData record = MakeRecord({c.kind, "2008/01/01", "2012/12/31", 1, c.first, c.last});
        RepeatForm form(record);
        const char* problem = form.DayRangeProblem();
        EXPECT_EQ(std::string(problem ? problem : ""), std::string(c.problem ? c.problem : ""))
            << c.kind << " " << c.first << " " << c.last;
        EXPECT_EQ(form.Ok(), c.problem ? Result::Refused : Result::Accepted) << c.kind;
    }
    // A position rule takes no day range.
    RepeatForm position(MakeRecord({3, "2008/01/01", "2012/12/31", 1, 20, 10, "1M"}));
    EXPECT_EQ(position.DayRangeProblem(), nullptr);
}

TEST(RepeatForm, DailyAndWeeklyRulesKeepNoPositionFlag) {
    // A monthly position rule switched to every n days or weeks in the dialog.
    for (int kind : {0, 1, 2}) {
        RepeatForm form(MakeRecord({3, "2008/01/07", "2012/12/31", 1, 1, 1, "1M"}));
        ASSERT_TRUE(form.position);
        form.kind = kind;
        form.weekday = 1;
        ASSERT_EQ(form.Ok(), Result::Accepted);
        CAlmxData record = MakeRecord({3, "2008/01/07", "2012/12/31", 1, 1, 1, "1M"});
        form.WriteTo(record);
        EXPECT_EQ(record.positionMode, 0) << kind;
    }
    RepeatForm chosen(MakeRecord({5, "2008/01/07", "2012/12/31", 1, 1, 1, "1M"}));
    ASSERT_EQ(chosen.Ok(), Result::Accepted);
    EXPECT_TRUE(chosen.position);
}

}  // namespace
}  // namespace almx
