// Filling a DayCellSet (a month grid of 42 days, a week, a day) from a whole document.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "base/clock.h"
#include "calendar/day_cells.h"
#include "core/genre.h"
#include "core/record.h"
#include "sample_document.h"

namespace {

using almx::CAlmxData;
using almx::DateTime;


almx::CAlmxFieldArray SampleGenres() {
    almx::CAlmxFieldArray genres = almx::CAlmxFieldArray::General();
    genres.Append(almx::CAlmxField("仕事", 0xFF0000));
    genres.Append(almx::CAlmxField("家族", 0x00FF00));
    genres.Append(almx::CAlmxField("趣味", 0x0000FF));
    return genres;
}

void FillBenchmark(benchmark::State& state, int cells) {
    const almx::RecordList records = almx::bench::SampleRecords(static_cast<int>(state.range(0)));
    almx::CAlmxFieldArray genres = SampleGenres();
    almx::DayPropertyMap properties;
    properties["2019/05/01"] = {0x00FFFF, ""};
    const almx::DayCellSettings settings;
    const almx::ManualClock clock(DateTime::FromParts(2019, 6, 15, 12, 0));
    // Month grids from January 2019 on, one per iteration.
    std::vector<DateTime> starts;
    for (int m = 0; m < 24; ++m) {
        const DateTime first = DateTime::FromDate(2019 + m / 12, 1 + m % 12, 1);
        starts.push_back(first.PlusDays(-first.DayOfWeek()));
    }
    almx::DayCellSet set(cells);
    std::size_t w = 0;
    std::size_t entries = 0;
    for (auto _ : state) {
        set.Fill(starts[w++ % starts.size()], cells, {records, &genres, &properties}, settings,
                 clock, nullptr);
        for (const auto& cell : set.Cells()) entries += cell.entries.size();
        benchmark::ClobberMemory();
    }
    state.counters["entries_per_fill"] =
        benchmark::Counter(static_cast<double>(entries) / static_cast<double>(state.iterations()));
}

void BM_FillMonthGrid(benchmark::State& state) {
    FillBenchmark(state, 42);
}
void BM_FillWeek(benchmark::State& state) {
    FillBenchmark(state, 7);
}
void BM_FillDay(benchmark::State& state) {
    FillBenchmark(state, 1);
}

BENCHMARK(BM_FillMonthGrid)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillWeek)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillDay)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
