#pragma once
// Whether a record's notification falls on a given minute.

#include "base/date_time.h"
#include "calendar/recurrence.h"

namespace almx {

class CAlmxData;
class CAlmxSnoozeData;

// True when the record (or snooze copy, by its snooze time) is to be notified in the minute t.
// A recurring record is judged by its occurrences with the day boundary at midnight;
// context.todayLimit is not read, the rest of the context (holidays, prompter) is.
bool IsAlarmDue(const CAlmxData& record, const DateTime& minute, const OccurrenceContext& context);
bool IsAlarmDue(const CAlmxData& record, const DateTime& minute);
bool IsAlarmDue(const CAlmxSnoozeData& entry, const DateTime& minute,
                const OccurrenceContext& context);
bool IsAlarmDue(const CAlmxSnoozeData& entry, const DateTime& minute);

}  // namespace almx
