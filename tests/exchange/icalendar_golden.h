#pragma once
// What the iCalendar writer and reader gave for the benchmark document before they were
// rebuilt for speed: the file as bytes, and the records read back, reduced to a digest.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/record.h"

namespace almx::testing {

inline std::uint64_t Fnv1a(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// Every field the reader sets, one line per record.
inline std::string DumpRecord(const CAlmxData& r) {
    char head[512];
    std::snprintf(
        head, sizeof head, "%ld %d %d|%ld %d %d|f%u a%d rt%d %d..%d n%d p%d s%d t%d lead%d|",
        r.start.DayNumber(), r.start.SecondsOfDay(), r.start.IsValid() ? 1 : 0, r.end.DayNumber(),
        r.end.SecondsOfDay(), r.end.IsValid() ? 1 : 0, static_cast<unsigned>(r.flags),
        r.alarmMinutes, r.repeatType, r.repeatFirstDay, r.repeatLastDay, r.repeatInterval,
        r.positionMode, r.shiftRule, r.timeDisplay, r.todoLeadDays);
    std::string out = head;
    for (auto v : r.validWeeks) out += static_cast<char>('0' + v);
    out += ' ';
    for (auto v : r.validWeekdays) out += static_cast<char>('0' + v);
    out += ' ';
    for (auto v : r.validMonths) out += static_cast<char>('0' + v);
    for (const CDaySpan& span : r.exceptions) {
        std::snprintf(head, sizeof head, " x%04d%02d%02d-%04d%02d%02d", span.firstYear,
                      span.firstMonth, span.firstDay, span.lastYear, span.lastMonth, span.lastDay);
        out += head;
    }
    out += '|' + r.title + '|' + r.place + '|' + r.memo + '\n';
    return out;
}

inline std::string DumpRecords(const std::vector<CAlmxData>& records, int accepted, int failed) {
    std::string out = std::to_string(accepted) + " " + std::to_string(failed) + "\n";
    for (const CAlmxData& r : records) out += DumpRecord(r);
    return out;
}

}  // namespace almx::testing
