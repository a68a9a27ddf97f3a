#include "text/word_search.h"

#include <gtest/gtest.h>

#include "text/sjis_word_test.h"

namespace almx::text {
namespace {

using Words = std::vector<std::string>;

TEST(WordSearchTest, BlanksInARowOrAtTheEndsMakeNoEmptyWords) {
    EXPECT_EQ(SplitWords("会議  東京"), (Words{"会議", "東京"}));
    EXPECT_EQ(SplitWords(" 会議　東京　"), (Words{"会議", "東京"}));
    EXPECT_EQ(SplitWords("　 　"), Words{});
    // The full-width blank is a character: a kanji whose bytes hold 0x81 0x40 in Shift_JIS
    // order are not split (UTF-8 "＠" is no blank either).
    EXPECT_EQ(SplitWords("ア＠イ"), (Words{"ア＠イ"}));
}

TEST(WordSearchTest, AnyAndAllWordsReportTheEarliestOccurrence) {
    const MatchText text("東京で会議、その後に会食");
    WordOptions all;
    all.mode = kWordAll;
    const auto hit = FindWords(text, "会議  東京", all);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->offset, 0u);  // 東京 comes first
    EXPECT_EQ(hit->length, std::string("東京").size());
    EXPECT_FALSE(FindWords(text, "会議 大阪", all));
    WordOptions any;
    const auto anyHit = FindWords(text, " 大阪 会食 ", any);
    ASSERT_TRUE(anyHit);
    EXPECT_EQ(anyHit->offset, std::string("東京で会議、その後に").size());
    WordOptions whole;
    whole.mode = kWordWhole;
    EXPECT_FALSE(FindWords(text, "会議 東京", whole));
    EXPECT_FALSE(FindWords(text, "   ", any));
}

TEST(WordSearchTest, FoldingFollowsTheTwoSensitivities) {
    const MatchText text("ﾐｰﾃｨﾝｸﾞ at HOME");
    WordOptions options;
    EXPECT_TRUE(FindWords(text, "home", options));
    EXPECT_TRUE(FindWords(text, "ミーティング", options));
    options.caseSensitive = true;
    EXPECT_FALSE(FindWords(text, "home", options));
    options.widthSensitive = true;
    EXPECT_FALSE(FindWords(text, "ミーティング", options));
}

TEST(WordSearchTest, TheShiftJisTestAgreesWithFindWordsOnEveryModeAndFold) {
    const std::vector<std::string> texts = {"東京で会議、その後に会食",
                                            "ﾐｰﾃｨﾝｸﾞ at HOME",
                                            "",
                                            "ñ and 会議",
                                            "?",
                                            "abc\nABC",
                                            "１２３ 全角"};
    const std::vector<std::string> inputs = {
        "会議", "会議 大阪", "会議　東京", "home", "ミーティング", "ñ",   "ñ 会議",
        "",     "   ",       "?",          "123",  "ABC",          "ｶｲｷﾞ"};
    for (int mode : {kWordWhole, kWordAny, kWordAll}) {
        for (bool caseSensitive : {false, true}) {
            for (bool widthSensitive : {false, true}) {
                WordOptions options;
                options.mode = mode;
                options.caseSensitive = caseSensitive;
                options.widthSensitive = widthSensitive;
                for (const std::string& input : inputs) {
                    const SjisWordTest test(input, options);
                    for (const std::string& text : texts) {
                        const MatchText matched(text);
                        EXPECT_EQ(test.Matches(matched.Sjis()),
                                  FindWords(matched, input, options).has_value())
                            << "mode " << mode << " case " << caseSensitive << " width "
                            << widthSensitive << " input \"" << input << "\" text \"" << text
                            << "\"";
                    }
                }
            }
        }
    }
}

TEST(WordSearchTest, HighlightPositionsCountCharactersAfterLineBreaksAndDoubleByteText) {
    const std::string body = "一行目の会議\n二行目😀会議\nkaigi 会議";
    const MatchText text(body);
    WordOptions all;
    all.mode = kWordAll;  // counts as any here
    const std::vector<Match> hits = AllOccurrences(text, "会議 kaigi", all);
    ASSERT_EQ(hits.size(), 4u);
    std::vector<std::size_t> starts;
    for (const Match& hit : hits) starts.push_back(Utf16Position(body, hit.offset));
    // The emoji is two UTF-16 units; each line break one.
    EXPECT_EQ(starts, (std::vector<std::size_t>{4, 12, 15, 21}));
    EXPECT_EQ(Utf16Position(body, hits[1].offset + hits[1].length), 14u);
    EXPECT_EQ(Utf8Offset(body, 12), hits[1].offset);
    EXPECT_EQ(Utf8Offset(body, 1000), body.size());
}

}  // namespace
}  // namespace almx::text
