#include "base/csv_card.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "exchange/card_table.h"
#include "exchange/text_file.h"
#include "text/encoding.h"

namespace almx {
namespace {

std::vector<std::string> Fields(const TCard& card) {
    std::vector<std::string> out;
    for (int i = 0; i < card.Count(); ++i) out.push_back(card.At(i));
    return out;
}

TEST(TCard, SplitsQuotedAndBareFields) {
    TCard card;
    ASSERT_TRUE(card.Parse("\"a\",b,\"\",,\"x\"y\"\n"));
    EXPECT_EQ(Fields(card), (std::vector<std::string>{"a", "b", "", "", "x\"y"}));
    EXPECT_TRUE(card.IsQuoted(0));
    EXPECT_FALSE(card.IsQuoted(1));
    EXPECT_TRUE(card.IsQuoted(2));
    EXPECT_FALSE(card.IsQuoted(3));
}

TEST(TCard, ALineWithoutItsLineFeedLosesTheLastField) {
    TCard card;
    card.Parse("\"a\",\"b\"");
    EXPECT_EQ(Fields(card), (std::vector<std::string>{"a"}));
    card.Parse("a,b");
    EXPECT_EQ(Fields(card), (std::vector<std::string>{"a"}));
    EXPECT_FALSE(card.Parse("\"unterminated\n"));
}

TEST(TCard, EscapePairsKeepLineBreaksAndQuoteCommasOnOneLine) {
    TCard card;
    card.Add("line1\r\nline2");
    card.Add("say \"hi\", then");
    card.Add("a ,\"quoted\" b");
    card.Add("\",\",");
    std::string line = card.ToCsvLine();
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    EXPECT_NE(line.find("line1\x01\x02line2"), std::string::npos);
    EXPECT_NE(line.find("say \"hi\x03\x04 then"), std::string::npos);
    EXPECT_NE(line.find("a \x04\x03quoted\" b"), std::string::npos);
    TCard back;
    back.Parse(line);
    EXPECT_EQ(Fields(back), Fields(card));
}

TEST(TCard, BareLineFeedsAreWrittenAsLineBreaks) {
    TCard card;
    card.Add("a\nb");
    TCard back;
    back.Parse(card.ToCsvLine());
    EXPECT_EQ(back.At(0), "a\r\nb");
}

TEST(TCard, RandomFieldsSurviveJoinAndSplit) {
    const std::string alphabet[] = {"\"", ",",    "\r\n", "a",   "予",
                                    " ",  "\x01", "\"\"", ",\"", "\","};
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        TCard card;
        int count = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < count; ++i) {
            std::string text;
            for (unsigned n = random() % 7; n > 0; --n) text += alphabet[random() % 8];
            card.Add(text);
        }
        TCard back;
        back.Parse(card.ToCsvLine());
        ASSERT_EQ(Fields(back), Fields(card)) << card.ToCsvLine();
    }
}

TEST(TCard, RowsKeepAtMostTwoHundredFields) {
    std::string line;
    for (int i = 0; i < 250; ++i) line += std::to_string(i) + ",";
    line += "last\n";
    TCard card;
    card.Parse(line);
    EXPECT_EQ(card.Count(), TCard::kMaxFields);
    EXPECT_EQ(card.At(199), "199");
    EXPECT_FALSE(card.Add("more"));
}

TEST(TCard, FieldOperations) {
    TCard card;
    card.SetEmpty(3);
    EXPECT_EQ(card.ToCsvLine(), "\"\",\"\",\"\"\n");
    EXPECT_TRUE(card.SetAt(1, "x"));
    EXPECT_FALSE(card.SetAt(3, "y"));
    card.InsertAt(0);
    card.RemoveAt(3);
    EXPECT_EQ(card.ToCsvLine(), "\"\",\"\",\"x\"\n");
    EXPECT_EQ(card.GetTag(), 1);
    EXPECT_EQ(card.At(-1), "");
    EXPECT_EQ(card.At(10), "");
}

TEST(TCard, GarbageNeverCrashes) {
    std::mt19937 random(3);
    for (int round = 0; round < 5000; ++round) {
        std::string bytes(random() % 80, '\0');
        for (char& c : bytes)
            c = "\",\n\r\x01\x02\x03\x04"
                "ab"[random() % 10];
        TCard card;
        card.Parse(bytes);
        ASSERT_LE(card.Count(), TCard::kMaxFields);
    }
}

class CardTableFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("almx_card_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    std::filesystem::path dir_;
};

TEST_F(CardTableFile, PadsAndCutsRowsToTheHeaderAndWritesShiftJisCrLf) {
    std::string sjis =
        text::ToShiftJis("\"名前\",\"住所\",\"電話\"\r\n\"山田\"\r\n\"a\",\"b\",\"c\",\"d\"\r\n");
    CardTable table;
    table.ReadBytes(sjis);
    ASSERT_EQ(table.ColumnCount(), 3);
    ASSERT_EQ(table.RowCount(), 2u);
    EXPECT_EQ(table.Row(0).At(0), "山田");
    EXPECT_EQ(table.Row(0).Count(), 3);
    EXPECT_EQ(table.Row(1).Count(), 3);
    ASSERT_TRUE(table.Write(Path("t.csv")));
    std::string written = ReadWholeFile(Path("t.csv"));
    EXPECT_EQ(written, text::ToShiftJis("\"名前\",\"住所\",\"電話\"\r\n\"山田\",\"\",\"\"\r\n"
                                        "\"a\",\"b\",\"c\"\r\n"));
    CardTable again;
    ASSERT_TRUE(again.Read(Path("t.csv")));
    EXPECT_EQ(again.ToBytes(), written);
}

TEST_F(CardTableFile, LongLinesAndEmptyFiles) {
    std::string big(3 * 1024 * 1024, 'x');
    {
        std::ofstream out(Path("big.csv"), std::ios::binary);
        out << "\"h\"\r\n\"" << big << "\"\r\n";
    }
    CardTable table;
    ASSERT_TRUE(table.Read(Path("big.csv")));
    ASSERT_EQ(table.RowCount(), 1u);
    EXPECT_EQ(table.Row(0).At(0).size(), big.size());
    { std::ofstream out(Path("empty.csv")); }
    ASSERT_TRUE(table.Read(Path("empty.csv")));
    EXPECT_EQ(table.RowCount(), 0u);
    EXPECT_EQ(table.ColumnCount(), 0);
    EXPECT_FALSE(table.Read(Path("missing.csv")));
    EXPECT_FALSE(table.Write(Path("no/such/folder.csv")));
}

TEST_F(CardTableFile, TextFileLayerReportsFailuresWithItsMessages) {
    try {
        TextFile file(Path("none/x.txt"), "rt");
        FAIL();
    } catch (const CVeltaFileException& e) {
        EXPECT_EQ(std::string(e.what()), "ファイルのオープンに失敗しました:" + Path("none/x.txt"));
    }
    {
        TextFile out(Path("lines.txt"), "wt");
        out.Write("one\ntwo\n");
        out.Close();
    }
    EXPECT_EQ(ReadWholeFile(Path("lines.txt")), "one\r\ntwo\r\n");
    TextFile in(Path("lines.txt"), "rt");
    EXPECT_EQ(in.Length(), 10);
    std::string line;
    ASSERT_TRUE(in.ReadLine(line));
    EXPECT_EQ(line, "one");
    EXPECT_EQ(in.ReadAll(), "two\n");
    EXPECT_FALSE(in.ReadLine(line));
    EXPECT_THROW(in.Seek(-100), CVeltaFileException);
}

}  // namespace
}  // namespace almx

namespace almx {
namespace {

// Found by fuzzing: escape pairs in a bare field gave it a comma, which split it on reading.
TEST(TCard, BareFieldsThatWouldSplitAreWrittenQuoted) {
    TCard card;
    card.Parse("\x04\x03\x04\x03,plain\n");
    ASSERT_EQ(card.At(0), ",\",\"");
    EXPECT_EQ(card.ToCsvLine(), "\",\x03\x04\"\",plain\n");
    TCard back;
    back.Parse(card.ToCsvLine());
    EXPECT_EQ(back.At(0), card.At(0));
    EXPECT_EQ(back.At(1), "plain");
    card.AddBare("\"starts with a quote");
    back.Parse(card.ToCsvLine());
    EXPECT_EQ(back.At(2), "\"starts with a quote");
}

}  // namespace
}  // namespace almx
