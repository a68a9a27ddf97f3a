// Rows of other programs' CSV files: the continuation scan and the RFC 4180 splitter.

#include "exchange/csv_row.h"

#include <gtest/gtest.h>

namespace almx {
namespace {

using Fields = std::vector<std::string>;

TEST(CsvRow, SplitsQuotedBareAndEmptyFields) {
    EXPECT_EQ(SplitCsvRow(R"("a",b,,"")"), (Fields{"a", "b", "", ""}));
    // Doubled quotes are one; a comma inside quotes stays.
    EXPECT_EQ(SplitCsvRow(R"("say ""hi"", then","x")"), (Fields{"say \"hi\", then", "x"}));
    // A quoted field ends at a lone quote; what follows up to the comma belongs to it.
    EXPECT_EQ(SplitCsvRow(R"("ab"cd,e)"), (Fields{"abcd", "e"}));
    // A quote inside a bare field is text.
    EXPECT_EQ(SplitCsvRow(R"(5" disk,x)"), (Fields{"5\" disk", "x"}));
    EXPECT_EQ(SplitCsvRow(""), (Fields{""}));
    EXPECT_EQ(SplitCsvRow("a,"), (Fields{"a", ""}));
}

TEST(CsvRow, TurnsBackTheEscapePairsOfOlderFiles) {
    EXPECT_EQ(SplitCsvRow("\"one\x01\x02two\",\"q\x03\x04r\x04\x03s\""),
              (Fields{"one\ntwo", "q\",r,\"s"}));
}

TEST(CsvRow, SplittingIntoReusedFieldsGivesTheSameFieldsRowAfterRow) {
    // A long row, then shorter ones: nothing of an earlier row may stay behind.
    const std::vector<std::string> rows{
        R"("first ""long"" field, with comma","b","c","d","e")",
        R"("ab"cd,e)",
        "",
        "a,",
        "\"open quote runs to the end,x",
        "\"one\x01\x02two\",\"q\x03\x04r\"",
        R"(5" disk,"x""y",z)",
    };
    Fields fields;
    for (const std::string& row : rows) {
        SplitCsvRow(row, fields);
        EXPECT_EQ(fields, SplitCsvRow(row)) << row;
    }
}

TEST(CsvRow, ViewsGiveTheSameFieldsAndPointIntoTheRowWhenNothingChanged) {
    // Long rows, short ones, doubled quotes in several fields (more than the store held
    // before), text after a closing quote, a quote never closed, escape pairs.
    const std::vector<std::string> rows{
        R"("a""1","b""2","c""3","d""4",e)",
        R"("first ""long"" field, with comma","b","c","d","e")",
        R"("ab"cd,e)",
        R"("ab""",x)",
        R"("""")",
        "",
        "a,",
        ",",
        "\"\",\"\"",
        "\"open quote runs to the end,x",
        "\"open \"\" doubled,x",
        "\"one\x01\x02two\",\"q\x03\x04r\"",
        R"(5" disk,"x""y",z)",
        "\"memo\nline\",\"2025/01/02\"",
    };
    std::vector<std::string_view> views;
    std::vector<std::string> store;
    for (const std::string& row : rows) {
        SplitCsvRowViews(row, views, store);
        EXPECT_EQ(Fields(views.begin(), views.end()), SplitCsvRow(row)) << row;
    }
    const std::string row = R"("title","2025/01/02",bare,"a""b")";
    SplitCsvRowViews(row, views, store);
    const auto inRow = [&row](std::string_view view) {
        return view.data() >= row.data() && view.data() + view.size() <= row.data() + row.size();
    };
    EXPECT_TRUE(inRow(views[0]) && inRow(views[1]) && inRow(views[2]));
    EXPECT_FALSE(inRow(views[3]));
    EXPECT_EQ(views[3], "a\"b");
}

TEST(CsvRow, ScanCarriesTheQuoteStateAcrossLines) {
    int state = ScanCsvLine(R"("a","memo first)", kBetweenFields);
    EXPECT_EQ(state, kInQuotedField);
    state = ScanCsvLine(R"(with ""quote"" inside)", state);
    EXPECT_EQ(state, kInQuotedField);
    state = ScanCsvLine(R"(last",x)", state);
    EXPECT_EQ(state, kInBareField);
    // A bare field with a quote in it does not open a quoted one.
    EXPECT_NE(ScanCsvLine(R"(5" disk,"ok")", kBetweenFields), kInQuotedField);
}

// The continuation scan byte by byte, as the rules read.
int ScanByBytes(std::string_view line, int state) {
    for (std::size_t i = 0; i < line.size() && line[i] != '\n'; ++i) {
        const char c = line[i];
        if (state == kBetweenFields) {
            state = c == '"' ? kInQuotedField : c == ',' ? kBetweenFields : kInBareField;
        } else if (state == kInBareField) {
            if (c == ',') state = kBetweenFields;
        } else if (c == '"') {
            if (i + 1 < line.size() && line[i + 1] == '"') {
                ++i;
            } else {
                state = kBetweenFields;
            }
        }
    }
    return state;
}

TEST(CsvRow, ScanEndsInTheStateTheRulesGiveForEveryShortLine) {
    // Every line of up to six of these pieces, from every state.
    const std::string pieces[] = {"\"", ",", "a", "\n", "表"};
    std::vector<std::string> lines{""};
    for (std::size_t from = 0, length = 0; length < 6; ++length) {
        const std::size_t to = lines.size();
        for (std::size_t k = from; k < to; ++k) {
            for (const std::string& piece : pieces) lines.push_back(lines[k] + piece);
        }
        from = to;
    }
    for (const std::string& line : lines) {
        for (int state : {kBetweenFields, kInBareField, kInQuotedField}) {
            ASSERT_EQ(ScanCsvLine(line, state), ScanByBytes(line, state))
                << ::testing::PrintToString(line) << " from " << state;
        }
    }
}

TEST(CsvRow, JoinQuotesEveryFieldAndNeverWritesEscapeBytes) {
    const Fields fields{"plain", "a,b", "say \"x\"", "line1\r\nline2\rline3", "\x01\x02\x03\x04"};
    const std::string row = JoinCsvRow(fields);
    EXPECT_EQ(row, "\"plain\",\"a,b\",\"say \"\"x\"\"\",\"line1\nline2\nline3\",\"\"");
    EXPECT_EQ(SplitCsvRow(row), (Fields{"plain", "a,b", "say \"x\"", "line1\nline2\nline3", ""}));
}

TEST(CsvRow, QuotedFieldForTheFileWritesEveryLineBreakAsCrLf) {
    // Each kind of break, at either end and in a row, beside quotes and the dropped bytes.
    const std::string texts[] = {"",         "\n",           "\r",       "\r\n",           "\n\r",
                                 "\r\r\n\n", "a\nb\rc\r\nd", "\"\r\n\"", "x\x01\n\x02y\r", "末尾\r",
                                 "\n先頭"};
    for (const std::string& text : texts) {
        std::string plain = "lead,";
        AppendQuotedField(plain, text);
        std::string expected;
        for (char c : plain) {
            if (c == '\n') expected += '\r';
            expected += c;
        }
        std::string file = "lead,";
        AppendQuotedField(file, text, true);
        EXPECT_EQ(file, expected) << ::testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace almx
