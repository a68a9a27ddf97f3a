#include "calendar/recurrence.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "base/prompter.h"
#include "calendar/holidays.h"
#include "core/record.h"
#include "core/record_display.h"

namespace almx {

namespace {

// Runs of days avoided by the shift rule are at most a dozen days long in any year the law
// covers; the cap only keeps a strange holiday predicate from scanning for ever.
constexpr long kMaxAvoidedRun = 62;
constexpr std::size_t kLocalDays = 256;

struct Ymd {
    int year, month, day;
};

// The marker asks these for every month and shifted day of every rule a fill looks at: the
// calendar arithmetic directly, rather than through DateTime's day counts, where it is the same.
Ymd ToYmd(long dayNumber) {
    if (dayNumber < -4000000 || dayNumber > 4000000) {
        const DateTime date = DateTime::FromDays(static_cast<double>(dayNumber));
        return {date.Year(), date.Month(), date.Day()};
    }
    const CivilDate date = CivilFromDays(dayNumber - kEpochToUnixDays);
    return {date.year, date.month, date.day};
}

// Callers keep year within 1..9999 and month within 1..12.
long DayNumberOf(int year, int month, int day) {
    if (!DateExists(year, month, day)) return DateTime::FromDate(year, month, day).DayNumber();
    return DaysFromCivil(year, month, day) + kEpochToUnixDays;
}

const long kFirstDay = DayNumberOf(kMinYear, 1, 1);
const long kLastDay = DayNumberOf(kMaxYear, 12, 31);

int WeekdayOf(long dayNumber) {
    return WeekdayFromDays(dayNumber - kEpochToUnixDays);
}

long FloorMod(long a, long n) {
    const long r = a % n;
    return r < 0 ? r + n : r;
}

long MonthIndex(int year, int month) {
    return 12L * year + (month - 1);
}
int YearOfIndex(long index) {
    return static_cast<int>(index / 12);
}
int MonthOfIndex(long index) {
    return static_cast<int>(index % 12) + 1;
}

// Values below 1 come only from damaged files; they step as 1 and stay stored as they are.
long EffectiveInterval(const CAlmxData& record) {
    return record.repeatInterval < 1 ? 1 : record.repeatInterval;
}

bool IsKnownKind(int kind) {
    return kind >= RepeatNone && kind <= RepeatChosenMonths;
}

// The day a by-day rule falls on in a month: -1 is the month's last day; a day the month lacks,
// or a value no month has, gives 0 (no occurrence).
int DayInMonth(int dayOfMonth, int year, int month) {
    const int length = DaysInMonth(year, month);
    if (dayOfMonth == -1) return length;
    if (dayOfMonth < 1 || dayOfMonth > length) return 0;
    return dayOfMonth;
}

bool IsPossibleDay(int dayOfMonth) {
    return dayOfMonth == -1 || (dayOfMonth >= 1 && dayOfMonth <= 31);
}

int NthWeekdayDay(int year, int month, int week, int weekday) {
    if (week == 4) {
        const int length = DaysInMonth(year, month);
        const int v = WeekdayOf(DayNumberOf(year, month, length));
        return length - ((v - weekday + 7) % 7);
    }
    const int w = WeekdayOf(DayNumberOf(year, month, 1));
    return 1 + ((weekday - w + 7) % 7) + 7 * week;
}

bool MonthIntervalMatches(const CAlmxData& record, int year, int month) {
    const long n = EffectiveInterval(record);
    if (record.repeatType == RepeatMonths) {
        return FloorMod(
                   MonthIndex(year, month) - MonthIndex(record.start.Year(), record.start.Month()),
                   n) == 0;
    }
    if (record.repeatType == RepeatYears) {
        return FloorMod(static_cast<long>(year) - record.start.Year(), n) == 0;
    }
    return true;
}

// The first month index at or after index that is a cycle month of the rule.
long FirstCycleMonth(const CAlmxData& record, long index) {
    if (record.repeatType != RepeatMonths) return index;
    const long startIndex = MonthIndex(record.start.Year(), record.start.Month());
    return index + FloorMod(startIndex - index, EffectiveInterval(record));
}

long CycleMonthStep(const CAlmxData& record) {
    // Chosen months go month by month; their interval has no meaning.
    return record.repeatType == RepeatMonths ? EffectiveInterval(record) : 1;
}

// The occurrence of a monthly rule (kinds 3 and 5) in the first cycle month from index on that
// has the day; invalid when none is left in the calendar.
DateTime MonthlyOccurrenceFrom(const CAlmxData& record, long index, int dayOfMonth) {
    if (!IsPossibleDay(dayOfMonth)) return DateTime::Invalid();
    const long step = CycleMonthStep(record);
    index = std::max(index, MonthIndex(kMinYear, 1));
    for (long m = FirstCycleMonth(record, index); YearOfIndex(m) <= kMaxYear; m += step) {
        const int day = DayInMonth(dayOfMonth, YearOfIndex(m), MonthOfIndex(m));
        if (day != 0) return DateTime::FromDate(YearOfIndex(m), MonthOfIndex(m), day);
        if (step % 12 == 0 && !(MonthOfIndex(m) == 2 && dayOfMonth == 29)) break;
    }
    return DateTime::Invalid();
}

// The same for a yearly rule: cycle years from year on whose month has the day.
DateTime YearlyOccurrenceFrom(const CAlmxData& record, long year, int month, int dayOfMonth) {
    if (!IsPossibleDay(dayOfMonth) || month < 1 || month > 12) return DateTime::Invalid();
    const long n = EffectiveInterval(record);
    year = std::max<long>(year, kMinYear);
    year += FloorMod(record.start.Year() - year, n);
    for (; year <= kMaxYear; year += n) {
        const int y = static_cast<int>(year);
        const int day = DayInMonth(dayOfMonth, y, month);
        if (day != 0) return DateTime::FromDate(y, month, day);
        if (!(month == 2 && dayOfMonth == 29)) break;
    }
    return DateTime::Invalid();
}

class Marker {
  public:
    Marker(const CAlmxData& record, const OccurrenceContext& context)
        : record_(record), context_(context), shift_(record.shiftRule) {}

    void Run(long w0, long w1, std::uint8_t* mask);

  private:
    bool IsHolidayDay(long dayNumber) const;
    bool Avoided(long dayNumber) const;
    void Mark(long occurrenceDay) {
        const long position = occurrenceDay - early_;
        if (position >= lo_ && position <= hi_) buffer_[position - w0_] = 1;
    }
    // Days first..last (capped at the month's end) of one cycle month.
    void MarkDays(int year, int month, int first, int last);
    void MarkByDay(long g0, long g1);
    void MarkByPosition(long g0, long g1);
    void ApplyShiftRule(long computeEnd);
    void ApplyExceptions(long w1);

    const CAlmxData& record_;
    const OccurrenceContext& context_;
    const int shift_;
    long early_ = 0;  // 1 when the start time belongs to the previous day
    long w0_ = 0;
    long lo_ = 0, hi_ = 0;  // the positions raw marks may take
    std::uint8_t* buffer_ = nullptr;
};

bool Marker::IsHolidayDay(long dayNumber) const {
    if (dayNumber < kFirstDay || dayNumber > kLastDay) return false;
    const Ymd date = ToYmd(dayNumber);
    if (context_.isHoliday) return context_.isHoliday(date.year, date.month, date.day);
    return IsHoliday(date.year, date.month, date.day, false);
}

bool Marker::Avoided(long dayNumber) const {
    const int weekday = WeekdayOf(dayNumber);
    if ((shift_ & ShiftSaturday) && weekday == 6) return true;
    if ((shift_ & ShiftSunday) && weekday == 0) return true;
    return (shift_ & ShiftHoliday) && IsHolidayDay(dayNumber);
}

void Marker::Run(long w0, long w1, std::uint8_t* mask) {
    const int todayLimit = context_.todayLimit;
    const long s = DisplayStart(record_, todayLimit).DayNumber();
    const long e = DisplayEnd(record_, todayLimit).DayNumber();
    early_ = record_.Has(StartTimeSet) && record_.start.Hour() < todayLimit ? 1 : 0;

    // An occurrence after the window can be moved back into it over a run of avoided days, so
    // the work goes on past the window's end until a day that keeps its occurrence.
    long computeEnd = w1;
    const bool moves =
        (shift_ & (ShiftSaturday | ShiftSunday | ShiftHoliday)) != 0 && (shift_ & ShiftDrop) == 0;
    if (moves) {
        while (computeEnd - w1 < kMaxAvoidedRun && Avoided(computeEnd + 1 + early_)) ++computeEnd;
    }
    if (computeEnd < s || w0 > e) return;

    if (!IsKnownKind(record_.repeatType)) {
        if (context_.prompter != nullptr) {
            context_.prompter->ShowMessage("繰り返し処理エラー1", MessageKind::Error);
        }
        return;
    }

    const std::size_t windowDays = static_cast<std::size_t>(w1 - w0 + 1);
    const std::size_t computeDays = static_cast<std::size_t>(computeEnd - w0 + 1);
    std::array<std::uint8_t, kLocalDays> local;
    std::vector<std::uint8_t> heap;
    if (computeDays == windowDays) {
        buffer_ = mask;
    } else if (computeDays <= kLocalDays) {
        std::fill_n(local.begin(), computeDays, std::uint8_t{0});
        buffer_ = local.data();
    } else {
        heap.assign(computeDays, 0);
        buffer_ = heap.data();
    }
    w0_ = w0;
    // Marks stay within the record's display days; only the shift rule may move them earlier.
    lo_ = std::max(w0, s);
    hi_ = std::min(computeEnd, e);

    if (record_.repeatType == RepeatNone) {
        if (lo_ <= hi_) std::fill(buffer_ + (lo_ - w0), buffer_ + (hi_ - w0) + 1, 1);
    } else {
        // Occurrence days whose marks can land on lo..hi, inside the calendar and the period.
        const long endLimit =
            record_.Has(EndTimeSet) ? record_.end.DayNumber() : e;  // the date of L
        const long g0 = std::max(lo_ + early_, kFirstDay);
        const long g1 = std::min({hi_ + early_, endLimit, kLastDay});
        if (g0 <= g1) {
            const bool byPosition = record_.positionMode != 0 && record_.repeatType >= RepeatMonths;
            if (byPosition) {
                MarkByPosition(g0, g1);
            } else {
                MarkByDay(g0, g1);
            }
        }
    }

    if (shift_ != 0) ApplyShiftRule(computeEnd);
    ApplyExceptions(w1);
    if (buffer_ != mask) std::copy_n(buffer_, windowDays, mask);
}

void Marker::MarkDays(int year, int month, int first, int last) {
    const long monthStart = DayNumberOf(year, month, 1) - 1;
    last = std::min(last, DaysInMonth(year, month));
    for (int day = first; day <= last; ++day) Mark(monthStart + day);
}

void Marker::MarkByDay(long g0, long g1) {
    const CAlmxData& r = record_;
    const long n = EffectiveInterval(r);
    switch (r.repeatType) {
        case RepeatDays:
        case RepeatWeeks: {
            const long step = r.repeatType == RepeatDays ? n : 7 * n;
            const long startDay = r.start.DayNumber();
            for (long d = g0 < startDay ? startDay : g0 + FloorMod(startDay - g0, step); d <= g1;
                 d += step) {
                Mark(d);
            }
            return;
        }
        case RepeatMonths:
        case RepeatChosenMonths: {
            if (!IsPossibleDay(r.repeatFirstDay)) return;
            const bool months = r.repeatType == RepeatMonths;
            const Ymd from = ToYmd(g0);
            const long step = CycleMonthStep(r);
            for (long m = FirstCycleMonth(r, MonthIndex(from.year, from.month));; m += step) {
                const int year = YearOfIndex(m);
                const int month = MonthOfIndex(m);
                if (year > kMaxYear || DayNumberOf(year, month, 1) > g1) break;
                if (!months && !r.validMonths[month - 1]) continue;
                const int first = DayInMonth(r.repeatFirstDay, year, month);
                if (first == 0) continue;
                const int last = !months                 ? first
                                 : r.repeatLastDay == -1 ? DaysInMonth(year, month)
                                                         : r.repeatLastDay;
                MarkDays(year, month, first, last);
            }
            return;
        }
        case RepeatYears: {
            if (!IsPossibleDay(r.repeatFirstDay)) return;
            const int month = r.start.Month();
            long year = ToYmd(g0).year;
            year += FloorMod(r.start.Year() - year, n);
            for (; year <= kMaxYear; year += n) {
                const int y = static_cast<int>(year);
                if (DayNumberOf(y, month, 1) > g1) break;
                const int first = DayInMonth(r.repeatFirstDay, y, month);
                if (first == 0) continue;
                const int last = r.repeatLastDay == -1 ? DaysInMonth(y, month) : r.repeatLastDay;
                MarkDays(y, month, first, last);
            }
            return;
        }
        default:
            return;
    }
}

void Marker::MarkByPosition(long g0, long g1) {
    const CAlmxData& r = record_;
    const Ymd from = ToYmd(g0);
    for (long m = MonthIndex(from.year, from.month);; ++m) {
        const int year = YearOfIndex(m);
        const int month = MonthOfIndex(m);
        if (year > kMaxYear) break;
        const long monthStart = DayNumberOf(year, month, 1) - 1;
        if (monthStart + 1 > g1) break;
        if (!r.validMonths[month - 1] || !MonthIntervalMatches(r, year, month)) continue;
        for (int week = 0; week < 5; ++week) {
            if (!r.validWeeks[week]) continue;
            for (int weekday = 0; weekday < 7; ++weekday) {
                if (!r.validWeekdays[weekday]) continue;
                const long d = monthStart + NthWeekdayDay(year, month, week, weekday);
                if (d >= g0 && d <= g1) Mark(d);
            }
        }
    }
}

void Marker::ApplyShiftRule(long computeEnd) {
    const bool drop = (shift_ & ShiftDrop) != 0;
    // Descending, so that an occurrence moved onto another avoided day moves again.
    for (long p = computeEnd; p >= w0_; --p) {
        std::uint8_t& here = buffer_[p - w0_];
        if (!here || !Avoided(p + early_)) continue;
        here = 0;
        if (!drop && p > w0_) buffer_[p - 1 - w0_] = 1;
    }
}

void Marker::ApplyExceptions(long w1) {
    for (const CDaySpan& span : record_.exceptions) {
        const DateTime first = span.First();
        const DateTime last = span.Last();
        if (!first.IsValid() || !last.IsValid()) continue;
        // An exception names occurrence dates; an early start time shows them a day earlier.
        const long from = std::max(first.DayNumber() - early_, w0_);
        const long to = std::min(last.DayNumber() - early_, w1);
        if (from <= to) std::fill(buffer_ + (from - w0_), buffer_ + (to - w0_) + 1, 0);
    }
}

std::string Format(const char* format, int a) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a);
    return buffer;
}

int LastSet(const std::uint8_t* flags, int count) {
    for (int i = count - 1; i >= 0; --i) {
        if (flags[i]) return i;
    }
    return -1;
}

std::string DayText(int dayOfMonth) {
    return dayOfMonth == -1 ? std::string("月末") : Format("%d日", dayOfMonth);
}

// The days a monthly or yearly rule by day falls on: its first day, and its last when the rule
// spans more than one day (the start's own day may be another).
std::string RuleDaysText(const CAlmxData& record) {
    if (record.repeatLastDay == record.repeatFirstDay) return DayText(record.repeatFirstDay);
    return DayText(record.repeatFirstDay) + "～" + DayText(record.repeatLastDay);
}

int ClampToInt(long value) {
    return static_cast<int>(
        std::clamp<long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

void OccurrenceMask(const CAlmxData& record, const DateTime& windowStart, const DateTime& windowEnd,
                    std::span<std::uint8_t> mask, const OccurrenceContext& context) {
    std::fill(mask.begin(), mask.end(), std::uint8_t{0});
    if (mask.empty() || !windowStart.IsValid() || !windowEnd.IsValid() || !record.start.IsValid() ||
        !record.end.IsValid()) {
        return;
    }
    // Most records of a document lie far from the window: skip them before any calendar work.
    // Marks never come after the end date, nor more than a day before the start date plus the
    // longest move of the shift rule.
    if (context.todayLimit >= 0 && context.todayLimit <= 24 &&
        (record.end.Days() < std::floor(windowStart.Days()) - 1.0 ||
         record.start.Days() > std::floor(windowEnd.Days()) + kMaxAvoidedRun + 3.0)) {
        return;
    }
    const long w0 = windowStart.DayNumber();
    const long days =
        std::min<long>(windowEnd.DayNumber() - w0 + 1, static_cast<long>(mask.size()));
    if (days <= 0) return;
    Marker(record, context).Run(w0, w0 + days - 1, mask.data());
}

std::vector<std::uint8_t> OccurrenceMask(const CAlmxData& record, const DateTime& windowStart,
                                         const DateTime& windowEnd,
                                         const OccurrenceContext& context) {
    std::vector<std::uint8_t> mask;
    if (windowStart.IsValid() && windowEnd.IsValid() && windowEnd >= windowStart) {
        mask.resize(static_cast<std::size_t>(windowEnd.DayNumber() - windowStart.DayNumber() + 1));
    }
    OccurrenceMask(record, windowStart, windowEnd, mask, context);
    return mask;
}

DateTime FirstOccurrence(const CAlmxData& record, const DateTime& day) {
    if (!day.IsValid() || !record.start.IsValid()) return DateTime::Invalid();
    const DateTime x = day.Date();
    const DateTime start = record.start.Date();
    switch (record.repeatType) {
        case RepeatDays:
        case RepeatWeeks: {
            const long n = EffectiveInterval(record);
            const long step = record.repeatType == RepeatDays ? n : 7 * n;
            if (x < start) return start;
            const long d = DateDifference(start, x);
            return x.PlusDays(FloorMod(-d, step));
        }
        case RepeatMonths:
        case RepeatChosenMonths:
            return MonthlyOccurrenceFrom(record, MonthIndex(x.Year(), x.Month()),
                                         record.repeatFirstDay);
        case RepeatYears:
            return YearlyOccurrenceFrom(record, x.Year(), record.start.Month(),
                                        record.repeatFirstDay);
        default:
            return DateTime::FromDate(x.Year(), x.Month(), record.start.Day());
    }
}

DateTime NextOccurrence(const CAlmxData& record, const DateTime& day) {
    if (!day.IsValid() || !record.start.IsValid()) return DateTime::Invalid();
    const DateTime d = day.Date();
    const long n = EffectiveInterval(record);
    DateTime next;
    switch (record.repeatType) {
        case RepeatDays:
            next = d.PlusDays(n);
            break;
        case RepeatWeeks:
            next = d.PlusDays(7 * n);
            break;
        case RepeatMonths:
        case RepeatChosenMonths: {
            const int dayOfMonth = record.repeatFirstDay == -1 ? -1 : d.Day();
            next = MonthlyOccurrenceFrom(record, MonthIndex(d.Year(), d.Month()) + 1, dayOfMonth);
            break;
        }
        case RepeatYears: {
            const int dayOfMonth = record.repeatFirstDay == -1 ? -1 : d.Day();
            next = YearlyOccurrenceFrom(record, d.Year() + 1L, d.Month(), dayOfMonth);
            break;
        }
        default:
            return DateTime::Invalid();
    }
    return next.IsValid() && next.Year() <= kMaxYear ? next : DateTime::Invalid();
}

DateTime NthWeekday(const DateTime& month, int week, int weekday) {
    if (!month.IsValid() || week < 0 || week > 4 || weekday < 0 || weekday > 6) {
        return DateTime::Invalid();
    }
    const int year = month.Year();
    const int m = month.Month();
    if (year < 1 || year > 9999) return DateTime::Invalid();
    return DateTime::FromDate(year, m, NthWeekdayDay(year, m, week, weekday));
}

bool IntervalMatch(const CAlmxData& record, const DateTime& day) {
    if (!day.IsValid() || !record.start.IsValid()) return false;
    return MonthIntervalMatches(record, day.Year(), day.Month());
}

std::string RepeatText(const CAlmxData& record) {
    const int n = static_cast<int>(std::min<long>(EffectiveInterval(record), 1L << 30));
    const bool position = record.positionMode != 0;
    const int startWeekday = record.start.DayOfWeek();
    // The chosen week and weekday of a position rule are the last set ones (the start's own
    // when none is set).
    int week = LastSet(record.validWeeks.data(), 5);
    if (week < 0) week = std::min((record.start.Day() - 1) / 7, 4);
    int weekday = LastSet(record.validWeekdays.data(), 7);
    if (weekday < 0) weekday = startWeekday;
    const std::string weekdayName = kWeekdayNames[weekday];

    switch (record.repeatType) {
        case RepeatDays:
            return n == 1 ? "毎日" : Format("%d日毎", n);
        case RepeatWeeks: {
            const std::string name = std::string(kWeekdayNames[startWeekday]) + "曜日";
            if (n == 1) return "毎週" + name;
            if (n == 2) return "隔週" + name;
            return Format("%d週毎", n) + name;
        }
        case RepeatMonths: {
            const std::string prefix = n == 1 ? "毎月" : Format("%d月毎", n);
            if (position) return prefix + Format("第%d", week + 1) + weekdayName + "曜日";
            return prefix + RuleDaysText(record);
        }
        case RepeatYears: {
            const std::string prefix = n == 1 ? "毎年" : Format("%d年毎", n);
            if (position) {
                int month = LastSet(record.validMonths.data(), 12);
                if (month < 0) month = record.start.Month() - 1;
                return prefix + Format("%d月", month + 1) + Format("第%d", week + 1) + weekdayName +
                       "曜日";
            }
            return prefix + Format("%d月", record.start.Month()) + RuleDaysText(record);
        }
        case RepeatChosenMonths: {
            std::string text;
            for (int m = 0; m < 12; ++m) {
                if (record.validMonths[m]) text += Format("%d月 ", m + 1);
            }
            if (position) {
                for (int w = 0; w < 5; ++w) {
                    if (record.validWeeks[w]) text += w < 4 ? Format("第%d週 ", w + 1) : "最終週";
                }
                for (int k = 0; k < 7; ++k) {
                    if (record.validWeekdays[k]) text += std::string(kWeekdayNames[k]) + "曜 ";
                }
            } else if (record.repeatFirstDay == record.repeatLastDay) {
                text += DayText(record.repeatFirstDay);
            } else {
                text += DayText(record.repeatFirstDay) + "～" + DayText(record.repeatLastDay);
            }
            return text;
        }
        default:
            return {};
    }
}

void MoveToDate(CAlmxData& record, const DateTime& day) {
    if (!day.IsValid()) return;
    const DateTime target = day.Date();
    // A day the file cannot hold would make the reader drop the record.
    if (!IsValidDate(target.Year(), target.Month(), target.Day())) return;
    const int kind = record.repeatType;
    const bool position = record.positionMode != 0;

    if (kind == RepeatChosenMonths && position) {
        record.start = target.WithTimeOf(record.start);
        record.end = target.WithTimeOf(record.end);
        record.repeatType = RepeatNone;
        record.positionMode = 0;
        return;
    }
    if ((kind == RepeatMonths || kind == RepeatYears) && position) {
        record.validWeeks.fill(0);
        record.validWeekdays.fill(0);
        record.validWeeks[static_cast<std::size_t>((target.Day() - 1) / 7)] = 1;
        record.validWeekdays[static_cast<std::size_t>(target.DayOfWeek())] = 1;
        return;
    }
    if (kind >= RepeatMonths && kind <= RepeatChosenMonths) {
        const int length = DaysInMonth(target.Year(), target.Month());
        // "To the month's end" stays so when the first day moves.
        if (!(record.repeatLastDay == -1 && record.repeatFirstDay != -1)) {
            record.repeatLastDay = ClampToInt(static_cast<long>(record.repeatLastDay) +
                                              target.Day() - record.repeatFirstDay);
            record.repeatLastDay = std::min(record.repeatLastDay, length);
        }
        record.repeatFirstDay = target.Day();
        if (kind == RepeatYears && record.start.IsValid()) {
            const int year = record.start.Year();
            const int month = target.Month();
            const int lastDay =
                record.repeatLastDay == -1 ? DaysInMonth(year, month) : record.repeatLastDay;
            const int dayOfMonth = std::clamp(lastDay, 1, DaysInMonth(year, month));
            record.start = DateTime::FromDate(year, month, dayOfMonth).WithTimeOf(record.start);
        }
        return;
    }

    // Single records, every n days or weeks, and kinds this program does not know.
    const DateTime oldStart = record.start;
    const DateTime oldEnd = record.end;
    if (!oldStart.IsValid()) return;
    record.start = target.WithTimeOf(oldStart);
    if (!oldEnd.IsValid() || oldEnd.Year() == kMaxYear) return;
    if (record.Has(EndTimeSet)) {
        record.end = record.start.PlusSeconds(
            static_cast<long long>(std::llround(DaySpan(oldStart, oldEnd) * 86400.0)));
    } else {
        record.end =
            record.start.PlusDays(WholeDays(oldStart.Date(), oldEnd.Date().WithTime(23, 59, 59)));
    }
    // Moved near the calendar's end, the end stops at its last day rather than leave the range
    // the file can hold.
    const DateTime lastDay = DateTime::FromDate(kMaxYear, 12, 31).WithTimeOf(record.end);
    if (lastDay < record.end) record.end = lastDay < record.start ? record.start : lastDay;
}

}  // namespace almx
