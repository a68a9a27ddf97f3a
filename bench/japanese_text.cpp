// Throughput of the Japanese text matcher over a large mixed text, and of the JIS encoder.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "mail/jis.h"
#include "text/encoding.h"
#include "text/matcher.h"

namespace {

constexpr std::size_t kTextBytes = 10 * 1024 * 1024;

// About 10 MB of Shift_JIS: kanji, hiragana, katakana, half-width katakana with voiced marks,
// full-width and ASCII letters and digits, with the searched word once at the very end.
const std::string& MixedText() {
    static const std::string text = [] {
        const char* words[] = {
            "打ち合わせ", "歯医者", "会議 第2会議室", "誕生日",       "出張（大阪）",
            "ﾐｰﾃｨﾝｸﾞ",    "ｶﾞｲﾄﾞ",  "Meeting",        "ＡＢＣ１２３", "しゅっちょう",
            "コーヒー",   "ﾊﾟｰﾃｨｰ", "資料を送る",     "10:30",        "、",
            "。\r\n"};
        std::string sjisWords[std::size(words)];
        for (std::size_t i = 0; i < std::size(words); ++i) {
            sjisWords[i] = almx::text::ToShiftJis(words[i]);
        }
        std::mt19937 random(3);
        std::string s;
        s.reserve(kTextBytes + 64);
        while (s.size() < kTextBytes) s += sjisWords[random() % std::size(words)];
        s += almx::text::ToShiftJis("ﾃﾞｰﾀﾍﾞｰｽ移行");
        return s;
    }();
    return text;
}

void FindAtEnd(benchmark::State& state, const char* pattern, unsigned flags) {
    const std::string& text = MixedText();
    std::string sjisPattern = almx::text::ToShiftJis(pattern);
    for (auto _ : state) {
        auto hit = almx::text::Find(text, sjisPattern, flags);
        if (!hit || hit->offset < kTextBytes) state.SkipWithError("the word at the end not found");
        benchmark::DoNotOptimize(hit);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_FindExact(benchmark::State& state) {
    FindAtEnd(state, "ﾃﾞｰﾀﾍﾞｰｽ移行", 0);
}
BENCHMARK(BM_FindExact)->Unit(benchmark::kMillisecond);

void BM_FindAllFolds(benchmark::State& state) {
    FindAtEnd(state, "でーたべーす移行", almx::text::kFoldAll);
}
BENCHMARK(BM_FindAllFolds)->Unit(benchmark::kMillisecond);

void BM_SjisToJis(benchmark::State& state) {
    const std::string& text = MixedText();
    for (auto _ : state) benchmark::DoNotOptimize(almx::mail::SjisToJis(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SjisToJis)->Unit(benchmark::kMillisecond);

}  // namespace
