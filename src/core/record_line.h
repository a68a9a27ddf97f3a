#pragma once
// A record as one line of 26 cells: the schedule file's row and the clipboard's text.

#include <string>

namespace almx {

class CAlmxData;
class TCard;

constexpr int kRecordCells = 26;

// The 26 cells of a record. Line breaks in texts ("\n" in memory) go out as CR LF, which the
// codec writes as its escape pair.
TCard RecordCard(const CAlmxData& record);
// The record as one line ending in a line feed (UTF-8; the file holds its Shift_JIS form).
std::string RecordLine(const CAlmxData& record);

// Fills the record (created with the caller's defaults) from the cells of one split line.
// False when the line is no record line (kind 2 or 3) or is rejected (a bad date).
bool ParseRecordLine(const TCard& cells, CAlmxData& record);

// The cell texts of the recurrence fields.
std::string PositionText(const CAlmxData& record);
std::string MonthText(const CAlmxData& record);
std::string ExceptionText(const CAlmxData& record);

}  // namespace almx
