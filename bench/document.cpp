// Opening and saving a schedule file of 10,000 and 100,000 records: the bytes alone (split and
// parse, format and encode) and the whole document commands on a file.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "calendar/clock.h"
#include "core/document.h"
#include "core/prompter.h"
#include "core/record_array.h"
#include "core/schedule_file_reader.h"
#include "core/schedule_file_writer.h"
#include "core/settings_store.h"

namespace {

using almx::CAlmxArray;
using almx::CAlmxData;
using almx::DateTime;

// 85% single records of one to three days, 15% recurring rules of every kind, Japanese titles,
// places and memos.
CAlmxArray SampleDocument(int count) {
    static const char* const kTitles[] = {
        "打ち合わせ",     "歯医者",           "会議 第2会議室",     "誕生日",
        "出張（大阪）",   "定例ミーティング", "月次報告の締め切り", "ゴミ出し（燃えるゴミ）",
        "英会話レッスン", "株主総会の準備"};
    static const char* const kPlaces[] = {"",     "",        "本社", "東京都千代田区丸の内１－１",
                                          "自宅", "新大阪駅"};
    static const char* const kMemos[] = {
        "",
        "",
        "",
        "持ち物：資料、名刺\n駅で待ち合わせ",
        "前回の議事録を確認すること。\n参加者：山田、佐藤、鈴木\n議題：来期の予算",
        "予約番号 12345"};
    std::mt19937 random(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const DateTime origin = DateTime::FromDate(2017, 1, 1);
    CAlmxArray doc;
    doc.genres.Append(almx::CAlmxField("一般"));
    doc.genres.Append(almx::CAlmxField("仕事", 0x0000FF));
    doc.genres.Append(almx::CAlmxField("家族", 0x00FF00));
    doc.records.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CAlmxData r;
        const DateTime day = origin.PlusDays(pick(0, 5 * 365));
        const bool timed = pick(0, 1) == 1;
        r.start = timed ? day.WithTime(pick(7, 21), 30 * pick(0, 1)) : day;
        r.Set(almx::StartTimeSet, timed);
        r.title = kTitles[pick(0, 9)];
        r.place = kPlaces[pick(0, 5)];
        r.memo = kMemos[pick(0, 5)];
        r.genre = pick(0, 2);
        r.colour = static_cast<std::uint32_t>(pick(0, 0xFFFFFF));
        r.alarmMinutes = pick(0, 3) == 0 ? -1 : 10;
        if (pick(1, 100) <= 85) {
            r.end = (timed ? day.WithTime(pick(7, 21), 0) : day).PlusDays(pick(0, 2));
            r.Set(almx::EndTimeSet, timed);
            doc.records.push_back(std::move(r));
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
        doc.records.push_back(std::move(r));
    }
    return doc;
}

std::string TempFolder() {
    static std::string folder = [] {
        char pattern[] = "/tmp/almx-bench-XXXXXX";
        return std::string(::mkdtemp(pattern) ? pattern : "/tmp");
    }();
    return folder;
}

void BM_ReadScheduleBytes(benchmark::State& state) {
    const std::string bytes =
        almx::WriteScheduleFile(SampleDocument(static_cast<int>(state.range(0)))).bytes;
    almx::RowReadOptions options;
    for (auto _ : state) {
        CAlmxArray doc;
        doc.records.reserve(almx::ScheduleFileRowBound(bytes));
        almx::ScanScheduleFile(
            bytes, [&](const almx::TCard& row) { almx::ReadScheduleRow(row, doc, options); });
        benchmark::DoNotOptimize(doc.records.data());
    }
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_ReadScheduleBytes)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteScheduleBytes(benchmark::State& state) {
    const CAlmxArray doc = SampleDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(almx::WriteScheduleFile(doc).bytes.data());
}
BENCHMARK(BM_WriteScheduleBytes)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

struct Environment {
    almx::MemorySettingsStore settings;
    almx::ScriptedPrompter prompter;
    almx::ManualClock clock{DateTime::FromParts(2025, 5, 3, 9, 0)};

    almx::DocumentContext Context() {
        settings.SetInt("System", "HolidayChangeFlag1", 1);
        almx::DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.computerName = "bench";
        return context;
    }
};

// The open command on a file in the page cache: read, decode, split, parse, holiday updates.
void BM_DocumentOpen(benchmark::State& state) {
    const std::string path = TempFolder() + "/open" + std::to_string(state.range(0)) + ".alx";
    {
        const std::string bytes =
            almx::WriteScheduleFile(SampleDocument(static_cast<int>(state.range(0)))).bytes;
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    Environment env;
    for (auto _ : state) {
        almx::CAlmxDoc doc(env.Context());
        if (!doc.Open(path)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.Records().data());
    }
}
BENCHMARK(BM_DocumentOpen)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The save command: format, encode, temporary file, flush to disk, backup and rename.
void BM_DocumentSave(benchmark::State& state) {
    const std::string path = TempFolder() + "/save" + std::to_string(state.range(0)) + ".alx";
    Environment env;
    almx::CAlmxDoc doc(env.Context());
    doc.Array() = SampleDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!doc.SaveTo(path)) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_DocumentSave)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
