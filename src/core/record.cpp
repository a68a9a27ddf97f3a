#include "core/record.h"

#include "base/settings_store.h"

namespace almx {

CDaySpan CDaySpan::FromDates(const DateTime& first, const DateTime& last) {
    return {first.Year(), first.Month(), first.Day(), last.Year(), last.Month(), last.Day()};
}

RecordDefaults RecordDefaults::FromSettings(const SettingsStore& settings) {
    RecordDefaults defaults;
    defaults.alarmMinutes = settings.GetInt("System", "Alerm", 0);
    defaults.alarmMode = settings.GetInt("System", "AlermMode", 1);
    return defaults;
}

bool CAlmxData::operator==(const CAlmxData& o) const {
    return start == o.start && end == o.end && title == o.title && place == o.place &&
           flags == o.flags && todoImportance == o.todoImportance && colour == o.colour &&
           linkFile == o.linkFile && alarmMinutes == o.alarmMinutes &&
           todoLeadDays == o.todoLeadDays && genre == o.genre && timeDisplay == o.timeDisplay &&
           memo == o.memo && alarmMode == o.alarmMode && textStyle == o.textStyle &&
           repeatType == o.repeatType && repeatFirstDay == o.repeatFirstDay &&
           repeatLastDay == o.repeatLastDay && repeatInterval == o.repeatInterval &&
           positionMode == o.positionMode && validWeeks == o.validWeeks &&
           validWeekdays == o.validWeekdays && validMonths == o.validMonths &&
           shiftRule == o.shiftRule && exceptions == o.exceptions;
}

CAlmxSnoozeData::CAlmxSnoozeData(const CAlmxData& record, const DateTime& now, int snoozeMinutes)
    : CAlmxData(record),
      snoozeTime(
          now.PlusMinutes(snoozeMinutes + (record.alarmMinutes != -1 ? record.alarmMinutes : 0))) {}

void CAlmxSnoozeData::Rearm(const DateTime& now, int snoozeMinutes) {
    snoozeTime = now.PlusMinutes(snoozeMinutes + (alarmMinutes != -1 ? alarmMinutes : 0));
}

}  // namespace almx
