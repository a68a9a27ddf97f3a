#pragma once
// The small month calendar drawn by the program: weekday header, rows of day numbers, the
// selected date in a blue box, today in a red frame, an optional caption band with "<" and
// ">". The week view and the diary view embed it; the entry dialogs' date picker shows it.

#include <QFont>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

#include "base/date_time.h"
#include "calendar/calendar_grid.h"

class QPushButton;

namespace almx {

class Clock;

class CVeltaCalenderCtrl : public QWidget {
    Q_OBJECT

  public:
    // The notification codes the parent receives with the control's id.
    static constexpr int kDateChanged = 1;
    static constexpr int kMonthChanged = 2;
    static constexpr int kDoubleClicked = -3;
    static constexpr int kNextButtonId = 300;
    static constexpr int kPreviousButtonId = 301;

    CVeltaCalenderCtrl(QWidget* parent, const QRect& rect, int id);
    ~CVeltaCalenderCtrl() override;

    int Id() const { return id_; }

    void SetDayFont(const QFont& font);
    const QFont& DayFont() const { return dayFont_; }
    // Sunday first, 0x00BBGGRR.
    void SetWeekdayColours(const std::array<std::uint32_t, 7>& colours);
    void SetFirstWeekday(int firstWeekday);  // 0 Monday .. 6 Sunday
    int FirstWeekday() const { return grid_.FirstWeekday(); }
    void SetRows(int rows);
    int Rows() const { return grid_.Rows(); }
    void SetCaption(bool on);
    bool Caption() const { return caption_; }
    void SetHolidayMarking(bool on);
    void SetBackColour(std::uint32_t colour);
    void SetHolidayColour(std::uint32_t colour);
    void SetOtherMonthColour(std::uint32_t colour);
    void SetCaptionColour(std::uint32_t colour);
    void SetDayBold(int day, bool on);
    void SetDayHoliday(int day, bool on);
    bool DayBold(int day) const { return grid_.Bold(day); }
    bool DayHoliday(int day) const { return grid_.Holiday(day); }

    // Today is the logical today of this clock with the day change at todayLimit o'clock;
    // without a clock the system clock.
    void SetClock(const Clock* clock, int todayLimit);
    DateTime Today() const;

    // Selects a date with the notifications of a pick; false (nothing sent) outside
    // 1583/01/01..9998/12/31.
    bool SetDate(const DateTime& date);
    DateTime Date() const { return grid_.Selected(); }
    bool NextMonth() { return MoveMonths(1); }
    bool PreviousMonth() { return MoveMonths(-1); }
    bool NextYear() { return MoveMonths(12); }
    bool PreviousYear() { return MoveMonths(-12); }

    // The date under a point of the widget, as a release there would pick it.
    std::optional<DateTime> DateAt(const QPoint& point) const;
    const CalendarGrid& Grid() const { return grid_; }
    // The geometry of the current size, fonts and rows.
    CalendarLayout Layout() const;

  signals:
    // Code 1: the selected date changed (also after a pick of the same date).
    void DateChanged(int id, const almx::DateTime& date);
    // Code 2: the shown month changed; DateChanged always follows.
    void MonthChanged(int id, int year, int month);
    // Code -3.
    void DoubleClicked(int id, const almx::DateTime& date);
    // Every notification by its code, in the order sent.
    void Notified(int id, int code);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    bool MoveMonths(int months);
    bool Apply(CalendarGrid::Change change);
    int CaptionHeight() const;
    void PlaceButtons();
    void PaintCaption(QPainter& painter);

    int id_ = 0;
    CalendarGrid grid_;
    QFont dayFont_;
    QFont boldFont_;
    QFont captionFont_;
    std::array<std::uint32_t, 7> weekdayColours_{};
    std::uint32_t backColour_ = 0xFFFFFF;
    std::uint32_t holidayColour_ = 0x0000FF;
    std::uint32_t otherMonthColour_ = 0x808080;
    std::uint32_t captionColour_ = 0x800000;
    bool caption_ = true;
    bool holidayMarking_ = true;
    const Clock* clock_ = nullptr;
    int todayLimit_ = 0;
    QPushButton* previousButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
};

}  // namespace almx
