#include <gtest/gtest.h>

#include "calendar/repeat_form.h"
#include "core/prompter.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

using testing::Day;
using testing::MakeRecord;
using Result = RepeatForm::OkResult;

TEST(RepeatForm, ProposesTheStartsWeekWeekdayAndMonth) {
    const RepeatForm daily(MakeRecord({1, "2008/01/17", "2008/12/31"}));  // a Thursday
    EXPECT_EQ(daily.week, 2);
    EXPECT_EQ(daily.weekday, 4);
    EXPECT_EQ(daily.month, 1);
    // A day mode rule proposes from its start even when flags are set.
    const RepeatForm byDay(MakeRecord({4, "2008/03/31", "2012/12/31", 1, 31, 31, "0", "A"}));
    EXPECT_EQ(byDay.week, 4);
    EXPECT_EQ(byDay.weekday, 1);
    EXPECT_EQ(byDay.month, 3);
}

TEST(RepeatForm, PositionRulesProposeTheirOwnChoice) {
    const RepeatForm yearly(MakeRecord({4, "2008/01/17", "2012/12/31", 1, 1, 1, "2M", "A"}));
    EXPECT_EQ(yearly.week, 1);
    EXPECT_EQ(yearly.weekday, 1);
    EXPECT_EQ(yearly.month, 10);
    const RepeatForm monthly(MakeRecord({3, "2008/01/17", "2012/12/31", 1, 1, 1, "35HA"}));
    EXPECT_EQ(monthly.week, 4);
    EXPECT_EQ(monthly.weekday, 6);
}

TEST(RepeatForm, OkNormalisesTheFlagsOfEachKind) {
    RepeatForm daily(MakeRecord({1, "2008/01/01", "2008/12/31", 1, 1, 1, "0", "13"}));
    ASSERT_EQ(daily.Ok(), Result::Accepted);
    EXPECT_EQ(daily.validMonths,
              (std::array<std::uint8_t, 12>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));

    RepeatForm monthly(MakeRecord({3, "2008/01/01", "2008/12/31", 1, 1, 1, "13MF"}));
    monthly.week = 2;
    monthly.weekday = 3;
    ASSERT_EQ(monthly.Ok(), Result::Accepted);
    EXPECT_EQ(monthly.validWeeks, (std::array<std::uint8_t, 5>{0, 0, 1, 0, 0}));
    EXPECT_EQ(monthly.validWeekdays, (std::array<std::uint8_t, 7>{0, 0, 0, 1, 0, 0, 0}));

    RepeatForm yearly(MakeRecord({4, "2008/01/01", "2012/12/31", 1, 1, 1, "2M", "A"}));
    yearly.week = 4;
    yearly.weekday = 5;
    yearly.month = 2;
    ASSERT_EQ(yearly.Ok(), Result::Accepted);
    EXPECT_EQ(yearly.validWeeks, (std::array<std::uint8_t, 5>{0, 0, 0, 0, 1}));
    EXPECT_EQ(yearly.validWeekdays, (std::array<std::uint8_t, 7>{0, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(yearly.validMonths,
              (std::array<std::uint8_t, 12>{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    RepeatForm chosen(MakeRecord({5, "2008/01/01", "2008/12/31", 1, 1, 1, "13MF", "4C"}));
    ASSERT_EQ(chosen.Ok(), Result::Accepted);
    EXPECT_EQ(chosen.validWeeks, (std::array<std::uint8_t, 5>{1, 0, 1, 0, 0}));
    EXPECT_EQ(chosen.validMonths,
              (std::array<std::uint8_t, 12>{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1}));
}

struct PeriodCase {
    int kind;
    const char* first;
    const char* last;
    bool accepted;
};

TEST(RepeatForm, MinimumPeriodOfEachKind) {
    const PeriodCase cases[] = {
        {1, "2008/01/01", "2008/01/01", false}, {1, "2008/01/01", "2008/01/02", true},
        {2, "2008/01/01", "2008/01/07", false}, {2, "2008/01/01", "2008/01/08", true},
        {3, "2008/01/01", "2008/01/30", false}, {3, "2008/01/01", "2008/01/31", true},
        {5, "2008/01/01", "2008/01/30", false}, {5, "2008/01/01", "2008/01/31", true},
        {4, "2009/01/01", "2009/12/31", false}, {4, "2008/01/01", "2008/12/31", true},
        {0, "2008/01/01", "2008/01/01", true},
    };
    for (const PeriodCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + c.first + " " + c.last);
        RepeatForm form(MakeRecord({c.kind, c.first, c.last}));
        form.weekday = form.periodStart.DayOfWeek();
        EXPECT_EQ(form.Ok() == Result::Accepted, c.accepted);
    }
}

TEST(RepeatForm, ShortPeriodChangesNothingUntilANewPeriodIsGiven) {
    RepeatForm form(MakeRecord({2, "2008/01/02", "2008/01/05", 1, 1, 1, "0", "13"}));
    form.weekday = 5;
    const RepeatForm before = form;
    ASSERT_EQ(form.Ok(), Result::PeriodTooShort);
    EXPECT_EQ(form.validMonths, before.validMonths);
    EXPECT_EQ(form.periodStart, before.periodStart);

    form.SetPeriod(Day("2008/01/02"), Day("2008/06/30"));
    ASSERT_EQ(form.Ok(), Result::Accepted);
    EXPECT_EQ(FormatDate(form.periodStart), "2008/01/04");  // Wednesday moved to Friday
}

TEST(RepeatForm, WeeklyStartOnTheChosenWeekdayStays) {
    RepeatForm form(MakeRecord({2, "2008/01/04", "2008/06/30"}));
    ASSERT_EQ(form.weekday, 5);
    ASSERT_EQ(form.Ok(), Result::Accepted);
    EXPECT_EQ(FormatDate(form.periodStart), "2008/01/04");
    form.weekday = 4;  // Thursday: six days on
    ASSERT_EQ(form.Ok(), Result::Accepted);
    EXPECT_EQ(FormatDate(form.periodStart), "2008/01/10");
}

TEST(RepeatForm, WriteBackKeepsTheTimesOfDay) {
    CAlmxData record = MakeRecord({0, "2008/01/02 09:15", "2008/01/02 10:45"});
    RepeatForm form(record);
    form.kind = RepeatWeeks;
    form.interval = 2;
    form.SetPeriod(Day("2008/01/02"), Day("2008/03/31"));
    ASSERT_EQ(form.Ok(), Result::Accepted);
    form.WriteTo(record);
    EXPECT_EQ(record.repeatType, RepeatWeeks);
    EXPECT_EQ(record.repeatInterval, 2);
    EXPECT_EQ(FormatDate(record.start) + " " + FormatTime(record.start), "2008/01/02 09:15");
    EXPECT_EQ(FormatDate(record.end) + " " + FormatTime(record.end), "2008/03/31 10:45");
}

TEST(RepeatCustomForm, ChecksWeeksWeekdaysAndMonths) {
    const RepeatForm base(MakeRecord({5, "2008/01/01", "2008/12/31"}));
    RepeatCustomForm custom(base);
    custom.position = true;
    EXPECT_TRUE(custom.WeekControlsEnabled());
    EXPECT_FALSE(custom.DayFieldsEnabled());

    ScriptedPrompter prompter;
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

    // By day the week and weekday flags are not asked for.
    RepeatCustomForm byDay(base);
    EXPECT_TRUE(byDay.DayFieldsEnabled());
    EXPECT_TRUE(byDay.Ok(prompter));

    RepeatForm form(MakeRecord({5, "2008/01/01", "2008/12/31"}));
    custom.WriteTo(form);
    EXPECT_TRUE(form.position);
    EXPECT_EQ(form.validWeeks, custom.validWeeks);
    EXPECT_EQ(form.validMonths, custom.validMonths);
}

}  // namespace
}  // namespace almx
