#pragma once
// The one record type: every schedule and every to-do is a CAlmxData.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/date_time.h"

namespace almx {

class SettingsStore;

// A range of days on which a recurring record does not occur; one day when first == last.
struct CDaySpan {
    int firstYear = 0, firstMonth = 0, firstDay = 0;
    int lastYear = 0, lastMonth = 0, lastDay = 0;

    DateTime First() const { return DateTime::FromDate(firstYear, firstMonth, firstDay); }
    DateTime Last() const { return DateTime::FromDate(lastYear, lastMonth, lastDay); }
    static CDaySpan FromDates(const DateTime& first, const DateTime& last);
    bool operator==(const CDaySpan&) const = default;
};

enum RecordFlag : std::uint8_t {
    StartTimeSet = 1 << 0,
    EndTimeSet = 1 << 1,
    HideInViews = 1 << 2,
    IsTodo = 1 << 3,
    HolidayMark = 1 << 4,
    TodoDone = 1 << 5,
    TodoNoDeadline = 1 << 6,
};

// Recurrence kinds of repeatType.
enum RepeatKind : int {
    RepeatNone = 0,
    RepeatDays = 1,
    RepeatWeeks = 2,
    RepeatMonths = 3,
    RepeatYears = 4,
    RepeatChosenMonths = 5,
};

// shiftRule bits.
enum ShiftRuleBit : int {
    ShiftSaturday = 2,
    ShiftSunday = 4,
    ShiftHoliday = 8,
    ShiftDrop = 16,
};

// Values a new record takes from the settings ("System": "Alerm", "AlermMode").
struct RecordDefaults {
    int alarmMinutes = 0;
    int alarmMode = 1;

    static RecordDefaults FromSettings(const SettingsStore& settings);
};

class CAlmxData {
  public:
    CAlmxData() = default;
    explicit CAlmxData(const RecordDefaults& defaults)
        : alarmMinutes(defaults.alarmMinutes), alarmMode(defaults.alarmMode) {}
    CAlmxData(const CAlmxData&) = default;
    CAlmxData& operator=(const CAlmxData&) = default;
    CAlmxData(CAlmxData&&) = default;
    CAlmxData& operator=(CAlmxData&&) = default;
    // No virtual member: a record is plain data (no vptr in each of a file's records); a snooze
    // copy is always handled as itself.
    ~CAlmxData() = default;

    bool Has(RecordFlag flag) const { return (flags & flag) != 0; }
    void Set(RecordFlag flag, bool on = true) {
        flags = static_cast<std::uint8_t>(on ? (flags | flag) : (flags & ~flag));
    }
    bool IsRecurring() const { return repeatType != RepeatNone; }

    // The time at which the notification is judged (a snooze copy has its own).
    const DateTime& NotificationTime() const { return start; }

    bool operator==(const CAlmxData& other) const;

    DateTime start;
    DateTime end;
    std::string title;
    std::string place;
    std::uint8_t flags = 0;
    std::uint16_t todoImportance = 0;
    std::uint32_t colour = 0;  // 0x00BBGGRR
    std::string linkFile;
    int alarmMinutes = 0;  // -1: no notification
    int todoLeadDays = -1;
    int genre = 0;
    int timeDisplay = 0;  // 0 start and end, 1 start, 2 end, 3 none
    std::string memo;     // line breaks are "\n" in memory
    int alarmMode = 1;
    int textStyle = 0;  // bit 0 bold, bit 1 struck out
    int repeatType = RepeatNone;
    int repeatFirstDay = 1;  // -1: last day of the month
    int repeatLastDay = 1;
    int repeatInterval = 1;
    int positionMode = 0;
    std::array<std::uint8_t, 5> validWeeks{};     // 1st..4th, 5th = last
    std::array<std::uint8_t, 7> validWeekdays{};  // Sunday..Saturday
    std::array<std::uint8_t, 12> validMonths{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    int shiftRule = 0;
    std::vector<CDaySpan> exceptions;
};

// The index of the last set flag of validWeeks, validWeekdays or validMonths; -1 when none is.
template <std::size_t N>
int LastSet(const std::array<std::uint8_t, N>& flags) {
    for (int i = static_cast<int>(N) - 1; i >= 0; --i) {
        if (flags[static_cast<std::size_t>(i)]) return i;
    }
    return -1;
}

// A record whose notification was postponed: it rings at snoozeTime instead of start.
class CAlmxSnoozeData : public CAlmxData {
  public:
    // A copy of the record, due "Snooze" minutes from now (plus its lead time, when it has one).
    CAlmxSnoozeData(const CAlmxData& record, const DateTime& now, int snoozeMinutes);

    const DateTime& NotificationTime() const { return snoozeTime; }
    // Due again "Snooze" minutes from now.
    void Rearm(const DateTime& now, int snoozeMinutes);

    DateTime snoozeTime;
};

}  // namespace almx
