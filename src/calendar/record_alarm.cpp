#include "calendar/record_alarm.h"

#include <array>
#include <cstdint>

#include "core/record.h"

namespace almx {

namespace {

// at: the record's start, or the snooze time of a snooze copy.
bool IsDueAt(const CAlmxData& record, const DateTime& at, const DateTime& minute,
             const OccurrenceContext& context) {
    if (record.Has(IsTodo) || !record.Has(StartTimeSet)) return false;
    if (record.alarmMinutes == -1) return false;
    if (!minute.IsValid() || !at.IsValid()) return false;
    const DateTime u = minute.PlusMinutes(record.alarmMinutes);
    if (u.Hour() != at.Hour() || u.Minute() != at.Minute()) return false;
    if (!record.IsRecurring()) return u.DayNumber() == at.DayNumber();

    // The occurrences of a snooze copy are judged from its snooze time.
    const CAlmxData* judged = &record;
    CAlmxData moved;
    if (&at != &record.start) {
        moved = record;
        moved.start = at;
        judged = &moved;
    }
    OccurrenceContext midnight = context;
    midnight.todayLimit = 0;
    std::array<std::uint8_t, 1> mask{};
    OccurrenceMask(*judged, u.Date(), u.Date(), mask, midnight);
    return mask[0] != 0;
}

}  // namespace

bool IsAlarmDue(const CAlmxData& record, const DateTime& minute, const OccurrenceContext& context) {
    return IsDueAt(record, record.NotificationTime(), minute, context);
}

bool IsAlarmDue(const CAlmxSnoozeData& entry, const DateTime& minute,
                const OccurrenceContext& context) {
    return IsDueAt(entry, entry.NotificationTime(), minute, context);
}

bool IsAlarmDue(const CAlmxSnoozeData& entry, const DateTime& minute) {
    return IsAlarmDue(entry, minute, OccurrenceContext{});
}

bool IsAlarmDue(const CAlmxData& record, const DateTime& minute) {
    return IsAlarmDue(record, minute, OccurrenceContext{});
}

}  // namespace almx
