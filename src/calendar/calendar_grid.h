#pragma once
// The small month calendar without widgets: where its grid starts, which date a key or a
// click selects, and where its header, numbers and caption buttons lie.

#include <array>
#include <optional>

#include "base/date_time.h"

namespace almx {

inline constexpr int kCalendarMaxRows = 6;

// The weekday (0 Sunday .. 6 Saturday) of the first column for a first weekday given as
// 0 Monday .. 6 Sunday.
int CalendarColumnWeekday(int firstWeekday);

// The first cell of a month: the last day not after the 1st that falls on the first
// column's weekday, so the 1st is always in the first row.
DateTime CalendarGridStart(int year, int month, int firstWeekday);

enum class CalendarKey { Left, Right, Up, Down, PageUp, PageDown };

// The date a key moves to from a selected date: days and weeks, months and (with Shift on
// the page keys) years keeping the day of the month as far as the target month has it. The
// result never leaves 1583/01/01..9998/12/31.
DateTime CalendarKeyTarget(const DateTime& selected, CalendarKey key, bool shift);

// A date clamped into 1583/01/01..9998/12/31 (time dropped).
DateTime ClampToCalendar(const DateTime& date);

struct CalendarRect {
    int left = 0;
    int top = 0;
    int right = 0;   // exclusive
    int bottom = 0;  // exclusive
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const CalendarRect&) const = default;
};

// The geometry of one paint: the client size, the caption band (0 when the caption is off),
// the rows and the text extents the painter measured.
class CalendarLayout {
  public:
    struct Metrics {
        int width = 0;
        int height = 0;
        int captionHeight = 0;  // two caption-font lines, or 0
        int rows = 5;
        int boxWidth = 0;  // text extent of "55" in the day font
        int boxHeight = 0;
    };

    explicit CalendarLayout(const Metrics& metrics);

    int ColumnWidth() const { return columnWidth_; }
    int BandHeight() const { return bandHeight_; }
    int Rows() const { return metrics_.rows; }
    // Where a header name or a day number's text begins.
    int ColumnX(int column) const { return column * columnWidth_ + 3; }
    int HeaderY() const { return metrics_.captionHeight; }
    // The line under the header.
    int HeaderLineY() const { return metrics_.captionHeight + bandHeight_ - 1; }
    int NumberX(int column) const { return ColumnX(column); }
    int NumberY(int row) const { return metrics_.captionHeight + (row + 1) * bandHeight_ + 1; }
    // A text extent at a cell's number, enlarged by 2 before and 4 after in both directions.
    CalendarRect NumberBox(int row, int column, int textWidth, int textHeight) const;
    // The cell (row * 7 + column) whose "55" box holds the point, or -1.
    int HitCell(int x, int y) const;

  private:
    Metrics metrics_;
    int columnWidth_ = 0;
    int bandHeight_ = 0;
};

// The caption buttons: "<" from one average character width to five, ">" from five before
// the right edge to one before it; both a quarter line below the band's top to a quarter
// line above its bottom.
CalendarRect CaptionPreviousButton(int width, int averageCharWidth, int lineHeight);
CalendarRect CaptionNextButton(int width, int averageCharWidth, int lineHeight);

// The state of the control: the selected date (its month is the one shown), the columns,
// rows, and the bold and holiday flags of the shown month's days.
class CalendarGrid {
  public:
    enum class Change { Refused, SameMonth, NewMonth };

    CalendarGrid();

    const DateTime& Selected() const { return selected_; }
    int Year() const { return selected_.Year(); }
    int Month() const { return selected_.Month(); }
    int FirstWeekday() const { return firstWeekday_; }
    int Rows() const { return rows_; }
    void SetFirstWeekday(int firstWeekday);  // 0 Monday .. 6 Sunday
    void SetRows(int rows);                  // 1 .. 6

    DateTime Start() const { return CalendarGridStart(Year(), Month(), firstWeekday_); }
    DateTime CellDate(int cell) const { return Start().PlusDays(cell); }
    int CellCount() const { return rows_ * 7; }
    // The cell of a date, or -1 when the rows drawn do not hold it.
    int CellOf(const DateTime& date) const;
    // Whether a cell is drawn with a day number and may be picked: inside the rows and the
    // calendar's range.
    bool CellUsable(int cell) const;

    // Selects a date (click, key or owner). Dates outside 1583/01/01..9998/12/31 are refused;
    // a new month clears the day flags.
    Change Select(const DateTime& date);
    Change MoveKey(CalendarKey key, bool shift);
    // ±1 a month, ±12 a year; refused when the target month lies outside the calendar.
    Change MoveMonths(int months);

    bool Bold(int day) const;
    bool Holiday(int day) const;
    void SetBold(int day, bool on);
    void SetHoliday(int day, bool on);
    // Sets the holiday flag of each day of the shown month that is a holiday.
    void MarkHolidays();

  private:
    void ClearFlags();

    DateTime selected_;
    int firstWeekday_ = 6;
    int rows_ = 6;
    std::array<bool, 32> bold_{};
    std::array<bool, 32> holiday_{};
};

}  // namespace almx
