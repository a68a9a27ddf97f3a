#include "calendar/calendar_grid.h"

#include <algorithm>

#include "calendar/holidays.h"
#include "calendar/month_grid.h"

namespace almx {

namespace {

const DateTime& FirstDay() {
    static const DateTime first = DateTime::FromDate(kMinYear, 1, 1);
    return first;
}

const DateTime& LastDay() {
    static const DateTime last = DateTime::FromDate(kMaxYear, 12, 31);
    return last;
}

bool ValidDay(int day) {
    return day >= 1 && day <= 31;
}

}  // namespace

int CalendarColumnWeekday(int firstWeekday) {
    const int first = std::clamp(firstWeekday, 0, 6);
    return first == 6 ? 0 : first + 1;
}

DateTime CalendarGridStart(int year, int month, int firstWeekday) {
    const DateTime first = DateTime::FromDate(year, month, 1);
    const int column = CalendarColumnWeekday(firstWeekday);
    // Counting back to the column's weekday; moving forward (c - w + 1 > 0) would leave the
    // first days of the month out of the grid for first weekdays Tuesday to Saturday.
    const int back = (first.DayOfWeek() - column + 7) % 7;
    return first.PlusDays(-back);
}

DateTime ClampToCalendar(const DateTime& date) {
    if (!date.IsValid()) return FirstDay();
    const DateTime day = date.Date();
    if (day < FirstDay()) return FirstDay();
    if (day > LastDay()) return LastDay();
    return day;
}

namespace {

DateTime MonthsFrom(const DateTime& selected, int months) {
    const long index = selected.Year() * 12L + (selected.Month() - 1) + months;
    if (index < kMinYear * 12L) return FirstDay();
    if (index > kMaxYear * 12L + 11) return LastDay();
    const int year = static_cast<int>(index / 12);
    const int month = static_cast<int>(index % 12) + 1;
    return DateTime::FromDate(year, month, std::min(selected.Day(), DaysInMonth(year, month)));
}

}  // namespace

DateTime CalendarKeyTarget(const DateTime& selected, CalendarKey key, bool shift) {
    const DateTime from = ClampToCalendar(selected);
    switch (key) {
        case CalendarKey::Left:
            return ClampToCalendar(from.PlusDays(-1));
        case CalendarKey::Right:
            return ClampToCalendar(from.PlusDays(1));
        case CalendarKey::Up:
            return ClampToCalendar(from.PlusDays(-7));
        case CalendarKey::Down:
            return ClampToCalendar(from.PlusDays(7));
        case CalendarKey::PageUp:
            return MonthsFrom(from, shift ? -12 : -1);
        case CalendarKey::PageDown:
            return MonthsFrom(from, shift ? 12 : 1);
    }
    return from;
}

CalendarLayout::CalendarLayout(const Metrics& metrics) : metrics_(metrics) {
    metrics_.rows = std::clamp(metrics_.rows, 1, kCalendarMaxRows);
    metrics_.captionHeight = std::max(0, metrics_.captionHeight);
    columnWidth_ = std::max(0, metrics_.width) / 7;
    bandHeight_ = std::max(0, metrics_.height - metrics_.captionHeight) / (metrics_.rows + 1);
}

CalendarRect CalendarLayout::NumberBox(int row, int column, int textWidth, int textHeight) const {
    const int x = NumberX(column);
    const int y = NumberY(row);
    return {x - 2, y - 2, x + textWidth + 4, y + textHeight + 4};
}

int CalendarLayout::HitCell(int x, int y) const {
    if (columnWidth_ <= 0 || bandHeight_ <= 0) return -1;
    for (int row = 0; row < metrics_.rows; ++row) {
        for (int column = 0; column < 7; ++column) {
            if (NumberBox(row, column, metrics_.boxWidth, metrics_.boxHeight).Contains(x, y)) {
                return row * 7 + column;
            }
        }
    }
    return -1;
}

CalendarRect CaptionPreviousButton(int /*width*/, int averageCharWidth, int lineHeight) {
    return {averageCharWidth, lineHeight / 4, averageCharWidth * 5,
            lineHeight * 2 - lineHeight / 4};
}

CalendarRect CaptionNextButton(int width, int averageCharWidth, int lineHeight) {
    return {width - averageCharWidth * 5, lineHeight / 4, width - averageCharWidth,
            lineHeight * 2 - lineHeight / 4};
}

CalendarGrid::CalendarGrid() : selected_(DateTime::FromDate(2000, 1, 1)) {}

void CalendarGrid::SetFirstWeekday(int firstWeekday) {
    firstWeekday_ = std::clamp(firstWeekday, 0, 6);
}

void CalendarGrid::SetRows(int rows) {
    rows_ = std::clamp(rows, 1, kCalendarMaxRows);
}

int CalendarGrid::CellOf(const DateTime& date) const {
    if (!date.IsValid()) return -1;
    const long cell = date.Date().DayNumber() - Start().DayNumber();
    return cell >= 0 && cell < CellCount() ? static_cast<int>(cell) : -1;
}

bool CalendarGrid::CellUsable(int cell) const {
    return cell >= 0 && cell < CellCount() && InCalendarRange(CellDate(cell));
}

CalendarGrid::Change CalendarGrid::Select(const DateTime& date) {
    if (!InCalendarRange(date)) return Change::Refused;
    const DateTime day = date.Date();
    const bool sameMonth = day.Year() == Year() && day.Month() == Month();
    selected_ = day;
    if (sameMonth) return Change::SameMonth;
    ClearFlags();
    return Change::NewMonth;
}

CalendarGrid::Change CalendarGrid::MoveKey(CalendarKey key, bool shift) {
    return Select(CalendarKeyTarget(selected_, key, shift));
}

CalendarGrid::Change CalendarGrid::MoveMonths(int months) {
    const long index = Year() * 12L + (Month() - 1) + months;
    if (index < kMinYear * 12L || index > kMaxYear * 12L + 11) return Change::Refused;
    return Select(MonthsFrom(selected_, months));
}

bool CalendarGrid::Bold(int day) const {
    return ValidDay(day) && bold_[day];
}
bool CalendarGrid::Holiday(int day) const {
    return ValidDay(day) && holiday_[day];
}

void CalendarGrid::SetBold(int day, bool on) {
    if (ValidDay(day)) bold_[day] = on;
}

void CalendarGrid::SetHoliday(int day, bool on) {
    if (ValidDay(day)) holiday_[day] = on;
}

void CalendarGrid::MarkHolidays() {
    const int days = DaysInMonth(Year(), Month());
    for (int day = 1; day <= days; ++day) {
        if (IsHoliday(Year(), Month(), day, false)) holiday_[day] = true;
    }
}

void CalendarGrid::ClearFlags() {
    bold_.fill(false);
    holiday_.fill(false);
}

}  // namespace almx
