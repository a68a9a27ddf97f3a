// Filling a DayCellSet (a month grid of 42 days, a week, a day) from a whole document.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "calendar/clock.h"
#include "calendar/day_cells.h"
#include "core/genre.h"
#include "core/record.h"

namespace {

using almx::CAlmxData;
using almx::DateTime;

// 85% single records of one to three days (a few of them to-dos), 15% recurring rules of
// every kind, some with exceptions and shift rules, spread over the five years around the
// windows; plus the yearly holiday records a document starts with.
std::vector<CAlmxData> SampleDocument(int count) {
    std::mt19937 random(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const char* titles[] = {"打ち合わせ",   "歯医者",           "会議 第2会議室", "誕生日",
                            "出張（大阪）", "定例ミーティング", "ゴミ出し",       "英会話"};
    const DateTime origin = DateTime::FromDate(2017, 1, 1);
    std::vector<CAlmxData> records;
    records.reserve(static_cast<std::size_t>(count) + 16);
    const int holidays[][2] = {{1, 1}, {2, 11}, {4, 29}, {5, 3},  {5, 4},
                               {5, 5}, {8, 11}, {11, 3}, {11, 23}};
    for (const auto& md : holidays) {
        CAlmxData r;
        r.title = "祝日";
        r.start = DateTime::FromDate(1949, md[0], md[1]);
        r.end = DateTime::FromDate(9998, 12, 31);
        r.repeatType = almx::RepeatYears;
        r.repeatFirstDay = r.repeatLastDay = md[1];
        r.Set(almx::HolidayMark);
        records.push_back(r);
    }
    for (int i = 0; i < count; ++i) {
        CAlmxData r;
        r.title = titles[pick(0, 7)];
        r.place = pick(0, 3) == 0 ? "東京都千代田区" : "";
        r.genre = pick(0, 3);
        const DateTime day = origin.PlusDays(pick(0, 5 * 365));
        const bool timed = pick(0, 1) == 1;
        r.start = timed ? day.WithTime(pick(7, 21), 30 * pick(0, 1)) : day;
        r.Set(almx::StartTimeSet, timed);
        if (pick(1, 100) <= 85) {
            r.end = timed ? r.start.PlusSeconds(3600 * pick(1, 3)) : day.PlusDays(pick(0, 2));
            r.Set(almx::EndTimeSet, timed);
            if (pick(1, 20) == 1) {
                r.Set(almx::IsTodo);
                r.todoLeadDays = pick(0, 1) == 1 ? -1 : pick(0, 7);
            }
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

almx::CAlmxFieldArray SampleGenres() {
    almx::CAlmxFieldArray genres = almx::CAlmxFieldArray::General();
    genres.Append(almx::CAlmxField("仕事", 0xFF0000));
    genres.Append(almx::CAlmxField("家族", 0x00FF00));
    genres.Append(almx::CAlmxField("趣味", 0x0000FF));
    return genres;
}

void FillBenchmark(benchmark::State& state, int cells) {
    const std::vector<CAlmxData> records = SampleDocument(static_cast<int>(state.range(0)));
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
