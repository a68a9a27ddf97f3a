#pragma once
// The vCalendar and iCalendar commands as the views call them; an empty function leaves its
// command disabled.

#include <functional>
#include <vector>

#include "base/date_time.h"

namespace almx {

class CAlmxData;

namespace calendar_cmd {
// A day's entries (month and week view), or the selected rows (schedule list).
inline constexpr int kICalendar = 32958;
inline constexpr int kICalendarRange = 32962;
// The day list's selected entry.
inline constexpr int kVCalendarEntry = 32983;
inline constexpr int kVCalendarMail = 32984;
inline constexpr int kICalendarEntry = 32985;
// The document's imports.
inline constexpr int kVCalendarImport = 32986;
inline constexpr int kICalendarImport = 32987;
}  // namespace calendar_cmd

struct CalendarActions {
    // The entry selected on day, as a .vcs file or mail, or as a .ics file.
    std::function<void(const CAlmxData& record, const DateTime& day)> saveVcs;
    std::function<void(const CAlmxData& record, const DateTime& day)> mailVcs;
    std::function<void(const CAlmxData& record)> saveIcs;
    // Whether the mail settings allow sending now.
    std::function<bool()> mailReady;
    // Several records as one .ics file.
    std::function<void(const std::vector<const CAlmxData*>& records)> saveRecords;
};

}  // namespace almx
