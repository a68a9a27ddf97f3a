#pragma once
// Writing the schedule file: the header, then the rows of kinds 2 to 6, then one record line
// per record, every cell quoted, as one Shift_JIS buffer with CR LF line ends.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace almx {

class CAlmxArray;
class CAlmxData;

struct ScheduleFileBytes {
    std::string bytes;
    // Characters Shift_JIS cannot hold, written as "?".
    std::size_t unrepresentable = 0;
};

ScheduleFileBytes WriteScheduleFile(const CAlmxArray& document);

// The same bytes handed to sink in blocks of about kScheduleFileBlock as they are made, so a
// save never holds the whole file. False when the sink refused a block (nothing more is made);
// unrepresentable counts the characters written as "?".
inline constexpr std::size_t kScheduleFileBlock = 256 * 1024;
bool WriteScheduleFileBlocks(const CAlmxArray& document,
                             const std::function<bool(std::string_view)>& sink,
                             std::size_t& unrepresentable);

// The header line as UTF-8 text ending in CR LF.
std::string ScheduleHeaderLine();

}  // namespace almx
