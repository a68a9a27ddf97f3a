// The occurrence marker over a month grid (42 days) for a whole document, per record.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "calendar/recurrence.h"
#include "core/record.h"
#include "sample_document.h"

namespace {

using almx::CAlmxData;
using almx::DateTime;


void BM_OccurrenceMaskMonthGrid(benchmark::State& state) {
    const std::vector<CAlmxData> records = almx::bench::SampleRecords(static_cast<int>(state.range(0)));
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
