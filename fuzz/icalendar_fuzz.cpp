// The iCalendar and vCalendar reader over any bytes: no crash or hang, every accepted record has
// valid dates inside the calendar and a known kind, and writing the records and reading them
// again gives the same records.
#include <string>
#include <vector>

#include "exchange/vcalendar.h"
#include "fuzz_check.h"

namespace {

bool InCalendar(const almx::DateTime& value) {
    return value.IsValid() && value.Year() >= almx::kMinYear && value.Year() <= almx::kMaxYear;
}

void Check(const almx::CalendarImport& result) {
    FUZZ_CHECK(result.accepted == static_cast<int>(result.records.size()));
    for (const almx::CAlmxData& record : result.records) {
        FUZZ_CHECK(InCalendar(record.start));
        FUZZ_CHECK(record.repeatType >= 0 && record.repeatType <= 5);
        if (!record.Has(almx::IsTodo) || record.Has(almx::TodoDone)) {
            FUZZ_CHECK(InCalendar(record.end));
        }
        FUZZ_CHECK(record.repeatInterval >= 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const almx::DateTime now = almx::DateTime::FromParts(2026, 12, 8, 10, 30);
    const almx::CalendarImport first = almx::ReadCalendar(bytes, now);
    Check(first);
    std::vector<const almx::CAlmxData*> records;
    for (const almx::CAlmxData& record : first.records) records.push_back(&record);
    const std::string written = almx::ICalendarText(records, {now, 1});
    const almx::CalendarImport second = almx::ReadCalendar(written, now);
    Check(second);
    FUZZ_CHECK(second.accepted == first.accepted);
    for (std::size_t i = 0; i < first.records.size() && i < second.records.size(); ++i) {
        const almx::CAlmxData& a = first.records[i];
        const almx::CAlmxData& b = second.records[i];
        FUZZ_CHECK(a.title == b.title && a.place == b.place && a.memo == b.memo);
        FUZZ_CHECK(a.repeatType == b.repeatType && a.flags == b.flags);
    }
    return 0;
}
