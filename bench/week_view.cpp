// The week view moving to the next week over a large document (the seven cells filled again and
// the view painted, offscreen), and the print preview of a month up to its first painted page.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <memory>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/display_settings.h"
#include "document/document.h"
#include "sample_document.h"
#include "ui/document_host.h"
#include "views/month_view.h"
#include "views/month_view_commands.h"
#include "views/print_support.h"
#include "views/week_view.h"

namespace {

using almx::DateTime;

struct Fixture {
    explicit Fixture(int records) {
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
        host = std::make_unique<almx::DocumentHost>(std::move(document));
        host->SetSharedDate(DateTime::FromDate(2019, 6, 12));
    }

    almx::MemorySettingsStore settings;
    almx::DisplaySettings display;
    almx::ScriptedPrompter prompter;
    almx::ManualClock clock{DateTime::FromParts(2019, 6, 15, 12, 0)};
    std::unique_ptr<almx::DocumentHost> host;
};

// Next week, then back, one move per iteration: the fill and the paint of each.
void BM_NextWeekFillAndPaint(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    almx::CWeekView view(*f.host, f.display, f.settings, f.prompter, f.clock);
    view.resize(1000, 760);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    view.render(&image);
    bool forward = true;
    for (auto _ : state) {
        view.OnCommand(forward ? almx::month_cmd::kNextWeek : almx::month_cmd::kPrevWeek);
        forward = !forward;
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The preview of a maximised month view: from the request to the first page painted.
void BM_PrintPreviewMonth(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    almx::CAlmxView view(*f.host, f.display, f.settings, f.prompter, f.clock);
    view.resize(1000, 760);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    for (auto _ : state) {
        QPrintPreviewWidget preview(&printer);
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, &preview,
                         [&view, &f](QPrinter* target) {
                             QPainter painter(target);
                             const QRect page =
                                 target->pageLayout().paintRectPixels(target->resolution());
                             almx::RenderPrintout(painter, *target, page.size(), view.size(),
                                                  almx::PrintOrigin::Load(f.settings),
                                                  [&view](QPainter& p) { view.DrawForPrint(p); });
                         });
        preview.updatePreview();
        benchmark::DoNotOptimize(preview.pageCount());
    }
}

BENCHMARK(BM_NextWeekFillAndPaint)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintPreviewMonth)->Arg(10000)->Unit(benchmark::kMillisecond);

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
