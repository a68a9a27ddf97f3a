#pragma once
// Reading a whole CSV file of Shift_JIS bytes: the first line is the header, every further line
// a row padded with empty cells or cut to the header's width.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "base/csv_card.h"

namespace almx {

struct CsvScan {
    TCard header;
    std::size_t rows = 0;
    // False when a line could not be split to its end (a file cut inside a quoted cell).
    bool complete = true;
    // Byte sequences that were not Shift_JIS (read as U+FFFD).
    std::size_t invalidSequences = 0;
};

// Whether the codec splits the line (ending in a line feed) up to its end: it stops early
// only at a quoted cell that is never closed.
bool SplitsToEnd(std::string_view line);

// Pads the row with empty cells, or cuts it, to the width.
void FitToWidth(TCard& row, int width);

// Decodes the bytes and hands over every line, ending in a line feed (CR LF or LF ends a line;
// a last line without an end gets one). Returns how many byte sequences were not Shift_JIS.
std::size_t ForEachCsvLine(std::string_view sjis,
                           const std::function<void(std::string_view line, bool last)>& onLine);

// The same for bytes that come in pieces (a file read a block at a time, so it is never held
// whole): Feed hands over every line that ends in the pieces given so far, and Finish the last.
// The lines, their order, the last-line flag and the count of invalid sequences are those
// ForEachCsvLine gives on the joined bytes, wherever the pieces break.
class CsvLineSplitter {
  public:
    using OnLine = std::function<void(std::string_view line, bool last)>;

    explicit CsvLineSplitter(OnLine onLine) : onLine_(std::move(onLine)) {}

    void Feed(std::string_view piece);
    // Hands over the line left (the file's last); returns how many byte sequences were not
    // Shift_JIS in all the pieces.
    std::size_t Finish();

  private:
    // One line's bytes, with its line feed unless it is the last line.
    void Emit(std::string_view bytes, bool last);

    OnLine onLine_;
    // The start of a line the pieces have not ended yet, or a whole line that may be the last.
    std::string pending_;
    bool pendingEnded_ = false;
    std::string line_;
    std::size_t invalid_ = 0;
};

// CR LF or LF ends a line; a last line without an end is kept. The rows are handed to onRow
// only when wantRows accepts the header.
CsvScan ScanCsvBytes(std::string_view sjis,
                     const std::function<bool(const TCard& header)>& wantRows,
                     const std::function<void(const TCard& row)>& onRow);

}  // namespace almx
