// A record line of any bytes: parsing never fails hard, a parsed record written again parses to
// the same record, and its line as the file writes it (Shift_JIS, straight into its room) is
// the UTF-8 line encoded.
#include <string>

#include "base/csv_card.h"
#include "core/record.h"
#include "core/record_line.h"
#include "fuzz_check.h"
#include "text/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    almx::TCard cells;
    cells.Parse(std::string(reinterpret_cast<const char*>(data), size));
    almx::CAlmxData record;
    if (!almx::ParseRecordLine(cells, record)) return 0;
    {
        std::string utf8;
        almx::AppendRecordLine(record, utf8, "\r\n");
        const almx::text::SjisEncoding expected = almx::text::Utf8ToShiftJis(utf8);
        almx::text::SjisEncoding written;
        almx::AppendRecordLineShiftJis(record, written, "\r\n");
        FUZZ_CHECK(written.bytes == expected.bytes);
        FUZZ_CHECK(written.unrepresentable == expected.unrepresentable);
    }
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
