// The RRULE reader alone: any rule text on a fixed start either rejects or gives a record whose
// kind is known, whose interval is at least 1 and whose end lies inside the calendar.
#include <string>

#include "exchange/vcalendar.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view rule(reinterpret_cast<const char*>(data), size);
    for (bool own : {false, true}) {
        almx::CAlmxData record;
        record.start = almx::DateTime::FromParts(2026, 1, 5, 9, 0);
        record.end = almx::DateTime::FromParts(2026, 1, 5, 10, 0);
        record.Set(almx::StartTimeSet);
        record.Set(almx::EndTimeSet);
        std::string why;
        if (!almx::ApplyRule(rule, record, own, why)) continue;
        FUZZ_CHECK(record.repeatType >= 1 && record.repeatType <= 5);
        FUZZ_CHECK(record.repeatInterval >= 1);
        FUZZ_CHECK(record.end.IsValid() && record.end.Year() <= almx::kMaxYear);
        FUZZ_CHECK(!(record.end < record.start.Date()));
    }
    return 0;
}
