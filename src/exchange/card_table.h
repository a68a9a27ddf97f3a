#pragma once
// A CSV file of cards: the header row (column names) and the rows, each padded or cut to the
// header's column count. Files are Shift_JIS with CR LF line ends; rows are UTF-8 in memory.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/csv_card.h"

namespace almx {

class CardTable {
  public:
    // Reads a file; false when it cannot be opened or read. An empty file gives an empty table.
    bool Read(const std::string& path);
    // Reads the Shift_JIS bytes of a whole file.
    void ReadBytes(std::string_view sjis);
    // Creates or truncates the file; false (and the file may be partial) when writing failed.
    bool Write(const std::string& path) const;
    // The Shift_JIS bytes of the whole file.
    std::string ToBytes() const;

    TCard& Header() { return header_; }
    const TCard& Header() const { return header_; }
    int ColumnCount() const { return header_.Count(); }
    std::size_t RowCount() const { return rows_.size(); }
    TCard& Row(std::size_t index) { return rows_[index]; }
    const TCard& Row(std::size_t index) const { return rows_[index]; }
    void Append(TCard row) { rows_.push_back(std::move(row)); }
    void RemoveAt(std::size_t index);
    void Clear();

    // Byte sequences of the file that were not Shift_JIS (read as U+FFFD).
    std::size_t InvalidSequences() const { return invalidSequences_; }
    // Characters that could not be written in Shift_JIS by the last ToBytes/Write ('?' instead).
    std::size_t Unrepresentable() const { return unrepresentable_; }

  private:
    TCard header_;
    std::vector<TCard> rows_;
    std::size_t invalidSequences_ = 0;
    mutable std::size_t unrepresentable_ = 0;
};

}  // namespace almx
