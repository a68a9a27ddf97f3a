// The iCalendar file of the sample document (10,000 and 100,000 records): writing it, reading
// it back into records, and reading it without the mapping into records.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "exchange/vcalendar.h"
#include "heap_peak.h"
#include "sample_document.h"

namespace almx {
namespace {

using bench::PeakMemory;

struct Fixture {
    explicit Fixture(int count) : records(bench::SampleRecords(count)) {
        for (const CAlmxData& r : records) pointers.push_back(&r);
        stamp.now = DateTime::FromParts(2019, 6, 1, 9, 0);
        stamp.seed = 7;
    }
    std::vector<CAlmxData> records;
    std::vector<const CAlmxData*> pointers;
    CalendarStamp stamp;
};

void BM_ICalendarWrite(benchmark::State& state) {
    const Fixture f(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    const PeakMemory peak;
    for (auto _ : state) {
        const std::string text = ICalendarText(f.pointers, f.stamp);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    peak.Report(state);
}
BENCHMARK(BM_ICalendarWrite)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Everything the import does with the file's bytes up to the records.
void BM_ICalendarRead(benchmark::State& state) {
    const Fixture f(static_cast<int>(state.range(0)));
    const std::string text = ICalendarText(f.pointers, f.stamp);
    int accepted = 0;
    const PeakMemory peak;
    for (auto _ : state) {
        const CalendarImport result = ReadCalendar(text, f.stamp.now);
        accepted = result.accepted;
        benchmark::DoNotOptimize(result.records.data());
    }
    state.counters["records"] = accepted;
    peak.Report(state);
}
BENCHMARK(BM_ICalendarRead)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Unfolding, parsing and decoding the components' fields, without the records.
void BM_ICalendarParse(benchmark::State& state) {
    const Fixture f(static_cast<int>(state.range(0)));
    const std::string text = ICalendarText(f.pointers, f.stamp);
    std::size_t components = 0;
    const PeakMemory peak;
    for (auto _ : state) {
        std::size_t replaced = 0;
        const CVCalenderList list = ParseCalendar(text, replaced);
        components = list.components.size();
        benchmark::DoNotOptimize(list.components.data());
    }
    state.counters["components"] = static_cast<double>(components);
    peak.Report(state);
}
BENCHMARK(BM_ICalendarParse)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almx
