// Every day must get the same answer whatever window the view asks for, and that answer must be
// the one a plain day-by-day reading of the rule gives.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "calendar/recurrence.h"
#include "core/record.h"
#include "core/record_display.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

using testing::Day;

class RecordGenerator {
  public:
    explicit RecordGenerator(unsigned seed) : random_(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    bool Chance(int percent) { return Int(1, 100) <= percent; }
    template <typename T>
    T Pick(std::initializer_list<T> values) {
        return *(values.begin() + Int(0, static_cast<int>(values.size()) - 1));
    }

    CAlmxData Next() {
        CAlmxData r;
        r.repeatType = Chance(2) ? Pick({-1, 6, 9}) : Pick({0, 0, 1, 2, 3, 3, 4, 5, 5});
        const DateTime base = Day("2018/10/01").PlusDays(Int(0, 640));
        const bool startTimed = Chance(50);
        r.start = startTimed ? base.WithTime(Int(0, 23), Int(0, 59)) : base;
        r.Set(StartTimeSet, startTimed);
        DateTime endDay = r.repeatType == RepeatNone ? base.PlusDays(Int(0, 3))
                          : Chance(20)               ? Day("9998/12/31")
                                                     : base.PlusDays(Int(20, 900));
        const bool endTimed = Chance(40);
        r.end = endTimed ? endDay.WithTime(Int(0, 23), Int(0, 59)) : endDay;
        r.Set(EndTimeSet, endTimed);
        r.repeatInterval = Chance(5) ? Pick({0, -2}) : Int(1, 4);
        r.repeatFirstDay = Chance(5) ? Pick({0, 32, 40}) : Chance(15) ? -1 : Int(1, 31);
        r.repeatLastDay = Chance(15)  ? -1
                          : Chance(5) ? Int(-3, 40)
                                      : std::max(r.repeatFirstDay, 1) + Int(0, 3);
        if (r.repeatType >= RepeatMonths && Chance(35)) {
            r.positionMode = 1;
            const bool many = r.repeatType == RepeatChosenMonths;
            r.validWeeks[static_cast<std::size_t>(Int(0, 4))] = 1;
            r.validWeekdays[static_cast<std::size_t>(Int(0, 6))] = 1;
            for (int extra = many ? Int(0, 3) : 0; extra > 0; --extra) {
                r.validWeeks[static_cast<std::size_t>(Int(0, 4))] = 1;
                r.validWeekdays[static_cast<std::size_t>(Int(0, 6))] = 1;
            }
        }
        if (r.repeatType == RepeatChosenMonths || r.positionMode != 0 || Chance(10)) {
            for (auto& month : r.validMonths) month = Chance(45) ? 1 : 0;
        }
        r.shiftRule = Chance(50) ? 0 : Pick({2, 4, 6, 8, 12, 14, 16, 22, 24, 30, 1, 64});
        for (int n = Chance(40) ? Int(1, 3) : 0; n > 0; --n) {
            const DateTime first = base.PlusDays(Int(-10, 500));
            r.exceptions.push_back(CDaySpan::FromDates(first, first.PlusDays(Int(-1, 6))));
        }
        return r;
    }

  private:
    std::mt19937 random_;
};

// The rule read day by day: does an occurrence start on this calendar date?
bool StartsOn(const CAlmxData& r, const DateTime& d) {
    const long n = std::max(r.repeatInterval, 1);
    const int year = d.Year(), month = d.Month(), day = d.Day();
    const int length = DaysInMonth(year, month);
    const long months = (year * 12L + month) - (r.start.Year() * 12L + r.start.Month());
    const long years = year - r.start.Year();
    auto multiple = [](long value, long of) { return ((value % of) + of) % of == 0; };
    auto resolve = [&](int value) { return value == -1 ? length : value; };
    const int first = resolve(r.repeatFirstDay);
    const bool firstExists = (r.repeatFirstDay == -1 || r.repeatFirstDay >= 1) && first <= length;
    switch (r.repeatType) {
        case RepeatDays:
        case RepeatWeeks: {
            const long since = DateDifference(r.start.Date(), d);
            return since >= 0 && since % (r.repeatType == RepeatDays ? n : 7 * n) == 0;
        }
        case RepeatMonths:
        case RepeatYears:
        case RepeatChosenMonths:
            break;
        default:
            return false;
    }
    if (r.positionMode != 0) {
        if (!r.validMonths[static_cast<std::size_t>(month - 1)]) return false;
        if (r.repeatType == RepeatMonths && !multiple(months, n)) return false;
        if (r.repeatType == RepeatYears && !multiple(years, n)) return false;
        if (!r.validWeekdays[static_cast<std::size_t>(d.DayOfWeek())]) return false;
        const int week = (day - 1) / 7;  // 0..4: the how-many-th such weekday
        return (week < 4 && r.validWeeks[static_cast<std::size_t>(week)]) ||
               (r.validWeeks[4] && day + 7 > length);
    }
    if (!firstExists) return false;
    switch (r.repeatType) {
        case RepeatMonths:
            return multiple(months, n) && day >= first &&
                   day <= std::min(resolve(r.repeatLastDay), length);
        case RepeatYears:
            return month == r.start.Month() && multiple(years, n) && day >= first &&
                   day <= std::min(resolve(r.repeatLastDay), length);
        default:
            return r.validMonths[static_cast<std::size_t>(month - 1)] && day == first;
    }
}

// The marks of the days from..to computed day by day over a wider range.
std::vector<std::uint8_t> ReferenceMarks(const CAlmxData& r, const DateTime& from,
                                         const DateTime& to, int todayLimit) {
    const long margin = 40;
    const DateTime origin = from.PlusDays(-margin);
    const long days = DateDifference(origin, to) + 1 + margin;
    std::vector<std::uint8_t> marks(static_cast<std::size_t>(days), 0);
    const long s = DateDifference(origin, DisplayStart(r, todayLimit));
    const long e = DateDifference(origin, DisplayEnd(r, todayLimit));
    const long endDay =
        DateDifference(origin, r.Has(EndTimeSet) ? r.end.Date() : DisplayEnd(r, todayLimit));
    const long early = r.Has(StartTimeSet) && r.start.Hour() < todayLimit ? 1 : 0;
    auto inside = [&](long p) { return p >= std::max(s, 0L) && p <= std::min(e, days - 1); };
    for (long i = 0; i < days; ++i) {
        if (r.repeatType == RepeatNone) {
            if (inside(i)) marks[static_cast<std::size_t>(i)] = 1;
        } else if (i >= s && i <= endDay && StartsOn(r, origin.PlusDays(i)) && inside(i - early)) {
            marks[static_cast<std::size_t>(i - early)] = 1;
        }
    }
    auto avoided = [&](long i) {
        const DateTime d = origin.PlusDays(i);
        return ((r.shiftRule & 2) && d.DayOfWeek() == 6) ||
               ((r.shiftRule & 4) && d.DayOfWeek() == 0) ||
               ((r.shiftRule & 8) && testing::TestHoliday(d.Year(), d.Month(), d.Day()));
    };
    for (long i = days - 1; i >= 0; --i) {
        if (!marks[static_cast<std::size_t>(i)] || !avoided(i + early)) continue;
        marks[static_cast<std::size_t>(i)] = 0;
        if (!(r.shiftRule & 16) && i > 0) marks[static_cast<std::size_t>(i - 1)] = 1;
    }
    for (const CDaySpan& span : r.exceptions) {
        for (long i = DateDifference(origin, span.First()) - early;
             i <= DateDifference(origin, span.Last()) - early; ++i) {
            if (i >= 0 && i < days) marks[static_cast<std::size_t>(i)] = 0;
        }
    }
    return {marks.begin() + margin, marks.end() - margin};
}

TEST(OccurrenceWindows, EveryDayGetsTheSameAnswerInEveryWindow) {
    RecordGenerator generator(20240611);
    const DateTime first = Day("2019/01/01");
    const DateTime last = Day("2020/12/31");
    const long days = DateDifference(first, last) + 1;
    long marked = 0;
    for (int n = 0; n < 2500; ++n) {
        const CAlmxData record = generator.Next();
        const int todayLimit = generator.Chance(60) ? 0 : generator.Int(1, 5);
        const OccurrenceContext context = testing::TestContext(todayLimit);
        const std::vector<std::uint8_t> whole = OccurrenceMask(record, first, last, context);
        ASSERT_EQ(whole.size(), static_cast<std::size_t>(days));
        marked += std::count(whole.begin(), whole.end(), 1);

        SCOPED_TRACE(
            "record " + std::to_string(n) + " kind " + std::to_string(record.repeatType) +
            " start " + FormatDate(record.start) + " " + FormatTime(record.start) + " end " +
            FormatDate(record.end) + " first " + std::to_string(record.repeatFirstDay) + " last " +
            std::to_string(record.repeatLastDay) + " n " + std::to_string(record.repeatInterval) +
            " pos " + std::to_string(record.positionMode) + " shift " +
            std::to_string(record.shiftRule) + " limit " + std::to_string(todayLimit));
        ASSERT_EQ(
            testing::MarkedDays(whole, first, last),
            testing::MarkedDays(ReferenceMarks(record, first, last, todayLimit), first, last));

        // Short windows of a month view, a week, a day, laid end to end.
        for (long offset = 0; offset < days;) {
            const long length =
                std::min<long>(generator.Pick({1, 3, 7, 42, generator.Int(1, 60)}), days - offset);
            const DateTime from = first.PlusDays(offset);
            const std::vector<std::uint8_t> part =
                OccurrenceMask(record, from, from.PlusDays(length - 1), context);
            for (long i = 0; i < length; ++i) {
                ASSERT_EQ(part[static_cast<std::size_t>(i)],
                          whole[static_cast<std::size_t>(offset + i)])
                    << FormatDate(from.PlusDays(i)) << " in a window from " << FormatDate(from)
                    << " of " << length << " days";
            }
            offset += length;
        }
    }
    EXPECT_GT(marked, 50000);  // the records occur often enough to mean something
}

}  // namespace
}  // namespace almx
