// The diary over ten years of days: the folder scan with other files beside the days, the 42
// marks of a month view, and a search through every day's text (2 KB of Japanese each) with
// the matcher's folds on.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/date_time.h"
#include "base/prompter.h"
#include "reminders/diary_search.h"
#include "reminders/diary_store.h"
#include "text/encoding.h"

namespace {

using namespace almx;
namespace fs = std::filesystem;

constexpr int kDays = 3650;
constexpr int kOthers = 500;

// A folder made once per run and removed at exit.
struct DiaryFolder {
    DiaryFolder() {
        char pattern[] = "/tmp/almx-bench-diary-XXXXXX";
        path = ::mkdtemp(pattern);
        std::string day;
        while (day.size() < 2048) day += "今日は会社で打ち合わせがあり、帰りに本屋へ寄った。\r\n";
        const std::string bytes = text::ToShiftJis(day);
        DateTime date = DateTime::FromDate(2015, 1, 1);
        for (int i = 0; i < kDays; ++i, date = date.PlusDays(1))
            std::ofstream(path + "/" + DiaryStore::FileName(date), std::ios::binary) << bytes;
        for (int i = 0; i < kOthers; ++i)
            std::ofstream(path + "/other" + std::to_string(i) + ".dat") << "x";
    }
    ~DiaryFolder() { fs::remove_all(path); }
    std::string path;
};

DiaryFolder& Folder() {
    static DiaryFolder folder;
    return folder;
}

void Rescan(benchmark::State& state) {
    ScriptedPrompter prompter;
    DiaryStore store(prompter, nullptr, nullptr);
    store.SetFolder(Folder().path);
    for (auto _ : state) {
        store.Rescan();
        benchmark::DoNotOptimize(store.Index().size());
    }
    state.counters["names"] = static_cast<double>(store.Index().size());
}
BENCHMARK(Rescan)->Unit(benchmark::kMillisecond);

void MonthMarks(benchmark::State& state) {
    ScriptedPrompter prompter;
    DiaryStore store(prompter, nullptr, nullptr);
    store.SetFolder(Folder().path);
    const DateTime first = DateTime::FromDate(2020, 6, 1).PlusDays(-1);
    for (auto _ : state) {
        int marks = 0;
        for (int cell = 0; cell < 42; ++cell) marks += store.HasDiary(first.PlusDays(cell));
        benchmark::DoNotOptimize(marks);
    }
}
BENCHMARK(MonthMarks)->Unit(benchmark::kMicrosecond);

void SearchEveryDay(benchmark::State& state) {
    ScriptedPrompter prompter;
    DiaryStore store(prompter, nullptr, nullptr);
    store.SetFolder(Folder().path);
    text::WordOptions options;  // case and width folded
    for (auto _ : state) {
        const std::vector<DiaryHit> hits = SearchDiary(store, "見つからない言葉", options);
        benchmark::DoNotOptimize(hits.size());
    }
}
BENCHMARK(SearchEveryDay)->Unit(benchmark::kMillisecond);

}  // namespace
