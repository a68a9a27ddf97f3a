// Paging through twelve months with a large phone photo (twelve megapixels, taken upright) on
// every day: the paints while the pictures are decoded elsewhere and after they arrived, and
// what one picture costs to decode at its cell's size.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/display_settings.h"
#include "custom/ui/picture_cache.h"
#include "document/document.h"
#include "ui/document_host.h"
#include "views/month_view.h"
#include "views/month_view_commands.h"

namespace {

using almx::DateTime;

// A 4000 x 3000 JPEG lying on its side with EXIF orientation 6, as a phone stores a portrait.
QByteArray PhonePhoto() {
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 4000, 3000);
    gradient.setColorAt(0, QColor(30, 90, 160));
    gradient.setColorAt(1, QColor(230, 200, 120));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 400; ++i) {
        painter.setBrush(QColor::fromHsv((i * 37) % 360, 160, 200));
        painter.drawEllipse((i * 97) % 4000, (i * 61) % 3000, 40 + i % 200, 30 + i % 150);
    }
    painter.end();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    auto u16 = [&](int v) { tiff.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    u16(1);
    u16(0x0112), u16(3), u16(1), u16(0), u16(6), u16(0);
    u16(0), u16(0);
    const QByteArray segment = QByteArray("Exif\0\0", 6) + tiff;
    const int length = static_cast<int>(segment.size()) + 2;
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char(length >> 8)).append(char(length & 0xFF)).append(segment);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

struct Photos {
    Photos() {
        const std::filesystem::path first =
            std::filesystem::path(dir.path().toStdString()) / "0.jpg";
        const QByteArray bytes = PhonePhoto();
        std::ofstream(first, std::ios::binary).write(bytes.constData(), bytes.size());
        // One file under many names: every day is a picture of its own to the cache.
        DateTime day = DateTime::FromDate(2026, 1, 1);
        for (int i = 0; i < 365; ++i, day = day.PlusDays(1)) {
            const std::filesystem::path path =
                std::filesystem::path(dir.path().toStdString()) / (std::to_string(i + 1) + ".jpg");
            std::filesystem::create_hard_link(first, path);
            char key[16];
            std::snprintf(key, sizeof key, "%04d/%02d/%02d", day.Year(), day.Month(), day.Day());
            properties[key] = {16777215, path.string()};
        }
    }
    QTemporaryDir dir;
    almx::DayPropertyMap properties;
};

void BM_PageTwelveMonthsOfPhotos(benchmark::State& state) {
    Photos photos;
    almx::MemorySettingsStore settings;
    settings.SetInt("View", "First", 0);
    almx::DisplaySettings display;
    almx::ScriptedPrompter prompter;
    almx::ManualClock clock{DateTime::FromParts(2026, 1, 15, 12, 0)};
    almx::DocumentContext context;
    context.settings = &settings;
    context.prompter = &prompter;
    context.clock = &clock;
    context.computerName = "bench";

    double worstPaint = 0;
    double firstPaint = 0;
    double waited = 0;
    int paints = 0;
    for (auto _ : state) {
        almx::PictureCache::Shared().Clear();
        auto document = std::make_unique<almx::CAlmxDoc>(context);
        document->Array().genres = almx::CAlmxFieldArray::General();
        document->Array().dayProperties = photos.properties;
        almx::DocumentHost host(std::move(document));
        almx::CAlmxView view(host, display, settings, prompter, clock);
        view.resize(1000, 760);
        view.SelectDate(DateTime::FromDate(2026, 1, 15));
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        auto paint = [&] {
            QElapsedTimer timer;
            timer.start();
            view.render(&image);
            const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            if (paints++ == 0) {
                firstPaint = ms;
            } else {
                worstPaint = std::max(worstPaint, ms);
            }
        };
        for (int month = 0; month < 12; ++month) {
            if (month > 0) view.OnCommand(almx::month_cmd::kNextMonth);
            paint();  // placeholders where the pictures are still on their way
            QElapsedTimer timer;
            timer.start();
            almx::PictureCache::Shared().WaitForIdle();
            waited += static_cast<double>(timer.nsecsElapsed()) / 1e6;
            paint();  // the pictures
        }
    }
    state.counters["first_paint_ms"] = firstPaint;
    state.counters["worst_paint_ms"] = worstPaint;
    state.counters["decode_wait_ms_per_month"] =
        waited / static_cast<double>(12 * std::max<std::int64_t>(1, state.iterations()));
}

// One picture decoded at a month cell's size, upright.
void BM_DecodePhotoForACell(benchmark::State& state) {
    Photos photos;
    const std::string path = photos.properties.begin()->second.text;
    for (auto _ : state) {
        QImage image = almx::PictureCache::Decode(path, QSize(140, 110), state.range(0) / 100.0);
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_PageTwelveMonthsOfPhotos)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePhotoForACell)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

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
