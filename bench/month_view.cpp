// The month view switching months over a large document: the cells filled again and the whole
// view painted, offscreen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <memory>

#include "ui/document_host.h"
#include "base/clock.h"
#include "core/display_settings.h"
#include "document/document.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "sample_document.h"
#include "views/month_view.h"
#include "views/month_view_commands.h"

namespace {

using almx::DateTime;

struct MonthViewFixture {
    explicit MonthViewFixture(int records) {
        settings.SetInt("View", "First", 0);
        almx::DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.computerName = "bench";
        auto document = std::make_unique<almx::CAlmxDoc>(context);
        document->Array().genres = almx::CAlmxFieldArray::General();
        for (const char* name : {"仕事", "家族", "趣味"})
            document->Array().genres.Append(almx::CAlmxField(name));
        document->Records() = almx::bench::SampleRecords(records);
        document->Array().dayProperties["2019/06/12"] = {0x00FFFF, ""};
        host = std::make_unique<almx::DocumentHost>(std::move(document));
        view = std::make_unique<almx::CAlmxView>(*host, display, settings, prompter, clock);
        view->resize(1000, 760);
        view->SelectDate(DateTime::FromDate(2019, 6, 15));
        image = QImage(view->size(), QImage::Format_ARGB32_Premultiplied);
    }

    void Paint() {
        view->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }

    almx::MemorySettingsStore settings;
    almx::DisplaySettings display;
    almx::ScriptedPrompter prompter;
    almx::ManualClock clock{DateTime::FromParts(2019, 6, 15, 12, 0)};
    std::unique_ptr<almx::DocumentHost> host;
    std::unique_ptr<almx::CAlmxView> view;
    QImage image;
};

// Next month, then back, one switch per iteration: the fill and the paint of each.
void BM_SwitchMonthFillAndPaint(benchmark::State& state) {
    MonthViewFixture f(static_cast<int>(state.range(0)));
    f.Paint();
    bool forward = true;
    for (auto _ : state) {
        f.view->OnCommand(forward ? almx::month_cmd::kNextMonth : almx::month_cmd::kPrevMonth);
        forward = !forward;
        f.Paint();
    }
}

// The paint alone, for the share of each.
void BM_PaintMonth(benchmark::State& state) {
    MonthViewFixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) f.Paint();
}

BENCHMARK(BM_SwitchMonthFillAndPaint)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintMonth)->Arg(10000)->Unit(benchmark::kMillisecond);

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
