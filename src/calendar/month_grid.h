#pragma once
// The month grid without widgets: where a month's grid starts, which month a selected date
// shows, where the cells lie in the window, and the moves of the selected date.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "calendar/day_cells.h"

namespace almx {

inline constexpr int kMinMonthWeeks = 4;
inline constexpr int kMaxMonthWeeks = 12;
inline constexpr const char* kNoFurtherMessage = "これ以上は進めません";

// The column of a day: Sunday 0 .. Saturday 6, or Monday 0 .. Sunday 6.
int WeekdayColumn(const DateTime& day, bool startMonday);
// The weekday (0 Sunday .. 6 Saturday) shown in a column.
int ColumnWeekday(int column, bool startMonday);
// The first cell of a month's grid: the 1st less its column.
DateTime GridStart(int year, int month, bool startMonday);

struct GridOptions {
    int weeks = 5;  // 4 to 12
    bool startMonday = false;
    bool noLastCur = true;  // the last row may not hold the selection

    int CellCount() const;
};

struct ShownMonth {
    int year = 0;
    int month = 0;
    DateTime first;  // the date of cell 0
    int index = 0;   // the selected date's cell, 0 <= index < cells

    bool operator==(const ShownMonth&) const = default;
};

// The month shown for a selected date. The search looks at the date's month and the next
// one only, never past December 9998; when neither grid holds the date (4 weeks, a date in
// its month's 5th or 6th row) the date's own month is shown with its grid moved on by whole
// weeks until the date sits in the last row.
ShownMonth ChooseShownMonth(const DateTime& selected, const GridOptions& options);

// The caption: style 0 "1996 - 05", 1 "1996 - May", 2 "1996年 05月".
std::string CaptionText(int year, int month, int style);

// Header height: the weekday header line, the caption line and 2.
int HeaderHeight(int captionLineHeight, int weekdayLineHeight);

// The cells of a window: 7 columns of width / 7, rows of (height - header) / weeks from the
// header down; the remainder of the width stays empty.
std::vector<CellRect> LayOutCells(int clientWidth, int clientHeight, int headerHeight,
                                  int cellCount);

// The cell under a point, or -1.
int HitTest(const std::vector<CellRect>& cells, int x, int y);

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// The ▼ mark of an overflowing cell (size 1 small, 2 large), at the bottom right of the cell
// less shift; lineHeight and charWidth are the entry font's.
std::array<Point, 3> OverflowMark(int size, const CellRect& cell, int shift, int lineHeight,
                                  int charWidth);

// The origin of the day number, width by height, in a cell at position 0 top left, 1 top
// right, 2 bottom left, 3 bottom right, 4 centred.
Point DayNumberOrigin(const CellRect& cell, int position, int width, int height);

// The moves of the month view: the selected date, the month shown for it and the cell that
// holds it.
class MonthNavigation {
  public:
    enum class Outcome {
        InsideGrid,  // only the selected cell changed
        Recomputed,  // the selected date moved and the month was chosen again
        Refused,     // the calendar ends there: nothing moved
    };
    struct Move {
        Outcome outcome = Outcome::Refused;
        int oldIndex = 0;
        int newIndex = 0;
    };

    explicit MonthNavigation(const GridOptions& options = {});

    const GridOptions& Options() const { return options_; }
    // New weeks or week start: the month is chosen again for the selected date.
    void SetOptions(const GridOptions& options);

    const DateTime& Selected() const { return selected_; }
    const ShownMonth& Shown() const { return shown_; }
    int Index() const { return shown_.index; }
    int CellCount() const { return options_.CellCount(); }
    DateTime CellDate(int index) const { return shown_.first.PlusDays(index); }

    // Selects a date and chooses its month (go to a date, today, hints 8 and 10). Dates
    // outside 1583/01/01..9998/12/31 are refused.
    bool Select(const DateTime& date);
    // Chooses the month again for the selected date.
    void Recompute();

    // A click: the selection moves to a cell of the grid, the month stays.
    Move SelectCell(int index);
    // Next or previous day (±1) and week (±7): inside the grid only the cell changes.
    Move MoveDays(int days);
    // Next or previous month (±1) and year (±12).
    Move MoveMonths(int months);
    // Forward a number of days (negative: back) from the selected date.
    Move MoveFreely(long days);

    // Moving forward while December 9998 is shown, or back while January 1583 is.
    bool AtLimit(bool forward) const;

  private:
    Move Recomputing(const DateTime& target);

    GridOptions options_;
    DateTime selected_;
    ShownMonth shown_;
};

// Whether a day lies in 1583/01/01..9998/12/31 (the grid shows a few days beyond).
bool InCalendarRange(const DateTime& day);

// Date entry by digits: after four, MMDD in the current year, or the next year when that
// month is earlier than the current month.
class DigitDateEntry {
  public:
    bool Active() const { return !digits_.empty(); }
    const std::string& Digits() const { return digits_; }
    // "日付入力：" and the digits typed.
    std::string StatusText() const;
    // Adds a digit (0-9); after the fourth the entry ends and the date is returned when it is
    // valid.
    struct Step {
        bool finished = false;
        std::optional<DateTime> date;
    };
    Step Add(int digit, const DateTime& today);
    void Cancel() { digits_.clear(); }

  private:
    std::string digits_;
};

// The last item of the context menu: "%sは今日から%d日後です..." with "%m月%d日".
std::string DaysFromTodayLabel(const DateTime& selected, const DateTime& today);

// The status bar's date: "%Y/%m/%d  (" weekday ")".
std::string StatusDateText(const DateTime& today, const char* weekdayName);

// The texts of today's schedules at start (今日のスケジュール), one entry a line ended by "\n":
// schedules as "%02d:%02d " and the title (the time when the entry has a start time and is
// recurring or starts that day); open to-dos as the title and " あと%d日" or " 期限over".
// Done to-dos and hidden entries are left out.
struct TodaySchedules {
    std::string schedules;
    std::string todos;
    bool Empty() const { return schedules.empty() && todos.empty(); }
};
TodaySchedules TodaySchedulesOf(const DayCell& cell, int todayLimit);

// The choice of 月間表示の週数: index weeks - 4.
inline int WeeksChoiceIndex(int weeks) {
    return weeks < kMinMonthWeeks || weeks > kMaxMonthWeeks ? 1 : weeks - kMinMonthWeeks;
}
inline int WeeksOfChoice(int index) {
    return index < 0 || index > kMaxMonthWeeks - kMinMonthWeeks ? 5 : index + kMinMonthWeeks;
}

}  // namespace almx
