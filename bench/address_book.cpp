// The address book: reading a CSV book of 10,000 entries (from bytes and from its file) and
// finding the last entry by name.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/prompter.h"
#include "mail/address_book.h"
#include "text/encoding.h"

namespace {

constexpr int kEntries = 10000;

// 10,000 entries with Japanese names, two addresses each and the other cells filled.
std::string BookBytes() {
    std::string utf8 =
        "\"氏名\",\"メールアドレス\",\"郵便番号\",\"住所\",\"電話番号\",\"メモ\",\"カテゴリ\"\r\n";
    char line[512];
    for (int i = 0; i < kEntries; ++i) {
        std::snprintf(line, sizeof line,
                      "\"山田 太郎%05d\",\"taro%05d@example.jp\x01\x02taro%05d@mobile.example.jp\","
                      "\"100-%04d\",\"東京都千代田区千代田%d-%d\",\"03-1234-%04d\",\"メモ%d\","
                      "\"仕事\"\r\n",
                      i, i, i, i % 10000, i % 9 + 1, i % 30 + 1, i % 10000, i);
        utf8 += line;
    }
    return almx::text::ToShiftJis(utf8);
}

void BM_ReadBookBytes(benchmark::State& state) {
    const std::string bytes = BookBytes();
    for (auto _ : state) {
        almx::AddressBook book;
        book.LoadCsvBytes(bytes);
        benchmark::DoNotOptimize(book.Size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadBookBytes)->Unit(benchmark::kMillisecond);

void BM_ReadBookFile(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "almx-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string csv = folder + "/qpostadr.csv";
    {
        const std::string bytes = BookBytes();
        std::ofstream(csv, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    for (auto _ : state) {
        almx::AddressBook book;
        benchmark::DoNotOptimize(book.Load(csv, folder + "/qpostadr.dat"));
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReadBookFile)->Unit(benchmark::kMillisecond);

void BM_FindAndExpandLast(benchmark::State& state) {
    almx::AddressBook book;
    book.LoadCsvBytes(BookBytes());
    almx::ScriptedPrompter prompter;
    for (auto _ : state) {
        std::vector<std::string> list;
        const auto index = book.Find("山田 太郎09999");
        if (index) book.Expand(*index, list, prompter);
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_FindAndExpandLast);

}  // namespace
