#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/print_form.h"
#include "core/record.h"
#include "document/document.h"
#include "ui/qt_colour.h"
#include "views/day_cell_painter.h"
#include "views/entry_painter.h"
#include "views/month_view.h"
#include "views/print_support.h"
#include "views/week_view.h"

namespace almx {
namespace {

constexpr int kDpi = 300;

QImage Paper(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int perMetre = static_cast<int>(kDpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(perMetre);
    image.setDotsPerMeterY(perMetre);
    return image;
}

bool Dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

TEST(PrintScaleTest, OneScreenPixelIsAHundredthOfAnInchAndLargeViewsShrink) {
    const PrintOrigin origin{200, 200};
    // 600 x 400 on A4 at 600 dpi: 6 x 4 inches, unchanged.
    PrintScale s = FitToPage({600, 400}, {4760, 6814}, 600, 600, origin);
    EXPECT_DOUBLE_EQ(s.x, 6.0);
    EXPECT_DOUBLE_EQ(s.y, 6.0);
    EXPECT_DOUBLE_EQ(s.shrink, 1.0);
    // A maximised window on A4 portrait at 300 dpi: shrunk uniformly so its width fits.
    s = FitToPage({1920, 1000}, {2380, 3408}, kDpi, kDpi, origin);
    EXPECT_LT(s.shrink, 1.0);
    EXPECT_DOUBLE_EQ(s.x, s.y);
    EXPECT_NEAR(1920 * s.x, 2380 - 200, 0.5);
    // Too high rather than too wide.
    s = FitToPage({300, 2000}, {2380, 3408}, kDpi, kDpi, origin);
    EXPECT_NEAR(2000 * s.y, 3408 - 200, 0.5);
    // Never enlarged, and a margin past the page leaves a drawing, not a crash.
    s = FitToPage({10, 10}, {2380, 3408}, kDpi, kDpi, {9999, 9999});
    EXPECT_GT(s.x, 0.0);
}

class PrintTest : public ::testing::Test {
  protected:
    PrintTest() {
        settings.SetInt("View", "First", 0);
        DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.computerName = "test";
        auto document = std::make_unique<CAlmxDoc>(context);
        document->Array().genres = CAlmxFieldArray::General();
        host = std::make_unique<DocumentHost>(std::move(document));
    }

    QImage Print(CWeekView& view, const PrintOrigin& origin, QSize page = {3000, 2400}) {
        QImage image = Paper(page.width(), page.height());
        QPainter painter(&image);
        RenderPrintout(painter, image, page, view.size(), origin,
                       [&view](QPainter& p) { view.DrawForPrint(p); });
        painter.end();
        return image;
    }

    MemorySettingsStore settings;
    DisplaySettings display;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2025, 5, 3, 14, 7)};
    std::unique_ptr<DocumentHost> host;
};

TEST_F(PrintTest, TheWeekPrintsFromTheOriginAtAHundredthOfAnInchPerPixel) {
    CWeekView view(*host, display, settings, prompter, clock);
    view.resize(400, 300);  // columns of 200, rows of 75
    const QImage image = Print(view, {200, 150});
    // Nothing before the origin; the left border of cell 0 at the origin.
    EXPECT_FALSE(Dark(image, 190, 400));
    EXPECT_TRUE(Dark(image, 201, 400));
    // The right column starts 200 screen pixels (2 inches, 600 pixels) further.
    EXPECT_TRUE(Dark(image, 801, 400));
    EXPECT_FALSE(Dark(image, 790, 400));
    // The row line under cell 0 lies 75 screen pixels down: 225 printer pixels.
    EXPECT_TRUE(Dark(image, 500, 150 + 225 + 1));
    EXPECT_FALSE(Dark(image, 500, 150 + 225 + 12));
    // Nothing beyond the view's 4 x 3 inches.
    EXPECT_FALSE(Dark(image, 200 + 1200 + 20, 400));
    EXPECT_FALSE(Dark(image, 500, 150 + 900 + 20));
}

TEST_F(PrintTest, ASixHundredByFourHundredMonthIsSixByFourInches) {
    CAlmxView view(*host, display, settings, prompter, clock);
    view.resize(600, 400);
    QImage image = Paper(2480, 3508);
    {
        QPainter painter(&image);
        RenderPrintout(painter, image, image.size(), view.size(), PrintOrigin::Load(settings),
                       [&view](QPainter& p) { view.DrawForPrint(p); });
    }
    const CellRect& first = view.CellRects()[0];
    const CellRect& last = view.CellRects().back();
    // The first cell's left border at the origin, 200 printer pixels in; its top border 3
    // printer pixels per screen pixel below.
    EXPECT_TRUE(Dark(image, 200, 200 + first.top * 3 + 30));
    EXPECT_FALSE(Dark(image, 190, 200 + first.top * 3 + 30));
    EXPECT_TRUE(Dark(image, 300, 200 + first.top * 3));
    // The last row's bottom line 3 printer pixels per screen pixel down, nothing past 6 x 4.
    EXPECT_TRUE(Dark(image, 300, 200 + last.bottom * 3 - 1) ||
                Dark(image, 300, 200 + last.bottom * 3));
    EXPECT_FALSE(Dark(image, 200 + 1800 + 10, 600));
    EXPECT_FALSE(Dark(image, 300, 200 + 1200 + 10));
}

TEST_F(PrintTest, TheSelectedCellIsPlainOnPaper) {
    display.selectColor = 0xFF0000;  // blue
    display.selColorMode = 0;
    CWeekView view(*host, display, settings, prompter, clock);
    view.resize(400, 300);
    const QImage screen = view.grab().toImage();
    const CellRect& cell = view.Layout().cells[view.Navigation().Index()];
    const QPoint inside(cell.left + 100, cell.bottom - 10);
    EXPECT_EQ(screen.pixelColor(inside), ToQColor(0xFF0000));
    const QImage paper = Print(view, {0, 0});
    EXPECT_EQ(paper.pixelColor(inside * 3), QColor(Qt::white));
}

TEST_F(PrintTest, AWideViewIsShrunkToThePage) {
    CWeekView view(*host, display, settings, prompter, clock);
    view.resize(1000, 300);
    // 10 inches at 300 dpi would need 3000 pixels; the page has 1600 after the origin.
    const QImage image = Print(view, {200, 200}, {1800, 2400});
    const double shrink = 1600.0 / 3000.0;
    const int rightColumn = 200 + static_cast<int>(500 * 3 * shrink);
    EXPECT_TRUE(Dark(image, rightColumn, 300));
    EXPECT_FALSE(Dark(image, 200 + 500 * 3 + 1, 300)) << "drawn at full size";
}

// The cell drawing on paper: a done to-do gets the round marker, not the check mark, and the
// link mark is left out.
TEST(PaperCellTest, RoundToDoMarkersAndNoMarks) {
    DisplaySettings display;
    display.fileMarks = true;
    display.dayDrawPos = 3;  // entries from the top of the cell
    CAlmxData done;
    done.title = "done";
    done.start = done.end = DateTime::FromDate(2025, 5, 6);
    done.flags = IsTodo | TodoDone;
    done.linkFile = "https://example.invalid/";
    DayCell cell;
    cell.date = done.start;
    cell.colour = 0xFFFFFF;
    cell.entries = {&done};
    const EntryMarks marks = EntryMarks::Drawn();
    DayCellPainter painter(display);
    painter.SetMarks(&marks);
    const CellRect rect{0, 0, 200, 60};

    auto draw = [&](const CellSurface& surface) {
        QImage image(200, 60, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        painter.Draw(p, cell, rect, true, QStringLiteral("06"), surface);
        return image;
    };
    auto blueish = [](const QImage& image) {
        int count = 0;
        for (int y = 1; y < 20; ++y)
            for (int x = 1; x < 60; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.blue() > 120 && c.red() < 60) ++count;
            }
        return count;
    };
    display.selColorMode = 2;  // no selection fill: the marks stand on white
    const QImage screen = draw(CellSurface::Screen(1));
    const QImage paper = draw(CellSurface::Paper(1));
    EXPECT_GT(blueish(screen), 0);  // the globe of a web link
    EXPECT_EQ(blueish(paper), 0);
    // The tip of the check mark (x + 10, y + 2) is inked on screen only; the circle's centre on
    // paper.
    const int y = 1;
    EXPECT_TRUE(Dark(screen, 10, y + 2));
    EXPECT_FALSE(Dark(paper, 10, y + 2));
    const QFontMetrics metrics = painter.EntryMetrics(0);
    EXPECT_TRUE(Dark(paper, metrics.averageCharWidth(), y + metrics.height() / 2));
}

TEST(PrintFormTest, MarginsTakeZeroToNineThousandNineHundredNinetyNine) {
    MemorySettingsStore settings;
    EXPECT_EQ(PrintOrigin::Load(settings).left, 200);
    settings.SetInt("Print", "Left", -5);
    settings.SetInt("Print", "Top", 12000);
    EXPECT_EQ(PrintOrigin::Load(settings).left, 200);
    EXPECT_EQ(PrintOrigin::Load(settings).top, 200);

    ScriptedPrompter prompter;
    PrintForm form(PrintOrigin::Load(settings));
    for (const char* bad : {"-1", "10000", "abc", "", "1.5"}) {
        EXPECT_FALSE(form.Accept(bad, "0", prompter)) << bad;
        EXPECT_FALSE(form.Accept("0", bad, prompter)) << bad;
    }
    ASSERT_FALSE(prompter.Shown().empty());
    EXPECT_EQ(prompter.Shown().back(), kPrintOriginRangeMessage);
    EXPECT_EQ(form.Origin().left, 200);
    EXPECT_TRUE(form.Accept(" 0", "9999", prompter));
    form.Origin().Store(settings);
    EXPECT_EQ(settings.GetInt("Print", "Left", 1), 0);
    EXPECT_EQ(settings.GetInt("Print", "Top", 1), 9999);
}

}  // namespace
}  // namespace almx
