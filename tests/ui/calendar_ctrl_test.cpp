#include "ui/calendar_ctrl.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <utility>
#include <vector>

#include "base/clock.h"
#include "calendar/ui/entry_widgets.h"
#include "dialog_driver.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

class CalendarCtrlTest : public ::testing::Test {
  protected:
    CalendarCtrlTest() : ctrl_(nullptr, QRect(0, 0, 210, 170), 400) {
        // 02:30 with the day changing at 4 o'clock: the logical today is the 9th.
        ctrl_.SetClock(&clock_, 4);
        QObject::connect(&ctrl_, &CVeltaCalenderCtrl::Notified, [this](int id, int code) {
            EXPECT_EQ(id, 400);
            codes_.push_back(code);
        });
    }

    // The middle of a cell's day number.
    QPoint CellPoint(int cell) const {
        const CalendarLayout layout = ctrl_.Layout();
        return QPoint(layout.NumberX(cell % 7) + 4, layout.NumberY(cell / 7) + 4);
    }

    std::vector<int> TakeCodes() { return std::exchange(codes_, {}); }

    ManualClock clock_{DateTime::FromParts(2025, 6, 10, 2, 30)};
    CVeltaCalenderCtrl ctrl_;
    std::vector<int> codes_;
};

TEST_F(CalendarCtrlTest, NotificationsInOrder) {
    ASSERT_TRUE(ctrl_.SetDate(D(2025, 6, 10)));
    TakeCodes();
    // Same month: code 1 only, also for the date already selected.
    EXPECT_TRUE(ctrl_.SetDate(D(2025, 6, 12)));
    EXPECT_EQ(TakeCodes(), (std::vector<int>{1}));
    EXPECT_TRUE(ctrl_.SetDate(D(2025, 6, 12)));
    EXPECT_EQ(TakeCodes(), (std::vector<int>{1}));
    // Another month: 2 then 1, with the month already the new one when 2 arrives.
    QSignalSpy month(&ctrl_, &CVeltaCalenderCtrl::MonthChanged);
    EXPECT_TRUE(ctrl_.SetDate(D(2025, 7, 1)));
    EXPECT_EQ(TakeCodes(), (std::vector<int>{2, 1}));
    ASSERT_EQ(month.count(), 1);
    EXPECT_EQ(month.at(0).at(1).toInt(), 2025);
    EXPECT_EQ(month.at(0).at(2).toInt(), 7);
    // Outside the calendar: refused, nothing sent.
    EXPECT_FALSE(ctrl_.SetDate(D(1582, 12, 31)));
    EXPECT_FALSE(ctrl_.SetDate(D(9999, 1, 1)));
    EXPECT_TRUE(TakeCodes().empty());
    EXPECT_EQ(ctrl_.Date(), D(2025, 7, 1));
}

TEST_F(CalendarCtrlTest, KeysMoveAndNotify) {
    ASSERT_TRUE(ctrl_.SetDate(D(2024, 1, 31)));
    TakeCodes();
    QTest::keyClick(&ctrl_, Qt::Key_Left);
    EXPECT_EQ(ctrl_.Date(), D(2024, 1, 30));
    EXPECT_EQ(TakeCodes(), (std::vector<int>{1}));
    QTest::keyClick(&ctrl_, Qt::Key_Right);
    QTest::keyClick(&ctrl_, Qt::Key_PageDown);
    EXPECT_EQ(ctrl_.Date(), D(2024, 2, 29));
    EXPECT_EQ(TakeCodes(), (std::vector<int>{1, 2, 1}));
    QTest::keyClick(&ctrl_, Qt::Key_PageDown, Qt::ShiftModifier);
    QTest::keyClick(&ctrl_, Qt::Key_Up);
    QTest::keyClick(&ctrl_, Qt::Key_PageUp);
    EXPECT_EQ(ctrl_.Date(), D(2025, 1, 21));
}

TEST_F(CalendarCtrlTest, KeysStopAtBothEnds) {
    ASSERT_TRUE(ctrl_.SetDate(D(1583, 1, 1)));
    TakeCodes();
    for (auto key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_PageUp}) QTest::keyClick(&ctrl_, key);
    QTest::keyClick(&ctrl_, Qt::Key_PageUp, Qt::ShiftModifier);
    EXPECT_EQ(ctrl_.Date(), D(1583, 1, 1));
    EXPECT_TRUE(TakeCodes().empty());

    ASSERT_TRUE(ctrl_.SetDate(D(9998, 12, 30)));
    TakeCodes();
    QTest::keyClick(&ctrl_, Qt::Key_Down);
    EXPECT_EQ(ctrl_.Date(), D(9998, 12, 31));
    EXPECT_EQ(TakeCodes(), (std::vector<int>{1}));
    for (auto key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_PageDown}) QTest::keyClick(&ctrl_, key);
    QTest::keyClick(&ctrl_, Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(ctrl_.Date(), D(9998, 12, 31));
    EXPECT_TRUE(TakeCodes().empty());
    EXPECT_FALSE(ctrl_.NextMonth());
    EXPECT_FALSE(ctrl_.NextYear());
}

TEST_F(CalendarCtrlTest, ClicksPickTheNumberBoxes) {
    ctrl_.SetCaption(false);
    ctrl_.SetFirstWeekday(0);
    ctrl_.SetRows(5);
    ASSERT_TRUE(ctrl_.SetDate(D(2025, 6, 10)));
    TakeCodes();
    // Cell 0 of June 2025 with Monday first is May 26: a pick in another month.
    QTest::mouseClick(&ctrl_, Qt::LeftButton, {}, CellPoint(0));
    EXPECT_EQ(ctrl_.Date(), D(2025, 5, 26));
    EXPECT_EQ(TakeCodes(), (std::vector<int>{2, 1}));
    // The shown month is now May: cell 34 is June 1 (five rows from April 28).
    QTest::mouseClick(&ctrl_, Qt::LeftButton, {}, CellPoint(34));
    EXPECT_EQ(ctrl_.Date(), D(2025, 6, 1));
    // June needs a sixth row with Monday first; with five rows June 30 cannot be clicked.
    QTest::mouseClick(&ctrl_, Qt::LeftButton, {}, CellPoint(35));
    EXPECT_EQ(ctrl_.Date(), D(2025, 6, 1));
    ctrl_.SetRows(6);
    TakeCodes();
    QTest::mouseClick(&ctrl_, Qt::LeftButton, {}, CellPoint(35));
    EXPECT_EQ(ctrl_.Date(), D(2025, 6, 30));
    EXPECT_EQ(TakeCodes(), (std::vector<int>{1}));
    // Beside a number box nothing is picked; a right click picks nothing.
    const CalendarLayout layout = ctrl_.Layout();
    QTest::mouseClick(&ctrl_, Qt::LeftButton, {},
                      QPoint(layout.ColumnX(1) - 3 + layout.ColumnWidth() - 1, CellPoint(8).y()));
    QTest::mouseClick(&ctrl_, Qt::RightButton, {}, CellPoint(2));
    EXPECT_TRUE(TakeCodes().empty());
    // A double click on a day: the first click picks it, the second press sends -3.
    QTest::mouseClick(&ctrl_, Qt::LeftButton, {}, CellPoint(15));
    QTest::mouseDClick(&ctrl_, Qt::LeftButton, {}, CellPoint(15));
    EXPECT_EQ(ctrl_.Date(), D(2025, 6, 10));
    EXPECT_EQ(TakeCodes(), (std::vector<int>{1, -3}));
}

TEST_F(CalendarCtrlTest, AClickGivesTheFocus) {
    ctrl_.show();
    ctrl_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ctrl_));
    ctrl_.clearFocus();
    ASSERT_FALSE(ctrl_.hasFocus());
    QTest::mouseClick(&ctrl_, Qt::LeftButton, {}, QPoint(1, ctrl_.height() - 2));
    EXPECT_TRUE(ctrl_.hasFocus());
}

TEST_F(CalendarCtrlTest, DaysBeforeTheCalendarCannotBeClicked) {
    ctrl_.SetCaption(false);
    ctrl_.SetFirstWeekday(6);
    ASSERT_TRUE(ctrl_.SetDate(D(1583, 1, 5)));
    TakeCodes();
    QTest::mouseClick(&ctrl_, Qt::LeftButton, {}, CellPoint(0));  // 1582/12/26
    EXPECT_EQ(ctrl_.Date(), D(1583, 1, 5));
    EXPECT_TRUE(TakeCodes().empty());
}

TEST_F(CalendarCtrlTest, CaptionButtonsMoveTheMonth) {
    ctrl_.SetCaption(true);
    ASSERT_TRUE(ctrl_.SetDate(D(2025, 1, 31)));
    TakeCodes();
    auto* next = ctrl_.findChild<QPushButton*>(QStringLiteral("calendarNext"));
    auto* previous = ctrl_.findChild<QPushButton*>(QStringLiteral("calendarPrevious"));
    ASSERT_TRUE(next && previous);
    EXPECT_EQ(next->text(), QStringLiteral(">"));
    EXPECT_EQ(previous->text(), QStringLiteral("<"));
    EXPECT_LT(previous->geometry().right(), next->geometry().left());
    next->click();
    EXPECT_EQ(ctrl_.Date(), D(2025, 2, 28));
    EXPECT_EQ(TakeCodes(), (std::vector<int>{2, 1}));
    previous->click();
    previous->click();
    EXPECT_EQ(ctrl_.Date(), D(2024, 12, 28));
    ASSERT_TRUE(ctrl_.SetDate(D(1583, 1, 20)));
    TakeCodes();
    // The buttons stop at January 1583 and December 9998, as the owner's month moves do.
    previous->click();
    EXPECT_EQ(ctrl_.Date(), D(1583, 1, 20));
    EXPECT_TRUE(TakeCodes().empty());
    ASSERT_TRUE(ctrl_.SetDate(D(9998, 12, 2)));
    TakeCodes();
    next->click();
    EXPECT_EQ(ctrl_.Date(), D(9998, 12, 2));
    EXPECT_TRUE(TakeCodes().empty());
    ctrl_.SetCaption(false);
    EXPECT_TRUE(next->isHidden());
}

QColor PixelNear(const QImage& image, const CalendarRect& box, int dx, int dy) {
    return image.pixelColor(box.left + dx, box.top + dy);
}

TEST_F(CalendarCtrlTest, PaintsSelectionTodayAndColours) {
    ctrl_.SetFirstWeekday(0);
    ctrl_.SetRows(6);
    ctrl_.SetCaption(true);
    ASSERT_TRUE(ctrl_.SetDate(D(2025, 5, 20)));
    ctrl_.SetDayBold(21, true);
    const QImage image = ctrl_.grab().toImage();
    image.save(QStringLiteral(ALMX_BINARY_DIR "/calendar_ctrl.png"));

    const CalendarLayout layout = ctrl_.Layout();
    const QFontMetrics metrics(ctrl_.DayFont());
    const auto box = [&](int cell) {
        return layout.NumberBox(cell / 7, cell % 7, metrics.horizontalAdvance(QStringLiteral("55")),
                                metrics.height());
    };
    // May 2025 from April 28: the 20th is cell 22; its box is blue.
    const CalendarRect selected = box(22);
    EXPECT_EQ(PixelNear(image, selected, 1, 1), QColor(0, 0, 255));
    // The caption band: the caption colour at its middle left, beside the "<" button.
    EXPECT_EQ(image.pixelColor(1, 1), QColor(0, 0, 128));
    // Logical today is June 9 (02:30 before the 4 o'clock change), not the calendar's 10th.
    ASSERT_TRUE(ctrl_.SetDate(D(2025, 6, 20)));
    const QImage june = ctrl_.grab().toImage();
    june.save(QStringLiteral(ALMX_BINARY_DIR "/calendar_ctrl_june.png"));
    const int todayCell = ctrl_.Grid().CellOf(D(2025, 6, 9));
    const int calendarDayCell = ctrl_.Grid().CellOf(D(2025, 6, 10));
    EXPECT_EQ(PixelNear(june, box(todayCell), 0, 0), QColor(255, 0, 0));
    EXPECT_NE(PixelNear(june, box(calendarDayCell), 0, 0), QColor(255, 0, 0));
}

TEST(PickDateTest, KeysAndDoubleClickPickADate) {
    testing::OnNextDialog([](QDialog& dialog) {
        auto* calendar = dialog.findChild<CVeltaCalenderCtrl*>(QStringLiteral("pickCalendar"));
        ASSERT_TRUE(calendar);
        EXPECT_EQ(calendar->Date(), D(2024, 1, 31));
        QTest::keyClick(calendar, Qt::Key_PageDown);
        QTest::keyClick(calendar, Qt::Key_Right);
        const CalendarLayout layout = calendar->Layout();
        const int cell = calendar->Grid().CellOf(calendar->Date());
        const QPoint point(layout.NumberX(cell % 7) + 4, layout.NumberY(cell / 7) + 4);
        QTest::mouseDClick(calendar, Qt::LeftButton, {}, point);
    });
    EXPECT_EQ(PickDate(nullptr, D(2024, 1, 31)), D(2024, 3, 1));

    testing::OnNextDialog([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(PickDate(nullptr, D(2024, 1, 31)), std::nullopt);
}

}  // namespace
}  // namespace almx
