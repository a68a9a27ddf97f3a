#pragma once
// Records written the way the schedule file spells their rules, and marks read back as dates.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "base/date_time.h"
#include "calendar/recurrence.h"
#include "core/record.h"

namespace almx::testing {

struct RuleFields {
    int kind = 0;
    const char* start = "";  // "2008/01/30" or "2008/01/30 10:00" (sets StartTimeSet)
    const char* end = "";    // likewise with EndTimeSet
    int interval = 1;
    int first = 1;
    int last = 1;
    const char* position = "0";  // file form: "0", or weeks 1-5 and letters of SMTWHFA
    const char* months = "";     // file form: "" for all, else characters of 123456789ABC
    int shift = 0;
    const char* exceptions = "";  // "2008/01/05,2008/02/01~2008/02/03"
};

inline DateTime Day(std::string_view text) {
    std::optional<DateTime> date = ParseDate(text);
    return date ? *date : DateTime::Invalid();
}

// "2008/01/30" or "2008/01/30 10:00"; whether a time was given.
inline std::pair<DateTime, bool> DayAndTime(std::string_view text) {
    std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return {Day(text), false};
    std::optional<DateTime> value = ParseTime(text.substr(0, blank), text.substr(blank + 1));
    return {value ? *value : DateTime::Invalid(), true};
}

inline CAlmxData MakeRecord(const RuleFields& fields) {
    CAlmxData record;
    auto [start, startTimed] = DayAndTime(fields.start);
    auto [end, endTimed] = DayAndTime(fields.end);
    record.start = start;
    record.end = end;
    record.Set(StartTimeSet, startTimed);
    record.Set(EndTimeSet, endTimed);
    record.repeatType = fields.kind;
    record.repeatInterval = fields.interval;
    record.repeatFirstDay = fields.first;
    record.repeatLastDay = fields.last;
    std::string_view position = fields.position;
    record.positionMode = position.empty() || position == "0" ? 0 : 1;
    if (record.positionMode != 0) {
        for (char c : position) {
            if (c >= '1' && c <= '5') record.validWeeks[static_cast<std::size_t>(c - '1')] = 1;
            std::size_t k = std::string_view("SMTWHFA").find(c);
            if (k != std::string_view::npos) record.validWeekdays[k] = 1;
        }
    }
    std::string_view months = fields.months;
    if (!months.empty()) {
        record.validMonths.fill(0);
        for (char c : months) {
            std::size_t m = std::string_view("123456789ABC").find(c);
            if (m != std::string_view::npos) record.validMonths[m] = 1;
        }
    }
    record.shiftRule = fields.shift;
    std::string_view rest = fields.exceptions;
    while (!rest.empty()) {
        std::size_t comma = rest.find(',');
        std::string_view part = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        std::size_t tilde = part.find('~');
        DateTime first = Day(part.substr(0, tilde));
        DateTime last = tilde == std::string_view::npos ? first : Day(part.substr(tilde + 1));
        record.exceptions.push_back(CDaySpan::FromDates(first, last));
    }
    return record;
}

// Marked days of a window, "MM/DD" when the window lies in one year, else "YYYY/MM/DD".
inline std::string MarkedDays(const std::vector<std::uint8_t>& mask, const DateTime& first,
                              const DateTime& last) {
    const bool oneYear = first.Year() == last.Year();
    std::string text;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (!mask[i]) continue;
        std::string date = FormatDate(first.PlusDays(static_cast<long>(i)));
        if (!text.empty()) text += ' ';
        text += oneYear ? date.substr(date.find('/') + 1) : date;
    }
    return text;
}

// Japanese holidays of 2019 and 2020, so shift tests do not lean on the holiday law's code.
inline bool TestHoliday(int year, int month, int day) {
    static const std::set<std::tuple<int, int, int>> days = {
        {2019, 1, 1},   {2019, 1, 14}, {2019, 2, 11},  {2019, 3, 21}, {2019, 4, 29}, {2019, 4, 30},
        {2019, 5, 1},   {2019, 5, 2},  {2019, 5, 3},   {2019, 5, 4},  {2019, 5, 5},  {2019, 5, 6},
        {2019, 7, 15},  {2019, 8, 11}, {2019, 8, 12},  {2019, 9, 16}, {2019, 9, 23}, {2019, 10, 14},
        {2019, 10, 22}, {2019, 11, 3}, {2019, 11, 4},  {2020, 1, 1},  {2020, 1, 13}, {2020, 2, 11},
        {2020, 2, 23},  {2020, 2, 24}, {2020, 3, 20},  {2020, 4, 29}, {2020, 5, 3},  {2020, 5, 4},
        {2020, 5, 5},   {2020, 5, 6},  {2020, 7, 23},  {2020, 7, 24}, {2020, 8, 10}, {2020, 9, 21},
        {2020, 9, 22},  {2020, 11, 3}, {2020, 11, 23},
    };
    return days.count({year, month, day}) != 0;
}

inline OccurrenceContext TestContext(int todayLimit = 0) {
    OccurrenceContext context;
    context.todayLimit = todayLimit;
    context.isHoliday = TestHoliday;
    return context;
}

}  // namespace almx::testing
