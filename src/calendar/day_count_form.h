#pragma once
// The day-count dialog (今日から何日？, CCalcDays) as a plain form: a target date text and the
// figures shown for it.

#include <optional>
#include <string>
#include <string_view>

#include "base/date_time.h"

namespace almx {

inline constexpr const char* kBadDayCountDate = "日付が不正です";

struct DayCount {
    long days = 0;   // from today 00:00 to the target at 00:00
    long weeks = 0;  // days / 7, toward zero
    long rest = 0;   // days % 7, toward zero
};

// Nullopt when the target text is not a date.
std::optional<DayCount> CountDays(std::string_view target, const DateTime& today);

class DayCountForm {
  public:
    DayCountForm(std::string target, const DateTime& today);

    // 再計算 (and opening): the figures for the current target text.
    void Recalculate();

    // "今日から 10 日", or "日付が不正です".
    std::string DaysText() const;
    // "1 週 3 日", or empty.
    std::string WeeksText() const;

    std::string target;

  private:
    DateTime today_;
    std::optional<DayCount> count_;
};

// The label of the day-count item of the month view's menu: "%sは今日から%d日後です..." with
// the day as "%m月%d日".
std::string DaysFromTodayMenuText(const DateTime& day, const DateTime& today);

}  // namespace almx
