// A schedule file of any bytes: reading it never fails, and what the program writes of it comes
// back as the same bytes when read and written again. Text that Shift_JIS cannot hold (bytes
// that were not Shift_JIS) is written as "?" once, which may reorder the day properties; from
// then on the file is stable.
#include <string>

#include "core/record_array.h"
#include "document/schedule_file_reader.h"
#include "document/schedule_file_writer.h"
#include "fuzz_check.h"

namespace {

almx::CAlmxArray Read(std::string_view bytes) {
    almx::CAlmxArray doc;
    almx::RowReadOptions options;
    almx::ScanScheduleFile(
        bytes, [&](const almx::TCard& row) { almx::ReadScheduleRow(row, doc, options); });
    return doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Read straight into the document (as opening does), the file gives what its rows give.
    almx::CAlmxArray direct;
    almx::ScanScheduleFileInto(bytes, direct, almx::RowReadOptions{});
    const almx::CAlmxArray byRows = Read(bytes);
    FUZZ_CHECK(direct.records == byRows.records);
    FUZZ_CHECK(almx::WriteScheduleFile(direct).bytes == almx::WriteScheduleFile(byRows).bytes);

    almx::ScheduleFileBytes first = almx::WriteScheduleFile(Read(bytes));
    std::string written = std::move(first.bytes);
    if (first.unrepresentable > 0) written = almx::WriteScheduleFile(Read(written)).bytes;
    const std::string again = almx::WriteScheduleFile(Read(written)).bytes;
    FUZZ_CHECK(again == written);
    return 0;
}
