#include "core/record_display.h"

#include <cstdio>

#include "base/settings_store.h"
#include "core/record.h"

namespace almx {

DisplayRules DisplayRules::FromSettings(const SettingsStore& settings) {
    DisplayRules rules;
    rules.todayLimit = settings.GetInt("System", "TodayLimit", 0);
    rules.todoLeftDraw = settings.GetInt("View", "TodoLeftDraw", 1) != 0;
    return rules;
}

namespace {
bool SameDate(const DateTime& a, const DateTime& b) {
    return a.DayNumber() == b.DayNumber();
}
}  // namespace

DateTime DisplayStart(const CAlmxData& record, int todayLimit) {
    if (record.Has(StartTimeSet)) return LogicalDate(record.start, todayLimit);
    if (record.Has(EndTimeSet) && SameDate(record.start, record.end)) {
        return LogicalDate(record.end, todayLimit);
    }
    return record.start;
}

DateTime DisplayEnd(const CAlmxData& record, int todayLimit) {
    if (record.Has(EndTimeSet)) return LogicalDate(record.end, todayLimit);
    if (record.Has(StartTimeSet) && SameDate(record.start, record.end)) {
        return LogicalDate(record.start, todayLimit);
    }
    return record.end;
}

std::string FormatDisplayTime(const DateTime& time, int todayLimit) {
    int hour = time.Hour();
    if (hour < todayLimit) hour += 24;
    const int minute = time.Minute();
    // Every view and sort key asks for this text: "%02d:%02d" without printf where it can.
    if (hour >= 0 && hour < 100 && minute >= 0 && minute < 60) {
        const char text[5] = {
            static_cast<char>('0' + hour / 10), static_cast<char>('0' + hour % 10), ':',
            static_cast<char>('0' + minute / 10), static_cast<char>('0' + minute % 10)};
        return std::string(text, 5);
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", hour, minute);
    return buffer;
}

void AppendTimePrefix(std::string& out, const CAlmxData& record, const DateTime& day,
                      int timeOverride, int todayLimit) {
    const int mode = record.timeDisplay;
    const bool recurring = record.IsRecurring();
    const bool showStart = record.Has(StartTimeSet) &&
                           ((timeOverride == UseRecordTimeDisplay && (mode == 0 || mode == 1)) ||
                            timeOverride == ShowStartAndEnd || timeOverride == ShowStartOnly) &&
                           (recurring || SameDate(day, DisplayStart(record, todayLimit)));
    const bool showEnd = record.Has(EndTimeSet) &&
                         ((timeOverride == UseRecordTimeDisplay && (mode == 0 || mode == 2)) ||
                          timeOverride == ShowStartAndEnd || timeOverride == ShowEndOnly) &&
                         (recurring || SameDate(day, DisplayEnd(record, todayLimit)));
    if (showStart && showEnd) {
        out += FormatDisplayTime(record.start, todayLimit);
        out += '-';
        out += FormatDisplayTime(record.end, todayLimit);
        out += ' ';
    } else if (showStart) {
        out += FormatDisplayTime(record.start, todayLimit);
        out += ' ';
    } else if (showEnd) {
        out += "～";
        out += FormatDisplayTime(record.end, todayLimit);
        out += ' ';
    }
}

std::string TimePrefix(const CAlmxData& record, const DateTime& day, int timeOverride,
                       int todayLimit) {
    std::string prefix;
    AppendTimePrefix(prefix, record, day, timeOverride, todayLimit);
    return prefix;
}

void AppendEntryText(std::string& text, const CAlmxData& record, const DateTime& day,
                     int timeOverride, const DisplayRules& rules) {
    AppendTimePrefix(text, record, day, timeOverride, rules.todayLimit);
    text += record.title;
    if (record.Has(IsTodo) && !record.Has(TodoNoDeadline) && rules.todoLeftDraw) {
        long k = WholeDays(day, record.start);
        char buffer[48];
        if (k >= 1) {
            std::snprintf(buffer, sizeof buffer, "(あと%ld日)", k);
        } else if (k < 0) {
            std::snprintf(buffer, sizeof buffer, "(%ld日超過!)", -k);
        } else {
            std::snprintf(buffer, sizeof buffer, "(本日まで)");
        }
        text += buffer;
    }
    if (!record.place.empty()) {
        text += '@';
        text += record.place;
    }
}

std::string EntryText(const CAlmxData& record, const DateTime& day, int timeOverride,
                      const DisplayRules& rules) {
    std::string text;
    AppendEntryText(text, record, day, timeOverride, rules);
    return text;
}

DateTime FirstOccurrenceEnd(const CAlmxData& record, bool wholeRecord) {
    if (!record.IsRecurring() || wholeRecord) {
        return record.end > record.start ? record.end : record.end.Date().WithTimeOf(record.start);
    }
    DateTime candidate = record.start.Date().WithTimeOf(record.end);
    return candidate > record.start ? candidate : record.start;
}

std::uint32_t DisplayColour(const CAlmxData& record, std::uint32_t holidayColour) {
    return record.Has(HolidayMark) ? holidayColour : record.colour;
}

}  // namespace almx
