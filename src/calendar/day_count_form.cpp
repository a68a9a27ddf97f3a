#include "calendar/day_count_form.h"

#include <cstdio>

namespace almx {

std::optional<DayCount> CountDays(std::string_view target, const DateTime& today) {
    std::optional<DateTime> day = ParseDate(target);
    if (!day || !today.IsValid()) return std::nullopt;
    DayCount count;
    count.days = DateDifference(today.Date(), day->Date());
    count.weeks = count.days / 7;
    count.rest = count.days % 7;
    return count;
}

DayCountForm::DayCountForm(std::string targetText, const DateTime& today)
    : target(std::move(targetText)), today_(today) {
    Recalculate();
}

void DayCountForm::Recalculate() {
    count_ = CountDays(target, today_);
}

std::string DayCountForm::DaysText() const {
    if (!count_) return kBadDayCountDate;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "今日から %ld 日", count_->days);
    return buffer;
}

std::string DayCountForm::WeeksText() const {
    if (!count_) return {};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%ld 週 %ld 日", count_->weeks, count_->rest);
    return buffer;
}

std::string DaysFromTodayMenuText(const DateTime& day, const DateTime& today) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%02d月%02d日は今日から%ld日後です...", day.Month(),
                  day.Day(), DateDifference(today.Date(), day.Date()));
    return buffer;
}

}  // namespace almx
