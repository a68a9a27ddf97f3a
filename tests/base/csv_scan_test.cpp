#include "base/csv_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/encoding.h"

namespace almx {
namespace {

struct Scanned {
    CsvScan scan;
    std::vector<std::vector<std::string>> rows;
};

Scanned Scan(std::string_view sjis, bool wantRows = true) {
    Scanned out;
    out.scan = ScanCsvBytes(
        sjis, [&](const TCard&) { return wantRows; },
        [&](const TCard& row) {
            std::vector<std::string> cells;
            for (int i = 0; i < row.Count(); ++i) cells.push_back(row.At(i));
            out.rows.push_back(cells);
        });
    return out;
}

using Cells = std::vector<std::string>;

TEST(ScanCsvBytes, RowsTakeTheHeadersWidthWhateverTheLineEnds) {
    const Scanned s = Scan(
        text::ToShiftJis("\"区分\",\"b\",\"c\"\r\n\"1\"\n\"2\",\"x\",\"y\",\"z\"\r\n\"3\",\"表\""));
    EXPECT_EQ(s.scan.header.Count(), 3);
    EXPECT_EQ(s.scan.header.At(0), "区分");
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(s.rows[0], (Cells{"1", "", ""}));
    EXPECT_EQ(s.rows[1], (Cells{"2", "x", "y"}));
    // The last line has no end and is kept whole.
    EXPECT_EQ(s.rows[2], (Cells{"3", "表", ""}));
    EXPECT_EQ(s.scan.rows, 3u);
    EXPECT_TRUE(s.scan.complete);
    EXPECT_EQ(s.scan.invalidSequences, 0u);
}

TEST(ScanCsvBytes, ARefusedHeaderDeliversNoRowsButIsRead) {
    const Scanned s = Scan("\"a\",\"b\"\r\n\"1\",\"2\"\r\n", false);
    EXPECT_EQ(s.scan.header.At(1), "b");
    EXPECT_TRUE(s.rows.empty());
    EXPECT_EQ(s.scan.rows, 0u);
}

TEST(ScanCsvBytes, ReportsCutQuotedCellsAndBytesThatAreNoShiftJis) {
    const Scanned cut = Scan("\"a\",\"b\"\r\n\"1\",\"never closed\r\n");
    EXPECT_FALSE(cut.scan.complete);
    const Scanned bad = Scan("\"a\"\r\n\"x\xffy\"\r\n");
    EXPECT_TRUE(bad.scan.complete);
    EXPECT_EQ(bad.scan.invalidSequences, 1u);
    ASSERT_EQ(bad.rows.size(), 1u);
    EXPECT_EQ(bad.rows[0][0], "x\xEF\xBF\xBDy");
    const Scanned empty = Scan("");
    EXPECT_EQ(empty.scan.header.Count(), 0);
    EXPECT_TRUE(empty.rows.empty());
    // A blank line is a row of empty cells, not the end of the file.
    const Scanned blank = Scan("\"a\",\"b\"\r\n\r\n\"1\",\"2\"\r\n");
    ASSERT_EQ(blank.rows.size(), 2u);
    EXPECT_EQ(blank.rows[1], (Cells{"1", "2"}));
}

}  // namespace
}  // namespace almx
