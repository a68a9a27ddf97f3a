#pragma once
// A record as one line of 26 cells: the schedule file's row and the clipboard's text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace almx {

class CAlmxData;
class CsvCellViews;
class TCard;
namespace text {
struct SjisEncoding;
}

constexpr int kRecordCells = 26;

// The record as one line of 26 quoted cells, joined as the CSV codec joins them: line breaks in
// texts ("\n" in memory) go out as CR LF, which the codec writes as its escape pair. UTF-8; the
// file holds its Shift_JIS form. RecordLine ends in a line feed; AppendRecordLine appends the
// line with the given line end (the file's CR LF).
std::string RecordLine(const CAlmxData& record);
void AppendRecordLine(const CAlmxData& record, std::string& out, std::string_view lineEnd);
// The same line encoded to Shift_JIS as it is built (no UTF-8 line in between); characters
// code page 932 cannot hold go out as '?' and are listed in out.unrepresentable.
void AppendRecordLineShiftJis(const CAlmxData& record, text::SjisEncoding& out,
                              std::string_view lineEnd);
// The same for writers that make their own room: the most bytes the line can take, and the
// line written there (room for that many bytes), returning its end.
std::size_t RecordLineShiftJisBound(const CAlmxData& record, std::string_view lineEnd);
char* WriteRecordLineShiftJis(const CAlmxData& record, char* at,
                              std::vector<std::string>& unrepresentable, std::string_view lineEnd);
// The same line split into its cells.
TCard RecordCard(const CAlmxData& record);

// Fills the record (created with the caller's defaults) from the cells of one split line.
// False when the line is no record line (kind 2 or 3) or is rejected (a bad date).
bool ParseRecordLine(const TCard& cells, CAlmxData& record);
// The same from views of the line's cells (no row of strings in between).
bool ParseRecordLine(const CsvCellViews& cells, CAlmxData& record);

// A colour cell: "%06X".
std::string Hex6(std::uint32_t value);

// The cell texts of the recurrence fields.
std::string PositionText(const CAlmxData& record);
std::string MonthText(const CAlmxData& record);
std::string ExceptionText(const CAlmxData& record);

}  // namespace almx
