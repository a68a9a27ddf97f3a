#pragma once
// A plain-text agenda of a range of days: what the month view lists on each day, in its order
// and with its time display. `almx agenda` prints it.

#include <ostream>

#include "base/date_time.h"
#include "calendar/day_cells.h"

namespace almx {

class Clock;
class Prompter;
class SettingsStore;

// For each day from first to last (dates only): the day line, FormatDate, a blank and the
// weekday name in parentheses; then for each entry drawn on the month view, two blanks, "H "
// for a holiday entry or two blanks, and its EntryText for the day with "View"/"MonthViewTime".
// Lines end with "\n". False (and nothing written) when the range is empty or leaves the
// calendar.
bool WriteAgenda(std::ostream& out, const DayCellSource& source, const DateTime& first,
                 const DateTime& last, const SettingsStore& settings, const Clock& clock,
                 Prompter* prompter);

}  // namespace almx
