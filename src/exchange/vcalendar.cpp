#include "exchange/vcalendar.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <unordered_map>

#include "calendar/recurrence.h"
#include "core/record_display.h"
#include "exchange/csv_import.h"
#include "exchange/text_file.h"
#include "text/encoding.h"

namespace almx {

namespace {

using namespace std::literals;

constexpr const char* kCodes[7] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
constexpr long long kJapanOffsetSeconds = 9 * 3600;

// Names, parameters and rule words are ASCII: letter case is folded for ASCII letters only,
// without the locale's toupper.
char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

// The first of the characters in text; find_first_of looks each character of text up in the
// set with a call, which costs more than the short values it is used on.
template <class... C>
std::size_t FindAny(std::string_view text, C... set) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (((c == set) || ...)) return i;
    }
    return std::string_view::npos;
}

bool ParseInt(std::string_view text, int& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.size() > 9) return false;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    while (true) {
        const std::size_t next = text.find(separator, pos);
        parts.push_back(text.substr(pos, next == std::string_view::npos ? text.npos : next - pos));
        if (next == std::string_view::npos) break;
        pos = next + 1;
    }
    return parts;
}

std::string BasicDateTime(const DateTime& value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02dT%02d%02d%02d", value.Year(), value.Month(),
                  value.Day(), value.Hour(), value.Minute(), value.Second());
    return buffer;
}

// Japan time as UTC, "YYYYMMDDTHHMMSSZ".
std::string UtcDateTime(const DateTime& japan) {
    return BasicDateTime(japan.PlusSeconds(-kJapanOffsetSeconds)) + "Z";
}

// BasicDate and BasicDateTime appended without formatting calls; the date parts are worked
// out once. Years printf would not write in four digits go the slow way.
void AppendCivilDate(std::string& out, const CivilDate& date) {
    const char digits[8] = {
        static_cast<char>('0' + date.year / 1000),    static_cast<char>('0' + date.year / 100 % 10),
        static_cast<char>('0' + date.year / 10 % 10), static_cast<char>('0' + date.year % 10),
        static_cast<char>('0' + date.month / 10),     static_cast<char>('0' + date.month % 10),
        static_cast<char>('0' + date.day / 10),       static_cast<char>('0' + date.day % 10)};
    out.append(digits, 8);
}

// A date-time as whole seconds since DateTime's epoch, the form DateTime keeps: the writer
// works on these integers instead of converting the double at every step.
struct Moment {
    long long seconds = 0;
    bool valid = true;

    static Moment Of(const DateTime& t) {
        // DateTime's own rounding; its values lie within a rounding error of whole seconds.
        const double x = t.Days() * 86400.0;
        return {static_cast<long long>(x >= 0 ? x + 0.5 : x - 0.5), t.IsValid()};
    }
    DateTime ToDateTime() const {
        return valid ? DateTime::FromDays(static_cast<double>(seconds) / 86400.0)
                     : DateTime::Invalid();
    }
    long Day() const {
        const long long d = seconds / 86400;
        return static_cast<long>(seconds % 86400 < 0 ? d - 1 : d);
    }
    int SecondsOfDay() const { return static_cast<int>(seconds - Day() * 86400LL); }
    Moment Date() const { return {Day() * 86400LL, valid}; }
    Moment PlusDays(long days) const { return {seconds + days * 86400LL, valid}; }
};

void AppendBasicDate(std::string& out, const Moment& value) {
    const CivilDate date = CivilFromDays(value.Day() - kEpochToUnixDays);
    if (date.year < 0 || date.year > 9999) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", date.year, date.month, date.day);
        out += buffer;
        return;
    }
    AppendCivilDate(out, date);
}

void AppendBasicDate(std::string& out, const DateTime& value) {
    AppendBasicDate(out, Moment::Of(value));
}

void AppendBasicDateTime(std::string& out, const Moment& value) {
    const CivilDate date = CivilFromDays(value.Day() - kEpochToUnixDays);
    const int seconds = value.SecondsOfDay();
    if (date.year < 0 || date.year > 9999) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02dT%02d%02d%02d", date.year, date.month,
                      date.day, seconds / 3600, seconds / 60 % 60, seconds % 60);
        out += buffer;
        return;
    }
    AppendCivilDate(out, date);
    const int hour = seconds / 3600, minute = seconds / 60 % 60, second = seconds % 60;
    const char time[7] = {'T',
                          static_cast<char>('0' + hour / 10),
                          static_cast<char>('0' + hour % 10),
                          static_cast<char>('0' + minute / 10),
                          static_cast<char>('0' + minute % 10),
                          static_cast<char>('0' + second / 10),
                          static_cast<char>('0' + second % 10)};
    out.append(time, 7);
}

void AppendUtcDateTime(std::string& out, const Moment& japan) {
    AppendBasicDateTime(out, Moment{japan.seconds - kJapanOffsetSeconds, japan.valid});
    out += 'Z';
}

void AppendUtcDateTime(std::string& out, const DateTime& japan) {
    AppendUtcDateTime(out, Moment::Of(japan));
}

void AppendNumber(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// EscapeText's output appended to out; plain runs are copied whole.
void AppendEscaped(std::string& out, std::string_view text) {
    static constexpr auto kSpecial = [] {
        std::array<bool, 256> special{};
        for (const unsigned char c : {'\\', ';', ',', '\n', '\r'}) special[c] = true;
        return special;
    }();
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!kSpecial[static_cast<unsigned char>(c)]) continue;
        out.append(text.data() + run, i - run);
        run = i + 1;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            // CR LF is one line break
        } else if (c == '\n' || c == '\r') {
            out += "\\n";
        } else {
            out += '\\';
            out += c;
        }
    }
    out.append(text.data() + run, text.size() - run);
}

// FoldLine's output appended to out.
void AppendFolded(std::string& out, std::string_view line) {
    std::size_t budget = 75;
    std::size_t pos = 0;
    while (line.size() - pos > budget) {
        std::size_t cut = pos + budget;
        // Back up to the start of a UTF-8 sequence.
        while (cut > pos && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        if (cut == pos) cut = pos + budget;  // not UTF-8 at all: cut anyway
        out.append(line.substr(pos, cut - pos));
        out += "\r\n ";
        pos = cut;
        budget = 74;
    }
    out.append(line.substr(pos));
    out += "\r\n";
}

// The value of a parameter (quotes removed), matched without regard to letter case.
std::string Parameter(std::string_view parameters, std::string_view key) {
    std::size_t pos = 0;
    while (pos <= parameters.size()) {
        // One parameter runs to the next ";" outside quotes.
        std::size_t end = pos;
        bool quoted = false;
        while (end < parameters.size() && (quoted || parameters[end] != ';')) {
            if (parameters[end] == '"') quoted = !quoted;
            ++end;
        }
        const std::string_view item = parameters.substr(pos, end - pos);
        const std::size_t eq = item.find('=');
        if (eq != std::string_view::npos && EqualNoCase(item.substr(0, eq), key)) {
            std::string value(item.substr(eq + 1));
            value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
            return value;
        }
        if (eq == std::string_view::npos && EqualNoCase(item, key)) return std::string(item);
        pos = end + 1;
    }
    return {};
}

// A parameter without "=" in vCalendar ("QUOTED-PRINTABLE") or ENCODING=...
bool IsQuotedPrintable(std::string_view parameters) {
    return EqualNoCase(Parameter(parameters, "ENCODING"), "QUOTED-PRINTABLE") ||
           EqualNoCase(Parameter(parameters, "QUOTED-PRINTABLE"), "QUOTED-PRINTABLE");
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string QpDecodeValue(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() + 0 && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else if (text[i] == '=' && i + 1 == text.size()) {
            // a soft break left at the end
        } else {
            out += text[i];
        }
    }
    return out;
}

// Shift_JIS bytes in quoted-printable form, lines of at most 76 characters (the first shorter
// by the property's head), broken between characters.
std::string QpEncodeValue(std::string_view sjis, std::size_t firstLineUsed) {
    std::string out;
    std::size_t lineLength = firstLineUsed;
    std::size_t i = 0;
    while (i < sjis.size()) {
        const auto lead = static_cast<unsigned char>(sjis[i]);
        const bool doubleByte =
            ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) &&
            i + 1 < sjis.size();
        const std::size_t count = doubleByte ? 2 : 1;
        std::string piece;
        for (std::size_t k = 0; k < count; ++k) {
            const auto byte = static_cast<unsigned char>(sjis[i + k]);
            if (byte < 0x21 || byte > 0x7E || byte == '=') {
                char buffer[4];
                std::snprintf(buffer, sizeof buffer, "=%02X", byte);
                piece += buffer;
            } else {
                piece += static_cast<char>(byte);
            }
        }
        // One character for the soft break's "=".
        if (lineLength + piece.size() > 75) {
            out += "=\r\n";
            lineLength = 0;
        }
        out += piece;
        lineLength += piece.size();
        i += count;
    }
    return out;
}

struct CalendarValue {
    DateTime value = DateTime::Invalid();
    bool hasTime = false;
};

// One STANDARD or DAYLIGHT part of a VTIMEZONE: from each onset (wall time in the offset
// before it) the zone is offsetTo seconds east of UTC.
struct ZoneObservance {
    DateTime start = DateTime::Invalid();  // DTSTART, the first onset
    long long offsetFrom = 0;
    long long offsetTo = 0;
    bool daylight = false;
    // A yearly RRULE: the month and either an ordinal weekday (2SU, -1SU) or a month day.
    bool yearly = false;
    int month = 0;
    int ordinal = 0;
    int weekday = -1;
    int monthDay = 0;
    DateTime until = DateTime::Invalid();  // in the zone's wall time, roughly
    std::vector<DateTime> extra;           // RDATE onsets
};

struct ZoneRules {
    std::vector<ZoneObservance> observances;
};

using ZoneOffsets = std::map<std::string, ZoneRules>;  // TZID upper-cased -> its rules

// The onset of a yearly observance in year, or Invalid when the rule gives none.
DateTime YearlyOnset(const ZoneObservance& o, int year) {
    if (year < kMinYear || year > kMaxYear || o.month < 1 || o.month > 12) {
        return DateTime::Invalid();
    }
    const int days = DaysInMonth(year, o.month);
    int day = 0;
    if (o.weekday >= 0) {
        if (o.ordinal > 0) {
            const int first = DateTime::FromDate(year, o.month, 1).DayOfWeek();
            day = 1 + (o.weekday - first + 7) % 7 + (o.ordinal - 1) * 7;
        } else if (o.ordinal < 0) {
            const int last = DateTime::FromDate(year, o.month, days).DayOfWeek();
            day = days - (last - o.weekday + 7) % 7 + (o.ordinal + 1) * 7;
        }
    } else if (o.monthDay != 0) {
        day = o.monthDay > 0 ? o.monthDay : days + 1 + o.monthDay;
    }
    if (day < 1 || day > days) return DateTime::Invalid();
    return DateTime::FromDate(year, o.month, day).WithTimeOf(o.start);
}

// The latest onset of the observance at or before the wall time, or Invalid.
DateTime LatestOnset(const ZoneObservance& o, const DateTime& wall) {
    DateTime best = DateTime::Invalid();
    auto consider = [&](const DateTime& onset) {
        if (!onset.IsValid() || onset > wall || onset < o.start) return;
        if (o.until.IsValid() && onset > o.until) return;
        if (!best.IsValid() || onset > best) best = onset;
    };
    consider(o.start);
    for (const DateTime& onset : o.extra) consider(onset);
    if (o.yearly) {
        int year = wall.Year();
        if (o.until.IsValid() && o.until.Year() < year) year = o.until.Year();
        consider(YearlyOnset(o, year));
        if (!best.IsValid() || best.Year() < year) consider(YearlyOnset(o, year - 1));
    }
    return best;
}

// Seconds east of UTC that the zone's rules give for a wall time; nullopt without rules.
std::optional<long long> ZoneOffsetAt(const ZoneRules& rules, const DateTime& wall) {
    const ZoneObservance* current = nullptr;
    DateTime latest = DateTime::Invalid();
    for (const ZoneObservance& o : rules.observances) {
        const DateTime onset = LatestOnset(o, wall);
        if (onset.IsValid() && (!latest.IsValid() || onset > latest)) {
            latest = onset;
            current = &o;
        }
    }
    if (current) return current->offsetTo;
    // Before every onset: the standard time's offset, as the zone was first described.
    for (const ZoneObservance& o : rules.observances) {
        if (!o.daylight) return o.offsetTo;
    }
    if (!rules.observances.empty()) return rules.observances.front().offsetFrom;
    return std::nullopt;
}

bool IsJapanZone(std::string_view tzid) {
    const std::string upper = Upper(tzid);
    return upper.find("TOKYO") != std::string::npos || upper == "JST" ||
           upper.find("JAPAN") != std::string::npos;
}

// "YYYYMMDD" or "YYYYMMDDTHHMMSS", "Z" as UTC, a TZID through the file's zones; Japan time out.
CalendarValue ParseCalendarValue(std::string_view text, std::string_view parameters,
                                 const ZoneOffsets& zones) {
    CalendarValue result;
    const std::size_t t = FindAny(text, 'T', 't');
    const std::string_view date = text.substr(0, t);
    int y = 0, m = 0, d = 0;
    if (date.size() != 8 || !ParseInt(date.substr(0, 4), y) || !ParseInt(date.substr(4, 2), m) ||
        !ParseInt(date.substr(6, 2), d) || !IsValidDate(y, m, d)) {
        return result;
    }
    if (t == std::string_view::npos) {
        result.value = DateTime::FromDate(y, m, d);
        return result;
    }
    const std::string_view time = text.substr(t + 1);
    int hh = 0, mm = 0, ss = 0;
    if (time.size() < 6 || !ParseInt(time.substr(0, 2), hh) || !ParseInt(time.substr(2, 2), mm) ||
        !ParseInt(time.substr(4, 2), ss) || hh > 23 || mm > 59 || ss > 60) {
        return result;
    }
    DateTime value = DateTime::FromParts(y, m, d, hh, mm, std::min(ss, 59));
    const std::string_view rest = time.substr(6);
    if (value.IsValid() && rest.empty() &&
        (parameters.empty() || parameters == "TZID=Asia/Tokyo")) {
        // Japan time as written: the year was checked above.
        result.value = value;
        result.hasTime = true;
        return result;
    }
    if (rest == "Z" || rest == "z") {
        value = value.PlusSeconds(kJapanOffsetSeconds);
    } else if (!rest.empty()) {
        return result;
    } else {
        const std::string tzid = Parameter(parameters, "TZID");
        if (!tzid.empty() && !IsJapanZone(tzid)) {
            const auto zone = zones.find(Upper(tzid));
            if (zone != zones.end()) {
                if (const auto offset = ZoneOffsetAt(zone->second, value)) {
                    value = value.PlusSeconds(kJapanOffsetSeconds - *offset);
                }
            }
        }
    }
    if (!value.IsValid() || value.Year() < kMinYear || value.Year() > kMaxYear) return result;
    result.value = value;
    result.hasTime = true;
    return result;
}

// "-PT15M", "-P1D", "PT0S", "-PT1H30M": minutes before the start; -1 when not a lead time.
int TriggerMinutes(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || (text[0] != 'P' && text[0] != 'p')) return -1;
    long long seconds = 0;
    long long number = 0;
    bool digits = false;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        if (c >= '0' && c <= '9') {
            number = number * 10 + (c - '0');
            digits = true;
            if (number > 10'000'000) return -1;
            continue;
        }
        if (c == 'T') continue;
        if (!digits) return -1;
        if (c == 'W')
            seconds += number * 7 * 86400;
        else if (c == 'D')
            seconds += number * 86400;
        else if (c == 'H')
            seconds += number * 3600;
        else if (c == 'M')
            seconds += number * 60;
        else if (c == 'S')
            seconds += number;
        else
            return -1;
        number = 0;
        digits = false;
    }
    if (digits) return -1;
    if (!negative && seconds != 0) return -1;
    return static_cast<int>(seconds / 60);
}

// Seconds east of UTC from "+0900" / "-0500".
bool ParseOffset(std::string_view text, long long& seconds) {
    if (text.size() < 5 || (text[0] != '+' && text[0] != '-')) return false;
    int hh = 0, mm = 0;
    if (!ParseInt(text.substr(1, 2), hh) || !ParseInt(text.substr(3, 2), mm)) return false;
    seconds = (hh * 3600LL + mm * 60LL) * (text[0] == '-' ? -1 : 1);
    return true;
}

// Calls f(day) for the days the record occurs on in [from, to], ignoring shifts and
// exceptions, at most limit times.
template <class F>
void ForEachPlainOccurrence(const CAlmxData& plain, const DateTime& from, const DateTime& to,
                            std::size_t limit, F f) {
    // A day's answer does not depend on the window around it (there is no shift rule), so
    // the windows start short, for the usual occurrence near from, and grow for a rule whose
    // days lie far off or never come.
    std::array<std::uint8_t, 4096> mask;
    std::size_t found = 0;
    long length = 32;
    for (DateTime chunk = from; chunk <= to && found < limit; chunk = chunk.PlusDays(length)) {
        if (chunk != from && length < static_cast<long>(mask.size())) length *= 2;
        DateTime chunkEnd = chunk.PlusDays(length - 1);
        if (chunkEnd > to) chunkEnd = to;
        std::size_t size = 0;
        if (chunk.IsValid() && chunkEnd.IsValid() && chunkEnd >= chunk) {
            size = static_cast<std::size_t>(chunkEnd.DayNumber() - chunk.DayNumber() + 1);
        }
        const std::span<std::uint8_t> window(mask.data(), std::min(size, mask.size()));
        OccurrenceMask(plain, chunk, chunkEnd, window);
        const std::uint8_t* at = window.data();
        const std::uint8_t* const end = window.data() + window.size();
        while (found < limit) {
            at = static_cast<const std::uint8_t*>(
                std::memchr(at, 1, static_cast<std::size_t>(end - at)));
            if (!at) break;
            f(chunk.PlusDays(static_cast<long>(at - window.data())));
            ++found;
            ++at;
        }
    }
}

// The days the record occurs on in [from, to], ignoring shifts and exceptions.
std::vector<DateTime> PlainOccurrences(const CAlmxData& plain, const DateTime& from,
                                       const DateTime& to, std::size_t limit) {
    std::vector<DateTime> days;
    ForEachPlainOccurrence(plain, from, to, limit,
                           [&](const DateTime& day) { days.push_back(day); });
    return days;
}

// The record without its shift rule and exceptions. The texts are left out: occurrences never
// look at them, and copying them costs more than the rest.
CAlmxData PlainCopy(const CAlmxData& record) {
    CAlmxData plain;
    plain.start = record.start;
    plain.end = record.end;
    plain.flags = record.flags;
    plain.repeatType = record.repeatType;
    plain.repeatFirstDay = record.repeatFirstDay;
    plain.repeatLastDay = record.repeatLastDay;
    plain.repeatInterval = record.repeatInterval;
    plain.positionMode = record.positionMode;
    plain.validWeeks = record.validWeeks;
    plain.validWeekdays = record.validWeekdays;
    plain.validMonths = record.validMonths;
    plain.shiftRule = 0;
    return plain;
}

DateTime LastDay() {
    return DateTime::FromDate(kMaxYear, 12, 31);
}

// The days (DateTime day numbers) a recurring record occurs on in [from, to], ignoring shifts
// and exceptions, the day changing at midnight: the days OccurrenceMask marks for its plain
// copy, found by integer day arithmetic instead of a mask over DateTime windows. emit(day)
// returns false to stop.
class RuleDays {
  public:
    explicit RuleDays(const CAlmxData& record) : r_(record) {}

    template <class F>
    void ForEach(long from, long to, F emit) const {
        if (!r_.start.IsValid() || !r_.end.IsValid()) return;
        const long startDay = r_.start.DayNumber();
        from = std::max({from, startDay, FirstDay()});
        to = std::min({to, r_.end.DayNumber(), LastDayNumber()});
        if (from > to) return;
        const long n = std::max(1, r_.repeatInterval);
        const bool byPosition = r_.positionMode != 0 && r_.repeatType >= RepeatMonths;
        switch (r_.repeatType) {
            case RepeatDays:
            case RepeatWeeks: {
                const long step = r_.repeatType == RepeatDays ? n : 7 * n;
                const long r = (startDay - from) % step;
                for (long d = from + (r < 0 ? r + step : r); d <= to; d += step) {
                    if (!emit(d)) return;
                }
                return;
            }
            case RepeatMonths:
            case RepeatYears:
            case RepeatChosenMonths:
                if (byPosition) {
                    ByPosition(from, to, n, emit);
                } else if (r_.repeatType == RepeatYears) {
                    YearsByDay(from, to, n, emit);
                } else {
                    MonthsByDay(from, to, n, emit);
                }
                return;
            default:
                return;
        }
    }

  private:
    static long DayOf(int year, int month, int day) {
        return DaysFromCivil(year, month, day) + kEpochToUnixDays;
    }
    static CivilDate CivilOf(long dayNumber) { return CivilFromDays(dayNumber - kEpochToUnixDays); }
    static long FirstDay() { return DayOf(kMinYear, 1, 1); }
    static long LastDayNumber() { return DayOf(kMaxYear, 12, 31); }
    static long Mod(long a, long m) {
        const long r = a % m;
        return r < 0 ? r + m : r;
    }
    static bool PossibleDay(int day) { return day == -1 || (day >= 1 && day <= 31); }
    // The calendar, weekdays included, repeats every 400 years; a rule stepping through cycle
    // months repeats with it. A rule without a day in that many cycle months never has one
    // (a monthly rule from the 31st to the 1st), and the search stops instead of walking on
    // to the year 9998.
    static constexpr int kPeriodMonths = 400 * 12;
    // -1 the month's last day; 0 when the month lacks the day.
    static int DayIn(int day, int length) {
        if (day == -1) return length;
        return day >= 1 && day <= length ? day : 0;
    }

    // Days first..last (capped at the month's end) of a month starting on monthStart.
    template <class F>
    static bool EmitDays(long monthStart, int first, int last, int length, long from, long to,
                         F& emit) {
        last = std::min(last, length);
        for (int day = first; day <= last; ++day) {
            const long d = monthStart + day - 1;
            if (d < from) continue;
            if (d > to || !emit(d)) return false;
        }
        return true;
    }

    template <class F>
    void MonthsByDay(long from, long to, long n, F& emit) const {
        if (!PossibleDay(r_.repeatFirstDay)) return;
        const bool months = r_.repeatType == RepeatMonths;
        // Spans ending before they begin in every month (the last day to the 1st) at once.
        const int lowest = r_.repeatFirstDay == -1 ? 28 : r_.repeatFirstDay;
        if (months && r_.repeatLastDay != -1 && r_.repeatLastDay < lowest) return;
        const CivilDate f = CivilOf(from);
        long m = 12L * f.year + (f.month - 1);
        const long step = months ? n : 1;
        if (months) m += Mod(12L * r_.start.Year() + (r_.start.Month() - 1) - m, n);
        for (int misses = 0; misses <= kPeriodMonths; m += step) {
            const int year = static_cast<int>(m / 12);
            const int month = static_cast<int>(m % 12) + 1;
            if (year > kMaxYear) return;
            const long monthStart = DayOf(year, month, 1);
            if (monthStart > to) return;
            ++misses;
            if (!months && !r_.validMonths[static_cast<std::size_t>(month - 1)]) continue;
            const int length = DaysInMonth(year, month);
            const int first = DayIn(r_.repeatFirstDay, length);
            if (first == 0) continue;
            const int last = !months ? first : r_.repeatLastDay == -1 ? length : r_.repeatLastDay;
            if (first > std::min(last, length)) continue;
            misses = 0;
            if (!EmitDays(monthStart, first, last, length, from, to, emit)) return;
        }
    }

    template <class F>
    void YearsByDay(long from, long to, long n, F& emit) const {
        if (!PossibleDay(r_.repeatFirstDay)) return;
        const int month = r_.start.Month();
        long year = CivilOf(from).year;
        year += Mod(r_.start.Year() - year, n);
        for (int misses = 0; year <= kMaxYear && misses <= kPeriodMonths / 12; year += n) {
            const int y = static_cast<int>(year);
            const long monthStart = DayOf(y, month, 1);
            if (monthStart > to) return;
            ++misses;
            const int length = DaysInMonth(y, month);
            const int first = DayIn(r_.repeatFirstDay, length);
            if (first == 0) continue;
            const int last = r_.repeatLastDay == -1 ? length : r_.repeatLastDay;
            if (first > std::min(last, length)) continue;
            misses = 0;
            if (!EmitDays(monthStart, first, last, length, from, to, emit)) return;
        }
    }

    template <class F>
    void ByPosition(long from, long to, long n, F& emit) const {
        const auto any = [](const auto& flags) {
            return std::find(flags.begin(), flags.end(), 1) != flags.end();
        };
        if (!any(r_.validWeeks) || !any(r_.validWeekdays)) return;
        const CivilDate f = CivilOf(from);
        const long startMonth = 12L * r_.start.Year() + (r_.start.Month() - 1);
        const int startYear = r_.start.Year();
        long m = 12L * f.year + (f.month - 1);
        // Only cycle months are visited: every n-th month, or the months of every n-th year.
        const bool months = r_.repeatType == RepeatMonths;
        if (months) m += Mod(startMonth - m, n);
        for (int misses = 0; misses <= kPeriodMonths; m += months ? n : 1) {
            if (r_.repeatType == RepeatYears && Mod(m / 12 - startYear, n) != 0) {
                m = 12 * (m / 12 + Mod(startYear - m / 12, n));
            }
            const int year = static_cast<int>(m / 12);
            const int month = static_cast<int>(m % 12) + 1;
            if (year > kMaxYear) return;
            const long monthStart = DayOf(year, month, 1);
            if (monthStart > to) return;
            ++misses;
            if (!r_.validMonths[static_cast<std::size_t>(month - 1)]) continue;
            misses = 0;
            const int length = DaysInMonth(year, month);
            const int firstWeekday = WeekdayFromDays(monthStart - kEpochToUnixDays);
            const int lastWeekday = (firstWeekday + length - 1) % 7;
            // Up to 35 days, in no order and possibly twice (the 4th and the last week).
            std::array<int, 35> days;
            std::size_t count = 0;
            for (int week = 0; week < 5; ++week) {
                if (!r_.validWeeks[static_cast<std::size_t>(week)]) continue;
                for (int weekday = 0; weekday < 7; ++weekday) {
                    if (!r_.validWeekdays[static_cast<std::size_t>(weekday)]) continue;
                    days[count++] = week == 4 ? length - ((lastWeekday - weekday + 7) % 7)
                                              : 1 + ((weekday - firstWeekday + 7) % 7) + 7 * week;
                }
            }
            std::sort(days.begin(), days.begin() + static_cast<long>(count));
            for (std::size_t i = 0; i < count; ++i) {
                if (i > 0 && days[i] == days[i - 1]) continue;
                const long d = monthStart + days[i] - 1;
                if (d < from) continue;
                if (d > to || !emit(d)) return;
            }
        }
    }

    const CAlmxData& r_;
};

}  // namespace

// ---- CVDataArray ----

const CVData* CVDataArray::Find(std::string_view name) const {
    for (const CVData& item : items_) {
        if (EqualNoCase(item.name, name)) return &item;
    }
    return nullptr;
}

CVData* CVDataArray::Find(std::string_view name) {
    for (CVData& item : items_) {
        if (EqualNoCase(item.name, name)) return &item;
    }
    return nullptr;
}

const std::string& CVDataArray::Value(std::string_view name) const {
    static const std::string empty;
    const CVData* item = Find(name);
    return item ? item->value : empty;
}

void CVDataArray::Set(std::string_view name, std::string_view value) {
    if (CVData* item = Find(name)) {
        item->value = std::string(value);
        return;
    }
    Add(CVData{std::string(name), std::string(value), {}});
}

void CVDataArray::Add(CVData property) {
    if (items_.size() == items_.capacity()) {
        const std::size_t step =
            growStep_ > 0 ? growStep_ : std::clamp<std::size_t>(items_.size() / 8, 4, 1024);
        items_.reserve(items_.size() + step);
    }
    items_.push_back(std::move(property));
}

// ---- CVCalender ----

CVCalender::CVCalender(const DateTime& now) {
    for (const char* name :
         {"BEGIN", "DTSTART", "DTEND", "RRULE", "DTSTAMP", "AALARM", "UID", "DESCRIPTION",
          "SUMMARY", "LOCATION", "DUE", "COMPLETED", "STATUS", "END"}) {
        Add(CVData{name, {}, {}});
    }
    Set("BEGIN", "VEVENT");
    Set("END", "VEVENT");
    Set("DTSTAMP", BasicDateTime(now));
}

void CVCalender::MakeTodo() {
    Set("BEGIN", "VTODO");
    Set("END", "VTODO");
}

bool CVCalender::IsTodo() const {
    return EqualNoCase(Value("BEGIN"), "VTODO");
}

namespace {

// What FromRecord takes from a record for iCalendar, the texts aside.
struct ComponentTimes {
    bool todo = false;
    Moment start;
    Moment end{0, false};
    int startHasTime = 1;
    int endHasTime = 1;
    bool hasEnd = true;
    bool noDeadline = false;
    int alarmMinutes = -1;
    int timeFlags = -1;
    int shiftRule = 0;
};

void RecordRuleInto(const CAlmxData& record, RuleText& out);

// rule is reused from record to record so that its buffers are.
void DeriveComponent(const CAlmxData& record, ComponentTimes& c, RuleText& rule) {
    c = ComponentTimes{};
    rule.rrule.clear();
    rule.exdates.clear();
    if (record.Has(RecordFlag::IsTodo)) {
        c.todo = true;
        c.start = Moment::Of(record.start);
        c.startHasTime = record.Has(StartTimeSet) ? 1 : 0;
        c.noDeadline = record.Has(TodoNoDeadline);
        if (record.Has(TodoDone)) c.end = Moment::Of(record.end);
        return;
    }
    c.startHasTime = record.Has(StartTimeSet) ? 1 : 0;
    c.endHasTime = record.Has(EndTimeSet) ? 1 : 0;
    c.timeFlags = c.startHasTime | (c.endHasTime << 1);
    c.alarmMinutes = record.Has(StartTimeSet) ? record.alarmMinutes : -1;
    c.shiftRule = record.shiftRule;
    RecordRuleInto(record, rule);
    const Moment start = Moment::Of(record.start);
    Moment end = Moment::Of(record.end);
    end.valid = end.valid && start.valid;
    // FirstOccurrenceEnd in seconds.
    Moment firstEnd;
    if (!record.IsRecurring()) {
        firstEnd = end.seconds > start.seconds
                       ? end
                       : Moment{end.Day() * 86400LL + start.SecondsOfDay(), end.valid};
    } else {
        const Moment candidate{start.Day() * 86400LL + end.SecondsOfDay(), end.valid};
        firstEnd = candidate.seconds > start.seconds ? candidate : start;
    }
    const long shift = record.IsRecurring() ? rule.first.DayNumber() - start.Day() : 0;
    c.start = start.PlusDays(shift);
    c.end = firstEnd.PlusDays(shift);
    if (c.end.seconds < c.start.seconds) c.end = c.start;
    c.hasEnd = true;
    if (c.startHasTime && !c.endHasTime) {
        // Start time only: the event has no end unless it runs over several days.
        c.hasEnd = c.end.Day() - c.start.Day() > 0;
        if (c.hasEnd) c.end = c.end.Date().PlusDays(1);
    } else if (!c.startHasTime && c.endHasTime) {
        c.start = c.start.Date();
    } else if (!c.startHasTime) {
        c.start = c.start.Date();
        c.end = record.IsRecurring() ? c.start.PlusDays(1) : c.end.Date().PlusDays(1);
    }
    if (c.startHasTime || c.endHasTime) c.startHasTime = c.endHasTime = 1;
}

}  // namespace

void CVCalender::FromRecord(const CAlmxData& record) {
    summary = record.title;
    description = record.memo;
    location = record.place;
    ComponentTimes c;
    RuleText rule;
    DeriveComponent(record, c, rule);
    start = c.start.ToDateTime();
    startHasTime = c.startHasTime;
    if (c.todo) {
        MakeTodo();
        noDeadline = c.noDeadline;
        end = c.end.ToDateTime();
        return;
    }
    endHasTime = c.endHasTime;
    timeFlags = c.timeFlags;
    alarmMinutes = c.alarmMinutes;
    shiftRule = c.shiftRule;
    rrule = std::move(rule.rrule);
    exdates = std::move(rule.exdates);
    end = c.end.ToDateTime();
    hasEnd = c.hasEnd;
    if (alarmMinutes >= 0) alarm = record.start.PlusMinutes(-alarmMinutes);
}

void CVCalender::FromRecordForVcs(const CAlmxData& record, const DateTime& day, int todayLimit) {
    summary = record.title;
    description = record.memo;
    location = record.place;
    if (record.Has(RecordFlag::IsTodo)) {
        MakeTodo();
        start = record.start;
        noDeadline = record.Has(TodoNoDeadline);
        if (record.Has(TodoDone)) end = record.end;
        return;
    }
    startHasTime = record.Has(StartTimeSet) ? 1 : 0;
    endHasTime = record.Has(EndTimeSet) ? 1 : 0;
    const DateTime firstEnd = FirstOccurrenceEnd(record, false);
    if (!record.IsRecurring()) {
        start = record.start;
        end = firstEnd;
    } else {
        // The day shown holds an occurrence that starts after midnight only when its start
        // time lies before the day change hour.
        DateTime d = day.Date();
        if (record.Has(StartTimeSet) && record.start.Hour() < todayLimit) d = d.PlusDays(1);
        start = d.WithTimeOf(record.start);
        end = start.PlusSeconds(
            static_cast<long long>((firstEnd.Days() - record.start.Days()) * 86400.0 + 0.5));
    }
    // Only a timed schedule rings.
    if (record.alarmMinutes >= 0 && record.Has(StartTimeSet)) {
        alarmMinutes = record.alarmMinutes;
        alarm = start.PlusMinutes(-record.alarmMinutes);
    }
}

namespace {

std::string VcsText(const std::string& name, const std::string& value) {
    const std::string sjis = text::Utf8ToShiftJis(value).bytes;
    const std::string head = name + ";CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:";
    return head + QpEncodeValue(sjis, head.size()) + "\r\n";
}

// Writes iCalendar lines straight into one string: a line is appended as it is made and folded
// in place when it comes out longer than 75 octets, which most lines never do.
class LineWriter {
  public:
    explicit LineWriter(std::string& out) : out_(out) {}

    std::string& Begin() {
        start_ = out_.size();
        return out_;
    }
    void End() {
        if (out_.size() - start_ <= 75) {
            out_ += "\r\n"sv;
            return;
        }
        scratch_.assign(out_, start_, std::string::npos);
        out_.resize(start_);
        AppendFolded(out_, scratch_);
    }
    void Line(std::string_view text) {
        Begin() += text;
        End();
    }
    void Text(std::string_view head, std::string_view text) {
        AppendEscaped(Begin() += head, text);
        End();
    }
    void Date(std::string_view name, const DateTime& value, bool hasTime) {
        Date(name, Moment::Of(value), hasTime);
    }
    void Date(std::string_view name, const Moment& value, bool hasTime) {
        Begin() += name;
        if (hasTime) {
            out_ += ";TZID="sv;
            out_ += vcal_messages::kTimeZone;
            out_ += ':';
            AppendBasicDateTime(out_, value);
        } else {
            out_ += ";VALUE=DATE:"sv;
            AppendBasicDate(out_, value);
        }
        End();
    }
    void Number(std::string_view head, long long value, std::string_view tail = {}) {
        AppendNumber(Begin() += head, value);
        out_ += tail;
        End();
    }

  private:
    std::string& out_;
    std::string scratch_;
    std::size_t start_ = 0;
};

// One VEVENT or VTODO of an iCalendar file; dtstamp is the formatted UTC time.
void AppendICalComponent(LineWriter& w, const ComponentTimes& c, std::string_view rrule,
                         const std::vector<DateTime>& exdates, std::string_view summary,
                         std::string_view description, std::string_view location,
                         std::string_view uid, std::string_view dtstamp) {
    const std::string_view kind = c.todo ? "VTODO" : "VEVENT";
    std::string& out = w.Begin();
    out += "BEGIN:"sv;
    out += kind;
    w.End();
    w.Begin() += "UID:"sv;
    out += uid;
    w.End();
    w.Begin() += "DTSTAMP:"sv;
    out += dtstamp;
    w.End();
    if (c.todo) {
        if (!c.noDeadline && c.start.valid) w.Date("DUE"sv, c.start, c.startHasTime != 0);
        if (c.end.valid) {
            w.Line("STATUS:COMPLETED"sv);
            AppendUtcDateTime(w.Begin() += "COMPLETED:"sv, c.end);
            w.End();
        } else {
            w.Line("STATUS:NEEDS-ACTION"sv);
        }
    } else {
        w.Date("DTSTART"sv, c.start, c.startHasTime != 0);
        if (c.hasEnd) w.Date("DTEND"sv, c.end, c.startHasTime != 0);
        if (!rrule.empty()) {
            w.Begin() += "RRULE:"sv;
            out += rrule;
            w.End();
        }
        for (const DateTime& day : exdates) w.Date("EXDATE"sv, day, c.startHasTime != 0);
    }
    w.Text("SUMMARY:"sv, summary);
    if (!description.empty()) w.Text("DESCRIPTION:"sv, description);
    if (!location.empty()) w.Text("LOCATION:"sv, location);
    if (c.timeFlags >= 0) w.Number("X-ALMX-TIMES:"sv, c.timeFlags);
    if (c.shiftRule != 0) w.Number("X-ALMX-SHIFT:"sv, c.shiftRule);
    if (!c.todo && c.alarmMinutes >= 0) {
        w.Line("BEGIN:VALARM"sv);
        w.Line("ACTION:DISPLAY"sv);
        w.Text("DESCRIPTION:"sv, summary);
        w.Number("TRIGGER:-PT"sv, c.alarmMinutes, "M");
        w.Line("END:VALARM"sv);
    }
    w.Begin() += "END:"sv;
    out += kind;
    w.End();
}

}  // namespace

std::string CVCalender::ToText(int version, const std::string& uidText, const DateTime& now) const {
    std::string out;
    const std::string kind = IsTodo() ? "VTODO" : "VEVENT";
    if (version == 2) {
        ComponentTimes c;
        c.todo = IsTodo();
        c.start = Moment::Of(start);
        c.end = Moment::Of(end);
        c.startHasTime = startHasTime;
        c.endHasTime = endHasTime;
        c.hasEnd = hasEnd;
        c.noDeadline = noDeadline;
        c.alarmMinutes = alarmMinutes;
        c.timeFlags = timeFlags;
        c.shiftRule = shiftRule;
        LineWriter writer(out);
        AppendICalComponent(writer, c, rrule, exdates, summary, description, location, uidText,
                            UtcDateTime(now));
        return out;
    }
    // vCalendar 1.0: local times without zone, texts in quoted-printable Shift_JIS.
    out += "BEGIN:" + kind + "\r\n";
    if (IsTodo()) {
        if (!noDeadline && start.IsValid()) out += "DUE:" + BasicDateTime(start) + "\r\n";
        if (end.IsValid()) {
            out += "STATUS:COMPLETED\r\n";
            out += "COMPLETED:" + BasicDateTime(end) + "\r\n";
        } else {
            out += "STATUS:NEEDS ACTION\r\n";
        }
    } else {
        out += "DTSTART:" + BasicDateTime(start) + "\r\n";
        out += "DTEND:" + BasicDateTime(end) + "\r\n";
        if (alarm.IsValid()) out += "AALARM:" + BasicDateTime(alarm) + "\r\n";
    }
    out += "UID:" + uidText + "\r\n";
    out += VcsText("SUMMARY", summary);
    if (!description.empty()) {
        std::string crlf;
        for (char c : description) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        out += VcsText("DESCRIPTION", crlf);
    }
    if (!location.empty()) out += VcsText("LOCATION", location);
    out += "END:" + kind + "\r\n";
    return out;
}

// ---- Text helpers ----

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

std::string UnescapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += (next == 'n' || next == 'N') ? '\n' : next;
    }
    return out;
}

std::string FoldLine(std::string_view line) {
    std::string out;
    out.reserve(line.size() + line.size() / 24 + 2);
    AppendFolded(out, line);
    return out;
}

std::vector<std::string> UnfoldLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    bool qpOpen = false;  // a quoted-printable value whose line ended in "="
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = end + 1;
        if (qpOpen && !lines.empty()) {
            lines.back().pop_back();  // the soft break's "="
            lines.back().append(line);
        } else if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty()) {
            lines.back().append(line.substr(1));
        } else {
            lines.emplace_back(line);
        }
        const std::string& last = lines.back();
        const std::size_t colon = last.find(':');
        qpOpen = !last.empty() && last.back() == '=' && colon != std::string::npos &&
                 IsQuotedPrintable(std::string_view(last).substr(0, colon));
    }
    return lines;
}

// ---- Rules ----

namespace {

void RecordRuleInto(const CAlmxData& record, RuleText& out) {
    out.rrule.clear();
    out.exdates.clear();
    out.first = record.start.Date();
    if (!record.IsRecurring()) return;
    const RuleDays days(record);
    const DateTime last = record.end.Date();
    const long startDay = record.start.DayNumber();
    long firstDay = startDay;
    days.ForEach(startDay, std::max(record.end.DayNumber(), startDay), [&](long day) {
        firstDay = day;
        return false;
    });
    out.first = record.start.Date().PlusDays(firstDay - startDay);

    std::string& rule = out.rrule;
    const int n = std::max(1, record.repeatInterval);
    auto weekCode = [&](int week) {
        if (week == 4) {
            rule += "-1";
        } else {
            AppendNumber(rule, week + 1);
        }
    };
    auto byDay = [&](bool single) {
        bool any = false;
        for (int w = 0; w < 5; ++w) {
            if (!record.validWeeks[static_cast<std::size_t>(w)]) continue;
            for (int d = 0; d < 7; ++d) {
                if (!record.validWeekdays[static_cast<std::size_t>(d)]) continue;
                if (any) rule += ',';
                any = true;
                weekCode(w);
                rule += kCodes[d];
                if (single) return;
            }
        }
    };
    auto monthDays = [&](bool span) {
        const int first = record.repeatFirstDay;
        if (first == -1) {
            rule += "-1";
            return;
        }
        int lastDay = span ? record.repeatLastDay : first;
        if (lastDay == -1) lastDay = 31;
        AppendNumber(rule, first);
        for (int d = first + 1; d <= lastDay && d <= 31; ++d) {
            rule += ',';
            AppendNumber(rule, d);
        }
    };
    auto months = [&] {
        bool any = false;
        for (int m = 0; m < 12; ++m) {
            if (!record.validMonths[static_cast<std::size_t>(m)]) continue;
            if (any) rule += ',';
            any = true;
            AppendNumber(rule, m + 1);
        }
    };
    bool useInterval = true;
    switch (record.repeatType) {
        case RepeatDays:
            rule = "FREQ=DAILY";
            break;
        case RepeatWeeks:
            rule = "FREQ=WEEKLY";
            break;
        case RepeatMonths:
            rule = "FREQ=MONTHLY";
            if (record.positionMode) {
                rule += ";BYDAY=";
                byDay(true);
            } else {
                rule += ";BYMONTHDAY=";
                monthDays(true);
            }
            break;
        case RepeatYears:
            rule = "FREQ=YEARLY";
            if (record.positionMode) {
                rule += ";BYDAY=";
                byDay(true);
                rule += ";BYMONTH=";
                months();
            } else {
                rule += ";BYMONTHDAY=";
                monthDays(true);
                rule += ";BYMONTH=";
                AppendNumber(rule, record.start.Month());
            }
            break;
        case RepeatChosenMonths: {
            rule = "FREQ=MONTHLY";
            if (record.positionMode) {
                rule += ";BYDAY=";
                byDay(false);
            } else {
                rule += ";BYMONTHDAY=";
                monthDays(false);
            }
            // Chosen months step month by month; all twelve need no BYMONTH.
            useInterval = false;
            const std::size_t mark = rule.size();
            rule += ";BYMONTH=";
            months();
            if (std::string_view(rule).substr(mark) == ";BYMONTH=1,2,3,4,5,6,7,8,9,10,11,12") {
                rule.resize(mark);
            }
            break;
        }
        default:
            rule.clear();
            return;
    }
    if (useInterval && n != 1) {
        rule += ";INTERVAL=";
        AppendNumber(rule, n);
    }
    if (last != LastDay()) {
        rule += ";UNTIL=";
        if (record.Has(StartTimeSet)) {
            AppendUtcDateTime(rule, last.WithTimeOf(record.start));
        } else {
            AppendBasicDate(rule, last);
        }
    }
    for (const CDaySpan& span : record.exceptions) {
        if (!DateExists(span.firstYear, span.firstMonth, span.firstDay) ||
            !DateExists(span.lastYear, span.lastMonth, span.lastDay)) {
            continue;
        }
        const long from = std::max(
            DaysFromCivil(span.firstYear, span.firstMonth, span.firstDay) + kEpochToUnixDays,
            firstDay);
        const long to =
            std::min(DaysFromCivil(span.lastYear, span.lastMonth, span.lastDay) + kEpochToUnixDays,
                     record.end.DayNumber());
        std::size_t left = 10000;
        days.ForEach(from, to, [&](long day) {
            const DateTime date = record.start.Date().PlusDays(day - startDay);
            out.exdates.push_back(record.Has(StartTimeSet) ? date.WithTimeOf(record.start) : date);
            return --left > 0;
        });
    }
}

}  // namespace

RuleText RecordRule(const CAlmxData& record) {
    RuleText out;
    RecordRuleInto(record, out);
    return out;
}

namespace {

struct DayEntry {
    int ordinal = 0;  // 0 every such weekday; 1..4; 5 last
    int weekday = 0;
};

bool Reject(std::string& why, const std::string& text) {
    why = text;
    return false;
}

}  // namespace

// A vCalendar 1.0 rule ("D1 #5", "W2 MO WE 20261231T000000", "MD1 10 LD", "MP1 1+ MO 2-
// FR", "YM1 6 #0") in RRULE words; empty when it is not one of those.
std::string VcsRuleToRRule(std::string_view rule) {
    std::vector<std::string_view> words;
    for (std::string_view word : Split(rule, ' ')) {
        if (!word.empty()) words.push_back(word);
    }
    if (words.empty()) return {};
    std::string_view head = words.front();
    std::string freq;
    std::size_t digits = 0;
    if (head.rfind("MD", 0) == 0 || head.rfind("MP", 0) == 0 || head.rfind("YM", 0) == 0) {
        freq = head[0] == 'Y' ? "YEARLY" : "MONTHLY";
        digits = 2;
    } else if (head.rfind("D", 0) == 0 || head.rfind("W", 0) == 0) {
        freq = head[0] == 'D' ? "DAILY" : "WEEKLY";
        digits = 1;
    } else {
        return {};
    }
    int interval = 0;
    if (!ParseInt(head.substr(digits), interval) || interval < 1) return {};
    std::string out = "FREQ=" + freq + ";INTERVAL=" + std::to_string(interval);
    std::string list;
    std::string end;
    int ordinal = 0;
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string_view word = words[i];
        std::string item;
        if (word.front() == '#') {
            if (word != "#0") end = ";COUNT=" + std::string(word.substr(1));
            continue;
        }
        if (word.size() >= 8 && std::isdigit(static_cast<unsigned char>(word[0])) &&
            word.size() != 2 && word.find_first_not_of("0123456789") >= 8) {
            end = ";UNTIL=" + std::string(word);
            continue;
        }
        if (head[0] == 'M' && head[1] == 'P' && word.size() == 2 &&
            (word[1] == '+' || word[1] == '-') &&
            std::isdigit(static_cast<unsigned char>(word[0]))) {
            ordinal = (word[0] - '0') * (word[1] == '-' ? -1 : 1);
            continue;
        }
        if (word == "LD") {
            item = "-1";
        } else if (head[1] == 'P' && ordinal != 0) {
            item = std::to_string(ordinal) + std::string(word);
        } else {
            item = std::string(word);
        }
        list += (list.empty() ? "" : ",") + item;
    }
    if (!list.empty()) {
        if (head.rfind("MD", 0) == 0)
            out += ";BYMONTHDAY=" + list;
        else if (head.rfind("YM", 0) == 0)
            out += ";BYMONTH=" + list;
        else
            out += ";BYDAY=" + list;
    }
    return out + end;
}

namespace {

// The few NAME=VALUE parts of a rule, in name order as a map keeps them, in one vector.
class RuleParts {
  public:
    using Item = std::pair<std::string, std::string>;

    std::size_t count(std::string_view key) const {
        const auto at = Find(key);
        return at != items_.end() && at->first == key ? 1 : 0;
    }
    std::string& operator[](std::string_view key) {
        auto at = Find(key);
        if (at == items_.end() || at->first != key) {
            at = items_.insert(at, Item(std::string(key), std::string()));
        }
        return at->second;
    }
    std::vector<Item>::const_iterator begin() const { return items_.begin(); }
    std::vector<Item>::const_iterator end() const { return items_.end(); }

  private:
    std::vector<Item>::const_iterator Find(std::string_view key) const {
        return std::lower_bound(
            items_.begin(), items_.end(), key,
            [](const Item& item, std::string_view k) { return item.first < k; });
    }
    std::vector<Item>::iterator Find(std::string_view key) {
        return std::lower_bound(
            items_.begin(), items_.end(), key,
            [](const Item& item, std::string_view k) { return item.first < k; });
    }

    std::vector<Item> items_;
};

}  // namespace

bool ApplyRule(std::string_view rrule, CAlmxData& record, bool ownProducer, std::string& why) {
    RuleParts parts;
    for (std::string_view part : Split(rrule, ';')) {
        const std::size_t eq = part.find('=');
        if (eq == std::string_view::npos) continue;
        std::string key = Upper(part.substr(0, eq));
        if (parts.count(key)) return Reject(why, "repeated " + key);
        parts[key] = Upper(part.substr(eq + 1));
    }
    for (const auto& [key, value] : parts) {
        if (key == "FREQ" || key == "INTERVAL" || key == "UNTIL" || key == "COUNT" ||
            key == "BYDAY" || key == "BYMONTHDAY" || key == "BYMONTH" || key == "WKST" ||
            key.rfind("X-", 0) == 0) {
            continue;
        }
        return Reject(why, "unsupported " + key);
    }
    const std::string freq = parts.count("FREQ") ? parts["FREQ"] : "";
    int n = 1;
    if (parts.count("INTERVAL") && (!ParseInt(parts["INTERVAL"], n) || n < 1 || n > 9999)) {
        return Reject(why, "bad INTERVAL");
    }
    // BYDAY
    std::vector<DayEntry> days;
    if (parts.count("BYDAY")) {
        for (std::string_view entry : Split(parts["BYDAY"], ',')) {
            if (entry.size() < 2) return Reject(why, "bad BYDAY");
            const std::string_view code = entry.substr(entry.size() - 2);
            const std::string_view number = entry.substr(0, entry.size() - 2);
            DayEntry day;
            day.weekday = -1;
            for (int d = 0; d < 7; ++d) {
                if (code == kCodes[d]) day.weekday = d;
            }
            if (day.weekday < 0) return Reject(why, "bad BYDAY");
            if (!number.empty()) {
                int ordinal = 0;
                if (!ParseInt(number, ordinal)) return Reject(why, "bad BYDAY");
                if (ordinal == -1)
                    ordinal = 5;
                else if (ordinal == 5 && !ownProducer)
                    return Reject(why, "fifth weekday");
                else if (ordinal < 1 || ordinal > 5)
                    return Reject(why, "bad BYDAY ordinal");
                day.ordinal = ordinal;
            }
            days.push_back(day);
        }
    }
    std::set<int> ordinals, weekdays;
    for (const DayEntry& day : days) {
        ordinals.insert(day.ordinal);
        weekdays.insert(day.weekday);
    }
    if (!days.empty()) {
        std::set<std::pair<int, int>> pairs;
        for (const DayEntry& day : days) pairs.insert({day.ordinal, day.weekday});
        if (pairs.size() != ordinals.size() * weekdays.size() ||
            (ordinals.count(0) && ordinals.size() > 1)) {
            return Reject(why, "BYDAY is not a full cross product");
        }
    }
    // BYMONTHDAY
    int firstDay = record.start.Day();
    int lastDay = firstDay;
    bool hasMonthDays = parts.count("BYMONTHDAY") > 0;
    if (hasMonthDays) {
        std::vector<int> list;
        for (std::string_view entry : Split(parts["BYMONTHDAY"], ',')) {
            int day = 0;
            if (!ParseInt(entry, day) || day == 0 || day < -1 || day > 31) {
                return Reject(why, "bad BYMONTHDAY");
            }
            list.push_back(day);
        }
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
        if (list.size() > 1 && list.front() == -1) return Reject(why, "BYMONTHDAY mixes -1");
        int step = 1;
        if (list.size() > 1) step = list[1] - list[0];
        for (std::size_t i = 1; i < list.size(); ++i) {
            if (list[i] - list[i - 1] != step) return Reject(why, "BYMONTHDAY has gaps");
        }
        // Older files of ours stepped the span by the interval.
        if (step != 1 && !ownProducer) return Reject(why, "BYMONTHDAY has gaps");
        firstDay = list.front();
        lastDay = list.back();
        if (lastDay == 31 && firstDay != 31) lastDay = -1;
    }
    std::array<std::uint8_t, 12> monthFlags{};
    std::vector<int> monthList;
    if (parts.count("BYMONTH")) {
        for (std::string_view entry : Split(parts["BYMONTH"], ',')) {
            int month = 0;
            if (!ParseInt(entry, month) || month < 1 || month > 12) {
                return Reject(why, "bad BYMONTH");
            }
            if (!monthFlags[static_cast<std::size_t>(month - 1)]) monthList.push_back(month);
            monthFlags[static_cast<std::size_t>(month - 1)] = 1;
        }
    }
    if (!days.empty() && hasMonthDays) return Reject(why, "BYDAY with BYMONTHDAY");

    auto setPosition = [&] {
        record.positionMode = 1;
        record.validWeeks = {};
        record.validWeekdays = {};
        for (int o : ordinals) {
            if (o == 0) {
                record.validWeeks = {1, 1, 1, 1, 1};
            } else {
                record.validWeeks[static_cast<std::size_t>(o - 1)] = 1;
            }
        }
        for (int d : weekdays) record.validWeekdays[static_cast<std::size_t>(d)] = 1;
    };
    auto setMonths = [&] {
        if (monthList.empty()) {
            record.validMonths.fill(1);
        } else {
            record.validMonths = monthFlags;
        }
    };
    record.repeatInterval = n;
    record.repeatFirstDay = firstDay;
    record.repeatLastDay = lastDay;
    record.positionMode = 0;
    record.validMonths.fill(1);
    const bool singleDay = ordinals.size() == 1 && weekdays.size() == 1 && !ordinals.count(0);
    if (freq == "DAILY") {
        if (!days.empty() || hasMonthDays || !monthList.empty()) {
            return Reject(why, "DAILY with BY parts");
        }
        record.repeatType = RepeatDays;
    } else if (freq == "WEEKLY") {
        if (hasMonthDays || !monthList.empty() || ordinals.size() > 1 ||
            (!ordinals.empty() && !ordinals.count(0))) {
            return Reject(why, "WEEKLY with BY parts");
        }
        if (weekdays.size() <= 1) {
            record.repeatType = RepeatWeeks;
            if (weekdays.size() == 1) {
                // The rule's weekday governs: the first occurrence is on or after DTSTART.
                const DateTime moved = AlignForwardToWeekday(record.start, *weekdays.begin());
                const long shift = DateDifference(record.start, moved);
                record.start = record.start.PlusDays(shift);
                record.end = record.end.PlusDays(shift);
            }
        } else {
            if (n != 1) return Reject(why, "WEEKLY with several days and INTERVAL");
            record.repeatType = RepeatChosenMonths;
            setPosition();
        }
    } else if (freq == "MONTHLY") {
        if (!days.empty()) {
            if (singleDay && monthList.empty()) {
                record.repeatType = RepeatMonths;
                setPosition();
            } else {
                if (n != 1) return Reject(why, "MONTHLY BYDAY list with INTERVAL");
                record.repeatType = RepeatChosenMonths;
                setPosition();
                setMonths();
            }
        } else if (!monthList.empty()) {
            if (firstDay != lastDay) return Reject(why, "BYMONTHDAY span with BYMONTH");
            if (n != 1) return Reject(why, "BYMONTH with INTERVAL");
            record.repeatType = RepeatChosenMonths;
            setMonths();
        } else {
            record.repeatType = RepeatMonths;
        }
    } else if (freq == "YEARLY") {
        if (monthList.empty()) monthList.push_back(record.start.Month());
        monthFlags = {};
        for (int m : monthList) monthFlags[static_cast<std::size_t>(m - 1)] = 1;
        if (!days.empty()) {
            if (singleDay) {
                record.repeatType = RepeatYears;
                setPosition();
                setMonths();
            } else {
                if (n != 1) return Reject(why, "YEARLY BYDAY list with INTERVAL");
                record.repeatType = RepeatChosenMonths;
                setPosition();
                setMonths();
            }
        } else if (monthList.size() == 1) {
            if (monthList.front() != record.start.Month()) {
                return Reject(why, "YEARLY BYMONTH differs from DTSTART");
            }
            record.repeatType = RepeatYears;
        } else {
            if (firstDay != lastDay || n != 1) return Reject(why, "YEARLY month list");
            record.repeatType = RepeatChosenMonths;
            setMonths();
        }
    } else {
        return Reject(why, "unsupported FREQ " + freq);
    }

    const bool hasUntil = parts.count("UNTIL") > 0;
    const bool hasCount = parts.count("COUNT") > 0;
    if (hasUntil && hasCount) return Reject(why, "UNTIL with COUNT");
    DateTime last = LastDay();
    if (hasUntil) {
        const CalendarValue until = ParseCalendarValue(parts["UNTIL"], {}, {});
        if (!until.value.IsValid()) return Reject(why, "bad UNTIL");
        last = until.value.Date();
        if (until.hasTime && record.Has(StartTimeSet) &&
            until.value.SecondsOfDay() < record.start.SecondsOfDay()) {
            last = last.PlusDays(-1);
        }
        if (last < record.start.Date()) return Reject(why, "UNTIL before DTSTART");
    } else if (hasCount) {
        int count = 0;
        if (!ParseInt(parts["COUNT"], count) || count < 1 || count > 1'000'000) {
            return Reject(why, "bad COUNT");
        }
        CAlmxData open = PlainCopy(record);
        open.end = LastDay().WithTimeOf(record.end);
        const std::vector<DateTime> found =
            PlainOccurrences(open, record.start.Date(), LastDay(), static_cast<std::size_t>(count));
        if (found.empty()) return Reject(why, "no occurrence");
        last = found.back();
    }
    record.end = record.Has(EndTimeSet) ? last.WithTimeOf(record.end) : last;
    return true;
}

// ---- Files ----

UidRandom::UidRandom(std::uint64_t seed) {
    state_[0] = seed;
    for (std::size_t i = 1; i < kSize; ++i) {
        const std::uint64_t previous = state_[i - 1];
        state_[i] = 6364136223846793005ULL * (previous ^ (previous >> 62)) + i;
    }
}

void UidRandom::Refill() {
    constexpr std::size_t kShift = 156;
    constexpr std::uint64_t kUpper = 0xFFFFFFFF80000000ULL;
    constexpr std::uint64_t kLower = 0x7FFFFFFFULL;
    constexpr std::uint64_t kMatrix = 0xB5026F5AA96619E9ULL;
    auto twist = [&](std::size_t i, std::size_t next, std::size_t far) {
        const std::uint64_t x = (state_[i] & kUpper) | (state_[next] & kLower);
        state_[i] = state_[far] ^ (x >> 1) ^ ((0 - (x & 1)) & kMatrix);
    };
    std::size_t i = 0;
    for (; i < kSize - kShift; ++i) twist(i, i + 1, i + kShift);
    for (; i < kSize - 1; ++i) twist(i, i + 1, i + kShift - kSize);
    twist(kSize - 1, 0, kShift - 1);
    next_ = 0;
}

namespace {

std::string UidStamp(const DateTime& now) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d%02d%02d%02d", now.Year(), now.Month(),
                  now.Day(), now.Hour(), now.Minute(), now.Second());
    return buffer;
}

// "<now>-<index + 1>-<random digits to 40 characters>@almanix" into uid, whose buffer is reused.
void MakeUid(std::string& uid, std::string_view stamp, UidRandom& random, std::size_t index) {
    uid.assign(stamp);
    uid += '-';
    AppendNumber(uid, static_cast<long long>(index + 1));
    uid += '-';
    char digits[40];
    std::size_t count = 0;
    for (std::size_t size = uid.size(); size + count < 40; ++count) {
        digits[count] = static_cast<char>('0' + random() % 10);
    }
    uid.append(digits, count);
    uid += "@almanix"sv;
}

std::string MakeUid(const DateTime& now, UidRandom& random, std::size_t index) {
    std::string uid;
    MakeUid(uid, UidStamp(now), random, index);
    return uid;
}

const char* const kTimeZoneBlock =
    "BEGIN:VTIMEZONE\r\nTZID:Asia/Tokyo\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
    "TZOFFSETFROM:+0900\r\nTZOFFSETTO:+0900\r\nTZNAME:JST\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

}  // namespace

std::string ICalendarText(const std::vector<const CAlmxData*>& records,
                          const CalendarStamp& stamp) {
    std::string out;
    out.reserve(records.size() * 320 + 512);
    out += "BEGIN:VCALENDAR\r\nPRODID:";
    out += vcal_messages::kProdId;
    out += "\r\nVERSION:2.0\r\nMETHOD:PUBLISH\r\n";
    out += kTimeZoneBlock;
    UidRandom random(stamp.seed);
    // Formatted once: every component carries the same DTSTAMP and UID head.
    const std::string uidStamp = UidStamp(stamp.now);
    const std::string dtstamp = UtcDateTime(stamp.now);
    LineWriter writer(out);
    ComponentTimes times;
    RuleText rule;
    std::string uid;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CAlmxData& record = *records[i];
        DeriveComponent(record, times, rule);
        MakeUid(uid, uidStamp, random, i);
        AppendICalComponent(writer, times, rule.rrule, rule.exdates, record.title, record.memo,
                            record.place, uid, dtstamp);
    }
    out += "END:VCALENDAR\r\n";
    return out;
}

std::string VCalendarText(const CAlmxData& record, const DateTime& day, int todayLimit,
                          const CalendarStamp& stamp) {
    std::string out = "BEGIN:VCALENDAR\r\nPRODID:";
    out += vcal_messages::kProdId;
    out += "\r\nVERSION:1.0\r\n";
    CVCalender component(stamp.now);
    component.FromRecordForVcs(record, day, todayLimit);
    UidRandom random(stamp.seed);
    out += component.ToText(1, MakeUid(stamp.now, random, 0), stamp.now);
    out += "END:VCALENDAR\r\n";
    return out;
}

namespace {

// A property value as the reader keeps it until the file's end has been seen (the zones and
// the VERSION may come after a component): views into the file's bytes, or into strings of
// the reader's arena when the value was decoded or its line unfolded.
struct RawValue {
    std::string_view value;
    std::string_view parameters;
    bool set = false;
};

// A component as read, until the file's end: its properties are the entries
// [first, first + count) of the reader's one list.
struct RawComponent {
    bool todo = false;
    bool otherRule = false;  // RDATE or EXRULE
    int alarmMinutes = -1;   // the first VALARM TRIGGER that is a lead time
    std::uint32_t seen = 0;  // the fields that have their first usable property
    std::size_t first = 0;
    std::size_t count = 0;
};

enum class Field {
    Other,
    Summary,
    Description,
    Location,
    Uid,
    Rrule,
    Times,
    Shift,
    RecurrenceId,
    Aalarm,
    Dalarm,
    Due,
    Completed,
    Status,
    Dtstart,
    Dtend,
    Duration,
    Exdate,
    OtherRule,
};

Field FieldOf(std::string_view name) {
    static const std::pair<std::string_view, Field> kNames[] = {
        {"SUMMARY", Field::Summary},
        {"DESCRIPTION", Field::Description},
        {"LOCATION", Field::Location},
        {"UID", Field::Uid},
        {"RRULE", Field::Rrule},
        {"X-ALMX-TIMES", Field::Times},
        {"X-ALMX-SHIFT", Field::Shift},
        {"RECURRENCE-ID", Field::RecurrenceId},
        {"AALARM", Field::Aalarm},
        {"DALARM", Field::Dalarm},
        {"DUE", Field::Due},
        {"COMPLETED", Field::Completed},
        {"STATUS", Field::Status},
        {"DTSTART", Field::Dtstart},
        {"DTEND", Field::Dtend},
        {"DURATION", Field::Duration},
        {"EXDATE", Field::Exdate},
        {"RDATE", Field::OtherRule},
        {"EXRULE", Field::OtherRule},
    };
    // The names by first letter and length: a line is compared with two names at most.
    static const auto kTable = [] {
        std::array<std::array<std::array<std::int8_t, 2>, 16>, 26> table{};
        for (auto& row : table) {
            for (auto& slot : row) slot = {-1, -1};
        }
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            const std::string_view text = kNames[i].first;
            auto& slot = table[static_cast<std::size_t>(text[0] - 'A')][text.size()];
            slot[slot[0] < 0 ? 0 : 1] = static_cast<std::int8_t>(i);
        }
        return table;
    }();
    if (name.empty() || name.size() >= 16) return Field::Other;
    const char head = AsciiUpper(name[0]);
    if (head < 'A' || head > 'Z') return Field::Other;
    for (const std::int8_t index : kTable[static_cast<std::size_t>(head - 'A')][name.size()]) {
        if (index < 0) break;
        const auto& [text, field] = kNames[static_cast<std::size_t>(index)];
        if (EqualNoCase(name, text)) return field;
    }
    return Field::Other;
}

struct RawEntry {
    Field field;
    RawValue value;
};

// The first usable property of each name the fields are made from, and every EXDATE.
struct RawFields {
    RawValue summary, description, location, uid, rrule, times, shift, recurrenceId, aalarm, dalarm,
        due, completed, status, dtstart, dtend, duration;
    std::vector<const RawValue*> exdates;

    RawValue* SlotOf(Field field) {
        switch (field) {
            case Field::Summary:
                return &summary;
            case Field::Description:
                return &description;
            case Field::Location:
                return &location;
            case Field::Uid:
                return &uid;
            case Field::Rrule:
                return &rrule;
            case Field::Times:
                return &times;
            case Field::Shift:
                return &shift;
            case Field::RecurrenceId:
                return &recurrenceId;
            case Field::Aalarm:
                return &aalarm;
            case Field::Dalarm:
                return &dalarm;
            case Field::Due:
                return &due;
            case Field::Completed:
                return &completed;
            case Field::Status:
                return &status;
            case Field::Dtstart:
                return &dtstart;
            case Field::Dtend:
                return &dtend;
            case Field::Duration:
                return &duration;
            default:
                return nullptr;
        }
    }
};

bool ContainsNoCase(std::string_view text, std::string_view word) {
    if (word.size() > text.size()) return false;
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
        if (EqualNoCase(text.substr(i, word.size()), word)) return true;
    }
    return false;
}

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// One logical line split in place: NAME, the parameters and the value.
struct LineParts {
    std::string_view name;
    std::string_view parameters;
    std::string_view value;
};

// One property of a STANDARD or DAYLIGHT part.
void ReadObservanceLine(const LineParts& line, ZoneObservance& o, bool& hasOffset) {
    const ZoneOffsets none;
    if (EqualNoCase(line.name, "TZOFFSETTO")) {
        hasOffset = ParseOffset(line.value, o.offsetTo);
    } else if (EqualNoCase(line.name, "TZOFFSETFROM")) {
        ParseOffset(line.value, o.offsetFrom);
    } else if (EqualNoCase(line.name, "DTSTART")) {
        o.start = ParseCalendarValue(line.value, "", none).value;
    } else if (EqualNoCase(line.name, "RDATE")) {
        std::string_view list = line.value;
        while (!list.empty()) {
            const std::size_t comma = list.find(',');
            const DateTime onset = ParseCalendarValue(list.substr(0, comma), "", none).value;
            if (onset.IsValid() && o.extra.size() < 400) o.extra.push_back(onset);
            list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        }
    } else if (EqualNoCase(line.name, "RRULE")) {
        static constexpr std::string_view kDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
        std::string_view rule = line.value;
        while (!rule.empty()) {
            const std::size_t semicolon = rule.find(';');
            const std::string_view part = rule.substr(0, semicolon);
            rule = semicolon == std::string_view::npos ? std::string_view()
                                                       : rule.substr(semicolon + 1);
            const std::size_t equals = part.find('=');
            if (equals == std::string_view::npos) continue;
            const std::string key = Upper(part.substr(0, equals));
            const std::string value = Upper(part.substr(equals + 1));
            if (key == "FREQ") {
                o.yearly = value == "YEARLY";
            } else if (key == "BYMONTH") {
                ParseInt(value, o.month);
            } else if (key == "BYMONTHDAY") {
                const bool negative = !value.empty() && value[0] == '-';
                int day = 0;
                if (ParseInt(std::string_view(value).substr(negative ? 1 : 0), day)) {
                    o.monthDay = negative ? -day : day;
                }
            } else if (key == "BYDAY" && value.size() >= 2) {
                const std::string_view code = std::string_view(value).substr(value.size() - 2);
                std::string_view number = std::string_view(value).substr(0, value.size() - 2);
                for (int d = 0; d < 7; ++d) {
                    if (code == kDays[d]) o.weekday = d;
                }
                const bool negative = !number.empty() && number[0] == '-';
                if (!number.empty() && (number[0] == '-' || number[0] == '+')) {
                    number.remove_prefix(1);
                }
                int ordinal = 1;
                if (!number.empty() && !ParseInt(number, ordinal)) ordinal = 0;
                o.ordinal = negative ? -ordinal : ordinal;
            } else if (key == "UNTIL") {
                std::string_view until = value;
                if (!until.empty() && until.back() == 'Z') until.remove_suffix(1);
                o.until = ParseCalendarValue(until, "", none).value;
            }
        }
        // A rule this reading does not follow leaves the first onset alone.
        if (o.yearly && (o.month == 0 || (o.weekday < 0 && o.monthDay == 0))) o.yearly = false;
    }
}

bool ParseLine(std::string_view line, LineParts& out) {
    std::size_t i = 0;
    while (i < line.size() && line[i] != ';' && line[i] != ':') ++i;
    if (i == line.size() || i == 0) return false;
    out.name = line.substr(0, i);
    out.parameters = {};
    if (line[i] == ';') {
        const std::size_t begin = i + 1;
        bool quoted = false;
        ++i;
        while (i < line.size() && (quoted || line[i] != ':')) {
            if (line[i] == '"') quoted = !quoted;
            ++i;
        }
        if (i == line.size()) return false;
        out.parameters = line.substr(begin, i - begin);
    }
    out.value = line.substr(i + 1);
    return true;
}

// Decodes a property's value into UTF-8 text; false to skip it. The value stays a view when
// decoding leaves it as it is (plain ASCII, or UTF-8 that Shift_JIS can hold, without
// ENCODING or CHARSET), else it is made in text.
bool DecodeValue(std::string_view parameters, std::string_view& value, int version,
                 std::size_t& replaced, text::SjisEncoding& held, std::string& text, bool& made) {
    made = false;
    // Parameters without the letters of those words ("TZID=Asia/Tokyo", "VALUE=DATE") are
    // passed at a glance.
    const bool plain =
        FindAny(parameters, 'N', 'n', 'C', 'c', 'B', 'b', 'Q', 'q') == std::string_view::npos ||
        (!ContainsNoCase(parameters, "ENCODING") && !ContainsNoCase(parameters, "CHARSET") &&
         !ContainsNoCase(parameters, "BASE64") && !ContainsNoCase(parameters, "QUOTED-PRINTABLE"));
    if (plain && IsAscii(value)) return true;
    std::string bytes;
    bool sjis = false;
    if (plain) {
        // One pass for the usual text: well-formed UTF-8 that Shift_JIS can hold.
        if (!text::FirstUnrepresentable(value)) return true;
        sjis = !text::IsValidUtf8(value);
        if (!sjis) {
            held.bytes.clear();
            held.unrepresentable.clear();
            text::AppendUtf8AsShiftJis(value, held);
            if (held.Complete()) return true;
        }
        bytes = value;
    } else {
        const std::string encoding = Upper(Parameter(parameters, "ENCODING"));
        if (encoding == "BASE64" || encoding == "B" ||
            EqualNoCase(Parameter(parameters, "BASE64"), "BASE64")) {
            return false;
        }
        const bool qp = IsQuotedPrintable(parameters);
        bytes = qp ? QpDecodeValue(value) : std::string(value);
        const std::string charset = Upper(Parameter(parameters, "CHARSET"));
        if (!charset.empty()) {
            sjis = charset != "UTF-8" && charset != "US-ASCII";
            if (sjis && charset != "SHIFT_JIS" && charset != "SHIFT-JIS" && charset != "SJIS" &&
                charset != "CP932" && charset != "WINDOWS-31J") {
                if (auto converted = text::Convert(bytes, charset.c_str(), "UTF-8")) {
                    bytes = *converted;
                    sjis = false;
                }
            }
        } else {
            // Older vCalendar files: quoted-printable without a charset is Shift_JIS.
            sjis = (qp && version == 1) || !text::IsValidUtf8(bytes);
        }
    }
    if (sjis) bytes = text::ShiftJisToUtf8(bytes).text;
    // The schedule file is Shift_JIS: what it cannot hold becomes "?" now, not at saving.
    held.bytes.clear();
    held.unrepresentable.clear();
    text::AppendUtf8AsShiftJis(bytes, held);
    if (!held.Complete()) {
        replaced += held.unrepresentable.size();
        bytes = text::ShiftJisToUtf8(held.bytes).text;
    }
    text = std::move(bytes);
    value = text;
    made = true;
    return true;
}

std::string TextField(const RawValue& item, int version) {
    if (!item.set) return {};
    const std::string_view value = item.value;
    if (FindAny(value, '\\', '\r') == std::string_view::npos) return std::string(value);
    if (version == 1) {
        // vCalendar: "\n" pairs and CR LF are line breaks; "\;" an escaped separator.
        std::string out;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') continue;
            if (value[i] == '\\' && i + 1 < value.size() &&
                (value[i + 1] == 'n' || value[i + 1] == 'N')) {
                out += '\n';
                ++i;
            } else if (value[i] == '\\' && i + 1 < value.size() &&
                       (value[i + 1] == ';' || value[i + 1] == ',' || value[i + 1] == '\\')) {
                out += value[++i];
            } else {
                out += value[i] == '\r' ? '\n' : value[i];
            }
        }
        return out;
    }
    std::string text = UnescapeText(value);
    // A lone CR inside a line is a line break too, as it would be written.
    std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

// Decodes the component's fields; false rejects it.
bool DecodeFields(CVCalender& c, const RawComponent& component, const RawEntry* entries,
                  RawFields& raw, int version, const ZoneOffsets& zones, bool own, bool allUids) {
    raw.exdates.clear();
    for (Field field :
         {Field::Summary, Field::Description, Field::Location, Field::Uid, Field::Rrule,
          Field::Times, Field::Shift, Field::RecurrenceId, Field::Aalarm, Field::Dalarm, Field::Due,
          Field::Completed, Field::Status, Field::Dtstart, Field::Dtend, Field::Duration}) {
        *raw.SlotOf(field) = RawValue{};
    }
    for (std::size_t i = 0; i < component.count; ++i) {
        const RawEntry& entry = entries[component.first + i];
        if (entry.field == Field::Exdate) {
            raw.exdates.push_back(&entry.value);
        } else if (RawValue* slot = raw.SlotOf(entry.field)) {
            *slot = entry.value;
        }
    }
    c.ownProducer = own;
    c.summary = TextField(raw.summary, version);
    c.description = TextField(raw.description, version);
    c.location = TextField(raw.location, version);
    // The import looks at the UIDs of recurring entries and overrides only.
    if (allUids || raw.rrule.set || raw.recurrenceId.set) c.uid = std::string(raw.uid.value);
    c.rrule = std::string(raw.rrule.value);
    c.unsupportedRule = component.otherRule;
    auto dateOf = [&](const RawValue& item) {
        return item.set ? ParseCalendarValue(item.value, item.parameters, zones) : CalendarValue{};
    };
    if (raw.times.set) {
        int flags = 0;
        if (ParseInt(raw.times.value, flags) && flags >= 0 && flags <= 3) c.timeFlags = flags;
    }
    if (raw.shift.set) {
        int rule = 0;
        if (ParseInt(raw.shift.value, rule) && rule >= 0 && rule < 32) c.shiftRule = rule;
    }
    for (const RawValue* exdate : raw.exdates) {
        const RawValue& item = *exdate;
        std::string_view rest = item.value;
        while (true) {
            const std::size_t comma = rest.find(',');
            const CalendarValue day =
                ParseCalendarValue(rest.substr(0, comma), item.parameters, zones);
            if (day.value.IsValid()) c.exdates.push_back(day.value.Date());
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
    }
    const CalendarValue recurrence = dateOf(raw.recurrenceId);
    c.recurrenceId = recurrence.value.IsValid() ? recurrence.value.Date() : DateTime::Invalid();
    c.alarmMinutes = component.alarmMinutes;
    if (c.alarmMinutes < 0) {
        // vCalendar's AALARM/DALARM: an absolute time.
        for (const RawValue* item : {&raw.aalarm, &raw.dalarm}) {
            const CalendarValue at = dateOf(*item);
            if (at.value.IsValid()) {
                c.alarm = at.value;
                break;
            }
        }
    }
    if (c.IsTodo()) {
        const CalendarValue due = dateOf(raw.due);
        c.noDeadline = !due.value.IsValid();
        c.start = due.value;
        c.startHasTime = due.hasTime ? 1 : 0;
        const CalendarValue done = dateOf(raw.completed);
        c.end = done.value;
        if (!c.end.IsValid() && EqualNoCase(raw.status.value, "COMPLETED")) {
            c.end = DateTime();  // completed without a date: the caller fills in now
        }
        return true;
    }
    const CalendarValue start = dateOf(raw.dtstart);
    if (!start.value.IsValid()) return false;
    c.start = start.value;
    c.startHasTime = start.hasTime ? 1 : 0;
    const CalendarValue end = dateOf(raw.dtend);
    c.hasEnd = end.value.IsValid();
    if (!c.hasEnd) {
        c.end = c.start;
        c.endHasTime = 0;
        if (raw.duration.set) {
            const std::string_view text = raw.duration.value;
            const int minutes =
                text.empty() || text[0] == '-' ? -1 : TriggerMinutes("-" + std::string(text));
            if (minutes > 0) {
                c.end = c.start.PlusMinutes(minutes);
                c.endHasTime = start.hasTime ? 1 : 0;
                if (!start.hasTime) c.end = c.end.PlusDays(-1);
            }
        }
    } else if (!end.hasTime) {
        // DATE ends are exclusive.
        c.end = end.value.PlusDays(-1);
        if (c.end < c.start.Date()) c.end = c.start.Date();
        c.endHasTime = 0;
    } else {
        c.end = end.value;
        c.endHasTime = 1;
        if (version == 1 && own) {
            c.startHasTime = c.start.SecondsOfDay() != 0 ? 1 : 0;
            c.endHasTime = c.end.SecondsOfDay() != 0 ? 1 : 0;
        }
    }
    return true;
}

// The logical lines of a file: physical lines joined where a line begins with a blank or a
// tab, or where a quoted-printable value ended in "=". A line is a view of the bytes unless it
// was joined, when it lives in the reader's one buffer until the next line.
class LogicalLines {
  public:
    explicit LogicalLines(std::string_view bytes) : bytes_(bytes) {}

    // False at the end; joined tells whether line lives in the buffer.
    bool Next(std::string_view& line, bool& joined) {
        if (!peeked_ && pos_ >= bytes_.size()) return false;
        line = Physical();
        joined = false;
        while (peeked_ || pos_ < bytes_.size()) {
            const bool qpOpen = QpOpen(line);
            const std::string_view next = Physical();
            if (qpOpen) {
                if (!joined) buffer_.assign(line);
                buffer_.pop_back();  // the soft break's "="
                buffer_.append(next);
            } else if (!next.empty() && (next[0] == ' ' || next[0] == '\t')) {
                if (!joined) buffer_.assign(line);
                buffer_.append(next.substr(1));
            } else {
                // Each line is looked for once: the one read ahead comes next.
                peek_ = next;
                peeked_ = true;
                break;
            }
            joined = true;
            line = buffer_;
        }
        return true;
    }

  private:
    std::string_view Physical() {
        if (peeked_) {
            peeked_ = false;
            return peek_;
        }
        std::size_t end = bytes_.find('\n', pos_);
        if (end == std::string_view::npos) end = bytes_.size();
        std::string_view line = bytes_.substr(pos_, end - pos_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos_ = end + 1;
        return line;
    }
    static bool QpOpen(std::string_view line) {
        if (line.empty() || line.back() != '=') return false;
        const std::size_t colon = line.find(':');
        return colon != std::string_view::npos && IsQuotedPrintable(line.substr(0, colon));
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::string buffer_;
    std::string_view peek_;
    bool peeked_ = false;
};

}  // namespace

CVCalender CVCalender::Begun(std::string_view kind) {
    CVCalender component{BareTag{}};
    component.SetGrowStep(1);
    component.Add(CVData{"BEGIN", std::string(kind), {}});
    component.SetGrowStep(0);
    return component;
}

int CVCalender::ToRecord(CAlmxData& record) const {
    rejection_.clear();
    record.title = summary;
    record.place = location;
    record.memo = description;
    record.alarmMinutes = -1;
    if (IsTodo()) {
        record.Set(RecordFlag::IsTodo);
        record.Set(TodoNoDeadline, noDeadline);
        if (!noDeadline) {
            record.start = start;
            record.Set(StartTimeSet, startHasTime != 0);
        }
        record.Set(TodoDone, end.IsValid());
        if (end.IsValid()) record.end = end;
        return 1;
    }
    if (!start.IsValid()) {
        rejection_ = "no DTSTART";
        return 0;
    }
    record.start = start;
    record.end = end.IsValid() ? end : start;
    bool startTime = startHasTime != 0;
    bool endTime = endHasTime != 0;
    if (timeFlags >= 0) {
        startTime = (timeFlags & 1) != 0;
        endTime = (timeFlags & 2) != 0;
        // Our own start-only entry over several days ends before the next day's 00:00.
        if (startTime && !endTime && hasEnd && record.end.SecondsOfDay() == 0 &&
            DateDifference(record.start, record.end) > 0) {
            record.end = record.end.PlusDays(-1);
        }
    }
    if (!endTime) record.end = record.end.Date();
    if (!startTime && !endTime) record.start = record.start.Date();
    record.Set(StartTimeSet, startTime);
    record.Set(EndTimeSet, endTime);
    if (alarmMinutes >= 0) {
        record.alarmMinutes = alarmMinutes;
    } else if (alarm.IsValid() && startTime && alarm <= start) {
        record.alarmMinutes = static_cast<int>((start.Days() - alarm.Days()) * 1440.0 + 0.5);
    }
    record.shiftRule = shiftRule;
    if (!rrule.empty() && !recurrenceId.IsValid()) {
        if (unsupportedRule) {
            rejection_ = "RDATE or EXRULE";
            return 0;
        }
        const std::string words =
            rrule.find('=') == std::string::npos ? VcsRuleToRRule(rrule) : rrule;
        if (words.empty()) {
            rejection_ = "unknown rule";
            return 0;
        }
        if (!ApplyRule(words, record, ownProducer, rejection_)) return 0;
        for (const DateTime& day : exdates) {
            record.exceptions.push_back(CDaySpan::FromDates(day, day));
        }
    } else {
        record.shiftRule = 0;
    }
    return 1;
}

namespace {

// What the whole file decides for each component's fields: its zones, VERSION and PRODID.
struct FileContext {
    ZoneOffsets zones;
    int version = 2;
    bool own = false;
    bool allUids = true;  // else only those of recurring entries and overrides
};

// Values that do not live in the file's bytes (decoded ones, those of joined lines), kept
// until their component has been decoded. The strings are reused from component to
// component; a deque keeps the views into them valid while it grows.
class ValueArena {
  public:
    std::string& Next() {
        if (used_ == strings_.size()) strings_.emplace_back();
        return strings_[used_++];
    }
    std::string_view Copy(std::string_view text) { return Next().assign(text); }
    void Clear() { used_ = 0; }

  private:
    std::deque<std::string> strings_;
    std::size_t used_ = 0;
};

// Reads the VEVENT and VTODO components of a file and hands each to sink(CVCalender&) as soon
// as it ends, its fields decoded with what context holds then: a component without a usable
// DTSTART keeps an invalid start. With fixed, context is the file's final one and the file's
// own lines leave it alone. Without, it is filled as the file goes; the result tells whether a
// zone, VERSION or PRODID came after a component, when the components must be read again
// with the final context.
template <class Sink>
bool StreamCalendar(std::string_view bytes, std::size_t& replaced, FileContext& context, bool fixed,
                    Sink sink) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    bool late = false;
    std::size_t begun = 0;  // components begun so far
    // Values are decoded with the VERSION read so far; the fields with the file's.
    int version = 2;
    std::vector<std::string> stack;  // names of the open components
    std::string zoneId;
    ZoneRules zoneRules;
    ZoneObservance observance;
    bool observanceHasOffset = false;
    RawComponent current;
    bool open = false;
    std::size_t currentDepth = 0;
    std::vector<RawEntry> entries;
    ValueArena arena;
    RawFields fields;
    text::SjisEncoding held;
    std::string decoded;
    auto finish = [&] {
        CVCalender c = CVCalender::Begun(current.todo ? "VTODO" : "VEVENT");
        if (!DecodeFields(c, current, entries.data(), fields, context.version, context.zones,
                          context.own, context.allUids)) {
            c.start = DateTime::Invalid();
        }
        sink(c);
        open = false;
        entries.clear();
        arena.Clear();
    };
    LogicalLines lines(bytes);
    std::string_view text;
    bool joined = false;
    LineParts line;
    while (lines.Next(text, joined)) {
        if (!ParseLine(text, line)) continue;
        if (EqualNoCase(line.name, "BEGIN")) {
            std::string kind = Upper(line.value);
            if ((kind == "VEVENT"sv || kind == "VTODO"sv) && !open) {
                current = RawComponent{};
                current.todo = kind == "VTODO"sv;
                open = true;
                ++begun;
                currentDepth = stack.size();
            }
            if (kind == "VTIMEZONE"sv) {
                zoneId.clear();
                zoneRules = ZoneRules();
            }
            if ((kind == "STANDARD"sv || kind == "DAYLIGHT"sv) && !stack.empty() &&
                stack.back() == "VTIMEZONE"sv) {
                observance = ZoneObservance();
                observance.daylight = kind == "DAYLIGHT"sv;
                observanceHasOffset = false;
            }
            stack.push_back(std::move(kind));
            continue;
        }
        if (EqualNoCase(line.name, "END")) {
            const std::string kind = Upper(line.value);
            // Close up to the matching BEGIN; an unmatched END is ignored.
            const auto found = std::find(stack.rbegin(), stack.rend(), kind);
            if (found == stack.rend()) continue;
            stack.resize(static_cast<std::size_t>(stack.rend() - found) - 1);
            if ((kind == "STANDARD"sv || kind == "DAYLIGHT"sv) && !open && observanceHasOffset &&
                !stack.empty() && stack.back() == "VTIMEZONE"sv) {
                if (!observance.start.IsValid()) {
                    observance.start = DateTime::FromDate(kMinYear, 1, 1);
                }
                zoneRules.observances.push_back(observance);
                observanceHasOffset = false;
            }
            if (kind == "VTIMEZONE"sv && !zoneId.empty() && !zoneRules.observances.empty() &&
                !fixed) {
                context.zones[Upper(zoneId)] = zoneRules;
                late = late || begun > 0;
            }
            if (open && stack.size() <= currentDepth) finish();
            continue;
        }
        if (stack.empty()) continue;
        const std::string& inner = stack.back();
        if (!open) {
            if (stack.size() == 1 && EqualNoCase(line.name, "VERSION")) {
                version = line.value == "1.0" ? 1 : 2;
                if (!fixed && context.version != version) {
                    context.version = version;
                    late = late || begun > 0;
                }
            }
            if (stack.size() == 1 && EqualNoCase(line.name, "PRODID") && !fixed) {
                const bool own = line.value.find("Velta Ltd//Almanix") != std::string_view::npos;
                if (context.own != own) {
                    context.own = own;
                    late = late || begun > 0;
                }
            }
            if (EqualNoCase(line.name, "TZID") && inner == "VTIMEZONE"sv) zoneId = line.value;
            if (inner == "STANDARD"sv || inner == "DAYLIGHT"sv) {
                ReadObservanceLine(line, observance, observanceHasOffset);
            }
            continue;
        }
        // Only the properties the fields are made from are decoded: the component's own and
        // the TRIGGER of its alarms.
        Field field = Field::Other;
        if (stack.size() == currentDepth + 1) {
            field = FieldOf(line.name);
            if (field == Field::Other) continue;
            // The first usable one of a name counts.
            const std::uint32_t bit = 1u << static_cast<unsigned>(field);
            if (field != Field::Exdate && (current.seen & bit) != 0) continue;
        } else if (inner != "VALARM"sv || !EqualNoCase(line.name, "TRIGGER") ||
                   current.alarmMinutes >= 0) {
            continue;
        }
        std::string_view value = line.value;
        bool made = false;
        if (!DecodeValue(line.parameters, value, version, replaced, held, decoded, made)) {
            continue;
        }
        if (field == Field::Other) {
            current.alarmMinutes = TriggerMinutes(value);
            continue;
        }
        current.seen |= 1u << static_cast<unsigned>(field);
        if (field == Field::OtherRule) {
            current.otherRule = true;
            continue;
        }
        std::string_view parameters = line.parameters;
        if (made) {
            std::string& slot = arena.Next();
            slot.swap(decoded);
            decoded.clear();
            value = slot;
        } else if (joined) {
            value = arena.Copy(value);
        }
        if (joined && !parameters.empty()) parameters = arena.Copy(parameters);
        entries.push_back(RawEntry{field, RawValue{value, parameters, true}});
        ++current.count;
    }
    if (open) finish();
    return late;
}

// Reads the file with the context as it comes, and again with the final one when a zone,
// VERSION or PRODID came after a component. reset(), before the second reading, forgets what
// the sink kept of the first. Returns the file's VERSION (1 or 2).
template <class Sink, class Reset>
int ReadComponents(std::string_view bytes, std::size_t& replaced, bool allUids, Sink sink,
                   Reset reset) {
    FileContext context;
    context.allUids = allUids;
    const std::size_t replacedBefore = replaced;
    if (StreamCalendar(bytes, replaced, context, false, sink)) {
        reset();
        replaced = replacedBefore;
        StreamCalendar(bytes, replaced, context, true, sink);
    }
    return context.version;
}

// The number of components a file may hold, for reserving.
std::size_t ComponentEstimate(std::string_view bytes) {
    std::size_t count = 0;
    for (std::size_t at = bytes.find("BEGIN:V"); at != std::string_view::npos;
         at = bytes.find("BEGIN:V", at + 7)) {
        const std::string_view kind = bytes.substr(at + 7, 4);
        if (kind == "EVEN" || kind == "TODO") ++count;
    }
    return count;
}

}  // namespace

CVCalenderList ParseCalendar(std::string_view bytes, std::size_t& replaced) {
    CVCalenderList result;
    result.components.reserve(ComponentEstimate(bytes));
    result.version = ReadComponents(
        bytes, replaced, true, [&](CVCalender& c) { result.components.push_back(std::move(c)); },
        [&] { result.components.clear(); });
    return result;
}

CalendarImport ReadCalendar(std::string_view bytes, const DateTime& now) {
    CalendarImport result;
    result.records.reserve(ComponentEstimate(bytes));
    // The texts move into the record instead of being copied.
    auto toRecord = [](CVCalender& c, CAlmxData& record) {
        std::string title = std::move(c.summary);
        std::string place = std::move(c.location);
        std::string memo = std::move(c.description);
        c.summary.clear();
        c.location.clear();
        c.description.clear();
        const int accepted = c.ToRecord(record);
        record.title = std::move(title);
        record.place = std::move(place);
        record.memo = std::move(memo);
        return accepted;
    };
    // Recurring records with a UID, for the overrides that name them.
    std::vector<std::pair<std::string, std::size_t>> masters;
    std::vector<CVCalender> overrides;
    ReadComponents(
        bytes, result.replaced, false,
        [&](CVCalender& c) {
            result.hadComponents = true;
            if (c.recurrenceId.IsValid()) {
                overrides.push_back(std::move(c));
                return;
            }
            CAlmxData& record = result.records.emplace_back();
            if (!toRecord(c, record)) {
                result.records.pop_back();
                ++result.failed;
                return;
            }
            if (record.Has(TodoNoDeadline)) record.start = now;
            if (record.Has(TodoDone) && record.end == DateTime()) record.end = now;
            if (record.IsRecurring() && !c.uid.empty()) {
                masters.emplace_back(std::move(c.uid), result.records.size() - 1);
            }
            ++result.accepted;
        },
        [&] {
            result.records.clear();
            result.accepted = result.failed = 0;
            masters.clear();
            overrides.clear();
        });
    if (overrides.empty()) return result;
    std::unordered_map<std::string_view, std::size_t> byUid;  // UID -> its recurring record
    for (const auto& [uid, index] : masters) byUid[uid] = index;
    // A changed occurrence: its day leaves the master, and it stands as a single entry.
    for (CVCalender& c : overrides) {
        CAlmxData record;
        if (!toRecord(c, record)) {
            ++result.failed;
            continue;
        }
        const auto master = byUid.find(c.uid);
        if (master != byUid.end()) {
            const DateTime day = c.recurrenceId;
            result.records[master->second].exceptions.push_back(CDaySpan::FromDates(day, day));
        }
        result.records.push_back(std::move(record));
        ++result.accepted;
    }
    return result;
}

std::vector<const CAlmxData*> RecordsInRange(const std::vector<const CAlmxData*>& records,
                                             const DateTime& from, const DateTime& to,
                                             int todayLimit) {
    std::vector<const CAlmxData*> listed;
    OccurrenceContext context;
    context.todayLimit = todayLimit;
    for (const CAlmxData* record : records) {
        if (record->Has(RecordFlag::IsTodo)) {
            if (!record->Has(TodoNoDeadline) && record->start.Date() >= from.Date() &&
                record->start.Date() <= to.Date()) {
                listed.push_back(record);
            }
            continue;
        }
        const std::vector<std::uint8_t> mask = OccurrenceMask(*record, from, to, context);
        if (std::find(mask.begin(), mask.end(), 1) != mask.end()) listed.push_back(record);
    }
    return listed;
}

std::string CalendarFileName(const std::string& title, const char* extension) {
    std::string name;
    for (char c : title) {
        const auto byte = static_cast<unsigned char>(c);
        name += (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) ? '_' : c;
    }
    // A file name holds at most 255 bytes: a long title is cut, never inside a character.
    const std::size_t room = 255 - 1 - std::char_traits<char>::length(extension);
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    if (name.empty() || name == "." || name == "..") name = "almx";
    return name + "." + extension;
}

bool WriteCalendarFile(const std::string& path, std::string_view bytes, std::string& why) {
    try {
        TextFile file(path, "wb");
        file.Write(bytes);
        file.Close();
    } catch (const CVeltaFileException& failure) {
        why = failure.what();
        return false;
    }
    return true;
}

std::string CalendarImportMessage(const CalendarImport& result) {
    return ImportResultMessage(result.accepted, result.failed);
}

}  // namespace almx
