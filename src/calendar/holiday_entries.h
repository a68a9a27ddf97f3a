#pragma once
// Holiday entries computed for display: equinox days, days between two holidays (国民の休日)
// and substitute holidays (振替休日). They are never stored.

#include <functional>
#include <optional>
#include <vector>

#include "base/date_time.h"
#include "core/record.h"

namespace almx {

class SettingsStore;

// "Holiday"/"Shunbun" and "Holiday"/"Hurikae", both on by default.
struct HolidayDisplaySettings {
    bool equinoxAndBetween = true;  // 春分、秋分の日、国民の休日を自動表示
    bool substitute = true;         // 振り替え休日を自動表示

    static HolidayDisplaySettings FromSettings(const SettingsStore& settings);
};

// Whether a day (at 00:00) carries a holiday entry from the document's records.
using HolidayRecordQuery = std::function<bool(const DateTime& day)>;

// How many days before a range the query is asked about: a Sunday holiday reaches forward
// over the holidays that follow it.
constexpr int kHolidayLookBack = 7;

// The computed entry of each day of the range (firstDay .. firstDay + dayCount - 1), at most
// one per day. A day's entry depends only on that day and its neighbours, never on the range.
// The query is asked about the range's days and up to kHolidayLookBack days before it.
std::vector<std::optional<CAlmxData>> ComputedHolidayEntries(
    const DateTime& firstDay, int dayCount, const HolidayRecordQuery& hasHolidayRecord,
    const HolidayDisplaySettings& display, const RecordDefaults& defaults = {});

// The same with the settings read from the store ("Holiday" and the record defaults).
std::vector<std::optional<CAlmxData>> ComputedHolidayEntries(
    const DateTime& firstDay, int dayCount, const HolidayRecordQuery& hasHolidayRecord,
    const SettingsStore& settings);

// A holiday entry: a schedule titled with the holiday's name on that day at 00:00.
CAlmxData HolidayEntry(const DateTime& day, const char* title, const RecordDefaults& defaults);

}  // namespace almx
