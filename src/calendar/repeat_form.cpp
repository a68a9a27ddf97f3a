#include "calendar/repeat_form.h"

#include <algorithm>

#include "base/prompter.h"
#include "core/record.h"

namespace almx {

namespace {

template <std::size_t N>
bool AnySet(const std::array<std::uint8_t, N>& flags) {
    return std::any_of(flags.begin(), flags.end(), [](std::uint8_t f) { return f != 0; });
}

}  // namespace

RepeatForm::RepeatForm(const CAlmxData& record)
    : kind(record.repeatType),
      interval(record.repeatInterval),
      firstDay(record.repeatFirstDay),
      lastDay(record.repeatLastDay),
      position(record.positionMode != 0),
      validWeeks(record.validWeeks),
      validWeekdays(record.validWeekdays),
      validMonths(record.validMonths),
      periodStart(record.start.Date()),
      periodEnd(record.end.Date()) {
    const DateTime& start = record.start;
    const bool startValid = start.IsValid();
    week = startValid ? std::min((start.Day() - 1) / 7, 4) : 0;
    weekday = startValid ? start.DayOfWeek() : 0;
    month = startValid ? start.Month() : 1;
    if ((kind == RepeatMonths || kind == RepeatYears) && position) {
        // The rule's own choice; a damaged record without one keeps the start's.
        if (int w = LastSet(validWeeks); w >= 0) week = w;
        if (int k = LastSet(validWeekdays); k >= 0) weekday = k;
        if (int m = LastSet(validMonths); m >= 0) month = m + 1;
    }
}

int RepeatForm::MinimumPeriodDays(int kind) {
    switch (kind) {
        case RepeatDays:
            return 1;
        case RepeatWeeks:
            return 7;
        case RepeatMonths:
        case RepeatChosenMonths:
            return 30;
        case RepeatYears:
            return 365;
        default:
            return 0;
    }
}

const char* RepeatForm::DayRangeProblem() const {
    // Only these kinds span from the first to the last day; a negative span marks nothing.
    if ((kind != RepeatMonths && kind != RepeatYears) || position) return nullptr;
    if (lastDay == -1) return nullptr;
    if (firstDay == -1) return kRepeatMonthEndFirst;
    return firstDay > lastDay ? kRepeatFirstAfterLast : nullptr;
}

bool RepeatForm::IntervalEnabled() const {
    return kind != RepeatNone && kind != RepeatChosenMonths;
}

RepeatForm::OkResult RepeatForm::Ok() {
    if (DayRangeProblem() != nullptr) return OkResult::Refused;
    if (!periodStart.IsValid() || !periodEnd.IsValid() ||
        WholeDays(periodStart.Date(), periodEnd.Date().WithTime(23, 59, 59)) <
            MinimumPeriodDays(kind)) {
        return OkResult::PeriodTooShort;
    }
    const bool weekValid = week >= 0 && week <= 4;
    const bool weekdayValid = weekday >= 0 && weekday <= 6;
    // A position switch left on from another kind would turn a daily or weekly rule into a
    // position rule.
    if (kind != RepeatMonths && kind != RepeatYears && kind != RepeatChosenMonths) position = false;
    if (kind != RepeatChosenMonths) validMonths.fill(1);
    if ((kind == RepeatMonths && position) || kind == RepeatYears) {
        validWeeks.fill(0);
        validWeekdays.fill(0);
        if (weekValid) validWeeks[static_cast<std::size_t>(week)] = 1;
        if (weekdayValid) validWeekdays[static_cast<std::size_t>(weekday)] = 1;
    }
    if (kind == RepeatYears && month >= 1 && month <= 12) {
        validMonths.fill(0);
        validMonths[static_cast<std::size_t>(month - 1)] = 1;
    }
    if (kind == RepeatWeeks && weekdayValid)
        periodStart = AlignForwardToWeekday(periodStart, weekday);
    return OkResult::Accepted;
}

void RepeatForm::WriteTo(CAlmxData& record) const {
    record.repeatType = kind;
    record.repeatInterval = interval;
    record.repeatFirstDay = firstDay;
    record.repeatLastDay = lastDay;
    record.positionMode = position ? 1 : 0;
    record.validWeeks = validWeeks;
    record.validWeekdays = validWeekdays;
    record.validMonths = validMonths;
    record.start = periodStart.WithTimeOf(record.start);
    record.end = periodEnd.WithTimeOf(record.end);
}

RepeatCustomForm::RepeatCustomForm(const RepeatForm& form)
    : position(form.position),
      validWeeks(form.validWeeks),
      validWeekdays(form.validWeekdays),
      validMonths(form.validMonths) {}

bool RepeatCustomForm::Ok(Prompter& prompter) const {
    if (position && (!AnySet(validWeekdays) || !AnySet(validWeeks))) {
        prompter.ShowMessage("位置指定の場合、有効週と有効曜日を指定してください",
                             MessageKind::Warning);
        return false;
    }
    if (!AnySet(validMonths)) {
        prompter.ShowMessage("有効月が指定されていません", MessageKind::Warning);
        return false;
    }
    return true;
}

void RepeatCustomForm::WriteTo(RepeatForm& form) const {
    form.position = position;
    form.validWeeks = validWeeks;
    form.validWeekdays = validWeekdays;
    form.validMonths = validMonths;
}

}  // namespace almx
