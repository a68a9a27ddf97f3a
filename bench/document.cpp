// Opening and saving a schedule file of 10,000 and 100,000 records: the bytes alone (split and
// parse, format and encode) and the whole document commands on a file.

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/file_io.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/record_array.h"
#include "document/document.h"
#include "document/schedule_file_reader.h"
#include "document/schedule_file_writer.h"
#include "sample_document.h"

namespace {

using almx::CAlmxArray;
using almx::CAlmxData;
using almx::DateTime;

// The benchmark document with three genres.
CAlmxArray SampleDocument(int count) {
    CAlmxArray doc;
    doc.genres.Append(almx::CAlmxField("一般"));
    doc.genres.Append(almx::CAlmxField("仕事", 0x0000FF));
    doc.genres.Append(almx::CAlmxField("家族", 0x00FF00));
    doc.genres.Append(almx::CAlmxField("趣味", 0xFF0000));
    doc.records = almx::bench::SampleRecords(count);
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
        almx::ScanScheduleFileInto(bytes, doc, options);
        benchmark::DoNotOptimize(doc.records.size());
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
        benchmark::DoNotOptimize(doc.Records().size());
    }
    // The heap the open document holds (records, their texts, the list), per record.
    // In use: small blocks plus the large ones malloc maps on their own.
    auto inUse = [] {
        const struct mallinfo2 info = ::mallinfo2();
        return info.uordblks + info.hblkhd;
    };
    const std::size_t before = inUse();
    {
        almx::CAlmxDoc doc(env.Context());
        doc.Open(path);
        const std::size_t held = inUse() - before;
        state.counters["heap_bytes_per_record"] =
            static_cast<double>(held) / static_cast<double>(doc.Records().size());
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

// The same save with the flush to disk left out: what the program itself costs (format,
// encode, write to the page cache, backup and rename); the fsync costs what the disk costs.
class NoSyncWriter : public almx::FileWriter {
  public:
    bool Sync(int) override { return true; }
};

void BM_DocumentSaveWithoutSync(benchmark::State& state) {
    const std::string path = TempFolder() + "/nosync" + std::to_string(state.range(0)) + ".alx";
    Environment env;
    NoSyncWriter writer;
    almx::CAlmxDoc doc(env.Context());
    doc.SetFileWriter(&writer);
    doc.Array() = SampleDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!doc.SaveTo(path)) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_DocumentSaveWithoutSync)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The disk side of the save alone, on bytes already formatted: temporary file, backup and
// rename, without the fsync.
void BM_SaveBytesWithoutSync(benchmark::State& state) {
    const std::string path = TempFolder() + "/bytes" + std::to_string(state.range(0)) + ".alx";
    const std::string bytes =
        almx::WriteScheduleFile(SampleDocument(static_cast<int>(state.range(0)))).bytes;
    NoSyncWriter writer;
    for (auto _ : state) {
        if (!almx::SaveWithBackup(path, bytes, writer)) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveBytesWithoutSync)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Of that, the names alone: the old backup removed (its pages freed), the file linked as the
// backup and the new file renamed over it.
void BM_BackupAndRename(benchmark::State& state) {
    const std::string folder = TempFolder();
    const std::string path = folder + "/rename" + std::to_string(state.range(0)) + ".alx";
    const std::string temp = path + ".new";
    const std::string backup = almx::BackupPathOf(path);
    const std::string bytes =
        almx::WriteScheduleFile(SampleDocument(static_cast<int>(state.range(0)))).bytes;
    auto write = [&](const std::string& name) {
        std::ofstream(name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    };
    write(path);
    write(backup);
    for (auto _ : state) {
        state.PauseTiming();
        write(temp);
        state.ResumeTiming();
        if (::unlink(backup.c_str()) != 0 || ::link(path.c_str(), backup.c_str()) != 0 ||
            ::rename(temp.c_str(), path.c_str()) != 0) {
            state.SkipWithError("rename failed");
        }
    }
}
BENCHMARK(BM_BackupAndRename)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
