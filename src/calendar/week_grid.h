#pragma once
// The week view without widgets: the Monday a week starts on, the moves of the selected day,
// where the seven cells, the small calendar, the caption and the two buttons lie, and the day
// labels.

#include <string>

#include "base/date_time.h"
#include "calendar/day_cells.h"

namespace almx {

inline constexpr int kWeekCells = 7;

// The Monday on or before a date (weeks run Monday to Sunday whatever the month view's start).
DateTime WeekStart(const DateTime& day);

// The label of a week cell: "%2d/%2d (%s)" (month, day, weekday) on the Monday cell and on a
// month's 1st, else "%2d (%s)".
std::string WeekDayLabel(const DateTime& day, int index, const char* weekdayName);

struct WeekRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const WeekRect&) const = default;
    bool Overlaps(const WeekRect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

struct WeekLayout {
    CellRect cells[kWeekCells];
    WeekRect calendar;  // the small month calendar
    WeekRect caption;   // "%Y年%m月"
    WeekRect previous;  // "<"
    WeekRect next;      // ">"
};

// Two columns of half the width, four rows of a quarter of the height; Monday to Thursday on
// the left, Friday to Sunday on the right; the calendar, caption and buttons in the eighth
// place. ">" mirrors "<" so the two never overlap.
WeekLayout LayOutWeek(int clientWidth, int clientHeight);

// The selected day of the week view and the week that holds it. Days outside
// 1583/01/01..9998/12/31 lie in the first and last weeks but are never selected.
class WeekNavigation {
  public:
    enum class Outcome {
        InsideWeek,  // only the selected cell changed
        NewWeek,     // another week is shown
        Refused,     // the calendar ends there: nothing moved
    };
    struct Move {
        Outcome outcome = Outcome::Refused;
        int oldIndex = 0;
        int newIndex = 0;
    };
    enum class Key { Down, Up, Right, Left };

    WeekNavigation();

    const DateTime& Selected() const { return selected_; }
    const DateTime& Start() const { return start_; }
    int Index() const { return static_cast<int>(WholeDays(start_, selected_)); }
    DateTime CellDate(int index) const { return start_.PlusDays(index); }
    // Whether a cell's day may be selected.
    bool CellUsable(int index) const;

    // Shows the week of a date with the date selected; false outside the calendar.
    bool Select(const DateTime& date);
    // A click or a pick inside the week.
    Move SelectCell(int index);
    // Down and Up move one day, Right and Left four cells across the columns.
    Move MoveKey(Key key);
    // ±7 days keeping the weekday, or any number of days.
    Move MoveDays(long days);
    // ±1 a month, ±12 a year, the day capped at the target month's length.
    Move MoveMonths(int months);

  private:
    Move MoveTo(const DateTime& target);

    DateTime selected_;
    DateTime start_;
};

}  // namespace almx
