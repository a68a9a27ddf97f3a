// The HTML calendar: MonthTable over a whole document, and a year of pages (month pages,
// mobile pages, top pages) written to a folder.

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <filesystem>

#include "base/clock.h"
#include "base/file_io.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/genre.h"
#include "exchange/html_calendar.h"
#include "sample_document.h"

namespace {

using almx::DateTime;

void BM_MonthTable(benchmark::State& state) {
    const almx::RecordList records = almx::bench::SampleRecords(static_cast<int>(state.range(0)));
    almx::CAlmxFieldArray genres = almx::CAlmxFieldArray::General();
    almx::MemorySettingsStore settings;
    const almx::ManualClock clock(DateTime::FromParts(2019, 6, 15, 12, 0));
    almx::CHtmlGenerator generator({records, &genres, nullptr}, settings, clock);
    int month = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(generator.MonthTable(2019, 1 + month++ % 12));
    }
}
BENCHMARK(BM_MonthTable)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_YearOfPages(benchmark::State& state) {
    const almx::RecordList records = almx::bench::SampleRecords(static_cast<int>(state.range(0)));
    almx::CAlmxFieldArray genres = almx::CAlmxFieldArray::General();
    almx::MemorySettingsStore settings;
    settings.SetInt("HtmlExport", "CssOut", 0);
    const almx::ManualClock clock(DateTime::FromParts(2019, 6, 15, 12, 0));
    char pattern[] = "/tmp/almx-html-bench-XXXXXX";
    if (!::mkdtemp(pattern)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    almx::HtmlMonthOutSettings request;
    request.folder = pattern;
    request.fileName = "sch";
    request.topName = "index";
    request.mobileFile = "m";
    request.mobileTop = "mtop";
    request.startYear = request.endYear = 2019;
    request.startMonth = 1;
    request.endMonth = 12;
    almx::ScriptedPrompter prompter;
    almx::PageWriter writer;
    for (auto _ : state) {
        almx::CHtmlGenerator generator({records, &genres, nullptr}, settings, clock);
        benchmark::DoNotOptimize(
            almx::WriteHtmlPages(request, generator, pattern, settings, prompter, writer));
    }
    std::error_code error;
    std::filesystem::remove_all(pattern, error);
}
BENCHMARK(BM_YearOfPages)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
