#include "text/kana_width.h"

#include <gtest/gtest.h>

#include "text/encoding.h"

namespace almx::text {
namespace {

std::string S(std::string_view utf8) {
    return ToShiftJis(utf8);
}

TEST(KanaWidth, VoicedTablesHoldTheKanaInTheirOrder) {
    const std::string half = S("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟｳﾞ");
    const std::string katakana = S("ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポヴ");
    EXPECT_EQ(HanToZen(half).text, katakana);
    EXPECT_EQ(ZenToHan(katakana).text, half);
    EXPECT_EQ(ZenToHan(S("がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽヴ")).text, half);
    EXPECT_EQ(HanToZen(S("ｱﾞｶﾟ")).text, S("ア゛カ゜"));  // pairs without a voiced form
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
