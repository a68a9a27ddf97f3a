#pragma once
// Writing the schedule file: the header, then the rows of kinds 2 to 6, then one record line
// per record, every cell quoted, as one Shift_JIS buffer with CR LF line ends.

#include <cstddef>
#include <string>

namespace almx {

class CAlmxArray;
class CAlmxData;

struct ScheduleFileBytes {
    std::string bytes;
    // Characters Shift_JIS cannot hold, written as "?".
    std::size_t unrepresentable = 0;
};

ScheduleFileBytes WriteScheduleFile(const CAlmxArray& document);

// The header line as UTF-8 text ending in CR LF.
std::string ScheduleHeaderLine();

}  // namespace almx
