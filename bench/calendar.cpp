// iCalendar writing and reading over the sample document (10,000 and 100,000 records of the
// realistic mix): the file text, the reading into records, and the reading without the mapping
// into records (unfolding and splitting the lines only).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "exchange/vcalendar.h"
#include "sample_document.h"

namespace almx {
namespace {

const CalendarStamp kStamp{DateTime::FromParts(2019, 6, 1, 9, 0), 1};

std::string SampleFile(const std::vector<CAlmxData>& records) {
    std::vector<const CAlmxData*> pointers;
    for (const CAlmxData& r : records) pointers.push_back(&r);
    return ICalendarText(pointers, kStamp);
}

void BM_ICalendarWrite(benchmark::State& state) {
    const std::vector<CAlmxData> records = bench::SampleRecords(static_cast<int>(state.range(0)));
    std::vector<const CAlmxData*> pointers;
    for (const CAlmxData& r : records) pointers.push_back(&r);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = ICalendarText(pointers, kStamp);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ICalendarWrite)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ICalendarRead(benchmark::State& state) {
    const std::string file = SampleFile(bench::SampleRecords(static_cast<int>(state.range(0))));
    int accepted = 0;
    for (auto _ : state) {
        const CalendarImport result = ReadCalendar(file, kStamp.now);
        accepted = result.accepted;
        benchmark::DoNotOptimize(result.records.data());
    }
    state.counters["accepted"] = accepted;
}
BENCHMARK(BM_ICalendarRead)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ICalendarUnfoldOnly(benchmark::State& state) {
    const std::string file = SampleFile(bench::SampleRecords(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const std::vector<std::string> lines = UnfoldLines(file);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_ICalendarUnfoldOnly)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almx
