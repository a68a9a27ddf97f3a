#include "text/matcher.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "text/encoding.h"
#include "text/kana_width.h"
#include "text/matcher_reference.h"

namespace almx::text {
namespace {

std::string S(std::string_view utf8) {
    return ToShiftJis(utf8);
}


void ExpectMatch(std::string_view text, std::string_view pattern, unsigned flags,
                 std::size_t offset, std::size_t length) {
    auto hit = Find(S(text), S(pattern), flags);
    ASSERT_TRUE(hit.has_value()) << text << " / " << pattern << " flags " << flags;
    EXPECT_EQ(hit->offset, offset) << text << " / " << pattern;
    EXPECT_EQ(hit->length, length) << text << " / " << pattern;
}

void ExpectNoMatch(std::string_view text, std::string_view pattern, unsigned flags) {
    EXPECT_FALSE(Find(S(text), S(pattern), flags).has_value())
        << text << " / " << pattern << " flags " << flags;
}

TEST(Matcher, WidthCombinesVoicedPairs) {
    ExpectMatch("xｶﾞ", "ガ", kFoldWidth, 1, 2);
    ExpectNoMatch("xｶﾞ", "ガ", kFoldExact);
    ExpectMatch("ｱﾞ", "ア", kFoldWidth, 0, 1);  // ｱﾞ does not combine
    ExpectMatch("カ゛", "ｶﾞ", kFoldWidth, 0, 4);
    ExpectMatch("ハ゜", "パ", kFoldWidth, 0, 4);
    // A hiragana takes a full-width mark only when kana folding is on as well.
    ExpectNoMatch("か゛", "が", kFoldWidth);
    ExpectMatch("か゛", "が", kFoldWidth | kFoldKana, 0, 4);
}

TEST(Matcher, KanaCaseAndSmallVoiced) {
    ExpectMatch("か", "カ", kFoldKana, 0, 2);
    ExpectNoMatch("が", "カ", kFoldKana);
    ExpectMatch("が", "カ", kFoldKana | kFoldSmallVoiced, 0, 2);
    ExpectMatch("む", "ム", kFoldKana, 0, 2);  // past the gap at 0x837F
    ExpectNoMatch("abc", "ABC", kFoldExact);
    ExpectMatch("abc", "ABC", kFoldCase, 0, 3);
    ExpectNoMatch("abc", "ＡＢＣ", kFoldCase);
    ExpectMatch("abc", "ＡＢＣ", kFoldCase | kFoldWidth, 0, 3);
    ExpectMatch("ｰ", "-", kFoldSmallVoiced, 0, 1);
    ExpectMatch("ー", "-", kFoldSmallVoiced | kFoldWidth, 0, 2);
}

TEST(Matcher, PositionsAndBoundaries) {
    EXPECT_FALSE(Find("", "a", kFoldAll).has_value());
    EXPECT_FALSE(Find("abc", "c", kFoldAll, 3).has_value());
    EXPECT_FALSE(Find("abc", "", kFoldAll).has_value());
    EXPECT_EQ(Find("abcabc", "abc", kFoldExact, 1)->offset, 3u);
    // ｿ is BF, the trail byte of 漢 (8A BF); it must not match inside it.
    ExpectNoMatch("漢", "ｿ", kFoldAll);
    EXPECT_EQ(Find(S("漢ｿ"), S("ｿ"), kFoldExact, 1)->offset, 2u);
}

TEST(Matcher, CompareAndFriends) {
    EXPECT_GT(Compare("abc", "ab", kFoldAll), 0);
    EXPECT_EQ(Compare("", "", kFoldAll), 0);
    EXPECT_EQ(Compare("b", "a", kFoldExact), 1);
    EXPECT_TRUE(Equal(S("ｶﾞｲﾄﾞ"), S("ガイド"), kFoldWidth));
    EXPECT_TRUE(Equal(S("ｶﾞｲﾄﾞ"), S("がいど"), kFoldWidth | kFoldKana));
    EXPECT_TRUE(StartsWith(S("会議室"), S("会議"), kFoldExact));
    EXPECT_FALSE(StartsWith(S("大会議"), S("会議"), kFoldExact));
    EXPECT_FALSE(StartsWith("abc", "", kFoldExact));
}

TEST(Matcher, SmallAndVoicedFoldingTable) {
    const char* pairs[] = {
        "ｧｱ",   "ｨｲ",   "ｩｳ",   "ｪｴ",   "ｫｵ",   "ｯﾂ",   "ｬﾔ",   "ｭﾕ",   "ｮﾖ",   "-ｰ",   "ぁあ",
        "ぃい", "ぅう", "ぇえ", "ぉお", "っつ", "ゃや", "ゅゆ", "ょよ", "ァア", "ィイ", "ゥウ",
        "ェエ", "ォオ", "ッツ", "ャヤ", "ュユ", "ョヨ", "－ー", "ガカ", "ギキ", "グク", "ゲケ",
        "ゴコ", "ザサ", "ジシ", "ズス", "ゼセ", "ゾソ", "ダタ", "ヂチ", "ヅツ", "デテ", "ドト",
        "バハ", "ビヒ", "ブフ", "ベヘ", "ボホ", "パハ", "ピヒ", "プフ", "ペヘ", "ポホ", "ヴウ"};
    for (const char* pair : pairs) {
        std::string s = S(pair);
        std::size_t first = SjisCharLength(s, 0);
        EXPECT_EQ(Fold(CharCodeAt(s, 0, first), kFoldSmallVoiced),
                  CharCodeAt(s, first, s.size() - first))
            << pair;
    }
    for (const char* unchanged : {"が", "ゎ", "ヵ", "ｶ", "ア", "〜"}) {
        std::string s = S(unchanged);
        CharCode code = CharCodeAt(s, 0, s.size());
        EXPECT_EQ(Fold(code, kFoldSmallVoiced), code) << unchanged;
    }
}

TEST(Matcher, AgreesWithReferenceOnRandomTexts) {
    const char* alphabet[] = {"a",  "b",  "A",  "-",  "ａ", "Ａ", "ｶ",  "ﾞ",  "ﾟ",
                              "ｧ",  "ｱ",  "ﾊ",  "ｳ",  "ｰ",  "カ", "ガ", "か", "が",
                              "ア", "ァ", "あ", "ぁ", "ハ", "パ", "ぱ", "ば", "ウ",
                              "ヴ", "゛", "゜", "ー", "－", "漢", "ｿ"};
    std::vector<std::string> letters = {"\x83", std::string(1, '\0')};  // stray lead byte, NUL
    for (const char* a : alphabet) letters.push_back(S(a));
    std::mt19937 random(20240601);
    auto pick = [&](int minLength, int maxLength) {
        std::string s;
        int n = std::uniform_int_distribution<>(minLength, maxLength)(random);
        for (int i = 0; i < n; ++i) {
            s += letters[std::uniform_int_distribution<std::size_t>(0, letters.size() - 1)(random)];
        }
        return s;
    };
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text = pick(0, 12);
        std::string pattern = pick(round % 50 == 0 ? 0 : 1, 3);
        unsigned flags = static_cast<unsigned>(round % 16);
        std::size_t start = std::uniform_int_distribution<std::size_t>(0, text.size())(random) / 2;
        auto expected = ReferenceFind(text, pattern, flags, start);
        auto actual = Find(text, pattern, flags, start);
        ASSERT_EQ(actual.has_value(), expected.has_value())
            << FromShiftJis(text) << " / " << FromShiftJis(pattern) << " flags " << flags;
        if (expected) {
            found += 1;
            ASSERT_EQ(actual->offset, expected->offset) << FromShiftJis(text);
            ASSERT_EQ(actual->length, expected->length) << FromShiftJis(text);
            ASSERT_LE(actual->offset + actual->length, text.size());
        }
        ASSERT_EQ(Compare(text, pattern, flags), ReferenceCompare(text, pattern, flags))
            << FromShiftJis(text) << " / " << FromShiftJis(pattern) << " flags " << flags;
    }
    EXPECT_GT(found, 1000);  // the alphabet is small enough for many hits
}

}  // namespace
}  // namespace almx::text
