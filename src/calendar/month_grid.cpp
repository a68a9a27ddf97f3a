#include "calendar/month_grid.h"

#include <algorithm>
#include <cstdio>

#include "core/record.h"

namespace almx {

namespace {

// The shown month never leaves 1583/01..9998/12; one step beyond is where the search stops.
bool MonthInRange(int year, int month) {
    return year >= kMinYear && (year < kMaxYear || (year == kMaxYear && month <= 12));
}

ShownMonth Shown(int year, int month, const DateTime& first, const DateTime& selected) {
    return {year, month, first, static_cast<int>(DateDifference(first, selected))};
}

}  // namespace

int WeekdayColumn(const DateTime& day, bool startMonday) {
    const int weekday = day.DayOfWeek();
    return startMonday ? (weekday + 6) % 7 : weekday;
}

int ColumnWeekday(int column, bool startMonday) {
    return ((column % 7) + (startMonday ? 1 : 0)) % 7;
}

DateTime GridStart(int year, int month, bool startMonday) {
    const DateTime first = DateTime::FromDate(year, month, 1);
    return first.PlusDays(-WeekdayColumn(first, startMonday));
}

int GridOptions::CellCount() const {
    return std::clamp(weeks, kMinMonthWeeks, kMaxMonthWeeks) * 7;
}

bool InCalendarRange(const DateTime& day) {
    return day.IsValid() && IsValidDate(day.Year(), day.Month(), day.Day());
}

ShownMonth ChooseShownMonth(const DateTime& selected, const GridOptions& options) {
    const DateTime s = selected.Date();
    const int cells = options.CellCount();
    const int limit = options.noLastCur ? cells - 7 : cells;
    // A selected day just outside the calendar (a grid's edge) belongs to the nearest month.
    int year = std::clamp(s.Year(), kMinYear, kMaxYear);
    int month = s.Year() < kMinYear ? 1 : s.Year() > kMaxYear ? 12 : s.Month();
    const int ownYear = year;
    const int ownMonth = month;

    // The date's month, then the next one: any further month starts after the date.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DateTime first = GridStart(year, month, options.startMonday);
        const long n = DateDifference(first, s);
        if (n >= 0 && n < limit) return Shown(year, month, first, s);
        if (n >= limit && n < cells) {
            // The last row: stay unless the row also holds the next month's 1st.
            const int nextYear = month == 12 ? year + 1 : year;
            const int nextMonth = month == 12 ? 1 : month + 1;
            const DateTime nextFirst = DateTime::FromDate(nextYear, nextMonth, 1);
            const long w = nextFirst.DayOfWeek() + 1;
            const long x = DateDifference(s, nextFirst);
            if (w - (options.startMonday ? 1 : 0) - x <= 0) return Shown(year, month, first, s);
        }
        if (month == 12) {
            ++year;
            month = 1;
        } else {
            ++month;
        }
        if (!MonthInRange(year, month)) break;
    }

    // No grid of the rules holds the date: its own month, moved by whole weeks.
    DateTime first = GridStart(ownYear, ownMonth, options.startMonday);
    long n = DateDifference(first, s);
    if (n >= cells) {
        const long weeks = (n - cells) / 7 + 1;
        first = first.PlusDays(7 * weeks);
    } else if (n < 0) {
        const long weeks = (-n + 6) / 7;
        first = first.PlusDays(-7 * weeks);
    }
    return Shown(ownYear, ownMonth, first, s);
}

std::string CaptionText(int year, int month, int style) {
    static const char* const kMonths[12] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
    char buffer[64];
    if (style == 1 && month >= 1 && month <= 12) {
        std::snprintf(buffer, sizeof buffer, "%d - %s", year, kMonths[month - 1]);
    } else if (style == 2) {
        std::snprintf(buffer, sizeof buffer, "%d年 %02d月", year, month);
    } else {
        std::snprintf(buffer, sizeof buffer, "%d - %02d", year, month);
    }
    return buffer;
}

int HeaderHeight(int captionLineHeight, int weekdayLineHeight) {
    return weekdayLineHeight + captionLineHeight + 2;
}

std::vector<CellRect> LayOutCells(int clientWidth, int clientHeight, int headerHeight,
                                  int cellCount) {
    const int rows = std::max(1, (cellCount + 6) / 7);
    const int width = std::max(0, clientWidth / 7);
    const int height = std::max(0, (clientHeight - headerHeight) / rows);
    std::vector<CellRect> cells(static_cast<std::size_t>(std::max(0, cellCount)));
    // Seven to a row: the same as stepping on while the window has room for another cell,
    // for every window at least 49 wide.
    for (int i = 0; i < cellCount; ++i) {
        const int left = (i % 7) * width;
        const int top = headerHeight + (i / 7) * height;
        cells[static_cast<std::size_t>(i)] = {left, top, left + width, top + height};
    }
    return cells;
}

int HitTest(const std::vector<CellRect>& cells, int x, int y) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const CellRect& c = cells[i];
        if (x >= c.left && x < c.right && y >= c.top && y < c.bottom) return static_cast<int>(i);
    }
    return -1;
}

std::array<Point, 3> OverflowMark(int size, const CellRect& cell, int shift, int lineHeight,
                                  int charWidth) {
    const int r = cell.right - shift;
    const int b = cell.bottom;
    if (size == 2) {
        const int x0 = r - 2 * charWidth - 2;
        const int x2 = r - 2;
        return {Point{x0, b - lineHeight}, Point{x2, b - lineHeight}, Point{(x0 + x2) / 2, b - 2}};
    }
    const int x0 = r - charWidth - 1;
    const int x2 = r - 2;
    return {Point{(x0 + x2) / 2, b - 2}, Point{x0, b - lineHeight / 2},
            Point{x2, b - lineHeight / 2}};
}

Point DayNumberOrigin(const CellRect& cell, int position, int width, int height) {
    const CellRect area{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
    const int left = area.left + 2;
    const int right = area.right - 2 - width;
    const int top = area.top + 2;
    const int bottom = area.bottom - height - 1;
    switch (position) {
        case 0:
            return {left, top};
        case 1:
            return {right, top};
        case 2:
            return {left, bottom};
        case 4:
            return {(area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2};
        default:
            return {right, bottom};
    }
}

MonthNavigation::MonthNavigation(const GridOptions& options) : options_(options) {
    options_.weeks = std::clamp(options_.weeks, kMinMonthWeeks, kMaxMonthWeeks);
    selected_ = DateTime::FromDate(2000, 1, 1);
    Recompute();
}

void MonthNavigation::SetOptions(const GridOptions& options) {
    options_ = options;
    options_.weeks = std::clamp(options_.weeks, kMinMonthWeeks, kMaxMonthWeeks);
    Recompute();
}

void MonthNavigation::Recompute() {
    shown_ = ChooseShownMonth(selected_, options_);
}

bool MonthNavigation::Select(const DateTime& date) {
    if (!InCalendarRange(date)) return false;
    selected_ = date.Date();
    Recompute();
    return true;
}

MonthNavigation::Move MonthNavigation::SelectCell(int index) {
    Move move{Outcome::Refused, shown_.index, shown_.index};
    if (index < 0 || index >= CellCount()) return move;
    shown_.index = index;
    selected_ = CellDate(index);
    move.outcome = Outcome::InsideGrid;
    move.newIndex = index;
    return move;
}

bool MonthNavigation::AtLimit(bool forward) const {
    return forward ? shown_.year >= kMaxYear && shown_.month == 12
                   : shown_.year <= kMinYear && shown_.month == 1;
}

MonthNavigation::Move MonthNavigation::Recomputing(const DateTime& target) {
    Move move{Outcome::Refused, shown_.index, shown_.index};
    if (!InCalendarRange(target)) return move;
    selected_ = target.Date();
    Recompute();
    move.outcome = Outcome::Recomputed;
    move.newIndex = shown_.index;
    return move;
}

MonthNavigation::Move MonthNavigation::MoveDays(int days) {
    if (AtLimit(days > 0)) return {Outcome::Refused, shown_.index, shown_.index};
    const int index = shown_.index + days;
    if (index >= 0 && index < CellCount()) return SelectCell(index);
    return Recomputing(selected_.PlusDays(days));
}

MonthNavigation::Move MonthNavigation::MoveMonths(int months) {
    if (AtLimit(months > 0)) return {Outcome::Refused, shown_.index, shown_.index};
    return Recomputing(AddMonths(selected_, months));
}

MonthNavigation::Move MonthNavigation::MoveFreely(long days) {
    return Recomputing(selected_.PlusDays(days));
}

std::string DigitDateEntry::StatusText() const {
    return "日付入力：" + digits_;
}

DigitDateEntry::Step DigitDateEntry::Add(int digit, const DateTime& today) {
    Step step;
    if (digit < 0 || digit > 9) return step;
    digits_ += static_cast<char>('0' + digit);
    if (digits_.size() < 4) return step;
    step.finished = true;
    const int month = (digits_[0] - '0') * 10 + (digits_[1] - '0');
    const int day = (digits_[2] - '0') * 10 + (digits_[3] - '0');
    digits_.clear();
    const int year = today.Year() + (month < today.Month() ? 1 : 0);
    if (IsValidDate(year, month, day)) step.date = DateTime::FromDate(year, month, day);
    return step;
}

std::string DaysFromTodayLabel(const DateTime& selected, const DateTime& today) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%02d月%02d日は今日から%ld日後です...", selected.Month(),
                  selected.Day(), DateDifference(today, selected));
    return buffer;
}

std::string StatusDateText(const DateTime& today, const char* weekdayName) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d  (", today.Year(), today.Month(),
                  today.Day());
    return std::string(buffer) + (weekdayName ? weekdayName : "") + ")";
}

TodaySchedules TodaySchedulesOf(const DayCell& cell, int todayLimit) {
    TodaySchedules texts;
    const DateTime today = cell.date.Date();
    for (const CAlmxData* entry : cell.entries) {
        if (!DrawnInViews(*entry)) continue;
        if (entry->Has(IsTodo)) {
            if (entry->Has(TodoDone)) continue;
            texts.todos += entry->title;
            if (!entry->Has(TodoNoDeadline)) {
                const long days = DateDifference(today, entry->start);
                texts.todos += days >= 0 ? " あと" + std::to_string(days) + "日" : " 期限over";
            }
            texts.todos += '\n';
            continue;
        }
        if (entry->Has(StartTimeSet) &&
            (entry->IsRecurring() || LogicalDate(entry->start, todayLimit) == today)) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%02d:%02d ", entry->start.Hour(),
                          entry->start.Minute());
            texts.schedules += buffer;
        }
        texts.schedules += entry->title;
        texts.schedules += '\n';
    }
    return texts;
}

}  // namespace almx
