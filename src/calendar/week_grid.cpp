#include "calendar/week_grid.h"

#include <cstdio>

#include "calendar/month_grid.h"

namespace almx {

DateTime WeekStart(const DateTime& day) {
    const int weekday = day.Date().DayOfWeek();  // 0 Sunday
    return day.Date().PlusDays(-((weekday + 6) % 7));
}

std::string WeekDayLabel(const DateTime& day, int index, const char* weekdayName) {
    char buffer[64];
    if (index == 0 || day.Day() == 1) {
        std::snprintf(buffer, sizeof buffer, "%2d/%2d (%s)", day.Month(), day.Day(), weekdayName);
    } else {
        std::snprintf(buffer, sizeof buffer, "%2d (%s)", day.Day(), weekdayName);
    }
    return buffer;
}

WeekLayout LayOutWeek(int width, int height) {
    WeekLayout l;
    const int column = width / 2;
    const int row = height / 4;
    for (int i = 0; i < kWeekCells; ++i) {
        const int x = i < 4 ? 0 : column;
        const int y = (i < 4 ? i : i - 4) * row;
        l.cells[i] = CellRect{x, y, x + column, y + row};
    }
    const CellRect& six = l.cells[6];
    const CellRect& three = l.cells[3];
    const int a = six.right - six.left;
    const int e = six.left + a / 2;
    l.calendar = {six.left + 1, six.bottom + 1, six.left + 1 + a / 2, three.bottom};
    l.caption = {e, six.bottom + 1, six.right, six.bottom + 1 + row / 2};
    const int g = (six.right - e) * 3 / 10;
    const int f = three.bottom - row * 3 / 8;
    l.previous = {e + a / 20, f, e + a / 20 + g, f + row / 4};
    l.next = {six.right - a / 20 - g, f, six.right - a / 20, f + row / 4};
    return l;
}

WeekNavigation::WeekNavigation() {
    Select(DateTime::FromDate(2000, 1, 3));
}

bool WeekNavigation::CellUsable(int index) const {
    return index >= 0 && index < kWeekCells && InCalendarRange(CellDate(index));
}

bool WeekNavigation::Select(const DateTime& date) {
    if (!date.IsValid() || !InCalendarRange(date)) return false;
    selected_ = date.Date();
    start_ = WeekStart(selected_);
    return true;
}

WeekNavigation::Move WeekNavigation::SelectCell(int index) {
    const int old = Index();
    if (!CellUsable(index)) return {Outcome::Refused, old, old};
    selected_ = CellDate(index);
    return {Outcome::InsideWeek, old, index};
}

WeekNavigation::Move WeekNavigation::MoveTo(const DateTime& target) {
    const int old = Index();
    if (!target.IsValid() || !InCalendarRange(target)) return {Outcome::Refused, old, old};
    const long offset = WholeDays(start_, target);
    if (offset >= 0 && offset < kWeekCells) {
        selected_ = target.Date();
        return {Outcome::InsideWeek, old, static_cast<int>(offset)};
    }
    Select(target);
    return {Outcome::NewWeek, old, Index()};
}

WeekNavigation::Move WeekNavigation::MoveKey(Key key) {
    const int index = Index();
    int target = index;
    switch (key) {
        case Key::Down:
            target = index + 1;
            break;
        case Key::Up:
            target = index - 1;
            break;
        case Key::Right:
            // Thursday has no cell to its right: this week's Sunday.
            target = index == 3 ? 6 : (index + 4 > 6 ? 7 + index - 4 : index + 4);
            break;
        case Key::Left:
            // Thursday's left is the previous week's Sunday.
            target = index == 3 ? -1 : (index - 4 < 0 ? -7 + index + 4 : index - 4);
            break;
    }
    return MoveTo(start_.PlusDays(target));
}

WeekNavigation::Move WeekNavigation::MoveDays(long days) {
    return MoveTo(selected_.PlusDays(days));
}

WeekNavigation::Move WeekNavigation::MoveMonths(int months) {
    // The target month must lie in the calendar before a day is computed in it.
    const int total = selected_.Year() * 12 + selected_.Month() - 1 + months;
    if (total / 12 < 1583 || total / 12 > 9998) return {Outcome::Refused, Index(), Index()};
    return MoveTo(AddMonths(selected_, months));
}

}  // namespace almx
