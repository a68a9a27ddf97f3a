// Filling a DayCellSet (a month grid of 42 days, a week, a day) from a whole document.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "base/clock.h"
#include "calendar/day_cells.h"
#include "calendar/record_date_index.h"
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

// How a fill finds its records: through the date index (as the document gives it), walking
// every record, or through an index built anew before each fill (the first fill after an edit).
enum class Lookup { Index, Walk, Rebuild };

void FillBenchmark(benchmark::State& state, int cells, Lookup lookup = Lookup::Index) {
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
    almx::RecordDateIndex index(records);
    const almx::RecordDateIndex* used = lookup == Lookup::Walk ? nullptr : &index;
    std::size_t w = 0;
    std::size_t entries = 0;
    for (auto _ : state) {
        if (lookup == Lookup::Rebuild) index.Build(records);
        set.Fill(starts[w++ % starts.size()], cells, {records, &genres, &properties, used},
                 settings, clock, nullptr);
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

void BM_FillMonthGridWalk(benchmark::State& state) {
    FillBenchmark(state, 42, Lookup::Walk);
}
void BM_FillMonthGridAfterEdit(benchmark::State& state) {
    FillBenchmark(state, 42, Lookup::Rebuild);
}
void BM_FillYear(benchmark::State& state) {
    FillBenchmark(state, 365);
}

void BM_BuildDateIndex(benchmark::State& state) {
    const almx::RecordList records = almx::bench::SampleRecords(static_cast<int>(state.range(0)));
    almx::RecordDateIndex index;
    for (auto _ : state) {
        index.Build(records);
        benchmark::DoNotOptimize(index.Size());
    }
}

BENCHMARK(BM_FillMonthGrid)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillWeek)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillDay)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillYear)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillMonthGridWalk)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillMonthGridAfterEdit)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildDateIndex)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
