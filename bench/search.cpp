// The schedule search over a large document: the record test with case and width folding and
// no hit, the schedule list's refill (its rows: test, sort, texts) for 1 % and for every record,
// and the sort of every record with the default keys.

#include <benchmark/benchmark.h>

#include "calendar/schedule_list.h"
#include "core/genre.h"
#include "core/multi_sort.h"
#include "core/record_list.h"
#include "core/search_condition.h"
#include "sample_document.h"

namespace {

using namespace almx;

constexpr int kRecords = 100000;

const RecordList& Records() {
    static const RecordList records = [] {
        std::vector<CAlmxData> sample = bench::SampleRecords(kRecords);
        // One record in a hundred holds the word of the 1 % search.
        for (std::size_t i = 0; i < sample.size(); i += 100) sample[i].place = "ﾎﾃﾙ ﾆｭｰｵｰﾀﾆ";
        return RecordList(std::move(sample));
    }();
    return records;
}

SearchCondition Condition(const char* text) {
    SearchCondition condition;
    condition.text = text;
    condition.ignoreCase = true;
    condition.ignoreWidth = true;
    return condition;
}

void RecordTestNoHit(benchmark::State& state) {
    const RecordList& records = Records();
    for (auto _ : state) {
        const SearchMatcher matcher(Condition("ＸＹＺ存在しない"));
        int hits = 0;
        for (const CAlmxData& record : records) hits += matcher.Matches(record);
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(RecordTestNoHit)->Unit(benchmark::kMillisecond);

void ListRefill(benchmark::State& state, const char* text) {
    const RecordList& records = Records();
    const CAlmxFieldArray genres = CAlmxFieldArray::General();
    for (auto _ : state) {
        const std::vector<const CAlmxData*> rows =
            ScheduleRows(records, Condition(text), SortKeyList{});
        std::size_t bytes = 0;
        for (const CAlmxData* row : rows) bytes += ScheduleRow(*row, genres)[3].size();
        benchmark::DoNotOptimize(bytes);
        state.counters["rows"] = static_cast<double>(rows.size());
    }
}
BENCHMARK_CAPTURE(ListRefill, OnePercent, "ホテル")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ListRefill, Every, "")->Unit(benchmark::kMillisecond);

void SortEveryRecord(benchmark::State& state) {
    const RecordList& records = Records();
    std::vector<const CAlmxData*> all;
    for (const CAlmxData& record : records) all.push_back(&record);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SortForList(SortListKind::Schedule, all, SortKeyList{}));
    }
}
BENCHMARK(SortEveryRecord)->Unit(benchmark::kMillisecond);

}  // namespace
