#pragma once
// Reading the schedule file: the bytes split into the header and the rows, and each row read
// into the document by its kind.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "base/csv_card.h"
#include "base/file_io.h"
#include "core/record.h"

namespace almx {

class CAlmxArray;

enum class ScheduleLayout {
    Current,        // header beginning with 区分
    Oldest,         // header beginning with 年
    NineteenCells,  // the 19-cell layout
    Foreign,        // no schedule file (also an empty file)
};

struct ScheduleFileScan {
    ScheduleLayout layout = ScheduleLayout::Foreign;
    TCard header;
    std::size_t rows = 0;
    // False when a line could not be split to its end (a file cut inside a quoted cell).
    bool complete = true;
    // Byte sequences that were not Shift_JIS; saving would write "?" for them.
    std::size_t invalidSequences = 0;
    // Lines that are no well-formed row of their kind (for example the two halves of a record
    // line broken by a raw line feed); they are not handed on.
    std::size_t malformedRows = 0;
};

// Splits the Shift_JIS bytes of a schedule file. When the header's first cell is 区分, every
// well-formed row after it is handed to onRow, padded with empty cells or cut to the header's
// width; empty lines are passed over.
ScheduleFileScan ScanScheduleFile(std::string_view sjis,
                                  const std::function<void(const TCard& row)>& onRow);

struct ScheduleFileRead {
    ReadStatus status = ReadStatus::CannotOpen;
    ScheduleFileScan scan;
};

// The same on the file at the path, read and decoded a block at a time so that its bytes are
// never held beside the records. Partial: a read failed part way; the rows before were handed
// on.
ScheduleFileRead ReadScheduleFileAt(const std::string& path,
                                    const std::function<void(const TCard& row)>& onRow);

// How many records the file can hold at most, to reserve room for them.
std::size_t ScheduleFileRowBound(std::string_view sjis);

struct RowReadOptions {
    RecordDefaults defaults;
    // Off for imports, which keep the document's own values.
    bool documentValues = true;
    // Where the password goes; nullptr: the document's password.
    std::string* password = nullptr;
};

// Reads one row into the document as opening a file does. Returns the row's kind
// (ScheduleRowKind), or -1 for a record line the record parser rejected.
int ReadScheduleRow(const TCard& row, CAlmxArray& document, const RowReadOptions& options);

// ScanScheduleFile and ReadScheduleFileAt reading every row into the document with
// ReadScheduleRow, the same rows with the same results; record lines are parsed from views of
// the decoded line, without a row of strings. onKind hears what ReadScheduleRow returns.
ScheduleFileScan ScanScheduleFileInto(std::string_view sjis, CAlmxArray& document,
                                      const RowReadOptions& options,
                                      const std::function<void(int kind)>& onKind = {});
ScheduleFileRead ReadScheduleFileInto(const std::string& path, CAlmxArray& document,
                                      const RowReadOptions& options);

// The row kind of a split row (the number in its first cell).
int ScheduleRowKindOf(const TCard& row);

// Whether a split row has the shape its writer gives its kind: a row of kinds 2 to 6 has
// exactly that number as its first cell and at most its kind's cells, every one quoted; any
// other first cell makes a record line, which the record parser judges. A line that does not
// split to its end is well-formed only as the last line of a file cut short.
bool IsWellFormedRow(const TCard& row, bool splitsToEnd, bool lastLine);

}  // namespace almx
