#include "views/month_view.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <deque>
#include <fstream>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/text_entry_check.h"
#include "core/ui/day_range_dialogs.h"
#include "custom/ui/day_picture.h"
#include "custom/ui/picture_cache.h"
#include "document/document.h"
#include "exchange/outlook_csv.h"
#include "text/encoding.h"
#include "ui/font_colour.h"
#include "views/month_view_commands.h"

namespace almx {
namespace {

using namespace month_cmd;

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

// The month view with its dialogs answered from queues.
class TestMonthView : public CAlmxView {
  public:
    using CAlmxView::CAlmxView;

    std::deque<std::optional<std::uint32_t>> colours;
    std::optional<FontSpec> font;
    std::optional<DateTime> date;
    std::optional<int> daySpan;
    std::optional<int> weeks;
    std::optional<std::string> picture;
    std::vector<DayRangeFields> rangePresets;
    std::vector<TodaySchedules> todayShown;
    int colourAsked = 0;

  protected:
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override {
        ++colourAsked;
        if (colours.empty()) return std::nullopt;
        auto colour = colours.front();
        colours.pop_front();
        return colour;
    }
    std::optional<FontSpec> ChooseFont(const FontSpec&) override { return font; }
    std::optional<DateTime> AskDate(const DateTime&) override { return date; }
    std::optional<int> AskDaySpan() override { return daySpan; }
    std::optional<int> AskWeeks(int) override { return weeks; }
    std::optional<std::string> ChoosePicture(const std::string&) override { return picture; }
    bool RunRangeDialog(bool remove, const DayRangeFields& preset) override {
        rangePresets.push_back(preset);
        ScriptedPrompter quiet;
        DayPropertyMap& properties = Document().Array().dayProperties;
        return remove ? ConfirmRemoveRange(properties, preset, quiet)
                      : ConfirmColourRange(properties, preset, quiet);
    }
    void ShowTodayDialog(const TodaySchedules& texts) override { todayShown.push_back(texts); }
};

CAlmxData OnDay(const std::string& title, const DateTime& day) {
    CAlmxData r;
    r.title = title;
    r.start = day;
    r.end = day;
    r.alarmMinutes = -1;
    return r;
}

class MonthViewTest : public ::testing::Test {
  protected:
    MonthViewTest() {
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

    CAlmxDoc& Doc() { return host->Document(); }

    TestMonthView& View() {
        if (!view) {
            view = std::make_unique<TestMonthView>(*host, display, settings, prompter, clock);
            view->resize(700, 600);
        }
        return *view;
    }

    QImage Render() { return View().grab().toImage(); }

    QRect CellBox(int index) {
        const almx::CellRect& r = View().CellRects()[static_cast<std::size_t>(index)];
        return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    int IndexOf(const DateTime& day) { return View().Cells().IndexOf(day); }

    // Pixels of a colour within a rectangle.
    static int Count(const QImage& image, const QRect& area, std::uint32_t colour) {
        const QRgb want = ToQColor(colour).rgb();
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (image.pixel(x, y) == want) ++count;
        return count;
    }
    // A point inside a cell, clear of its text and marks.
    QColor Inside(const QImage& image, int index) {
        const QRect r = CellBox(index);
        return image.pixelColor(r.left() + 6, r.bottom() - 6);
    }

    void Click(const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(&View(), button, Qt::NoModifier, at);
    }
    void Keys(std::initializer_list<Qt::Key> keys, Qt::KeyboardModifiers mods = {}) {
        for (Qt::Key key : keys) QTest::keyClick(&View(), key, mods);
    }

    MemorySettingsStore settings;
    DisplaySettings display;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2025, 5, 3, 14, 7)};  // a Saturday
    std::unique_ptr<DocumentHost> host;
    std::unique_ptr<TestMonthView> view;
};

TEST_F(MonthViewTest, OpensOnTodayInAFiveWeekGrid) {
    EXPECT_EQ(View().Selected(), D(2025, 5, 3));
    EXPECT_EQ(View().Navigation().Shown().month, 5);
    EXPECT_EQ(View().Cells().Count(), 35);
    EXPECT_EQ(View().Cells()[0].date, D(2025, 4, 27));
    EXPECT_EQ(View().StatusText(), QStringLiteral("2025/05/03  (Sat.)"));
}

TEST_F(MonthViewTest, TakesTheDocumentsDateOnceThenToday) {
    host->SetSharedDate(D(2024, 2, 29));
    EXPECT_EQ(View().Selected(), D(2024, 2, 29));
    EXPECT_FALSE(host->SharedDate().IsValid());
    host->SetSharedDate(D(2023, 1, 9));
    View().OnCommand(kTakeDocumentDate);
    EXPECT_EQ(View().Selected(), D(2023, 1, 9));
    EXPECT_EQ(View().Navigation().Shown().month, 1);
}

TEST_F(MonthViewTest, TodaysFrameIsDrawnInTheTodayColour) {
    display.todayColor = 0x00FF0000;  // blue
    Click(CellBox(10).center());      // the selection elsewhere
    const QImage image = Render();
    const QRect today = CellBox(IndexOf(D(2025, 5, 3)));
    const QRect top(today.left() + 4, today.top() - 1, today.width() - 8, 3);
    EXPECT_GT(Count(image, top, display.todayColor), today.width() - 10);
    const QRect other = CellBox(IndexOf(D(2025, 5, 14)));
    EXPECT_EQ(Count(image, QRect(other.left() + 4, other.top() - 1, other.width() - 8, 3),
                    display.todayColor),
              0);
}

TEST_F(MonthViewTest, DayColourCommandColoursTheCellAndMarksTheDocument) {
    Click(CellBox(IndexOf(D(2025, 5, 20))).center());
    View().colours.push_back(0x0080FF);
    EXPECT_TRUE(View().OnCommand(kDayColour));
    const CDateProp* property = FindDayProperty(Doc().Array().dayProperties, D(2025, 5, 20));
    ASSERT_NE(property, nullptr);
    EXPECT_EQ(property->colour, 0x0080FFu);
    EXPECT_TRUE(Doc().IsModified());

    Click(CellBox(0).center());  // away, so the coloured cell is drawn unselected
    const QImage image = Render();
    EXPECT_EQ(Inside(image, IndexOf(D(2025, 5, 20))), ToQColor(0x0080FF));
    EXPECT_EQ(Inside(image, IndexOf(D(2025, 5, 21))), ToQColor(display.backColor));
    EXPECT_EQ(Inside(image, IndexOf(D(2025, 4, 28))), ToQColor(display.otherColor));
}

TEST_F(MonthViewTest, SelectionInTheThreeModes) {
    SetDayColour(Doc().Array().dayProperties, D(2025, 5, 14), 0x0040C0);
    const int index = IndexOf(D(2025, 5, 14));
    Click(CellBox(index).center());

    display.selColorMode = 0;
    EXPECT_EQ(Inside(Render(), index), ToQColor(display.selectColor));
    display.selColorMode = 1;
    EXPECT_EQ(Inside(Render(), index), ToQColor(InverseColour(0x0040C0)));
    EXPECT_EQ(Inside(Render(), index), QColor(0x3F, 0xBF, 0xFF));
    display.selColorMode = 2;
    const QImage image = Render();
    const QRect r = CellBox(index);
    EXPECT_EQ(image.pixelColor(r.left() + 2, r.center().y()), ToQColor(display.backColor));
    EXPECT_EQ(Inside(image, index), ToQColor(0x0040C0));
}

TEST_F(MonthViewTest, OverflowMarkOnlyWhenEntriesDoNotFit) {
    for (int i = 0; i < 12; ++i)
        Doc().Records().push_back(OnDay("予定" + std::to_string(i), D(2025, 5, 14)));
    Doc().Records().push_back(OnDay("一つだけ", D(2025, 5, 15)));
    host->UpdateAllViews(nullptr, kHintRefill);
    const int full = IndexOf(D(2025, 5, 14));
    const int single = IndexOf(D(2025, 5, 15));
    ASSERT_EQ(View().Cells()[full].entries.size(), 12u);

    for (int size : {1, 2}) {
        display.continueMark = size;
        const QImage image = Render();
        EXPECT_GT(Count(image, CellBox(full), display.continueColor), 4) << size;
        EXPECT_EQ(Count(image, CellBox(single), display.continueColor), 0) << size;
    }
    display.continueMark = 0;
    EXPECT_EQ(Count(Render(), CellBox(full), display.continueColor), 0);
    // Large enough cells hold them all.
    display.continueMark = 1;
    View().resize(700, 2400);
    EXPECT_EQ(Count(Render(), CellBox(full), display.continueColor), 0);
}

TEST_F(MonthViewTest, HolidayNumbersInTheHolidayColour) {
    const QImage image = Render();
    auto reddish = [&](const QRect& r) {
        int count = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++count;
            }
        return count;
    };
    // 2025/05/05 (a Monday) is Children's Day; 05/07 a plain Wednesday.
    EXPECT_GT(reddish(CellBox(IndexOf(D(2025, 5, 5)))), 5);
    EXPECT_EQ(reddish(CellBox(IndexOf(D(2025, 5, 7)))), 0);
}

TEST_F(MonthViewTest, ArrowAndPageKeysMoveTheSelection) {
    QSignalSpy selection(&View(), &CAlmxView::SelectionChanged);
    Keys({Qt::Key_Right});
    EXPECT_EQ(View().Selected(), D(2025, 5, 4));
    Keys({Qt::Key_Down, Qt::Key_Down});
    EXPECT_EQ(View().Selected(), D(2025, 5, 18));
    Keys({Qt::Key_Left, Qt::Key_Up});
    EXPECT_EQ(View().Selected(), D(2025, 5, 10));
    EXPECT_EQ(selection.count(), 5);
    Keys({Qt::Key_PageDown});
    EXPECT_EQ(View().Selected(), D(2025, 6, 10));
    EXPECT_EQ(View().Navigation().Shown().month, 6);
    Keys({Qt::Key_PageUp}, Qt::ShiftModifier);
    EXPECT_EQ(View().Selected(), D(2024, 6, 10));
    Keys({Qt::Key_PageDown}, Qt::ShiftModifier);
    Keys({Qt::Key_PageUp});
    EXPECT_EQ(View().Selected(), D(2025, 5, 10));
}

TEST_F(MonthViewTest, DigitsEnterADate) {
    Keys({Qt::Key_0, Qt::Key_5});
    EXPECT_EQ(View().StatusText(), QStringLiteral("日付入力：05"));
    Keys({Qt::Key_1, Qt::Key_0});
    EXPECT_EQ(View().Selected(), D(2025, 5, 10));
    EXPECT_EQ(View().StatusText(), QStringLiteral("2025/05/03  (Sat.)"));
    // An earlier month is next year's; the numeric pad counts too.
    QTest::keyClick(&View(), Qt::Key_0, Qt::KeypadModifier);
    Keys({Qt::Key_4, Qt::Key_0, Qt::Key_1});
    EXPECT_EQ(View().Selected(), D(2026, 4, 1));
    // An invalid date is ignored; another key ends an entry in progress.
    Keys({Qt::Key_0, Qt::Key_2, Qt::Key_3, Qt::Key_0});
    EXPECT_EQ(View().Selected(), D(2026, 4, 1));
    Keys({Qt::Key_1, Qt::Key_2, Qt::Key_Right, Qt::Key_2, Qt::Key_5});
    EXPECT_EQ(View().StatusText(), QStringLiteral("日付入力：25"));
    EXPECT_EQ(View().Selected(), D(2026, 4, 2));
}

TEST_F(MonthViewTest, ClicksSelectTheCellUnderThePointer) {
    QSignalSpy selection(&View(), &CAlmxView::SelectionChanged);
    const QRect cell = CellBox(16);
    Click(QPoint(cell.left(), cell.top()));
    EXPECT_EQ(View().Selected(), D(2025, 5, 13));
    EXPECT_EQ(View().Navigation().Index(), 16);
    Click(QPoint(cell.right() + 1, cell.bottom()));  // the next cell's left edge
    EXPECT_EQ(View().Navigation().Index(), 17);
    EXPECT_EQ(selection.count(), 2);
    // The header, the empty remainder and right clicks select nothing.
    Click(QPoint(10, 5));
    Click(QPoint(699, 300));
    Click(CellBox(3).center(), Qt::RightButton);
    EXPECT_EQ(View().Navigation().Index(), 17);
    // A click on a next-month day keeps the month.
    Click(CellBox(34).center());
    EXPECT_EQ(View().Selected(), D(2025, 5, 31));
    Click(CellBox(1).center());
    EXPECT_EQ(View().Selected(), D(2025, 4, 28));
    EXPECT_EQ(View().Navigation().Shown().month, 5);
}

TEST_F(MonthViewTest, DoubleClickAndEnterEditWhenEditingExists) {
    int edits = 0;
    QTest::mouseDClick(&View(), Qt::LeftButton, Qt::NoModifier, CellBox(9).center());
    EXPECT_FALSE(View().CommandStatus(kEdit)->enabled);
    View().SetCommandHandler(kEdit, [&] { ++edits; });
    EXPECT_TRUE(View().CommandStatus(kEdit)->enabled);
    QTest::mouseDClick(&View(), Qt::LeftButton, Qt::NoModifier, CellBox(9).center());
    Keys({Qt::Key_Return});
    EXPECT_EQ(edits, 2);
    EXPECT_EQ(View().Navigation().Index(), 9);
}

TEST_F(MonthViewTest, WheelMovesAWeekPerNotch) {
    auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&View(), &event);
    };
    wheel(-120);
    EXPECT_EQ(View().Selected(), D(2025, 5, 10));
    wheel(-60);
    EXPECT_EQ(View().Selected(), D(2025, 5, 10));
    wheel(-60);
    EXPECT_EQ(View().Selected(), D(2025, 5, 17));
    wheel(240);
    EXPECT_EQ(View().Selected(), D(2025, 5, 3));
}

TEST_F(MonthViewTest, TheCalendarsEndsSayNoFurther) {
    View().SelectDate(D(9998, 12, 15));
    Keys({Qt::Key_PageDown});
    EXPECT_TRUE(prompter.Saw(kNoFurtherMessage));
    EXPECT_EQ(View().Selected(), D(9998, 12, 15));
    View().OnCommand(kNextDay);
    View().OnCommand(kNextYear);
    EXPECT_EQ(View().Selected(), D(9998, 12, 15));
    View().daySpan = 17;
    View().OnCommand(kForwardDays);
    EXPECT_EQ(View().Selected(), D(9998, 12, 15));
    View().daySpan = -10;
    View().OnCommand(kForwardDays);
    EXPECT_EQ(View().Selected(), D(9998, 12, 5));

    View().SelectDate(D(1583, 1, 5));
    const std::size_t shown = prompter.Shown().size();
    View().OnCommand(kPrevWeek);
    EXPECT_EQ(prompter.Shown().size(), shown + 1);
    EXPECT_EQ(View().Selected(), D(1583, 1, 5));
    View().date = D(2008, 3, 20);
    View().OnCommand(kGoToDate);
    EXPECT_EQ(View().Selected(), D(2008, 3, 20));
    View().OnCommand(kToday);
    EXPECT_EQ(View().Selected(), D(2025, 5, 3));
}

TEST_F(MonthViewTest, DataCommandsDoNothingOnDaysBeyondTheCalendar) {
    View().SelectDate(D(9998, 12, 31));
    const int beyond = IndexOf(D(9999, 1, 1));
    ASSERT_GE(beyond, 0);
    Click(CellBox(beyond).center());
    EXPECT_EQ(View().Selected(), D(9999, 1, 1));
    for (int id : {kDayColour, kClearDay, kDayPicture, kRangeColour, kRangeClear, kPaste}) {
        EXPECT_FALSE(View().CommandStatus(id)->enabled) << id;
    }
    View().colours.push_back(0x123456);
    View().picture = "/tmp/x.png";
    View().OnCommand(kDayColour);
    View().OnCommand(kDayPicture);
    View().OnCommand(kRangeColour);
    EXPECT_EQ(View().colourAsked, 0);
    EXPECT_TRUE(View().rangePresets.empty());
    EXPECT_TRUE(Doc().Array().dayProperties.empty());
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(MonthViewTest, DayPropertyCommands) {
    View().SelectDate(D(2025, 5, 20));
    // Picture on a plain day: a property in the normal background.
    View().picture = "/home/u/富士山.jpg";
    View().OnCommand(kDayPicture);
    const CDateProp* property = FindDayProperty(Doc().Array().dayProperties, D(2025, 5, 20));
    ASSERT_NE(property, nullptr);
    EXPECT_EQ(property->text, "/home/u/富士山.jpg");
    EXPECT_EQ(property->colour, display.backColor);
    EXPECT_EQ(View().Cells()[IndexOf(D(2025, 5, 20))].picture, "/home/u/富士山.jpg");

    // Range colour from the preset: the day through the next.
    SetDayColour(Doc().Array().dayProperties, D(2025, 5, 20), 0x00FF00);
    View().OnCommand(kRangeColour);
    ASSERT_EQ(View().rangePresets.size(), 1u);
    EXPECT_EQ(View().rangePresets[0].first, "2025/05/20");
    EXPECT_EQ(View().rangePresets[0].last, "2025/05/20");
    EXPECT_EQ(View().rangePresets[0].colour, 0x00FF00u);

    // Clearing asks first.
    Doc().SetModified(false);
    prompter.Then(Answer::No);
    View().OnCommand(kClearDay);
    EXPECT_TRUE(prompter.Saw("この日の色を標準の色に戻しますか？"));
    EXPECT_NE(FindDayProperty(Doc().Array().dayProperties, D(2025, 5, 20)), nullptr);
    EXPECT_FALSE(Doc().IsModified());
    prompter.Then(Answer::Yes);
    View().OnCommand(kClearDay);
    EXPECT_EQ(FindDayProperty(Doc().Array().dayProperties, D(2025, 5, 20)), nullptr);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(View().Cells()[IndexOf(D(2025, 5, 20))].colour, display.backColor);

    // Range clearing from a day without a property: that day and the next.
    SetDayColour(Doc().Array().dayProperties, D(2025, 5, 22), 0x00FF00);
    View().SelectDate(D(2025, 5, 21));
    View().OnCommand(kRangeClear);
    EXPECT_EQ(View().rangePresets.back().last, "2025/05/22");
    EXPECT_TRUE(Doc().Array().dayProperties.empty());
}

TEST_F(MonthViewTest, APicturePathTheFileCannotHoldIsRefused) {
    View().SelectDate(D(2025, 5, 20));
    View().picture = "/home/u/café.jpg";
    View().OnCommand(kDayPicture);
    EXPECT_EQ(FindDayProperty(Doc().Array().dayProperties, D(2025, 5, 20)), nullptr);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(prompter.Shown().back(), UnrepresentableMessage("画像ファイル", "é"));

    // A picture already set stays when the new path is refused.
    View().picture = "/home/u/富士山.jpg";
    View().OnCommand(kDayPicture);
    View().picture = "/home/u/🗻.jpg";
    View().OnCommand(kDayPicture);
    EXPECT_EQ(FindDayProperty(Doc().Array().dayProperties, D(2025, 5, 20))->text,
              "/home/u/富士山.jpg");
}

TEST_F(MonthViewTest, PastedTextBecomesAScheduleOfTheSelectedDay) {
    View().SelectDate(D(2025, 5, 21));
    QGuiApplication::clipboard()->setText(QStringLiteral("歯医者"));
    View().OnCommand(kPaste);
    ASSERT_EQ(Doc().Records().size(), 1u);
    EXPECT_EQ(Doc().Records()[0].title, "歯医者");
    const auto& entries = View().Cells()[IndexOf(D(2025, 5, 21))].entries;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]->title, "歯医者");
}

TEST_F(MonthViewTest, UpdateHints) {
    View();
    Doc().Records().push_back(OnDay("会議", D(2025, 5, 7)));
    EXPECT_TRUE(View().Cells()[IndexOf(D(2025, 5, 7))].entries.empty());
    host->UpdateAllViews(nullptr, kHintRefill);
    ASSERT_EQ(View().Cells()[IndexOf(D(2025, 5, 7))].entries.size(), 1u);
    host->UpdateAllViews(nullptr, kHintRemoveRecord, &Doc().Records()[0]);
    EXPECT_TRUE(View().Cells()[IndexOf(D(2025, 5, 7))].entries.empty());

    // Hint 8 chooses the month again, here after the week start changed.
    display.startMonday = true;
    host->UpdateAllViews(nullptr, kHintRecomputeMonth);
    EXPECT_EQ(View().Cells()[0].date, D(2025, 4, 28));
    EXPECT_EQ(View().Cells()[View().Navigation().Index()].date, D(2025, 5, 3));
}

TEST_F(MonthViewTest, OwnMovesTellTheOtherViews) {
    std::vector<int> hints;
    QObject::connect(host.get(), &DocumentHost::Updated,
                     [&](QObject*, int hint, const CAlmxData*) { hints.push_back(hint); });
    View().OnCommand(kNextDay);  // inside the grid: nobody else
    View().OnCommand(kNextMonth);
    View().date = D(2020, 1, 1);
    View().OnCommand(kGoToDate);
    View().OnCommand(kToday);
    EXPECT_EQ(hints, (std::vector<int>{kHintRepaint, kHintDateChanged, kHintRepaint}));
}

TEST_F(MonthViewTest, WeeksFontsAndOptionsAreWrittenToTheirSections) {
    View().OnCommand(kSixWeeks);
    EXPECT_EQ(settings.GetInt("View", "MonthWeeks", 0), 6);
    EXPECT_EQ(View().Cells().Count(), 42);
    EXPECT_TRUE(View().CommandStatus(kSixWeeks)->checked);
    View().OnCommand(kSixWeeks);
    EXPECT_EQ(View().Cells().Count(), 35);
    View().SelectDate(D(2025, 5, 31));
    View().weeks = 4;
    View().OnCommand(kWeeks);
    EXPECT_EQ(display.monthWeeks, 4);
    EXPECT_EQ(View().CellRects().size(), 28u);
    EXPECT_EQ(View().Cells()[View().Navigation().Index()].date, D(2025, 5, 31));

    View().font = FontSpec{"Noto Sans CJK JP", -20, 700, 0, 0, 128};
    View().OnCommand(kEntryFont);
    EXPECT_EQ(settings.GetInt("Font", "Size", 0), -20);
    EXPECT_EQ(settings.GetInt("Font", "Weight", 0), 700);
    EXPECT_EQ(display.scheduleFont.size, -20);
    View().font = FontSpec{"Noto Serif CJK JP", -30, 400, 1, 0, 0};
    const int before = View().CellRects()[0].top;
    View().OnCommand(kCaptionFont);
    EXPECT_EQ(settings.GetString("YFont", "FaceName", ""), "Noto Serif CJK JP");
    EXPECT_GT(View().CellRects()[0].top, before);

    display.youbi = 1;
    View().OnCommand(kWeekdayNamesChanged);
    EXPECT_EQ(settings.GetInt("TFont", "CharSet", -1), 128);
    display.youbi = 0;
    View().OnCommand(kWeekdayNamesChanged);
    EXPECT_EQ(settings.GetInt("TFont", "CharSet", -1), 0);

    View().OnCommand(kCaptionJapanese);
    EXPECT_EQ(settings.GetInt("View", "Month", -1), 2);
    EXPECT_TRUE(View().CommandStatus(kCaptionJapanese)->checked);
    View().OnCommand(kTimeDisplayPerSchedule + 2);
    EXPECT_EQ(settings.GetInt("View", "MonthViewTime", -1), 2);
    EXPECT_TRUE(View().CommandStatus(kTimeDisplayPerSchedule + 2)->checked);
    View().OnCommand(kOtherMonthColours);
    EXPECT_EQ(settings.GetInt("View", "OtherMonthDayColor", -1), 0);

    View().colours.push_back(0x00FF00);
    View().OnCommand(kSelectionColour);
    EXPECT_EQ(settings.GetString("View", "SelectColor", ""), "65280");
    QSignalSpy dayList(&View(), &CAlmxView::DayListColoursChanged);
    View().OnCommand(kCopyColoursToDayList);
    EXPECT_EQ(settings.GetString("DayView", "BackColor", ""), "16777215");
    EXPECT_EQ(settings.GetString("DayView", "BackColor2", ""), "65280");
    EXPECT_EQ(dayList.count(), 1);
}

TEST_F(MonthViewTest, ContextMenuEndsWithTheDaysFromToday) {
    View().SelectDate(D(2025, 5, 13));
    const auto menu = View().CreateContextMenu();
    const auto actions = menu->actions();
    ASSERT_EQ(actions.size(), 15);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("スケジュールの追加..."));
    EXPECT_TRUE(actions[13]->isSeparator());
    EXPECT_EQ(actions[14]->text(), QStringLiteral("05月13日は今日から10日後です..."));
    std::vector<int> ids;
    for (QAction* action : actions)
        if (!action->isSeparator()) ids.push_back(action->data().toInt());
    EXPECT_EQ(ids, (std::vector<int>{kAddSchedule, kAddTodo, kEdit, kPaste, kNextMonth, kPrevMonth,
                                     kEditDiary, kTextCopyDay, kDayColour, kClearDay, kDayPicture,
                                     kGoToDate, kToday, kDaysFromToday}));
    EXPECT_FALSE(actions[2]->isEnabled());  // editing comes later
    EXPECT_TRUE(actions[8]->isEnabled());
    actions[4]->trigger();
    EXPECT_EQ(View().Selected(), D(2025, 6, 13));
}

TEST_F(MonthViewTest, TodaysSchedulesAtStart) {
    settings.SetInt("View", "First", 1);
    CAlmxData meeting = OnDay("会議", D(2025, 5, 3));
    meeting.start = meeting.start.WithTime(9, 30);
    meeting.Set(StartTimeSet);
    Doc().Records().push_back(meeting);
    CAlmxData todo = OnDay("報告書", D(2025, 5, 6));
    todo.Set(IsTodo);
    Doc().Records().push_back(todo);
    CAlmxData holiday = OnDay("憲法記念日", D(2025, 5, 3));
    holiday.Set(HolidayMark);
    Doc().Records().push_back(holiday);
    View().SetStartupPopupAllowed(false);
    View().ShowTodaySchedulesAtStart();
    EXPECT_TRUE(View().todayShown.empty());
    View().SetStartupPopupAllowed(true);
    View().ShowTodaySchedulesAtStart();
    ASSERT_EQ(View().todayShown.size(), 1u);
    // The holiday first; the to-do shows on today.
    EXPECT_EQ(View().todayShown[0].schedules, "憲法記念日\n09:30 会議\n");
    EXPECT_EQ(View().todayShown[0].todos, "報告書 あと3日\n");
}

TEST_F(MonthViewTest, NoTodaysSchedulesWhenSwitchedOff) {
    Doc().Records().push_back(OnDay("会議", D(2025, 5, 3)));
    View().ShowTodaySchedulesAtStart();
    EXPECT_TRUE(View().todayShown.empty());
}

TEST(DayRangeDialogs, ShowThePresetAndCheckBothDates) {
    DayPropertyMap properties;
    ScriptedPrompter prompter;
    DayRangeFields preset = DayRangePreset(properties, D(2008, 1, 30));
    CDayColorSpanDlg dialog(properties, preset, prompter);
    EXPECT_EQ(dialog.FirstEdit()->text(), QStringLiteral("2008/01/30"));
    EXPECT_EQ(dialog.LastEdit()->text(), QStringLiteral("2008/01/31"));
    EXPECT_EQ(dialog.Colour(), kWhite);
    dialog.LastEdit()->setText(QStringLiteral("2008/02/30"));
    dialog.SetColour(0x00FF00);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter.Saw("正しい終了日付を入力してください"));
    EXPECT_TRUE(properties.empty());
    dialog.LastEdit()->setText(QStringLiteral("2008/02/02"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(properties.size(), 4u);
    EXPECT_EQ(properties["2008/02/02"].colour, 0x00FF00u);

    CDayColorSpanDelDlg remove(properties, DayRangePreset(properties, D(2008, 1, 31)), prompter);
    EXPECT_EQ(remove.LastEdit()->text(), QStringLiteral("2008/02/02"));
    remove.FirstEdit()->setText(QStringLiteral("x"));
    remove.accept();
    EXPECT_TRUE(prompter.Saw("正しい開始日付を入力してください"));
    remove.FirstEdit()->setText(QStringLiteral("2008/2/1"));
    remove.accept();
    EXPECT_EQ(properties.size(), 2u);
}

// ---- pictures

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage Filled(int width, int height, Qt::GlobalColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A JPEG of the main picture with an EXIF segment carrying the thumbnail.
QByteArray JpegWithThumbnail(const QImage& main, const QImage& thumbnail) {
    const QByteArray jpeg = Encoded(main, "JPEG");
    const QByteArray thumb = Encoded(thumbnail, "JPEG");
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    auto u16 = [&](int v) { tiff.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto u32 = [&](int v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    u16(0);   // IFD0 at 8: no entries
    u32(14);  // IFD1 at 14
    u16(2);
    u16(0x0201), u16(4), u32(1), u32(14 + 2 + 24 + 4);
    u16(0x0202), u16(4), u32(1), u32(static_cast<int>(thumb.size()));
    u32(0);
    tiff.append(thumb);
    QByteArray segment = QByteArray("Exif\0\0", 6) + tiff;
    const int length = static_cast<int>(segment.size()) + 2;
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char(length >> 8)).append(char(length & 0xFF)).append(segment);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

class PictureTest : public ::testing::Test {
  protected:
    std::string Write(const char* name, const QByteArray& bytes) {
        const QString path = folder.filePath(QString::fromUtf8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path.toStdString();
    }
    QTemporaryDir folder;
};

TEST_F(PictureTest, TheExifThumbnailServesSmallTargets) {
    const std::string path =
        Write("写真.JPG", JpegWithThumbnail(Filled(400, 300, Qt::red), Filled(40, 30, Qt::blue)));
    EXPECT_EQ(DayPicture::Load(path, 100, 500).size(), QSize(40, 30));
    EXPECT_EQ(DayPicture::Load(path, 500, 100).size(), QSize(40, 30));
    EXPECT_EQ(DayPicture::Load(path, 161, 121).size(), QSize(400, 300));
    // Without a thumbnail the picture itself.
    const std::string plain = Write("plain.jpeg", Encoded(Filled(60, 50, Qt::red), "JPEG"));
    EXPECT_EQ(DayPicture::Load(plain, 100, 100).size(), QSize(60, 50));
}

TEST_F(PictureTest, OnlyPictureExtensionsAndReadableFilesLoad) {
    const QByteArray png = Encoded(Filled(10, 10, Qt::green), "PNG");
    EXPECT_FALSE(DayPicture::Load(Write("green.png", png), 50, 50).isNull());
    EXPECT_TRUE(DayPicture::Load(Write("green.dat", png), 50, 50).isNull());
    EXPECT_TRUE(DayPicture::Load(folder.filePath("missing.png").toStdString(), 50, 50).isNull());
    EXPECT_TRUE(DayPicture::Load(folder.path().toStdString() + "/.png", 50, 50).isNull());
    // Broken data: nothing, whatever the bytes.
    QByteArray broken = JpegWithThumbnail(Filled(100, 80, Qt::red), Filled(20, 20, Qt::blue));
    for (int at = 20; at < broken.size(); at += 37) broken[at] = char(broken[at] ^ 0x5A);
    (void)DayPicture::Load(Write("broken.jpg", broken), 50, 50);
    (void)DayPicture::Load(Write("cut.jpg", broken.left(300)), 500, 500);
    EXPECT_TRUE(DayPicture::Load(Write("text.gif", "GIF89a but not really"), 50, 50).isNull());
}

TEST_F(PictureTest, ShrunkToFitCentredAndReusedForTheSamePath) {
    const std::string path = Write("wide.png", Encoded(Filled(300, 100, Qt::red), "PNG"));
    QImage surface(200, 200, QImage::Format_RGB32);
    surface.fill(Qt::white);
    DayPicture picture;
    {
        QPainter painter(&surface);
        picture.Draw(path, painter, QRect(10, 10, 150, 150));
    }
    EXPECT_EQ(picture.Image().size(), QSize(150, 50));
    EXPECT_EQ(surface.pixelColor(85, 85), QColor(Qt::red));  // centred: rows 60..109
    EXPECT_EQ(surface.pixelColor(85, 55), QColor(Qt::white));
    // A larger cell with the same path shows the shrunk picture, centred.
    surface.fill(Qt::white);
    {
        QPainter painter(&surface);
        picture.Draw(path, painter, QRect(0, 0, 200, 200));
    }
    EXPECT_EQ(picture.Image().size(), QSize(150, 50));
    EXPECT_EQ(surface.pixelColor(24, 100), QColor(Qt::white));
    EXPECT_EQ(surface.pixelColor(26, 100), QColor(Qt::red));
    // Another path loads again; a small picture keeps its size.
    const std::string small = Write("small.bmp", Encoded(Filled(20, 10, Qt::blue), "BMP"));
    QPainter painter(&surface);
    picture.Draw(small, painter, QRect(0, 0, 200, 200));
    EXPECT_EQ(picture.Image().size(), QSize(20, 10));
}

TEST_F(MonthViewTest, DayPictureIsDrawnInItsCell) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("day.png"));
    Filled(300, 200, Qt::red).save(path);
    View().SelectDate(D(2025, 5, 20));
    View().picture = path.toStdString();
    View().OnCommand(kDayPicture);
    View().SelectDate(D(2025, 5, 1));
    (void)Render();  // asks for the picture; it is decoded off the paint
    PictureCache::Shared().WaitForIdle();
    const QImage image = Render();
    const QRect cell = CellBox(IndexOf(D(2025, 5, 20)));
    EXPECT_EQ(image.pixelColor(cell.center()), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(cell.center().x(), cell.top() + 2), ToQColor(display.backColor));
}

}  // namespace
}  // namespace almx

namespace almx {
namespace {

// A damaged record must not turn every page into a box: its message waits until the fill is
// done and comes once while the document is open.
TEST_F(MonthViewTest, AFillsMessageIsShownOnceAfterTheFill) {
    CAlmxData broken = OnDay("壊れた繰り返し", D(2025, 1, 1));
    broken.end = D(2026, 12, 31);
    broken.repeatType = 77;  // no kind of ours
    Doc().AddRecord(broken, false);
    View().show();
    for (int page = 0; page < 10; ++page) {
        View().OnCommand(kNextMonth);
        (void)Render();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(std::count(prompter.Shown().begin(), prompter.Shown().end(),
                         std::string("繰り返し処理エラー1")),
              1);
}

// A read-only document: day colours, pictures and pasting change nothing and say why.
TEST_F(MonthViewTest, AReadOnlyDocumentRefusesDayColoursPicturesAndPaste) {
    QTemporaryDir dir;
    const QString path = dir.filePath("ro.alx");
    Doc().Array().records.push_back(OnDay("既存", D(2025, 5, 3)));
    ASSERT_TRUE(Doc().SaveTo(path.toStdString()));
    ASSERT_EQ(::chmod(path.toLocal8Bit().constData(), 0444), 0);
    ASSERT_TRUE(Doc().Open(path.toStdString()));
    ASSERT_TRUE(Doc().IsReadOnly());
    View().colours = {0x0000FF};
    View().picture = std::string("/tmp/day.png");
    QGuiApplication::clipboard()->setText(QStringLiteral("貼り付け"));
    const std::size_t shown = prompter.Shown().size();
    View().OnCommand(kDayColour);
    View().OnCommand(kDayPicture);
    View().OnCommand(kPaste);
    EXPECT_TRUE(Doc().Array().dayProperties.empty());
    EXPECT_EQ(Doc().Records().size(), 1u);
    EXPECT_EQ(View().colourAsked, 0);
    ASSERT_EQ(prompter.Shown().size(), shown + 3);
    EXPECT_EQ(prompter.Shown().back(), "読み取り専用ファイルのため、変更は反映されません");
}

TEST_F(MonthViewTest, DayTextCopyAndAnImportedOutlookFileOnTheCalendar) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = folder.filePath(QStringLiteral("in.csv")).toStdString();
    // Quotes, a memo over three lines, a three-day all-day row and a broken row.
    const std::string csv =
        std::string(outlook::kScheduleHeader) +
        "\r\n\"会議 \"\"A\"\", 東京\",2025/5/13,10:00:00,2025/5/13,11:30:00,False,False,,,,,,,"
        "True,,2,,本社,\"一行\r\n二行\r\n三行\",標準,仕事,標準\r\n"
        "\"旅行\",2025/5/20,0:00:00,2025/5/22,0:00:00,TRUE,False,,,,,,,True,,2,,,,標準,,標準\r\n"
        "\"壊れ\",2025/5/40,9:00:00,2025/5/40,9:00:00,False,False,,,,,,,True,,2,,,,標準,,標準\r\n";
    {
        std::ofstream out(path, std::ios::binary);
        out << text::ToShiftJis(csv);
    }
    ASSERT_TRUE(CAlmxOutlookImport(Doc(), prompter).ImportFile(path, 0));
    EXPECT_EQ(prompter.Shown().back(), "インポート成功：2件\nインポート失敗：1件");
    View().SelectDate(D(2025, 5, 13));
    View().grab().save(QStringLiteral(ALMX_BINARY_DIR "/imported_month_view.png"));

    settings.SetInt("TextCopy", "Youbi", 1);
    const auto menu = View().CreateContextMenu();
    QAction* copy = menu->actions()[7];
    ASSERT_EQ(copy->data().toInt(), kTextCopyDay);
    ASSERT_TRUE(copy->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("05/13(火) 10:00 ～11:30 会議 \"A\", 東京\n"));
    // An empty day leaves the clipboard alone and says nothing.
    const std::size_t shown = prompter.Shown().size();
    View().SelectDate(D(2025, 5, 14));
    View().OnCommand(kTextCopyDay);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("05/13(火) 10:00 ～11:30 会議 \"A\", 東京\n"));
    EXPECT_EQ(prompter.Shown().size(), shown);
}

}  // namespace
}  // namespace almx

namespace almx {
namespace {

TEST_F(MonthViewTest, HtmlCopyCommandsPutTheShownMonthAsTextAndAsHtml) {
    Doc().Records().push_back(OnDay("<script>x</script>", D(2025, 5, 14)));
    ASSERT_TRUE(View().CommandStatus(kHtmlMonth).has_value());
    EXPECT_TRUE(View().CommandStatus(kHtmlMonth)->enabled);
    EXPECT_TRUE(View().CommandStatus(kUpload)->enabled);
    ASSERT_TRUE(View().OnCommand(kHtmlMonth));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    const QString text = data->text();
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("<div style=\"text-align: center;font-weight: bold;\">2025年05月</DIV>")))
        << text.left(80).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("&lt;script&gt;x&lt;/script&gt;")));
    EXPECT_FALSE(text.contains(QStringLiteral("<script>")));
    EXPECT_EQ(data->html(), text);

    settings.SetString("HtmlMonthOut", "MobileFile", "m");
    ASSERT_TRUE(View().OnCommand(kMobileHtmlMonth));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(
        QStringLiteral("<div style=\"text-align:center;\">")));
    EXPECT_TRUE(
        QGuiApplication::clipboard()->text().contains(QStringLiteral("m202505body.html#14")));
}

}  // namespace
}  // namespace almx
