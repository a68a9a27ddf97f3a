// A record line of any bytes: parsing never fails hard, and a parsed record written again
// parses to the same record.
#include <string>

#include "core/record.h"
#include "core/record_line.h"
#include "base/csv_card.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    almx::TCard cells;
    cells.Parse(std::string(reinterpret_cast<const char*>(data), size));
    almx::CAlmxData record;
    if (!almx::ParseRecordLine(cells, record)) return 0;
    if (HoldsEscapeBytes(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    almx::TCard again;
    again.Parse(almx::RecordLine(record));
    almx::CAlmxData back;
    back.alarmMinutes = record.alarmMinutes;  // a to-do line does not store it
    back.alarmMode = record.alarmMode;
    FUZZ_CHECK(almx::ParseRecordLine(again, back));
    if (record.Has(almx::IsTodo)) {
        back.positionMode = record.positionMode;
        back.validWeeks = record.validWeeks;
        back.validWeekdays = record.validWeekdays;
    }
    FUZZ_CHECK(back == record);
    return 0;
}
