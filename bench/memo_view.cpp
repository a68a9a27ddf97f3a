// The memo view over a document of 1,000 memos of 10 KB each, offscreen: opening it (pages
// built and the first one painted), searching every memo, and the synchronisation a save runs.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <memory>
#include <string>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "ui/document_host.h"
#include "views/memo_view.h"

namespace {

using almx::DateTime;

// About 10 KB of Japanese and Latin text, different in every memo.
std::string MemoText(int index) {
    std::string text;
    int line = 0;
    while (text.size() < 10 * 1024) {
        text += "第" + std::to_string(index) + "回 打ち合わせの記録 line " +
                std::to_string(line++) + "：会場は東京、資料はABC社の見積書を参照。\n";
    }
    return text;
}

struct MemoFixture {
    explicit MemoFixture(int memos) {
        almx::DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.computerName = "bench";
        auto document = std::make_unique<almx::CAlmxDoc>(context);
        for (int i = 0; i < memos; ++i) {
            document->Array().memoPages.push_back({"メモ" + std::to_string(i), MemoText(i)});
        }
        host = std::make_unique<almx::DocumentHost>(std::move(document));
    }

    std::unique_ptr<almx::CMemoView> Open() {
        auto view = std::make_unique<almx::CMemoView>(*host, settings, prompter);
        view->resize(800, 600);
        view->show();
        view->render(&image);
        benchmark::DoNotOptimize(image.constBits());
        return view;
    }

    almx::MemorySettingsStore settings;
    almx::ScriptedPrompter prompter;
    almx::ManualClock clock{DateTime::FromParts(2019, 6, 15, 12, 0)};
    std::unique_ptr<almx::DocumentHost> host;
    QImage image{800, 600, QImage::Format_ARGB32_Premultiplied};
};

void BM_OpenMemoView(benchmark::State& state) {
    MemoFixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<almx::CMemoView> view = f.Open();
        benchmark::DoNotOptimize(view.get());
    }
}

// A word in one memo in ten (and a miss), with the folds the search dialog uses by default.
void BM_SearchAllMemos(benchmark::State& state) {
    MemoFixture f(static_cast<int>(state.range(0)));
    std::unique_ptr<almx::CMemoView> view = f.Open();
    const almx::text::WordOptions options;
    for (auto _ : state) {
        auto hits = view->Book().SearchAll("第10回", options);
        benchmark::DoNotOptimize(hits);
        auto none = view->Book().SearchAll("見つからない語", options);
        benchmark::DoNotOptimize(none);
    }
}

// The save's synchronisation: state.range(1) memos edited in their editors since the last one.
void BM_SynchroniseBeforeSave(benchmark::State& state) {
    MemoFixture f(static_cast<int>(state.range(0)));
    std::unique_ptr<almx::CMemoView> view = f.Open();
    const auto edited = static_cast<std::size_t>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t page = 0; page < edited; ++page) {
            view->Editor(page)->appendPlainText(QStringLiteral("追記"));
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(view->Synchronise());
    }
}

BENCHMARK(BM_OpenMemoView)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchAllMemos)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SynchroniseBeforeSave)
    ->Args({1000, 0})
    ->Args({1000, 10})
    ->Args({1000, 1000})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
