#include <gtest/gtest.h>

#include "base/prompter.h"
#include "calendar/avoid_days_form.h"
#include "calendar/day_count_form.h"
#include "calendar/exception_form.h"
#include "calendar/time_form.h"
#include "calendar/timer_form.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

using testing::Day;

TEST(AvoidDaysForm, BoxesFromAndToTheShiftRule) {
    AvoidDaysForm dropWeekends(22);  // Saturday, Sunday, drop
    EXPECT_TRUE(dropWeekends.saturday);
    EXPECT_TRUE(dropWeekends.sunday);
    EXPECT_FALSE(dropWeekends.holiday);
    EXPECT_FALSE(dropWeekends.dayBefore);

    AvoidDaysForm none(0);
    EXPECT_TRUE(none.dayBefore);
    none.holiday = true;
    EXPECT_EQ(none.Apply(0), 8);
    none.dayBefore = false;
    EXPECT_EQ(none.Apply(0), 24);
    none.saturday = true;
    none.sunday = true;
    none.holiday = false;
    none.dayBefore = true;
    EXPECT_EQ(none.Apply(16 | 8), 6);
    // Bits the dialog does not show stay.
    EXPECT_EQ(none.Apply(64 | 8), 64 | 6);
}

TEST(TimerForm, OpeningAndWritingBack) {
    TimerForm off(-1, 0);
    EXPECT_EQ(off.minutes, 0);
    EXPECT_EQ(off.choice, 0);
    EXPECT_FALSE(off.openLink);

    TimerForm both(10, 1 | 2 | 4);  // both bits show "メールで通知"
    EXPECT_EQ(both.minutes, 10);
    EXPECT_EQ(both.choice, 2);
    EXPECT_TRUE(both.openLink);

    int minutes = 0;
    int mode = 0;
    TimerForm screen(30, 1 | 8);
    screen.WriteTo(minutes, mode);
    EXPECT_EQ(std::make_pair(minutes, mode), std::make_pair(30, 1 | 8));
    screen.choice = 2;
    screen.WriteTo(minutes, mode);
    EXPECT_EQ(mode, 2 | 8);

    // No action at all: no notification.
    TimerForm silent(15, 1);
    silent.choice = 0;
    silent.WriteTo(minutes, mode);
    EXPECT_EQ(std::make_pair(minutes, mode), std::make_pair(-1, 0));
    // Opening the link alone is an action.
    silent.openLink = true;
    silent.WriteTo(minutes, mode);
    EXPECT_EQ(std::make_pair(minutes, mode), std::make_pair(15, 4));
}

TEST(ExceptionForm, RowsAddEditDelete) {
    ExceptionForm form({CDaySpan::FromDates(Day("2008/01/05"), Day("2008/01/05")),
                        CDaySpan::FromDates(Day("2008/02/01"), Day("2008/02/03"))});
    EXPECT_EQ(form.Rows(), (std::vector<std::string>{"2008/01/05", "2008/02/01 ～ 2008/02/03"}));
    EXPECT_TRUE(form.IsOneDay(0));
    EXPECT_FALSE(form.IsOneDay(1));
    EXPECT_EQ(form.LastText(1), "2008/02/03");

    ScriptedPrompter prompter;
    EXPECT_FALSE(form.AddDay("2008/02/30", prompter));
    EXPECT_FALSE(form.AddRange("2008/03/01", "", prompter));
    EXPECT_FALSE(form.AddRange("2008/03/05", "2008/03/01", prompter));
    EXPECT_EQ(prompter.Shown().size(), 3u);
    EXPECT_EQ(form.Spans().size(), 2u);

    EXPECT_TRUE(form.AddDay("08/3/3", prompter));
    EXPECT_TRUE(form.EditRange(1, "2008/02/01", "2008/02/10", prompter));
    EXPECT_EQ(form.Rows(),
              (std::vector<std::string>{"2008/01/05", "2008/02/01 ～ 2008/02/10", "2008/03/03"}));

    ScriptedPrompter keep;
    keep.Then(Answer::No);
    EXPECT_FALSE(form.Delete(0, keep));
    EXPECT_EQ(keep.Shown(), std::vector<std::string>{"削除しますか？"});
    ScriptedPrompter remove;
    remove.Then(Answer::Yes);
    EXPECT_TRUE(form.Delete(0, remove));
    EXPECT_EQ(form.Spans().size(), 2u);
    EXPECT_FALSE(form.Delete(7, remove));
}

TEST(TimeForm, StartsFromTheFieldTheOtherFieldOrNow) {
    const DateTime now = DateTime::FromParts(2008, 1, 10, 14, 25);
    TimeForm field("１０：３０", "18:00", now);
    EXPECT_EQ(field.Text(), "10:30");
    TimeForm other("", "18:05", now);
    EXPECT_EQ(other.Text(), "18:05");
    TimeForm neither("25:00", "abc", now);
    EXPECT_EQ(neither.Text(), "14:25");
    neither.hour = 7;
    neither.minute = 5;
    EXPECT_EQ(neither.Text(), "07:05");
}

TEST(DayCountForm, FiguresAndBadDates) {
    const DateTime today = Day("2008/01/10");
    DayCountForm ahead("2008/01/20", today);
    EXPECT_EQ(ahead.DaysText(), "今日から 10 日");
    EXPECT_EQ(ahead.WeeksText(), "1 週 3 日");

    ahead.target = "2008/01/01";
    ahead.Recalculate();
    EXPECT_EQ(ahead.DaysText(), "今日から -9 日");
    EXPECT_EQ(ahead.WeeksText(), "-1 週 -2 日");

    ahead.target = "2008/02/30";
    ahead.Recalculate();
    EXPECT_EQ(ahead.DaysText(), "日付が不正です");
    EXPECT_EQ(ahead.WeeksText(), "");

    // Counted between dates, whatever the hour of today.
    auto count = CountDays("2009/01/10", DateTime::FromParts(2008, 1, 10, 23, 59));
    ASSERT_TRUE(count);
    EXPECT_EQ(count->days, 366);
    EXPECT_EQ(DaysFromTodayMenuText(Day("2008/03/05"), today), "03月05日は今日から55日後です...");
}

}  // namespace
}  // namespace almx
