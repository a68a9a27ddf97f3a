#include "reminders/alarm_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/clock.h"
#include "base/settings_store.h"
#include "calendar/record_alarm.h"
#include "calendar/recurrence_fixture.h"
#include "core/record_list.h"

namespace almx {
namespace {

using testing::MakeRecord;

DateTime At(const char* text) {
    return testing::DayAndTime(text).first;
}

CAlmxData Alarmed(testing::RuleFields fields, int minutes, int mode = AlarmOnScreen) {
    CAlmxData record = MakeRecord(fields);
    record.alarmMinutes = minutes;
    record.alarmMode = mode;
    return record;
}

// Records what the check asked of the user; the window answers from a script and may run a
// further check while it is open.
struct FakeUi : AlarmUi {
    std::vector<AlarmNotice> windows;
    std::vector<std::string> times;  // the window's time line, in order
    std::vector<AlarmMail> mails;
    std::vector<std::string> log;  // every call, in order
    std::vector<std::string> links;
    std::vector<bool> snooze;  // answers of the windows, in order; false when run out
    bool mailReady = true;
    std::function<void()> duringWindow;

    void RestoreMainWindow() override { log.push_back("restore"); }
    bool MailReady() override { return mailReady; }
    void HandMail(std::vector<AlarmMail> given) override {
        log.push_back("mail");
        for (AlarmMail& mail : given) mails.push_back(std::move(mail));
    }
    void PlaySound(const std::string& wave) override { log.push_back("sound " + wave); }
    void ShowNotification(const AlarmNotice& notice) override {
        log.push_back("notify " + notice.entry.title);
    }
    bool ShowAlarmWindow(const AlarmNotice& notice) override {
        log.push_back("window " + notice.entry.title);
        windows.push_back(notice);
        times.push_back(WindowTexts(notice).time);
        const std::size_t index = windows.size() - 1;
        if (duringWindow) {
            auto nested = std::move(duringWindow);
            duringWindow = nullptr;
            nested();
        }
        return index < snooze.size() && snooze[index];
    }
    void OpenLink(const CAlmxData& entry) override { links.push_back(entry.linkFile); }
};

class AlarmCheckTest : public ::testing::Test {
  protected:
    AlarmCheck::Result Tick(const char* now, int seconds = 0) {
        clock_.Set(At(now).PlusSeconds(seconds));
        return check_.Run(records_, clock_.Now(), ui_);
    }

    ManualClock clock_{At("2008/01/10 09:00")};
    MemorySettingsStore settings_;
    SnoozeList snoozes_;
    AlarmCheck check_{snoozes_, settings_, clock_};
    RecordList records_;
    FakeUi ui_;
};

TEST_F(AlarmCheckTest, RingsAtTheLeadTimeAndSnoozesFiveMinutesLater) {
    CAlmxData record = Alarmed({0, "2008/01/10 10:30", "2008/01/10 11:00"}, 10);
    record.title = "会議";
    records_ = {record};
    ui_.snooze = {true, false};
    Tick("2008/01/10 10:19");
    EXPECT_TRUE(ui_.windows.empty());
    Tick("2008/01/10 10:20", 40);
    ASSERT_EQ(ui_.times, std::vector<std::string>{"10:20（10分前）"});
    EXPECT_EQ(ui_.log,
              (std::vector<std::string>{"restore", "sound ", "notify 会議", "window 会議"}));
    ASSERT_EQ(snoozes_.size(), 1u);
    Tick("2008/01/10 10:24", 50);
    EXPECT_EQ(ui_.windows.size(), 1u);
    Tick("2008/01/10 10:25");
    EXPECT_EQ(ui_.times, (std::vector<std::string>{"10:20（10分前）", "10:25（5分前）"}));
    EXPECT_TRUE(snoozes_.empty()) << "閉じる removes the entry";
    Tick("2008/01/10 10:40");
    EXPECT_EQ(ui_.windows.size(), 2u);
}

TEST_F(AlarmCheckTest, WhatNeverRingsOrRingsSilently) {
    CAlmxData none = Alarmed({0, "2008/01/10 10:30", "2008/01/10"}, -1);
    CAlmxData todo = Alarmed({0, "2008/01/10 10:30", "2008/01/10"}, 0);
    todo.Set(IsTodo);
    CAlmxData noTime = Alarmed({0, "2008/01/10", "2008/01/10"}, 0);
    CAlmxData silent = Alarmed({0, "2008/01/10 10:30", "2008/01/10"}, 0, 0);
    records_ = {none, todo, noTime, silent};
    Tick("2008/01/10 00:00");
    Tick("2008/01/10 10:30");
    EXPECT_TRUE(ui_.log.empty()) << "no action bit: not even the window is restored";
}

TEST_F(AlarmCheckTest, LeadTimeAcrossMidnightAndRecurringOccurrences) {
    // Five minutes before 00:03 rings the evening before.
    CAlmxData early = Alarmed({0, "2008/01/11 00:03", "2008/01/11"}, 5);
    early.title = "early";
    // Weekly on Mondays with one Monday excepted.
    CAlmxData weekly =
        Alarmed({2, "2008/01/07 09:00", "2008/03/31 10:00", 1, 1, 1, "0", "", 0, "2008/01/21"}, 0);
    weekly.title = "weekly";
    records_ = {early, weekly};
    Tick("2008/01/10 23:58");
    ASSERT_EQ(ui_.windows.size(), 1u);
    EXPECT_EQ(ui_.times.back(), "23:58（5分前）");
    Tick("2008/01/14 09:00");
    ASSERT_EQ(ui_.windows.size(), 2u);
    // The occurrence's dates, not the rule's first day.
    EXPECT_EQ(WindowTexts(ui_.windows.back()).startDate, "2008/01/14");
    EXPECT_EQ(WindowTexts(ui_.windows.back()).endDate, "2008/01/14");
    EXPECT_EQ(ui_.times.back(), "09:00");
    Tick("2008/01/21 09:00");
    EXPECT_EQ(ui_.windows.size(), 2u) << "the excepted Monday stays silent";
    Tick("2008/01/28 09:00");
    EXPECT_EQ(ui_.windows.size(), 3u);
}

TEST_F(AlarmCheckTest, ARecurringScheduleAfterMidnightRingsOnItsCalendarDayWhateverTheDayChange) {
    settings_.SetInt("System", "TodayLimit", 4);
    CAlmxData weekly = Alarmed({2, "2008/01/08 01:00", "2008/03/31"}, 0);  // Tuesdays
    records_ = {weekly};
    Tick("2008/01/14 01:00");
    Tick("2008/01/15 01:00");
    ASSERT_EQ(ui_.windows.size(), 1u);
    EXPECT_EQ(WindowTexts(ui_.windows[0]).startDate, "2008/01/15");
}

TEST_F(AlarmCheckTest, SnoozeEntriesRingOnceWhateverTheRule) {
    // Monthly on the 31st at 23:58; snoozed 5 minutes, it is due on the 1st, which the rule
    // does not hold.
    CAlmxData monthly = Alarmed({3, "2008/01/31 23:58", "2008/12/31", 1, 31, 31}, 0);
    monthly.title = "月末";
    records_ = {monthly};
    ui_.snooze = {true};
    Tick("2008/01/31 23:58", 10);
    ASSERT_EQ(snoozes_.size(), 1u);
    EXPECT_EQ(snoozes_.front().start, At("2008/01/31 23:58"));
    Tick("2008/02/01 00:03");
    ASSERT_EQ(ui_.windows.size(), 2u);
    EXPECT_EQ(ui_.times.back(), "00:03（5分経過）");
    EXPECT_TRUE(snoozes_.empty());
}

TEST_F(AlarmCheckTest, ASnoozeWhoseMinutePassedUncheckedRingsAtTheNextCheck) {
    CAlmxData record = Alarmed({0, "2008/01/10 10:30", "2008/01/10"}, 0);
    records_ = {record};
    ui_.snooze = {true};
    Tick("2008/01/10 10:30");
    ASSERT_EQ(snoozes_.size(), 1u);
    // Another document was active meanwhile: the clock ticked, this one was not checked.
    clock_.Set(At("2008/01/10 10:50"));
    check_.Run(records_, clock_.Now(), ui_, At("2008/01/10 10:49").PlusSeconds(50));
    EXPECT_EQ(ui_.windows.size(), 2u);
}

TEST_F(AlarmCheckTest, ANestedCheckDoesNotDisturbTheEntryTheOuterCheckFired) {
    CAlmxData a = Alarmed({0, "2008/01/10 10:30", "2008/01/10"}, 0);
    a.title = "A";
    CAlmxData b = Alarmed({0, "2008/01/10 10:40", "2008/01/10"}, 0);
    b.title = "B";
    records_ = {a, b};
    // A is snoozed 5 minutes; at 10:35 its window stays open until 10:40, when B rings in a
    // nested window that the user snoozes; then A's window is closed.
    ui_.snooze = {true, false, true};
    Tick("2008/01/10 10:30");
    ASSERT_EQ(snoozes_.size(), 1u);
    const CAlmxSnoozeData* entryA = &snoozes_.front();
    ui_.duringWindow = [&] {
        clock_.Set(At("2008/01/10 10:40"));
        const AlarmCheck::Result inner = check_.Run(records_, clock_.Now(), ui_);
        EXPECT_TRUE(inner.checked);
        EXPECT_EQ(inner.fired, 1) << "A, still open, is not fired again";
        EXPECT_EQ(snoozes_.size(), 2u);
        EXPECT_EQ(&snoozes_.front(), entryA) << "the nested append moves nothing";
    };
    Tick("2008/01/10 10:35");
    EXPECT_EQ(ui_.log.back(), "window B");
    ASSERT_EQ(snoozes_.size(), 1u) << "A was closed, B waits";
    EXPECT_EQ(snoozes_.front().title, "B");
    // The minutes checked inside the window are not repeated.
    clock_.Set(At("2008/01/10 10:40").PlusSeconds(30));
    EXPECT_FALSE(check_.Run(records_, clock_.Now(), ui_).checked);
    Tick("2008/01/10 10:45");
    EXPECT_EQ(ui_.windows.size(), 4u);
    EXPECT_TRUE(snoozes_.empty());
}

TEST_F(AlarmCheckTest, AGapIsCaughtUpOnceAndAClockSetBackRepeatsNothing) {
    CAlmxData one = Alarmed({0, "2008/01/10 11:00", "2008/01/10"}, 0);
    one.title = "one";
    CAlmxData daily = Alarmed({1, "2008/01/01 12:00", "2008/12/31"}, 0);
    daily.title = "daily";
    CAlmxData later = Alarmed({0, "2008/01/10 13:30", "2008/01/10"}, 0);
    later.title = "later";
    records_ = {one, daily, later};
    Tick("2008/01/10 10:00");
    // Suspended for three hours.
    Tick("2008/01/10 13:00");
    ASSERT_EQ(ui_.windows.size(), 2u);
    EXPECT_EQ(ui_.times, (std::vector<std::string>{"11:00", "12:00"}));
    // Set back five minutes: 12:55 .. 13:00 are not given again.
    Tick("2008/01/10 12:55");
    Tick("2008/01/10 13:00");
    EXPECT_EQ(ui_.windows.size(), 2u);
    Tick("2008/01/10 13:30");
    EXPECT_EQ(ui_.windows.size(), 3u);
    // Set back an hour: starts afresh from there.
    Tick("2008/01/10 12:00");
    EXPECT_EQ(ui_.windows.size(), 4u);
    // More than a day: only the last 24 hours count, each record once.
    Tick("2008/01/13 12:30");
    EXPECT_EQ(ui_.windows.size(), 5u);
    EXPECT_EQ(WindowTexts(ui_.windows.back()).startDate, "2008/01/13");
}

TEST_F(AlarmCheckTest, MailOfTheMinuteGoesBeforeTheFirstWindow) {
    settings_.SetString("System", "MailTo", "me@example.jp");
    CAlmxData screen = Alarmed({0, "2008/01/10 10:30", "2008/01/10"}, 0);
    screen.title = "画面";
    CAlmxData mail = Alarmed({0, "2008/01/10 10:30", "2008/01/10"}, 0, AlarmByMail);
    mail.title = "メール";
    mail.place = "本社";
    mail.memo = "一行目\n二行目";
    records_ = {screen, mail};
    Tick("2008/01/10 10:30");
    EXPECT_EQ(ui_.log, (std::vector<std::string>{"mail", "restore", "sound ", "notify 画面",
                                                 "window 画面", "restore"}));
    ASSERT_EQ(ui_.mails.size(), 1u);
    EXPECT_EQ(ui_.mails[0].to, "me@example.jp");
    EXPECT_EQ(ui_.mails[0].subject, "Almanix通知");
    EXPECT_EQ(ui_.mails[0].state, 3);
    EXPECT_FALSE(ui_.mails[0].signature);
    EXPECT_EQ(ui_.mails[0].body,
              "2008年01月10日(木) 10時30分\r\n\r\n内容：メール\r\n場所：本社\r\n詳細：\r\n"
              "一行目\r\n二行目\r\n");
    EXPECT_EQ(AlarmMailBody(screen, At("2008/01/13 00:05")),
              "2008年01月13日(日) 00時05分\r\n\r\n内容：画面\r\n");
}

TEST_F(AlarmCheckTest, MailThatCannotBeBuiltShowsTheWindowAndKeepsSnoozeAndLink) {
    settings_.SetInt("System", "AlermMail", 1);
    settings_.SetString("System", "MailTo", "me@example.jp");
    CAlmxData record =
        Alarmed({0, "2008/01/10 10:30", "2008/01/10"}, 0, AlarmOnScreen | AlarmOpenLink);
    record.linkFile = "資料.txt";
    records_ = {record};
    // Mail for everything with a server: no window.
    Tick("2008/01/10 10:30");
    EXPECT_EQ(ui_.mails.size(), 1u);
    EXPECT_TRUE(ui_.windows.empty());
    EXPECT_EQ(ui_.links, std::vector<std::string>{"資料.txt"});
    // Without a server the window shows instead, and its snooze holds.
    records_ = {Alarmed({0, "2008/01/10 10:31", "2008/01/10"}, 0, AlarmOnScreen | AlarmByMail)};
    ui_.mailReady = false;
    ui_.snooze = {true};
    Tick("2008/01/10 10:31");
    EXPECT_EQ(ui_.mails.size(), 1u);
    EXPECT_EQ(ui_.windows.size(), 1u);
    EXPECT_EQ(snoozes_.size(), 1u);
}

TEST_F(AlarmCheckTest, TheLogicalDateChangeIsReported) {
    settings_.SetInt("System", "TodayLimit", 4);
    EXPECT_TRUE(Tick("2008/01/10 23:59").dateChanged);
    EXPECT_FALSE(Tick("2008/01/11 00:00").dateChanged) << "still the 10th until 04:00";
    EXPECT_FALSE(Tick("2008/01/11 03:59").dateChanged);
    EXPECT_TRUE(Tick("2008/01/11 04:00").dateChanged);
}

TEST(AlarmWindowTexts, FieldsAndTheSnoozeRange) {
    CAlmxData record = Alarmed({0, "2008/01/10 10:30", "2008/01/11 11:05"}, 10);
    record.title = "会議";
    record.place = "三階";
    record.linkFile = "a.txt";
    AlarmWindowTexts texts = WindowTexts({record, At("2008/01/10 10:45"), ""});
    EXPECT_EQ(texts.time, "10:45（15分経過）");
    EXPECT_EQ(texts.startDate, "2008/01/10");
    EXPECT_EQ(texts.endDate, "2008/01/11");
    EXPECT_EQ(texts.startTime, "10:30");
    EXPECT_EQ(texts.endTime, "11:05");
    EXPECT_EQ(texts.link, "a.txt");
    record.Set(EndTimeSet, false);
    EXPECT_EQ(WindowTexts({record, At("2008/01/10 10:30"), ""}).endTime, "");
    EXPECT_EQ(WindowTexts({record, At("2008/01/10 10:30"), ""}).time, "10:30");

    record.place = "A&B <三階>";
    EXPECT_EQ(NotificationBody({record, At("2008/01/10 10:20"), ""}),
              "10:20（10分前）\nA&amp;B &lt;三階&gt;");

    int minutes = 0;
    for (const char* bad : {"0", "32769", "", "-1", "5分", "99999999999"}) {
        EXPECT_FALSE(ParseSnoozeMinutes(bad, minutes)) << bad;
    }
    EXPECT_TRUE(ParseSnoozeMinutes("32768", minutes));
    EXPECT_EQ(minutes, 32768);
    EXPECT_TRUE(ParseSnoozeMinutes("1", minutes));
    EXPECT_EQ(minutes, 1);
}

TEST(DueMinutes, AgreesWithTheMinuteByMinuteTest) {
    const OccurrenceContext context = testing::TestContext(4);
    std::vector<CAlmxData> records = {
        Alarmed({0, "2019/04/30 00:10", "2019/04/30"}, 30),
        Alarmed({2, "2019/04/01 00:05", "2019/06/30"}, 20),
        Alarmed({3, "2019/01/31 08:00", "2019/12/31", 1, -1, -1}, 1500),
        Alarmed({1, "2019/04/28 23:59", "2019/05/03", 2}, 0),
    };
    const DateTime from = At("2019/04/28 20:00");
    const DateTime to = At("2019/04/30 23:59");
    for (const CAlmxData& record : records) {
        std::vector<DateTime> expected;
        for (DateTime t = from; !(to < t); t = t.PlusMinutes(1)) {
            if (IsAlarmDue(record, t, context)) expected.push_back(t);
        }
        EXPECT_EQ(DueMinutes(record, from, to, context), expected) << record.repeatType;
        EXPECT_FALSE(expected.empty()) << record.repeatType;
    }
}

}  // namespace
}  // namespace almx
