// Outlook CSV export of a year, Outlook CSV import, and the two weeks of a text copy, over the
// sample document (10,000 and 100,000 records).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/record_list.h"
#include "document/document.h"
#include "exchange/outlook_csv.h"
#include "exchange/range_export.h"
#include "heap_peak.h"
#include "sample_document.h"
#include "text/encoding.h"

namespace almx {
namespace {

using bench::PeakMemory;

// ALMX_BENCH_DUMP names a folder where the export file and the imported records are kept, so
// two builds' outputs can be compared byte for byte.
std::string DumpPath(const std::string& name) {
    const char* folder = std::getenv("ALMX_BENCH_DUMP");
    return folder && *folder ? (std::filesystem::path(folder) / name).string() : std::string();
}

void DumpRecords(const std::string& path, const std::vector<CAlmxData>& records,
                 const CAlmxFieldArray& genres) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    for (const CAlmxData& r : records) {
        std::fprintf(file, "%.9f|%d|%.9f|%d|%u|%d|%d|%d|%s|%s|%s\n", r.start.Days(),
                     r.start.IsValid() ? 1 : 0, r.end.Days(), r.end.IsValid() ? 1 : 0,
                     static_cast<unsigned>(r.flags), r.alarmMinutes, r.todoLeadDays, r.genre,
                     r.title.c_str(), r.place.c_str(), r.memo.c_str());
    }
    for (const CAlmxField& genre : genres.Items()) std::fprintf(file, "%s\n", genre.name.c_str());
    std::fclose(file);
}

struct Fixture {
    explicit Fixture(int count) {
        for (CAlmxData& r : bench::SampleRecords(count)) records.push_back(std::move(r));
        genres = CAlmxFieldArray::General();
        for (const char* name : {"仕事", "家族", "趣味"}) genres.Append(CAlmxField(name));
    }
    DayCellSource Source() { return DayCellSource{records, &genres, nullptr}; }
    ExportEnvironment Environment() { return ExportEnvironment{settings, clock, prompter}; }

    RecordList records;
    CAlmxFieldArray genres;
    MemorySettingsStore settings;
    NoticeCollector prompter;
    ManualClock clock{DateTime::FromParts(2019, 6, 1, 9, 0)};
};

// Header and lines of a year, encoded as the file holds them.
void BM_OutlookExportYear(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    const PeakMemory peak;
    for (auto _ : state) {
        CAlmxOutlookExport exporter(f.Source(), DateTime::FromDate(2019, 1, 1),
                                    DateTime::FromDate(2019, 12, 31), f.Environment());
        std::string encoded;
        exporter.FileBytes(encoded, 0);
        bytes = encoded.size();
        benchmark::DoNotOptimize(encoded.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    peak.Report(state);
}
BENCHMARK(BM_OutlookExportYear)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The same bytes as the file export makes them, block by block, without a disk.
void BM_OutlookExportYearBlocks(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    const PeakMemory peak;
    for (auto _ : state) {
        CAlmxOutlookExport exporter(f.Source(), DateTime::FromDate(2019, 1, 1),
                                    DateTime::FromDate(2019, 12, 31), f.Environment());
        bytes = 0;
        exporter.FileBlocks(
            [&bytes](std::string_view block) {
                bytes += block.size();
                benchmark::DoNotOptimize(block.data());
                return true;
            },
            0);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    peak.Report(state);
}
BENCHMARK(BM_OutlookExportYearBlocks)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// ExportToFile itself: a temporary file in the system's temporary folder, flushed and renamed.
void BM_OutlookExportYearToFile(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    const std::string path =
        (std::filesystem::temp_directory_path() / "almx_bench_export.csv").string();
    const PeakMemory peak;
    for (auto _ : state) {
        CAlmxOutlookExport exporter(f.Source(), DateTime::FromDate(2019, 1, 1),
                                    DateTime::FromDate(2019, 12, 31), f.Environment());
        if (!exporter.ExportToFile(path, 0)) state.SkipWithError("export failed");
    }
    std::error_code error;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path, error));
    const std::string kept = DumpPath("export_" + std::to_string(state.range(0)) + ".csv");
    if (kept.empty()) {
        std::filesystem::remove(path, error);
    } else {
        std::filesystem::rename(path, kept, error);
    }
    peak.Report(state);
}
BENCHMARK(BM_OutlookExportYearToFile)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Rows of an exported file read back (no disk): split, parsed, genres assigned.
void BM_OutlookImportRows(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Fixture f(rows * 2);
    std::string text;
    CAlmxOutlookExport exporter(f.Source(), DateTime::FromDate(2017, 1, 1),
                                DateTime::FromDate(2022, 12, 31), f.Environment());
    exporter.FileText(text, 1);
    // Keep the header and the first rows lines' worth of rows.
    std::size_t pos = 0;
    for (int i = 0; i <= rows && pos != std::string::npos; ++i) pos = text.find("\"\n\"", pos + 1);
    if (pos != std::string::npos) text.resize(pos + 2);
    const std::string bytes = text::Utf8ToShiftJis(text).bytes;
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ManualClock clock(DateTime::FromParts(2019, 6, 1, 9, 0));
    DocumentContext context;
    context.settings = &settings;
    context.prompter = &prompter;
    context.clock = &clock;
    CAlmxDoc doc(context);
    int accepted = 0;
    const PeakMemory peak;
    for (auto _ : state) {
        CAlmxOutlookImport importer(doc, prompter);
        const ImportOutcome outcome = importer.ImportBytes(bytes, f.genres, {}, 0);
        accepted = outcome.accepted;
        benchmark::DoNotOptimize(outcome.records.data());
    }
    state.counters["rows"] = accepted;
    const std::string kept = DumpPath("import_" + std::to_string(rows) + ".txt");
    if (!kept.empty()) {
        CAlmxOutlookImport importer(doc, prompter);
        const ImportOutcome outcome = importer.ImportBytes(bytes, f.genres, {}, 0);
        DumpRecords(kept, outcome.records, outcome.genres);
    }
    peak.Report(state);
}
BENCHMARK(BM_OutlookImportRows)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_TextExport14Days(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    int lines = 0;
    const PeakMemory peak;
    for (auto _ : state) {
        CAlmxTextExport exporter(f.Source(), DateTime::FromDate(2019, 6, 1),
                                 DateTime::FromDate(2019, 6, 14), f.Environment());
        std::string text;
        lines = exporter.ExportToText(text, 3);
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["lines"] = lines;
    peak.Report(state);
}
BENCHMARK(BM_TextExport14Days)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace almx
