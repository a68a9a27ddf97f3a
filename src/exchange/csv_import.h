#pragma once
// The CSV import engine: reads a CSV file, joins the physical lines of a row that goes on inside
// a quoted field, and hands each row to its format. Accepted records are appended to the
// document after the existing ones, with the genres they named.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/genre.h"
#include "core/record.h"

namespace almx {

class CAlmxDoc;
class Prompter;

namespace import_messages {
inline constexpr const char* kAllPrefix = "全件（";
inline constexpr const char* kAllSuffix = "件）のインポートに成功しました。";
inline constexpr const char* kSomePrefix = "インポート成功：";
inline constexpr const char* kSomeMiddle = "件\nインポート失敗：";
inline constexpr const char* kSomeSuffix = "件";
inline constexpr const char* kFailed = "インポートに失敗しました";
}  // namespace import_messages

// What reading a file gave, before anything reaches the document.
struct ImportOutcome {
    std::vector<CAlmxData> records;
    CAlmxFieldArray genres;  // the document's genres and those the rows named
    int accepted = 0;
    int failed = 0;            // rejected rows, and a row left open at the end of the file
    std::size_t replaced = 0;  // characters of a UTF-8 file Shift_JIS cannot hold, now "?"
};

// The message an import ends with.
std::string ImportResultMessage(int accepted, int failed);

class CAlmxImport {
  public:
    CAlmxImport(CAlmxDoc& target, Prompter& prompter);
    virtual ~CAlmxImport() = default;
    CAlmxImport(const CAlmxImport&) = delete;
    CAlmxImport& operator=(const CAlmxImport&) = delete;

    // The genre named so, added when missing; an empty name is genre 0, and no genre is added
    // past the genre bound (the record then gets genre 0).
    virtual void AssignGenre(CAlmxData& record, std::string_view name);
    // Reads the file, appends the accepted records, and shows what happened. False when the
    // file could not be read, the document is read-only, or nothing was accepted.
    virtual bool ImportFile(const std::string& path, int option);
    // 1 accepted, 0 rejected. Row 0 is the header.
    virtual int ParseLine(int row, std::string_view rowText, CAlmxData& record, int option) = 0;

    // The reading itself, over a file's bytes (Shift_JIS, or UTF-8 after a byte order mark),
    // with genres starting from the given list.
    ImportOutcome ImportBytes(std::string_view bytes, const CAlmxFieldArray& genres,
                              const RecordDefaults& defaults, int option);

  protected:
    // The fields of the row, in strings reused from row to row.
    const std::vector<std::string>& SplitRow(std::string_view rowText);
    // The same as views into the row (or into strings kept here where quotes were undoubled);
    // they hold until the next split.
    const std::vector<std::string_view>& SplitRowViews(std::string_view rowText);

    CAlmxDoc& target_;
    Prompter& prompter_;

  private:
    CAlmxFieldArray* genres_ = nullptr;  // the list AssignGenre extends, during ImportBytes
    // The first index of each genre name of genres_, so a row's genre is found at once.
    // Looked up by view, without a string per row.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    std::unordered_map<std::string, int, NameHash, std::equal_to<>> genreIndex_;
    std::vector<std::string> cells_;
    std::vector<std::string_view> views_;
};

}  // namespace almx
