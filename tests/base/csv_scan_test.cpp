#include "base/csv_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
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

// Lines are split on the bytes before they are decoded. The reference decodes the whole text
// first, turns CR LF into LF and gives the last line its end.
std::vector<std::pair<std::string, bool>> LinesOf(std::string_view sjis, std::size_t* invalid) {
    std::vector<std::pair<std::string, bool>> lines;
    *invalid = ForEachCsvLine(
        sjis, [&](std::string_view line, bool last) { lines.emplace_back(line, last); });
    return lines;
}

std::vector<std::pair<std::string, bool>> ReferenceLines(std::string_view sjis,
                                                         std::size_t* invalid) {
    text::Utf8Decoding decoded = text::ShiftJisToUtf8(sjis);
    *invalid = decoded.invalidSequences;
    std::string text;
    for (std::size_t i = 0; i < decoded.text.size(); ++i) {
        if (decoded.text.compare(i, 2, "\r\n") == 0) continue;  // the CR of CR LF
        text += decoded.text[i];
    }
    if (!text.empty() && text.back() != '\n') text += '\n';
    std::vector<std::pair<std::string, bool>> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start) + 1;
        lines.emplace_back(text.substr(start, end - start), end >= text.size());
        start = end;
    }
    return lines;
}

TEST(ForEachCsvLine, SplitsTheBytesAsTheDecodedTextWouldSplit) {
    std::size_t invalid = 0;
    // A lead byte before CR LF is one bad byte and the line still ends there; a lone CR stays.
    auto lines = LinesOf("a\x82\r\nb\rc\r\r\nd\r", &invalid);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::make_pair(std::string("a\xEF\xBF\xBD\n"), false));
    EXPECT_EQ(lines[1], std::make_pair(std::string("b\rc\r\n"), false));
    EXPECT_EQ(lines[2], std::make_pair(std::string("d\r\n"), true));
    EXPECT_EQ(invalid, 1u);
    lines = LinesOf("x\n\n", &invalid);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], std::make_pair(std::string("\n"), true));

    // Random bytes rich in line ends, quotes, lead and trail bytes.
    const char alphabet[] = {'\r',   '\n',   '"',    ',',    'a',    '\x82', '\xA0', '\x81',
                             '\x40', '\x5C', '\xFD', '\xEF', '\x01', '\x02', '\xB1'};
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& c : bytes) c = alphabet[random() % sizeof alphabet];
        std::size_t expectedInvalid = 0;
        const auto expected = ReferenceLines(bytes, &expectedInvalid);
        ASSERT_EQ(LinesOf(bytes, &invalid), expected) << testing::PrintToString(bytes);
        ASSERT_EQ(invalid, expectedInvalid);
    }
}

// The pieces are cut at the given offsets (sorted, within the bytes).
std::vector<std::pair<std::string, bool>> SplitterLines(std::string_view sjis,
                                                        const std::vector<std::size_t>& cuts,
                                                        std::size_t* invalid) {
    std::vector<std::pair<std::string, bool>> lines;
    CsvLineSplitter splitter(
        [&](std::string_view line, bool last) { lines.emplace_back(line, last); });
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        splitter.Feed(sjis.substr(from, cut - from));
        from = cut;
    }
    splitter.Feed(sjis.substr(from));
    *invalid = splitter.Finish();
    return lines;
}

TEST(CsvLineSplitter, GivesTheLinesOfTheWholeBytesWhereverThePiecesBreak) {
    // Breaks between CR and LF, inside a double-byte character, right after a line feed (the
    // line there is the last only if nothing follows), and empty pieces.
    const std::string fixed = "a\x82\xA0\r\nb\r\n\nc\x82";
    std::size_t invalid = 0;
    std::size_t expectedInvalid = 0;
    const auto fixedLines = LinesOf(fixed, &expectedInvalid);
    for (std::size_t a = 0; a <= fixed.size(); ++a) {
        for (std::size_t b = a; b <= fixed.size(); ++b) {
            ASSERT_EQ(SplitterLines(fixed, {a, b}, &invalid), fixedLines) << a << ' ' << b;
            ASSERT_EQ(invalid, expectedInvalid);
        }
    }
    EXPECT_EQ(SplitterLines("x\r\n", {3}, &invalid),
              (std::vector<std::pair<std::string, bool>>{{"x\n", true}}));
    EXPECT_TRUE(SplitterLines("", {}, &invalid).empty());

    const char alphabet[] = {'\r', '\n', '"', ',', 'a', '\x82', '\xA0', '\x81', '\x40', '\xFD'};
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 60, '\0');
        for (char& c : bytes) c = alphabet[random() % sizeof alphabet];
        std::vector<std::size_t> cuts(random() % 6);
        for (std::size_t& cut : cuts) cut = bytes.empty() ? 0 : random() % (bytes.size() + 1);
        std::sort(cuts.begin(), cuts.end());
        const auto expected = LinesOf(bytes, &expectedInvalid);
        ASSERT_EQ(SplitterLines(bytes, cuts, &invalid), expected) << testing::PrintToString(bytes);
        ASSERT_EQ(invalid, expectedInvalid);
        // One byte at a time.
        std::vector<std::size_t> everyByte(bytes.size());
        for (std::size_t i = 0; i < bytes.size(); ++i) everyByte[i] = i;
        ASSERT_EQ(SplitterLines(bytes, everyByte, &invalid), expected);
    }
}

TEST(TCard, ARowSplitAfterALongerOneKeepsNothingOfIt) {
    TCard row;
    ASSERT_TRUE(row.Parse("\"a long first field, longer than fifteen bytes\",bare,\"third\"\n"));
    ASSERT_EQ(row.Count(), 3);
    ASSERT_TRUE(row.Parse("short,\"x\x01\x02y\"\n"));
    ASSERT_EQ(row.Count(), 2);
    EXPECT_EQ(row.At(0), "short");
    EXPECT_FALSE(row.IsQuoted(0));
    EXPECT_EQ(row.At(1), "x\r\ny");
    EXPECT_TRUE(row.IsQuoted(1));
    EXPECT_EQ(row.At(2), "");
    EXPECT_FALSE(row.Parse("no line end"));
    EXPECT_EQ(row.Count(), 0);
    ASSERT_TRUE(row.Parse("\"1\",\"2\",\"3\",\"4\"\n"));
    EXPECT_EQ(row.ToCsvLine(), "\"1\",\"2\",\"3\",\"4\"\n");
}

// The file reader splits record lines into views; they must be the cells TCard gives, quoted
// or bare, with the same cap on their number and the same padding to the header's width.
TEST(CsvCellViews, SplitsEveryLineAsTCardDoes) {
    auto compare = [](const std::string& line, int width) {
        TCard row;
        const bool rowFound = row.Parse(line);
        CsvCellViews views;
        views.Split("\"stale\",\"x\x01\x02y\",bare\n");  // nothing of it may stay
        ASSERT_EQ(views.Split(line), rowFound) << ::testing::PrintToString(line);
        ASSERT_EQ(views.Count(), row.Count()) << ::testing::PrintToString(line);
        for (int i = -1; i <= row.Count(); ++i) {
            ASSERT_EQ(views.At(i), row.At(i)) << i << ' ' << ::testing::PrintToString(line);
            ASSERT_EQ(views.IsQuoted(i), row.IsQuoted(i)) << i << ' ' << line;
        }
        FitToWidth(row, width);
        views.FitToWidth(width);
        ASSERT_EQ(views.Count(), row.Count());
        for (int i = 0; i < row.Count(); ++i) {
            ASSERT_EQ(views.At(i), row.At(i));
            ASSERT_EQ(views.IsQuoted(i), row.IsQuoted(i));
        }
    };
    std::string many;
    for (int i = 0; i < 230; ++i) many += "\"" + std::to_string(i) + "\x01\x02\",";
    many.back() = '\n';
    for (const std::string& line :
         {std::string("\"a\",\"b\"\n"), std::string("\"a\"\",\"b\"\n"), std::string("\"a\nb\",c\n"),
          std::string("\"a\"\nb\",\"c\"\n"), std::string("\"open\n"), std::string("bare,\"q\",\n"),
          std::string(",,\n"), std::string("\n"), std::string("\"\""), std::string("\"\"\n"),
          std::string("\"x\x03\x04,\x04\x03\x01\x02\x01\",\"\x02\"\n"), std::string("no end"),
          many}) {
        compare(line, 26);
    }
    // Lines of the bytes the splitter decides on, at random.
    const char kBytes[] = {'"', ',', '\n', '\r', '\x01', '\x02', '\x03', '\x04', 'a', '\xE3'};
    std::mt19937 random(5);
    for (int round = 0; round < 20000; ++round) {
        std::string line(std::uniform_int_distribution<std::size_t>(0, 24)(random), ' ');
        for (char& c : line) {
            c = kBytes[std::uniform_int_distribution<std::size_t>(0, sizeof kBytes - 1)(random)];
        }
        compare(line, std::uniform_int_distribution<int>(0, 6)(random));
        if (::testing::Test::HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace almx
