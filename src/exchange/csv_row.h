#pragma once
// Rows of other programs' CSV files (RFC 4180): fields between double quotes with quotes
// doubled inside, line breaks kept inside quoted fields. The schedule file keeps its own codec
// (base/csv_card.h); these rows only meet the Outlook files.

#include <string>
#include <string_view>
#include <vector>

namespace almx {

// Where a scan stands between two characters of a row.
enum CsvQuoteState : int {
    kBetweenFields = 0,
    kInBareField = 1,
    kInQuotedField = 2,
};

// Runs the continuation scan over one physical line from the state the previous line left;
// returns the state at its end. The row goes on to the next line while this is kInQuotedField.
int ScanCsvLine(std::string_view line, int state);

// Splits one logical row (physical lines joined by "\n") into its fields. A quoted field ends at
// a lone quote and "" inside it is one quote; text after the closing quote belongs to the same
// field. The codec's escape pairs of older files (0x01 0x02, 0x03 0x04, 0x04 0x03) are turned
// back into a line break, `",` and `,"`.
std::vector<std::string> SplitCsvRow(std::string_view row);
// The same into fields, reusing its strings.
void SplitCsvRow(std::string_view row, std::vector<std::string>& fields);

// SplitCsvRow's fields as views: into the row where a field is its bytes between the quotes,
// into strings of store (reused from row to row) where quotes were undoubled or escape pairs
// turned back. The views hold until the row or store next changes.
void SplitCsvRowViews(std::string_view row, std::vector<std::string_view>& fields,
                      std::vector<std::string>& store);

// A field as it is written: line breaks as "\n" (CR LF and a lone CR become one), the bytes
// 0x01 to 0x04 dropped.
std::string NormalizeCsvField(std::string_view text);

// Appends the field between quotes, quotes doubled, normalized as above; with crLf every line
// break inside it is written as CR LF, as the file holds it.
void AppendQuotedField(std::string& out, std::string_view text, bool crLf = false);

// Every field quoted and separated by commas, without a line end.
std::string JoinCsvRow(const std::vector<std::string>& fields);

}  // namespace almx
