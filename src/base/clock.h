#pragma once
// "Now" in Japan time, injected wherever the program depends on the clock (today, auto-save,
// alarms, snooze, to-do placement), so tests can fix and advance it.

#include "base/date_time.h"

namespace almx {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
};

// The system clock read as Japan Standard Time (UTC+9, no daylight saving), whatever the
// machine's own zone is.
class SystemClock : public Clock {
  public:
    DateTime Now() const override;
};

class ManualClock : public Clock {
  public:
    explicit ManualClock(DateTime now) : now_(now) {}
    DateTime Now() const override { return now_; }
    void Set(DateTime now) { now_ = now; }
    void AdvanceSeconds(long long seconds) { now_ = now_.PlusSeconds(seconds); }

  private:
    DateTime now_;
};

// The logical date of now.
DateTime Today(const Clock& clock, int todayLimit);

}  // namespace almx
