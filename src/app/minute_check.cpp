#include "app/minute_check.h"

#include "document/document.h"

namespace almx {

namespace {

long long MinuteOf(const DateTime& time) {
    return static_cast<long long>(time.DayNumber()) * 1440 + time.Hour() * 60 + time.Minute();
}

DateTime Later(const DateTime& a, const DateTime& b) {
    if (!a.IsValid()) return b;
    if (!b.IsValid()) return a;
    return a < b ? b : a;
}

}  // namespace

bool AutoSaveDue(int saveSpanMinute, const DateTime& since, const DateTime& now) {
    if (saveSpanMinute <= 0 || !since.IsValid() || !now.IsValid()) return false;
    return !(since.PlusMinutes(saveSpanMinute) > now);
}

MinuteCheck::Result MinuteCheck::Run(CAlmxDoc& document, const DateTime& now, int saveSpanMinute,
                                     const Alarms* alarms) {
    if (running_) return {};
    Result result;
    {
        running_ = true;
        struct Guard {
            bool& flag;
            ~Guard() { flag = false; }
        } guard{running_};
        Save(document, now, saveSpanMinute, result);
    }
    const long long minute = MinuteOf(now);
    if (minute != lastMinute_) {
        result.newMinute = true;
        result.dayChanged = lastMinute_ < 0 || now.DayNumber() != lastDay_;
        // Set before the alarms: a check nested in an alarm window sees this minute as done.
        lastMinute_ = minute;
        lastDay_ = now.DayNumber();
        if (alarms) {
            result.alarms =
                alarms->check.Run(document.Records(), now, alarms->ui, alarms->previousTick);
        }
    }
    return result;
}

void MinuteCheck::Save(CAlmxDoc& document, const DateTime& now, int saveSpanMinute,
                       Result& result) {
    if (!since_.IsValid()) since_ = now;
    const DateTime reference = Later(document.LastSaveTime(), since_);
    if (!document.Path().empty() && document.IsModified() && !document.IsReadOnly() &&
        AutoSaveDue(saveSpanMinute, reference, now)) {
        // A failed save waits a whole interval before the next try (and its message).
        since_ = now;
        if (document.SaveTo(document.Path())) {
            result.saved = true;
        } else {
            result.saveFailed = true;
            document.SetModified(true);
        }
    }
}

}  // namespace almx
