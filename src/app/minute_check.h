#pragma once
// The document's minute check, run by the main frame's clock on every tick: the automatic
// save; then, once per minute, the alarm evaluation (joined by the alarms) and the report
// whether the day changed since the previous check (the status bar date). Plain C++: tests
// drive it with a manual clock.

#include "base/date_time.h"
#include "reminders/alarm_check.h"

namespace almx {

class CAlmxDoc;

// Whether an automatic save is due: the interval is on and the interval has passed since
// the later of the last save and the last attempt (or the time the check first saw the
// document).
bool AutoSaveDue(int saveSpanMinute, const DateTime& since, const DateTime& now);

class MinuteCheck {
  public:
    struct Result {
        bool newMinute = false;   // a new minute began: alarms are evaluated
        bool dayChanged = false;  // the first check, or the day differs from the last one
        bool saved = false;       // the automatic save wrote the file
        bool saveFailed = false;  // it tried and failed
        AlarmCheck::Result alarms;
    };

    // The document's alarms, checked once per new minute after the save.
    struct Alarms {
        AlarmCheck& check;
        AlarmUi& ui;
        DateTime previousTick;  // the program's previous tick for any document
    };

    // One tick for the document. A tick that arrives while the save runs (a message box of a
    // failed save keeps the clock running) does nothing; one that arrives while an alarm
    // window is open evaluates its own minute.
    Result Run(CAlmxDoc& document, const DateTime& now, int saveSpanMinute,
               const Alarms* alarms = nullptr);

    bool Running() const { return running_; }

  private:
    void Save(CAlmxDoc& document, const DateTime& now, int saveSpanMinute, Result& result);

    bool running_ = false;
    long long lastMinute_ = -1;
    long lastDay_ = 0;
    // When the interval counts from when no save happened since: first sight, or the last
    // attempt that failed.
    DateTime since_ = DateTime::Invalid();
};

}  // namespace almx
