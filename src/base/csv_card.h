#pragma once
// One CSV row with the system's own quoting: fields between double quotes or bare, and escape
// pairs for the sequences that would end a field or a line (CR LF, `",` and `,"`). Quotes inside
// a field are neither doubled nor undoubled. Rows are UTF-8 in memory; the escape bytes and the
// separators are ASCII, so the codec gives the same bytes on the Shift_JIS form.

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

// The escape pairs of the codec, for callers that join cells themselves.
std::string EscapeCsvField(std::string_view text);
std::string UnescapeCsvField(std::string_view text);
// The same into an existing string, keeping its storage.
void AssignUnescaped(std::string_view text, std::string& out);

}  // namespace almx
