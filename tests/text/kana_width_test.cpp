#include "text/kana_width.h"

#include <gtest/gtest.h>

#include "text/encoding.h"

namespace almx::text {
namespace {

std::string S(std::string_view utf8) {
    return ToShiftJis(utf8);
}

TEST(KanaWidth, VoicedTablesHoldTheKanaInTheirOrder) {
    const std::string half = "ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟｳﾞ";
    const std::string katakana = S("ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポヴ");
    const std::string hiragana = S("がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽヴ");
    const std::string halfSjis = S(half);
    ASSERT_EQ(halfSjis.size(), 52u);
    for (std::size_t i = 0; i < 26; ++i) {
        auto k = CharCodeAt(katakana, 2 * i, 2);
        auto h = CharCodeAt(hiragana, 2 * i, 2);
        auto kana = static_cast<unsigned char>(halfSjis[2 * i]);
        auto mark = static_cast<unsigned char>(halfSjis[2 * i + 1]);
        EXPECT_EQ(VoicedKatakana(kana, mark), k) << i;
        ASSERT_TRUE(HalfPairOf(h).has_value()) << i;
        EXPECT_EQ(HalfPairOf(h)->kana, kana);
        EXPECT_EQ(HalfPairOf(h)->mark, mark);
        EXPECT_EQ(UnvoicedKatakana(k), FullWidthOf(kana)) << i;
    }
    EXPECT_FALSE(VoicedKatakana(0xB1, kHalfVoicedMark).has_value());      // ｱﾞ
    EXPECT_FALSE(VoicedKatakana(0xB6, kHalfSemiVoicedMark).has_value());  // ｶﾟ
}

// The full-width forms are the Unicode full-width forms, save the two quotes, whose JIS X 0208
// cells are the typographic ones.
TEST(KanaWidth, AsciiFullWidthFormsMatchUnicode) {
    for (unsigned c = 0x20; c <= 0x7E; ++c) {
        auto full = FullWidthOf(static_cast<unsigned char>(c));
        ASSERT_TRUE(full.has_value());
        std::string sjis;
        AppendCharCode(sjis, *full);
        char32_t expected = c == ' '    ? U'\u3000'
                            : c == '"'  ? U'\u201D'
                            : c == '\'' ? U'\u2019'
                                        : char32_t(0xFF01 + c - 0x21);
        std::string utf8 = FromShiftJis(sjis);
        ASSERT_EQ(utf8.size(), 3u) << c;
        char32_t got = (utf8[0] & 0x0F) << 12 | (utf8[1] & 0x3F) << 6 | (utf8[2] & 0x3F);
        EXPECT_EQ(got, expected) << std::hex << c;
        EXPECT_EQ(HalfWidthOf(*full), c);
    }
}

TEST(KanaWidth, HalfWidthKatakanaRoundTrip) {
    std::string all;
    for (unsigned c = 0xA1; c <= 0xDF; ++c) all += static_cast<char>(c);
    CountedText full = HanToZen(all);
    EXPECT_EQ(full.count, 63u);
    EXPECT_EQ(FromShiftJis(full.text),
              "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
              "ハヒフヘホマミムメモヤユヨラリルレロワン゛゜");
    EXPECT_EQ(ZenToHan(full.text).text, all);
}

TEST(KanaWidth, HanToZen) {
    EXPECT_EQ(HanToZen(S("ｶﾞ")).text, S("ガ"));
    EXPECT_EQ(HanToZen(S("ﾎﾟｳﾞ")).text, S("ポヴ"));
    // A pair without a voiced form goes character by character.
    CountedText plain = HanToZen(S("ｱﾞA1"));
    EXPECT_EQ(plain.text, S("ア゛Ａ１"));
    EXPECT_EQ(plain.count, 4u);
    // A trail byte that looks like half-width katakana (漢 is 8A BF, ﾞ is DE) stays put.
    EXPECT_EQ(HanToZen(S("漢ﾞ")).text, S("漢゛"));
    EXPECT_EQ(HanToZen("\x8A").text, "\x8A");  // lead byte cut at the end
}

TEST(KanaWidth, ZenToHan) {
    EXPECT_EQ(ZenToHan(S("が")).text, S("ｶﾞ"));
    CountedText converted = ZenToHan(S("ぱＡ１‐×÷ー　か漢"));
    EXPECT_EQ(converted.text, S("ﾊﾟA1-*/ｰ か漢"));
    EXPECT_EQ(converted.count, 7u);  // the voiced kana is not counted
    EXPECT_EQ(ZenToHan(S("ヴヶ")).text, S("ｳﾞヶ"));
}

}  // namespace
}  // namespace almx::text
