#pragma once
// The month view's date dialogs without widgets.

#include <optional>

#include "base/date_time.h"

namespace almx {

class Prompter;

inline constexpr const char* kInvalidDateMessage = "正しい日付を入力してください";

// 年月日の指定 (go to a date, delete up to a date): year, month and day fields.
struct DateFieldsForm {
    int year = 2000;
    int month = 1;
    int day = 1;

    static DateFieldsForm From(const DateTime& date);
    // OK: the fields must name a day of 1583/01/01..9998/12/31; otherwise the message and
    // the dialog stays open.
    std::optional<DateTime> Confirm(Prompter& prompter) const;
};

// 指定日数後へ: the number of days, 10 at first; negative values go back.
inline constexpr int kDefaultDaySpan = 10;
// Any move within the calendar fits in this many days.
inline constexpr int kMaxDaySpan = 3'000'000;

}  // namespace almx
