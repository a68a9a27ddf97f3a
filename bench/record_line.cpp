// Record lines formatted and parsed per second, and Shift_JIS conversion throughput.

#include <benchmark/benchmark.h>

#include <random>

#include "core/record.h"
#include "core/record_line.h"
#include "base/csv_card.h"
#include "text/encoding.h"

namespace {

std::vector<almx::CAlmxData> SampleRecords(int count) {
    std::mt19937 random(1);
    const char* titles[] = {"打ち合わせ", "歯医者", "会議 第2会議室", "誕生日", "出張（大阪）"};
    std::vector<almx::CAlmxData> records;
    for (int i = 0; i < count; ++i) {
        almx::CAlmxData r;
        r.start = almx::DateTime::FromParts(2008 + i % 10, 1 + i % 12, 1 + i % 28, 9, 30);
        r.end = r.start.PlusSeconds(3600);
        r.Set(almx::StartTimeSet);
        r.Set(almx::EndTimeSet);
        r.title = titles[random() % 5];
        r.place = "東京都千代田区";
        r.memo = "持ち物：資料、名刺\n駅で待ち合わせ";
        r.repeatType = i % 7 == 0 ? almx::RepeatMonths : almx::RepeatNone;
        records.push_back(r);
    }
    return records;
}

void BM_RecordLineFormat(benchmark::State& state) {
    auto records = SampleRecords(1000);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(almx::RecordLine(records[i++ % records.size()]));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_RecordLineFormat);

void BM_RecordLineParse(benchmark::State& state) {
    std::vector<std::string> lines;
    for (const auto& r : SampleRecords(1000)) lines.push_back(almx::RecordLine(r));
    std::size_t i = 0;
    almx::TCard cells;
    for (auto _ : state) {
        cells.Parse(lines[i++ % lines.size()]);
        almx::CAlmxData record;
        benchmark::DoNotOptimize(almx::ParseRecordLine(cells, record));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_RecordLineParse);

std::string SampleText() {
    std::string text;
    for (const auto& r : SampleRecords(2000)) text += almx::RecordLine(r);
    return text;
}

void BM_Utf8ToShiftJis(benchmark::State& state) {
    std::string text = SampleText();
    for (auto _ : state) benchmark::DoNotOptimize(almx::text::Utf8ToShiftJis(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Utf8ToShiftJis);

void BM_ShiftJisToUtf8(benchmark::State& state) {
    std::string sjis = almx::text::ToShiftJis(SampleText());
    for (auto _ : state) benchmark::DoNotOptimize(almx::text::ShiftJisToUtf8(sjis));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sjis.size()));
}
BENCHMARK(BM_ShiftJisToUtf8);

}  // namespace
