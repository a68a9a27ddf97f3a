#pragma once
// The recurrence dialog and its custom dialog as plain forms: the values the controls show,
// the checks made on OK and the write-back into the record. The Qt dialogs only bind controls.

#include <array>
#include <cstdint>

#include "base/date_time.h"

namespace almx {

class CAlmxData;
class Prompter;

inline constexpr const char* kRepeatFirstAfterLast =
    "繰り返し日の開始日が終了日より後になっています。開始日を終了日以前にしてください";
inline constexpr const char* kRepeatMonthEndFirst =
    "繰り返し日の開始日が月末の場合、終了日も月末にしてください";

class RepeatForm {
  public:
    enum class OkResult {
        Accepted,
        // The period is shorter than the kind needs: open the period dialog with the current
        // dates, SetPeriod with its result and press OK again; cancelling it keeps this form.
        PeriodTooShort,
        // The day range can never occur (DayRangeProblem says why); nothing changed.
        Refused,
    };

    // Reads the record's recurrence and period and proposes the week, weekday and month.
    explicit RepeatForm(const CAlmxData& record);

    // Whole days the period of a kind must span (from its first day at 00:00 to its last at
    // 23:59:59); 0 for kinds without a minimum.
    static int MinimumPeriodDays(int kind);

    void SetPeriod(const DateTime& first, const DateTime& last) {
        periodStart = first.Date();
        periodEnd = last.Date();
    }
    // Why the day range of a monthly or yearly rule by day can never occur (the first day after
    // the last, or the month's end as first day with another last day); nullptr when it can.
    const char* DayRangeProblem() const;
    // The interval means nothing to chosen months (kind 5).
    bool IntervalEnabled() const;

    // Checks the day range and the period, then normalises the flags and aligns a weekly
    // start. Nothing changes unless it is accepted.
    OkResult Ok();
    // The accepted values into the record; start and end keep their times of day.
    void WriteTo(CAlmxData& record) const;

    int kind = 0;
    int interval = 1;
    int firstDay = 1;
    int lastDay = 1;
    bool position = false;
    int week = 0;     // 0..3, 4 = last week
    int weekday = 0;  // 0 Sunday .. 6 Saturday
    int month = 1;    // 1..12
    std::array<std::uint8_t, 5> validWeeks{};
    std::array<std::uint8_t, 7> validWeekdays{};
    std::array<std::uint8_t, 12> validMonths{};
    DateTime periodStart;
    DateTime periodEnd;
};

// The custom settings (kind 5): weeks, weekdays, months and the position switch.
class RepeatCustomForm {
  public:
    explicit RepeatCustomForm(const RepeatForm& form);

    bool WeekControlsEnabled() const { return position; }
    bool DayFieldsEnabled() const { return !position; }

    // False, after telling the user why, when the settings select no day.
    bool Ok(Prompter& prompter) const;
    void WriteTo(RepeatForm& form) const;

    bool position = false;
    std::array<std::uint8_t, 5> validWeeks{};
    std::array<std::uint8_t, 7> validWeekdays{};
    std::array<std::uint8_t, 12> validMonths{};
};

}  // namespace almx
