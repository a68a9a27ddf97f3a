// Key assignments: reading a file of every key with every modifier combination (648 bindings)
// and working out every command's menu text, and one key press's lookup.

#include <benchmark/benchmark.h>

#include <vector>

#include "base/file_io.h"
#include "base/settings_store.h"
#include "custom/keycust.h"
#include "custom/keycust_array.h"

namespace {

// 648 bindings over 200 commands, as a user who bound everything would have.
std::vector<almx::CKeycust> EveryKey() {
    std::vector<almx::CKeycust> bindings;
    int command = 0;
    for (const almx::KeyTableEntry& entry : almx::KeyTable()) {
        for (int modifiers = 0; modifiers < 8; ++modifiers) {
            bindings.push_back({static_cast<std::uint16_t>(entry.code),
                                static_cast<std::uint16_t>((modifiers >> 2) & 1),
                                static_cast<std::uint16_t>((modifiers >> 1) & 1),
                                static_cast<std::uint16_t>(modifiers & 1),
                                static_cast<std::uint16_t>(32768 + command++ % 200)});
        }
    }
    return bindings;
}

void BM_ReadFileAndEveryMenuText(benchmark::State& state) {
    const std::string bytes = almx::WriteKeyFile(EveryKey());
    almx::MemorySettingsStore settings;
    almx::FileWriter writer;
    almx::CKeycustArray keys(settings, writer, "/nonexistent/almx32.key");
    for (auto _ : state) {
        almx::KeyFileRead read = almx::ReadKeyFile(bytes);
        keys.SetBindings(std::move(read.bindings));
        for (int command = 32768; command < 32768 + 200; ++command) {
            benchmark::DoNotOptimize(keys.ShortcutFor(command));
        }
    }
}
BENCHMARK(BM_ReadFileAndEveryMenuText)->Unit(benchmark::kMicrosecond);

void BM_Lookup(benchmark::State& state) {
    almx::MemorySettingsStore settings;
    almx::FileWriter writer;
    almx::CKeycustArray keys(settings, writer, "/nonexistent/almx32.key");
    keys.SetBindings(EveryKey());
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(keys.Lookup(65 + i % 26, i & 4, i & 2, i & 1));
        ++i;
    }
}
BENCHMARK(BM_Lookup);

}  // namespace
