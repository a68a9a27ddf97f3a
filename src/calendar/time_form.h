#pragma once
// The time picker (時間の入力, CTimeInputDlg) as a plain form: an hour 0 to 23 and a minute
// 0 to 59, from the field it was opened for, and the text OK writes back.

#include <string>
#include <string_view>

#include "base/date_time.h"

namespace almx {

class TimeForm {
  public:
    static constexpr int kHourPageStep = 4;
    static constexpr int kMinutePageStep = 10;

    // From the field's text, else the other time field's text (the start-time button falls
    // back to the end time and the other way round), else the time of now. Full-width digits
    // and colons are read too.
    TimeForm(std::string_view fieldText, std::string_view otherFieldText, const DateTime& now);

    // "%02d:%02d".
    std::string Text() const;

    int hour = 0;
    int minute = 0;
};

}  // namespace almx
