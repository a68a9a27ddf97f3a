#include "calendar/span_form.h"

#include "base/prompter.h"
#include "core/record.h"

namespace almx {

namespace {

constexpr const char* kFirstText = "1583/01/01";
constexpr const char* kLastText = "9998/12/31";
constexpr const char* kBadStart = "正しい開始日付を入力してください";
constexpr const char* kBadEnd = "正しい終了日付を入力してください";

DateTime LastCalendarDay() {
    return DateTime::FromDate(kMaxYear, 12, 31);
}

}  // namespace

SpanForm::SpanForm(std::string start, std::string end, int kind)
    : startText(start),
      endText(end),
      initialStart_(std::move(start)),
      initialEnd_(std::move(end)),
      kind_(kind) {}

void SpanForm::WholeCalendar() {
    startText = kFirstText;
    endText = kLastText;
}

std::optional<DateTime> SpanForm::Start(Prompter& prompter) const {
    std::optional<DateTime> start = ParseDate(startText);
    if (!start) prompter.ShowMessage(kBadStart, MessageKind::Warning);
    return start;
}

DateTime SpanForm::FirstDay(const DateTime& start, int year, int month) const {
    if (kind_ == RepeatYears) return DateTime::FromDate(year, start.Month(), 1);
    DateTime first = DateTime::FromDate(year, month, 1);
    if (kind_ == RepeatWeeks) first = AlignForwardToWeekday(first, start.DayOfWeek());
    return first;
}

bool SpanForm::FiscalYear(Prompter& prompter) {
    std::optional<DateTime> start = Start(prompter);
    if (!start) return false;
    const int year = start->Month() <= 3 ? start->Year() - 1 : start->Year();
    DateTime first = FirstDay(*start, year, 4);
    DateTime last = DateTime::FromDate(year + 1, 3, 31);
    // The calendar's own ends hold no whole fiscal year; keep to the calendar.
    if (!first.IsValid() || first.Year() < kMinYear) first = DateTime::FromDate(kMinYear, 1, 1);
    if (!last.IsValid() || last.Year() > kMaxYear) last = LastCalendarDay();
    startText = FormatDate(first);
    endText = FormatDate(last);
    return true;
}

bool SpanForm::CalendarYear(Prompter& prompter) {
    std::optional<DateTime> start = Start(prompter);
    if (!start) return false;
    DateTime first = FirstDay(*start, start->Year(), 1);
    DateTime last = DateTime::FromDate(start->Year() + 1, 12, 31);
    if (!last.IsValid() || last.Year() > kMaxYear) last = LastCalendarDay();
    startText = FormatDate(first);
    endText = FormatDate(last);
    return true;
}

bool SpanForm::FromStart(Unit unit, int count, Prompter& prompter) {
    std::optional<DateTime> start = Start(prompter);
    if (!start) return false;
    if (count < 1) count = 1;
    const DateTime limit = LastCalendarDay();
    const long daysLeft = DateDifference(*start, limit);
    DateTime last;
    switch (unit) {
        case Unit::Years:
            last = count > kMaxYear ? limit : AddYears(*start, count);
            break;
        case Unit::Months:
            last = count > 12 * kMaxYear ? limit : AddMonths(*start, count);
            break;
        case Unit::Weeks:
            last = count > daysLeft / 7 ? limit : start->PlusDays(7L * count);
            break;
        case Unit::Days:
            last = count > daysLeft ? limit : start->PlusDays(count);
            break;
    }
    if (!last.IsValid() || limit < last) last = limit;
    endText = FormatDate(last);
    return true;
}

void SpanForm::FromBeginning() {
    startText = kFirstText;
}

void SpanForm::ToEnd() {
    endText = kLastText;
}

void SpanForm::Initial() {
    startText = initialStart_;
    endText = initialEnd_;
}

std::optional<std::pair<DateTime, DateTime>> SpanForm::Ok(Prompter& prompter) const {
    std::optional<DateTime> first = ParseDate(startText);
    if (!first) {
        prompter.ShowMessage(kBadStart, MessageKind::Warning);
        return std::nullopt;
    }
    std::optional<DateTime> last = ParseDate(endText);
    if (!last) {
        prompter.ShowMessage(kBadEnd, MessageKind::Warning);
        return std::nullopt;
    }
    return std::make_pair(*first, *last);
}

}  // namespace almx
