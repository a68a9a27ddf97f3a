#pragma once
// The holidays a document shows in a range of days: its holiday records, as the occurrence
// marker places them, and the entries computed for display.

#include <string>
#include <vector>

#include "base/date_time.h"
#include "calendar/holiday_entries.h"
#include "calendar/recurrence.h"
#include "core/record_list.h"

namespace almx {

// The days of a window on which holiday records (HolidayMark schedules drawn in the views)
// occur.
class HolidayRecordDays {
  public:
    HolidayRecordDays(const RecordList& records, const DateTime& first, const DateTime& last,
                      const OccurrenceContext& context = {});

    // False outside the window.
    bool Has(const DateTime& day) const;
    HolidayRecordQuery Query() const;

    struct Hit {
        long offset;  // days from the window's first day
        const CAlmxData* record;
    };
    // Every occurrence, in day order and, within a day, in record order.
    const std::vector<Hit>& Hits() const { return hits_; }

  private:
    DateTime first_;
    std::vector<std::uint8_t> days_;
    std::vector<Hit> hits_;
};

struct ShownHoliday {
    DateTime day;
    std::string title;
    bool computed = false;
};

// Every holiday shown from first to last: record occurrences and computed entries, in day order
// (records before the computed entry of the same day).
std::vector<ShownHoliday> ShownHolidays(const RecordList& records, const DateTime& first,
                                        const DateTime& last, const HolidayDisplaySettings& display,
                                        const OccurrenceContext& context = {});

}  // namespace almx
