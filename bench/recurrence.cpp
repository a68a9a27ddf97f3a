// The occurrence marker over a month grid (42 days) for a whole document, per record.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "calendar/recurrence.h"
#include "core/record.h"

namespace {

using almx::CAlmxData;
using almx::DateTime;

// 85% single records of one to three days, 15% recurring rules of every kind, some with
// exceptions and shift rules, spread over the five years around the windows.
std::vector<CAlmxData> SampleDocument(int count) {
    std::mt19937 random(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const DateTime origin = DateTime::FromDate(2017, 1, 1);
    std::vector<CAlmxData> records;
    records.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CAlmxData r;
        const DateTime day = origin.PlusDays(pick(0, 5 * 365));
        const bool timed = pick(0, 1) == 1;
        r.start = timed ? day.WithTime(pick(7, 21), 30 * pick(0, 1)) : day;
        r.Set(almx::StartTimeSet, timed);
        if (pick(1, 100) <= 85) {
            r.end = day.PlusDays(pick(0, 2));
            records.push_back(r);
            continue;
        }
        r.end = pick(0, 2) == 0 ? DateTime::FromDate(9998, 12, 31) : day.PlusDays(pick(60, 1500));
        r.repeatType = pick(1, 5);
        r.repeatInterval = pick(1, 3) == 1 ? pick(2, 4) : 1;
        r.repeatFirstDay = pick(1, 10) == 1 ? -1 : day.Day();
        r.repeatLastDay = r.repeatFirstDay + (pick(1, 5) == 1 ? 2 : 0);
        if (r.repeatType >= almx::RepeatMonths && pick(1, 3) == 1) {
            r.positionMode = 1;
            r.validWeeks[static_cast<std::size_t>(pick(0, 4))] = 1;
            r.validWeekdays[static_cast<std::size_t>(pick(0, 6))] = 1;
        }
        if (r.repeatType == almx::RepeatChosenMonths) {
            for (auto& month : r.validMonths) month = static_cast<std::uint8_t>(pick(0, 1));
        }
        if (pick(1, 4) == 1) r.shiftRule = pick(0, 1) == 1 ? 14 : 22;
        for (int n = pick(1, 4) == 1 ? pick(1, 3) : 0; n > 0; --n) {
            const DateTime first = day.PlusDays(pick(0, 700));
            r.exceptions.push_back(almx::CDaySpan::FromDates(first, first.PlusDays(pick(0, 3))));
        }
        records.push_back(r);
    }
    return records;
}

void BM_OccurrenceMaskMonthGrid(benchmark::State& state) {
    const std::vector<CAlmxData> records = SampleDocument(static_cast<int>(state.range(0)));
    // Month grids from April 2019 on, one per iteration, with the holiday law of the program.
    std::vector<DateTime> windows;
    for (int m = 0; m < 24; ++m) {
        const DateTime first = DateTime::FromDate(2019 + m / 12, 1 + m % 12, 1);
        windows.push_back(first.PlusDays(-first.DayOfWeek()));
    }
    std::array<std::uint8_t, 42> mask{};
    almx::OccurrenceContext context;
    std::size_t w = 0;
    long marked = 0;
    for (auto _ : state) {
        const DateTime first = windows[w++ % windows.size()];
        const DateTime last = first.PlusDays(41);
        for (const CAlmxData& record : records) {
            almx::OccurrenceMask(record, first, last, mask, context);
            marked += mask[0] + mask[41];
        }
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(marked);
    state.counters["per_record"] = benchmark::Counter(
        static_cast<double>(records.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OccurrenceMaskMonthGrid)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
