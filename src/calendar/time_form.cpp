#include "calendar/time_form.h"

#include <algorithm>
#include <cstdio>

#include "calendar/entry_checks.h"

namespace almx {

TimeForm::TimeForm(std::string_view fieldText, std::string_view otherFieldText, const DateTime& now)
    : hour(now.IsValid() ? now.Hour() : 0), minute(now.IsValid() ? now.Minute() : 0) {
    for (std::string_view text : {fieldText, otherFieldText}) {
        if (auto time = ParseHourMinute(TimeTextToHalfWidth(text))) {
            hour = time->hour;
            minute = time->minute;
            return;
        }
    }
}

std::string TimeForm::Text() const {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", std::clamp(hour, 0, 23),
                  std::clamp(minute, 0, 59));
    return buffer;
}

}  // namespace almx
