#pragma once
// Recurrence rules: on which days of a window a record occurs, the operations the marker is
// built from, the rule's description and moving a record to another day. Occurrences are never
// stored; every view computes them again for its own window.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/date_time.h"

namespace almx {

class CAlmxData;
class Prompter;

// Whether a calendar date is a holiday for the shift rule.
using HolidayPredicate = std::function<bool(int year, int month, int day)>;

struct OccurrenceContext {
    int todayLimit = 0;            // "System"/"TodayLimit"
    Prompter* prompter = nullptr;  // told of unknown recurrence kinds; none stays silent
    HolidayPredicate isHoliday;    // empty: IsHoliday with the Sunday switch off
};

// Clears mask and sets mask[i] to 1 when the record occurs on windowStart + i days. The
// window is inclusive and covers min(mask.size(), days from windowStart to windowEnd + 1).
// A day gets the same answer whatever window contains it, except that an occurrence moved off
// the window's first day by the shift rule is not shown in that window.
void OccurrenceMask(const CAlmxData& record, const DateTime& windowStart, const DateTime& windowEnd,
                    std::span<std::uint8_t> mask, const OccurrenceContext& context = {});
std::vector<std::uint8_t> OccurrenceMask(const CAlmxData& record, const DateTime& windowStart,
                                         const DateTime& windowEnd,
                                         const OccurrenceContext& context = {});

// The start day of the first occurrence on or after day (every n days or weeks), or of the
// occurrence in the cycle month or year reached from day (kinds 3 to 5), which may lie before
// day. Dates only; invalid when there is none.
DateTime FirstOccurrence(const CAlmxData& record, const DateTime& day);
// The start day of the occurrence after the one starting on day; invalid when there is none
// (also for an unknown kind).
DateTime NextOccurrence(const CAlmxData& record, const DateTime& day);
// The weekday (0 Sunday .. 6 Saturday) in week 0..3 of the month containing month, or the
// last such weekday for week 4; invalid for other arguments.
DateTime NthWeekday(const DateTime& month, int week, int weekday);
// Kind 3: whole months from start's month to day's month are a multiple of the interval;
// kind 4: the same for years; true for other kinds.
bool IntervalMatch(const CAlmxData& record, const DateTime& day);

// The description of the rule shown in lists and dialogs; empty for a single record.
std::string RepeatText(const CAlmxData& record);

// Moves a record to the day it was pasted on.
void MoveToDate(CAlmxData& record, const DateTime& day);

}  // namespace almx
