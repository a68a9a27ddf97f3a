#include "calendar/timer_form.h"

#include <algorithm>

namespace almx {

namespace {
constexpr int kOnScreen = 1;
constexpr int kByMail = 2;
constexpr int kOpenLink = 4;
}  // namespace

TimerForm::TimerForm(int alarmMinutes, int alarmMode)
    : minutes(alarmMinutes > 0 ? alarmMinutes : 0),
      openLink((alarmMode & kOpenLink) != 0),
      otherBits_(alarmMode & ~(kOnScreen | kByMail | kOpenLink)) {
    // A record with both bits shows "メールで通知".
    if (alarmMode & kOnScreen) choice = 1;
    if (alarmMode & kByMail) choice = 2;
}

void TimerForm::WriteTo(int& alarmMinutes, int& alarmMode) const {
    int mode = otherBits_;
    if (choice == 1) mode |= kOnScreen;
    if (choice == 2) mode |= kByMail;
    if (openLink) mode |= kOpenLink;
    alarmMode = mode;
    alarmMinutes = mode != 0 ? std::max(minutes, 0) : -1;
}

}  // namespace almx
