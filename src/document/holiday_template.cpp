#include "document/holiday_template.h"

#include <string>

#include "base/file_io.h"
#include "calendar/holiday_updates.h"
#include "core/record_array.h"
#include "core/schedule_file_format.h"
#include "document/schedule_file_reader.h"
#include "document/schedule_file_writer.h"

namespace almx {

std::string HolidayTemplateBytes() {
    // Written as any document is: no diary folder, default genres 0, no genres, no password.
    CAlmxArray document;
    document.version = kHolidayTemplateVersion;
    document.records = HolidayLawRecords();
    return WriteScheduleFile(document).bytes;
}

std::optional<RecordList> ReadHolidayTemplateBytes(std::string_view sjis,
                                                   const RecordDefaults& defaults) {
    // Read as a document is, keeping only the records: its password and values are not ours.
    CAlmxArray document;
    std::string password;
    const RowReadOptions options{defaults, false, &password};
    const ScheduleFileScan scan =
        ScanScheduleFile(sjis, [&](const TCard& row) { ReadScheduleRow(row, document, options); });
    if (scan.header.At(0) != kScheduleHeaderFirstCell) return std::nullopt;
    return std::move(document.records);
}

std::optional<RecordList> ReadHolidayTemplate(const std::string& path,
                                              const RecordDefaults& defaults) {
    const FileBytes file = ReadFileBytes(path);
    if (file.status != ReadStatus::Complete) return std::nullopt;
    return ReadHolidayTemplateBytes(file.bytes, defaults);
}

}  // namespace almx
