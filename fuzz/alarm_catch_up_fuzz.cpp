// The per-record catch-up over a gap of up to a day finds exactly the minutes a minute-by-minute
// IsAlarmDue finds, for a record built from the input bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "calendar/record_alarm.h"
#include "core/record.h"
#include "fuzz_check.h"
#include "reminders/alarm_check.h"

using namespace almx;

namespace {

struct Bytes {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    int Next(int modulo) {
        const int value = at < size ? data[at++] : 0;
        return modulo > 0 ? value % modulo : value;
    }
    int Next16(int modulo) { return (Next(256) * 256 + Next(256)) % modulo; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in{data, size};
    CAlmxData record;
    const DateTime base = DateTime::FromDate(2019, 1, 1);
    record.start = base.PlusDays(in.Next16(800)).WithTime(in.Next(24), in.Next(60));
    record.end = record.start.PlusDays(in.Next16(1200)).WithTime(in.Next(24), in.Next(60));
    record.Set(StartTimeSet, in.Next(8) != 0);
    record.Set(EndTimeSet, in.Next(2) != 0);
    record.Set(IsTodo, in.Next(16) == 0);
    record.alarmMinutes = in.Next(4) == 0 ? -1 : in.Next16(3000);
    record.repeatType = in.Next(6);
    record.repeatInterval = in.Next(4);
    record.repeatFirstDay = in.Next(8) == 0 ? -1 : 1 + in.Next(31);
    record.repeatLastDay = record.repeatFirstDay + in.Next(3);
    record.positionMode = in.Next(2);
    for (auto& week : record.validWeeks) week = static_cast<std::uint8_t>(in.Next(2));
    for (auto& day : record.validWeekdays) day = static_cast<std::uint8_t>(in.Next(2));
    for (auto& month : record.validMonths) month = static_cast<std::uint8_t>(in.Next(4) != 0);
    record.shiftRule = in.Next(32) & ~1;
    for (int n = in.Next(3); n > 0; --n) {
        const DateTime first = record.start.Date().PlusDays(in.Next16(700));
        record.exceptions.push_back(CDaySpan::FromDates(first, first.PlusDays(in.Next(4))));
    }
    const DateTime from =
        record.start.Date().PlusDays(in.Next16(900) - 100).PlusMinutes(in.Next16(1440));
    const DateTime to = from.PlusMinutes(in.Next16(1440));

    std::vector<DateTime> expected;
    for (DateTime t = from; !(to < t); t = t.PlusMinutes(1)) {
        if (IsAlarmDue(record, t)) expected.push_back(t);
    }
    FUZZ_CHECK(DueMinutes(record, from, to) == expected);
    return 0;
}
