#include <gtest/gtest.h>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/recurrence.h"
#include "calendar/schedule_form.h"
#include "calendar/span_form.h"
#include "core/genre.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

using testing::Day;

constexpr const char* kBadStart = "正しい開始日時を入力してください";
constexpr const char* kBadEnd = "正しい終了日時を入力してください";
constexpr const char* kEndBeforeStart = "開始日時より後の終了日時を入力してください";

ScheduleForm FormFor(const char* startDate, const char* startTime, const char* endDate,
                     const char* endTime) {
    CAlmxData record;
    ScheduleForm form(record);
    form.startDate = startDate;
    form.startTime = startTime;
    form.endDate = endDate;
    form.endTime = endTime;
    form.title = "会議";
    return form;
}

struct Outcome {
    EntryResult result;
    std::vector<std::string> shown;
    CAlmxData record;
};

Outcome Press(const ScheduleForm& form, bool readOnly = false) {
    ScriptedPrompter prompter;
    CAlmxData record;
    record.title = "before";
    EntryResult result = form.Ok(prompter, readOnly, record);
    return {result, prompter.Shown(), record};
}

TEST(ScheduleForm, ChecksInOrderKeepTheDialogOpenAndTheRecordUntouched) {
    struct Case {
        const char *startDate, *startTime, *endDate, *endTime;
        const char* message;
    };
    const Case cases[] = {
        {"2008/01/10", "10:00", "2008/01/10", "09:00", kEndBeforeStart},
        {"2008/02/30", "", "2008/03/01", "", kBadStart},
        {"2008/01/10", "24:00", "2008/01/10", "", kBadStart},
        // The start is checked before the end, the end before the order.
        {"2008/1/x", "", "nonsense", "", kBadStart},
        {"2008/01/10", "", "2008/01/09", "12:60", kBadEnd},
        {"2008/01/10", "", "2008/13/01", "", kBadEnd},
        // Without an end time the end is compared at the start time: the day before fails.
        {"2008/01/10", "10:00", "2008/01/09", "", kEndBeforeStart},
        {"2008/01/10", "", "2008/01/09", "", kEndBeforeStart},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.startDate) + " " + c.startTime + " - " + c.endDate + " " +
                     c.endTime);
        Outcome outcome = Press(FormFor(c.startDate, c.startTime, c.endDate, c.endTime));
        EXPECT_EQ(outcome.result, EntryResult::Stay);
        EXPECT_EQ(outcome.shown, std::vector<std::string>{c.message});
        EXPECT_EQ(outcome.record.title, "before");
    }
}

TEST(ScheduleForm, EmptyEndTakesTheStartDateWithoutTime) {
    Outcome outcome = Press(FormFor("2008/01/10", "10:00", "", ""));
    ASSERT_EQ(outcome.result, EntryResult::Accepted);
    EXPECT_TRUE(outcome.shown.empty());
    EXPECT_EQ(outcome.record.start, DateTime::FromParts(2008, 1, 10, 10, 0));
    EXPECT_TRUE(outcome.record.Has(StartTimeSet));
    EXPECT_EQ(outcome.record.end, Day("2008/01/10"));
    EXPECT_FALSE(outcome.record.Has(EndTimeSet));
    EXPECT_EQ(outcome.record.title, "会議");
}

TEST(ScheduleForm, FullWidthTimesAreRead) {
    for (const char* time : {"１０：３０", "１０３０", "10：30"}) {
        SCOPED_TRACE(time);
        Outcome outcome = Press(FormFor("2008/01/10", time, "2008/01/10", "１１：００"));
        ASSERT_EQ(outcome.result, EntryResult::Accepted);
        EXPECT_EQ(outcome.record.start, DateTime::FromParts(2008, 1, 10, 10, 30));
        EXPECT_EQ(outcome.record.end, DateTime::FromParts(2008, 1, 10, 11, 0));
        EXPECT_TRUE(outcome.record.Has(EndTimeSet));
    }
}

TEST(ScheduleForm, ReadOnlyDocumentClosesWithoutChanges) {
    Outcome outcome = Press(FormFor("2008/01/10", "", "", ""), true);
    EXPECT_EQ(outcome.result, EntryResult::Closed);
    EXPECT_EQ(outcome.shown,
              std::vector<std::string>{"読み取り専用ファイルのため、変更は反映されません"});
    EXPECT_EQ(outcome.record.title, "before");
}

TEST(ScheduleForm, TextTheFileCannotHoldIsRefusedNamingTheField) {
    ScheduleForm titled = FormFor("2008/01/10", "", "", "");
    titled.title = "誕生日🎂";
    Outcome outcome = Press(titled);
    EXPECT_EQ(outcome.result, EntryResult::Stay);
    ASSERT_EQ(outcome.shown.size(), 1u);
    EXPECT_EQ(outcome.shown[0], UnrepresentableMessage("スケジュール内容", "🎂"));
    EXPECT_EQ(outcome.record.title, "before");

    ScheduleForm memo = FormFor("2008/01/10", "", "", "");
    memo.memo = "一行目\n二行目 😀";
    outcome = Press(memo);
    EXPECT_EQ(outcome.result, EntryResult::Stay);
    ASSERT_EQ(outcome.shown.size(), 1u);
    EXPECT_NE(outcome.shown[0].find("詳細"), std::string::npos);
    EXPECT_NE(outcome.shown[0].find("😀"), std::string::npos);

    // Characters other mappings put elsewhere (the wave dash) are kept.
    ScheduleForm wave = FormFor("2008/01/10", "", "", "");
    wave.place = "東京\u301C大阪";
    EXPECT_EQ(Press(wave).result, EntryResult::Accepted);
}

CAlmxData FullRecord() {
    CAlmxData record = testing::MakeRecord(
        {2, "2008/01/09 10:00", "2008/06/30 11:30", 2, 9, 9, "0", "", 22, "2008/02/06"});
    record.title = "定例";
    record.place = "会議室";
    record.memo = "議題\n予算";
    record.Set(HideInViews);
    record.Set(HolidayMark);
    record.colour = 0x123456;
    record.linkFile = "/home/u/a.txt";
    record.genre = 3;
    record.timeDisplay = 2;
    record.textStyle = 3;
    record.alarmMinutes = 15;
    record.alarmMode = 5;
    return record;
}

TEST(ScheduleForm, OpensWithTheRecordAndWritesEveryFieldBack) {
    const CAlmxData original = FullRecord();
    ScheduleForm form(original);
    EXPECT_EQ(form.startDate, "2008/01/09");
    EXPECT_EQ(form.startTime, "10:00");
    EXPECT_EQ(form.endDate, "2008/06/30");
    EXPECT_EQ(form.endTime, "11:30");
    EXPECT_TRUE(form.bold && form.struck);

    ScriptedPrompter prompter;
    CAlmxData written;
    ASSERT_EQ(form.Ok(prompter, false, written), EntryResult::Accepted);
    EXPECT_EQ(written, original);

    // Times only where their flags are set.
    CAlmxData untimed = original;
    untimed.Set(StartTimeSet, false);
    untimed.Set(EndTimeSet, false);
    ScheduleForm dates(untimed);
    EXPECT_EQ(dates.startTime, "");
    EXPECT_EQ(dates.endTime, "");
}

TEST(ScheduleForm, SubDialogValuesReachTheRecordOnlyOnOk) {
    CAlmxData original = FullRecord();
    ScheduleForm form(original);
    form.Exceptions().push_back(CDaySpan::FromDates(Day("2008/03/05"), Day("2008/03/07")));
    form.ShiftRule() = 8;
    form.alarmMinutes = -1;
    form.alarmMode = 0;
    form.endDate = "2008/01/09";
    form.endTime = "09:00";  // before the start: refused
    ScriptedPrompter prompter;
    CAlmxData record = original;
    ASSERT_EQ(form.Ok(prompter, false, record), EntryResult::Stay);
    EXPECT_EQ(record, original);

    form.endTime = "";
    ASSERT_EQ(form.Ok(prompter, false, record), EntryResult::Accepted);
    EXPECT_EQ(record.exceptions.size(), 2u);
    EXPECT_EQ(record.shiftRule, 8);
    EXPECT_EQ(record.alarmMinutes, -1);
    EXPECT_EQ(record.alarmMode, 0);
}

TEST(ScheduleForm, NewSchedulePresets) {
    CAlmxFieldArray genres = CAlmxFieldArray::General();
    genres.Append(CAlmxField("仕事", 0x00FF00));
    genres.Append(CAlmxField("趣味", 0x0000FF));
    RecordDefaults defaults;
    defaults.alarmMinutes = 10;
    defaults.alarmMode = 2;
    CAlmxData record =
        ScheduleForm::NewSchedule(defaults, DateTime::FromParts(2008, 3, 15, 13, 20), genres, 2, 1);
    EXPECT_EQ(record.start, Day("2008/03/15"));
    EXPECT_EQ(record.end, Day("2008/03/15"));
    EXPECT_EQ(record.repeatFirstDay, 15);
    EXPECT_EQ(record.repeatLastDay, 15);
    EXPECT_EQ(record.genre, 2);
    EXPECT_EQ(record.colour, 0x0000FFu);
    EXPECT_EQ(record.timeDisplay, 1);
    EXPECT_EQ(record.alarmMinutes, 10);
    EXPECT_EQ(record.alarmMode, 2);

    ScheduleForm form(record);
    EXPECT_EQ(form.startDate, "2008/03/15");
    EXPECT_EQ(form.startTime, "");
}

TEST(ScheduleForm, RecurrenceDialogEditsRuleAndPeriodOfTheDateTexts) {
    CAlmxData record;
    ScheduleForm form(record);
    form.startDate = "2008/01/09";  // a Wednesday
    form.startTime = "10:00";
    form.endDate = "2008/06/30";

    RepeatForm repeat = form.OpenRepeat();
    EXPECT_EQ(repeat.weekday, 3);
    repeat.kind = RepeatWeeks;
    repeat.weekday = 5;  // Friday
    ASSERT_EQ(repeat.Ok(), RepeatForm::OkResult::Accepted);
    form.TakeRepeat(repeat);
    EXPECT_EQ(form.startDate, "2008/01/11");
    EXPECT_EQ(form.endDate, "2008/06/30");
    EXPECT_EQ(form.startTime, "10:00");
    EXPECT_EQ(form.RepeatDescription(), "毎週金曜日");

    ScriptedPrompter prompter;
    CAlmxData written;
    ASSERT_EQ(form.Ok(prompter, false, written), EntryResult::Accepted);
    EXPECT_EQ(written.repeatType, RepeatWeeks);
    EXPECT_EQ(written.start, DateTime::FromParts(2008, 1, 11, 10, 0));
}

TEST(ScheduleForm, ShortPeriodGoesThroughThePeriodDialog) {
    CAlmxData record;
    ScheduleForm form(record);
    form.startDate = "2008/05/20";
    form.endDate = "";  // the period is the start day alone
    RepeatForm repeat = form.OpenRepeat();
    repeat.kind = RepeatMonths;
    ASSERT_EQ(repeat.Ok(), RepeatForm::OkResult::PeriodTooShort);

    SpanForm span(FormatDate(repeat.periodStart), FormatDate(repeat.periodEnd), repeat.kind);
    ScriptedPrompter prompter;
    ASSERT_TRUE(span.FiscalYear(prompter));
    auto period = span.Ok(prompter);
    ASSERT_TRUE(period);
    repeat.SetPeriod(period->first, period->second);
    ASSERT_EQ(repeat.Ok(), RepeatForm::OkResult::Accepted);
    form.TakeRepeat(repeat);
    EXPECT_EQ(form.startDate, "2008/04/01");
    EXPECT_EQ(form.endDate, "2009/03/31");
    EXPECT_EQ(form.RepeatKind(), RepeatMonths);
    EXPECT_TRUE(prompter.Shown().empty());
}

TEST(EntryChecks, CancelQuestionAndTimeChoices) {
    MemorySettingsStore settings;
    ScriptedPrompter keep;
    keep.Then(Answer::No);
    EXPECT_FALSE(ConfirmCancel(keep, settings));
    EXPECT_EQ(keep.Shown(), std::vector<std::string>{"画面を閉じます"});
    ScriptedPrompter close;
    close.Then(Answer::Yes);
    EXPECT_TRUE(ConfirmCancel(close, settings));

    settings.SetInt("Edit", "Cancel", 0);
    ScriptedPrompter silent;
    EXPECT_TRUE(ConfirmCancel(silent, settings));
    EXPECT_TRUE(silent.Shown().empty());

    std::vector<std::string> times = HalfHourTimes();
    ASSERT_EQ(times.size(), 48u);
    EXPECT_EQ(times[0], "00:00");
    EXPECT_EQ(times[1], "00:30");
    EXPECT_EQ(times[19], "09:30");
    EXPECT_EQ(times[47], "23:30");
}

TEST(ScheduleForm, TheWeekViewsTimerLeadStartsNewSchedules) {
    RecordDefaults defaults;
    defaults.alarmMinutes = 5;
    defaults.alarmMode = 2;
    MemorySettingsStore settings;
    EXPECT_EQ(ScheduleForm::NewScheduleDefaults(defaults, settings).alarmMinutes, 5);
    settings.SetInt("System", "TimerDelay", 30);
    const RecordDefaults lead = ScheduleForm::NewScheduleDefaults(defaults, settings);
    EXPECT_EQ(lead.alarmMinutes, 30);
    EXPECT_EQ(lead.alarmMode, 2);
    settings.SetInt("System", "TimerDelay", -1);
    EXPECT_EQ(ScheduleForm::NewScheduleDefaults(defaults, settings).alarmMinutes, -1);
}

}  // namespace
}  // namespace almx
