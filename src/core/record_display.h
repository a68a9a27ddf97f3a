#pragma once
// Where and how a record is shown on a day: its display days, its time prefix and its text.

#include <cstdint>
#include <string>

#include "base/date_time.h"

namespace almx {

class CAlmxData;
class SettingsStore;

// The settings these operations read: "System"/"TodayLimit" and "View"/"TodoLeftDraw".
struct DisplayRules {
    int todayLimit = 0;
    bool todoLeftDraw = true;

    static DisplayRules FromSettings(const SettingsStore& settings);
};

// Override numbers of TimePrefix and EntryText.
enum TimeOverride : int {
    UseRecordTimeDisplay = 0,
    ShowStartAndEnd = 1,
    ShowStartOnly = 2,
    ShowEndOnly = 3,
};

DateTime DisplayStart(const CAlmxData& record, int todayLimit);
DateTime DisplayEnd(const CAlmxData& record, int todayLimit);

// "%02d:%02d" with hours before todayLimit shown as hour + 24.
std::string FormatDisplayTime(const DateTime& time, int todayLimit);

std::string TimePrefix(const CAlmxData& record, const DateTime& day, int timeOverride,
                       int todayLimit);
std::string EntryText(const CAlmxData& record, const DateTime& day, int timeOverride,
                      const DisplayRules& rules);
// The same appended to a text the caller keeps (long listings build no temporaries).
void AppendTimePrefix(std::string& out, const CAlmxData& record, const DateTime& day,
                      int timeOverride, int todayLimit);
void AppendEntryText(std::string& text, const CAlmxData& record, const DateTime& day,
                     int timeOverride, const DisplayRules& rules);

DateTime FirstOccurrenceEnd(const CAlmxData& record, bool wholeRecord);

// "HolidayColor" for holiday records, the record's colour otherwise.
std::uint32_t DisplayColour(const CAlmxData& record, std::uint32_t holidayColour);

}  // namespace almx
