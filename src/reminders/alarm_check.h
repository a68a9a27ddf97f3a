#pragma once
// The document's alarm check: which records and snooze entries ring in the minutes since the
// last check, their mail, the alarm window and the snooze list. Plain C++: the user is reached
// through AlarmUi, which the program implements with widgets and tests with a fake.

#include <list>
#include <set>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "calendar/recurrence.h"
#include "core/record.h"

namespace almx {

class Clock;
class RecordList;
class SettingsStore;

namespace alarm_text {
inline constexpr const char* kMailSubject = "Almanix通知";
inline constexpr const char* kWindowTitle = "Almanix";
inline constexpr const char* kTimeHasCome = "予定の時間が来ました。";
inline constexpr const char* kSnoozeRange = "1 から 32768 までの整数を入力してください。";
}  // namespace alarm_text

// alarmMode bits.
enum AlarmModeBit : int {
    AlarmOnScreen = 1,
    AlarmByMail = 2,
    AlarmOpenLink = 4,
};

// One alarm mail, handed to the sender, which owns it from then on.
struct AlarmMail {
    std::string to;
    std::string subject;
    std::string body;  // CR LF line breaks
    int state = 3;     // waiting to be sent
    bool signature = false;
};

// What one alarm window (and its desktop notification) shows: a copy of the entry taken when
// the window opened, with the occurrence's dates, and the notification minute.
struct AlarmNotice {
    CAlmxData entry;
    DateTime minute;
    std::string wave;  // "AlermWave"; empty: the beep
};

// The window's texts.
struct AlarmWindowTexts {
    std::string time;  // "HH:MM" and "（n分前）" / "（n分経過）"
    std::string title;
    std::string place;
    std::string memo;
    std::string startDate;
    std::string endDate;
    std::string startTime;
    std::string endTime;
    std::string link;
};
AlarmWindowTexts WindowTexts(const AlarmNotice& notice);

// The desktop notification's body: the time line and the place, markup characters escaped.
std::string NotificationBody(const AlarmNotice& notice);

// Checks the snooze minutes typed into the window: the value, or nothing when it is no whole
// number from 1 to 32768.
bool ParseSnoozeMinutes(const std::string& text, int& minutes);

// The alarm mail's body for the entry at the notification minute.
std::string AlarmMailBody(const CAlmxData& entry, const DateTime& minute);

class AlarmUi {
  public:
    virtual ~AlarmUi() = default;
    virtual void RestoreMainWindow() = 0;
    // The first mail account has an SMTP server (the sender can take mail).
    virtual bool MailReady() = 0;
    virtual void HandMail(std::vector<AlarmMail> mails) = 0;
    virtual void PlaySound(const std::string& wave) = 0;
    virtual void ShowNotification(const AlarmNotice& notice) = 0;
    // The modal alarm window; true when the user asked to be reminded later (the window has
    // written the minutes to "System"/"Snooze").
    virtual bool ShowAlarmWindow(const AlarmNotice& notice) = 0;
    virtual void OpenLink(const CAlmxData& entry) = 0;
};

using SnoozeList = std::list<CAlmxSnoozeData>;

// The minutes from..to (both whole minutes, inclusive) in which the record rings, in order;
// the same minutes IsAlarmDue finds minute by minute, computed per record.
std::vector<DateTime> DueMinutes(const CAlmxData& record, const DateTime& from, const DateTime& to,
                                 const OccurrenceContext& context = {});

// The minute a snooze entry rings: once t plus its lead time reaches the snooze time.
DateTime SnoozeDueMinute(const CAlmxSnoozeData& entry);

// The record as it rings at the minute: a recurring record's occurrence dates, no rule.
CAlmxData OccurrenceAt(const CAlmxData& record, const DateTime& minute);

DateTime WholeMinute(const DateTime& time);

class AlarmCheck {
  public:
    // When the clock did not tick, minutes are caught up at most this far back.
    static constexpr int kCatchUpMinutes = 24 * 60;
    // A clock set back this far or less repeats nothing.
    static constexpr int kSetBackMinutes = 10;

    AlarmCheck(SnoozeList& snoozes, SettingsStore& settings, const Clock& clock);

    struct Result {
        bool checked = false;      // a new minute was evaluated
        bool dateChanged = false;  // the logical date differs from the last check's
        int fired = 0;
    };

    // Evaluates the minutes since the last check up to now. previousTick is when the program's
    // clock last ticked for any document: minutes before it are not caught up (the document
    // was merely inactive). Reentrant: an alarm window may run a check for a later minute.
    Result Run(const RecordList& records, const DateTime& now, AlarmUi& ui,
               const DateTime& previousTick = DateTime::Invalid());

    const DateTime& LastCheck() const { return lastCheck_; }
    OccurrenceContext occurrences;

  private:
    struct Due {
        CAlmxData entry;  // the occurrence as it rings
        DateTime minute;
        SnoozeList::iterator snooze;  // snoozes_.end() for a record
        bool screen = false;
    };
    int Logical(const DateTime& time) const;
    void Deliver(std::vector<Due>& due, AlarmUi& ui);
    bool Ring(const Due& item, AlarmUi& ui);

    SnoozeList& snoozes_;
    SettingsStore& settings_;
    const Clock& clock_;
    DateTime lastCheck_ = DateTime::FromParts(1990, 1, 1, 0, 0, 0);
    bool checkedOnce_ = false;
    // Entries an outer check is firing: a nested check leaves them alone.
    std::set<const CAlmxSnoozeData*> firing_;
};

// Every notification in from..to: what `almx alarms` lists.
struct PlannedAlarm {
    DateTime minute;
    const CAlmxData* record;
};
std::vector<PlannedAlarm> PlanAlarms(const RecordList& records, const DateTime& from,
                                     const DateTime& to, const OccurrenceContext& context = {});

}  // namespace almx
