#include "calendar/entry_checks.h"

#include <cstdio>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "text/encoding.h"
#include "text/kana_width.h"

namespace almx {

std::vector<std::string> HalfHourTimes() {
    std::vector<std::string> times;
    times.reserve(48);
    char buffer[8];
    for (int hour = 0; hour < 24; ++hour) {
        for (int minute : {0, 30}) {
            std::snprintf(buffer, sizeof buffer, "%02d:%02d", hour, minute);
            times.emplace_back(buffer);
        }
    }
    return times;
}

std::string TimeTextToHalfWidth(std::string_view text) {
    // The width tables work on Shift_JIS; a character without a Shift_JIS form stays as "?"
    // and fails the time parser, as any other stray character does.
    return text::FromShiftJis(text::ZenToHan(text::ToShiftJis(text)).text);
}

bool ConfirmCancel(Prompter& prompter, const SettingsStore& settings) {
    if (settings.GetInt("Edit", "Cancel", 1) == 0) return true;
    return prompter.AskYesNo(kCancelQuestion) != Answer::No;
}

}  // namespace almx
