#pragma once
// One CSV row with the system's own quoting: fields between double quotes or bare, and escape
// pairs for the sequences that would end a field or a line (CR LF, `",` and `,"`). Quotes inside
// a field are neither doubled nor undoubled. Rows are UTF-8 in memory; the escape bytes and the
// separators are ASCII, so the codec gives the same bytes on the Shift_JIS form.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace almx {

class TCard {
  public:
    // Fields past this many are dropped when a line is split, and refused by Add and InsertAt.
    static constexpr int kMaxFields = 200;

    TCard() = default;
    virtual ~TCard() = default;
    TCard(const TCard&) = default;
    TCard& operator=(const TCard&) = default;
    TCard(TCard&&) = default;
    TCard& operator=(TCard&&) = default;

    // Splits one line (ending in a line feed) into fields, replacing the row's contents.
    // A last field with neither a comma nor a line feed after it is not kept. Returns whether
    // at least one field was found.
    bool Parse(std::string_view line);
    // The row as one line ending in a line feed.
    std::string ToCsvLine() const;
    void AppendCsvLine(std::string& out) const;

    int Count() const { return static_cast<int>(fields_.size()); }
    const std::string& At(int index) const;  // empty text for an index out of range
    std::string_view operator[](int index) const { return At(index); }
    bool IsQuoted(int index) const;

    void RemoveAt(int index);
    bool Add(std::string_view text);
    bool AddBare(std::string_view text);  // a field written without quotes
    bool InsertAt(int index);             // -1 for the end
    bool SetAt(int index, std::string_view text);
    void SetEmpty(int count);
    int GetTag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

  private:
    std::vector<std::string> fields_;
    std::vector<std::uint8_t> quoted_;
    int tag_ = 1;
};

// One line split as TCard::Parse splits it, without copying: each cell is a view of the line,
// or of the cell's unescaped text kept here when the cell holds an escape pair. The views are
// valid until the next Split and while the line lives.
class CsvCellViews {
  public:
    CsvCellViews() { unescaped_.reserve(TCard::kMaxFields); }
    CsvCellViews(const CsvCellViews&) = delete;
    CsvCellViews& operator=(const CsvCellViews&) = delete;

    // Returns whether at least one cell was found.
    bool Split(std::string_view line);
    // Pads with empty cells or cuts to the width (as FitToWidth does to a row).
    void FitToWidth(int width);

    int Count() const { return count_; }
    std::string_view At(int index) const {
        return index >= 0 && index < count_ ? cells_[static_cast<std::size_t>(index)]
                                            : std::string_view();
    }
    bool IsQuoted(int index) const {
        return index >= 0 && index < count_ && quoted_[static_cast<std::size_t>(index)] != 0;
    }

  private:
    std::array<std::string_view, TCard::kMaxFields> cells_{};
    std::array<std::uint8_t, TCard::kMaxFields> quoted_{};
    int count_ = 0;
    // Reserved once, so growing never moves the texts the views point into.
    std::vector<std::string> unescaped_;
};

// The escape pairs of the codec, for callers that join cells themselves.
std::string EscapeCsvField(std::string_view text);
std::string UnescapeCsvField(std::string_view text);
// The same into an existing string, keeping its storage.
void AssignUnescaped(std::string_view text, std::string& out);

}  // namespace almx
