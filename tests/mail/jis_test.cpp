#include "mail/jis.h"

#include <gtest/gtest.h>

#include "text/encoding.h"

namespace almx::mail {
namespace {

std::string S(std::string_view utf8) {
    return text::ToShiftJis(utf8);
}

const std::string kSo = "\x0E";
const std::string kSi = "\x0F";

TEST(Jis, SjisToJisShiftsAndEndsInAscii) {
    CountedText out = SjisToJis(S("予定abc"));
    EXPECT_EQ(out.text, *text::Convert(S("予定"), "CP932", "ISO-2022-JP") + "abc");
    EXPECT_EQ(out.count, 2u);
    EXPECT_TRUE(SjisToJis(S("会議")).text.ends_with("\x1B(B"));
    EXPECT_EQ(SjisToJis(S("ｱ")).text, kSo + "1" + kSi);
    // From kanji to katakana the set goes back to ASCII first, so SI lands in ASCII.
    EXPECT_EQ(SjisToJis(S("漢ｱa")).text, "\x1B$B4A\x1B(B" + kSo + "1" + kSi + "a");
    EXPECT_EQ(SjisToJis("\xF0@a").text, "\xF0@a");  // user-defined: no JIS code
    EXPECT_EQ(SjisToJis("a\x88").text, "a\x88");    // lead byte cut at the end
}

TEST(Jis, JisToSjisReadsEverySet) {
    std::string jis = *text::Convert(S("会議は10時、第２会議室"), "CP932", "ISO-2022-JP");
    EXPECT_EQ(JisToSjis(jis).text, S("会議は10時、第２会議室"));
    EXPECT_EQ(JisToSjis("\x1B$@4A\x1B(Ja").text, S("漢a"));
    EXPECT_EQ(JisToSjis("\x1B(I12\x1B(B1").text, S("ｱｲ1"));
    EXPECT_EQ(JisToSjis(kSo + "1\r\n" + kSi).text, S("ｱ\r\n"));  // line breaks stay
    // Cut short or unknown escapes are copied; a lone byte in kanji mode too.
    EXPECT_EQ(JisToSjis("a\x1B$").text, "a\x1B$");
    EXPECT_EQ(JisToSjis("\x1B(Za").text, "\x1B(Za");
    EXPECT_EQ(JisToSjis("\x1B$B4A4").text, S("漢") + "4");
    EXPECT_EQ(JisToSjis("\x1B$B\r\n").text, "\r\n");
}

TEST(Jis, EucToSjisAndJisX0212) {
    EXPECT_EQ(EucToSjis("\x8E\xB1z").text, S("ｱz"));
    EXPECT_EQ(EucToSjis("a\x8F").text, "a");  // lone 0x8F
    EXPECT_EQ(EucToSjis("a\x8E").text, "a");  // 0x8E cut at the end
    EXPECT_EQ(EucToSjis("a\xB4").text, "a\xB4");
    // JIS X 0212 0x5463 is 纊, one of the IBM extension kanji; 0x3021 (丂) has no Shift_JIS form.
    EXPECT_EQ(text::FromShiftJis(JisToSjis("\x1B$(DTc0!\x1B(Ba").text), "纊〓a");
    EXPECT_EQ(text::FromShiftJis(EucToSjis("\x8F\xD4\xE3\x8F\xB0\xA1z").text), "纊〓z");
}

// Every JIS X 0208 character of code page 932 (rows 1-8 and 16-84) against iconv. A few cells
// map to different Unicode characters in code page 932 and in glibc's JIS tables (～ ∥ － ...),
// so iconv cannot convert them between the two; their JIS code comes from EUC-JP-MS then.
TEST(Jis, EveryJisX0208CharacterAgreesWithIconv) {
    int characters = 0;
    int viaMs = 0;
    for (unsigned lead = 0x81; lead <= 0xEA; ++lead) {
        if ((lead >= 0x85 && lead <= 0x87) || (lead >= 0xA0 && lead <= 0xDF)) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            std::string sjis = {static_cast<char>(lead), static_cast<char>(trail)};
            if (!text::Convert(sjis, "CP932", "UTF-8")) continue;  // empty cell
            ++characters;
            auto jis = text::Convert(sjis, "CP932", "ISO-2022-JP");
            auto euc = text::Convert(sjis, "CP932", "EUC-JP");
            if (!jis || !euc) {
                ++viaMs;
                euc = text::Convert(sjis, "CP932", "EUC-JP-MS");
                ASSERT_TRUE(euc && euc->size() == 2) << std::hex << lead << trail;
                std::string code = {static_cast<char>((*euc)[0] & 0x7F),
                                    static_cast<char>((*euc)[1] & 0x7F)};
                jis = "\x1B$B" + code + "\x1B(B";
            }
            CountedText out = SjisToJis(sjis);
            ASSERT_EQ(out.text, *jis) << std::hex << lead << ' ' << trail;
            ASSERT_EQ(out.count, 1u);
            ASSERT_EQ(JisToSjis(out.text).text, sjis) << std::hex << lead << ' ' << trail;
            ASSERT_EQ(EucToSjis(*euc).text, sjis) << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_EQ(characters, 6879);  // the 6879 characters of JIS X 0208
    EXPECT_LE(viaMs, 10);
}

// NEC row 13 and the NEC-selected IBM rows go out in their JIS rows and come back.
TEST(Jis, CodePage932ExtensionsRoundTrip) {
    std::string text = S("①㈱№髙﨑") + "x" + S("ｶﾞ漢");
    EXPECT_EQ(JisToSjis(SjisToJis(text).text).text, text);
}

TEST(Jis, DetectKanjiCode) {
    EXPECT_EQ(DetectKanjiCode("Hello, world"), KanjiCode::None);
    EXPECT_EQ(ToSjis("Hello, world"), "Hello, world");
    EXPECT_EQ(DetectKanjiCode(SjisToJis(S("会議")).text), KanjiCode::Jis);
    EXPECT_EQ(DetectKanjiCode(S("会議")), KanjiCode::ShiftJis);
    EXPECT_EQ(DetectKanjiCode("\xA4\xA2"), KanjiCode::SjisOrEuc);  // ､｢ or EUC あ
    // 0xA1-0xDF then 0xE0-0xEF: the bytes after it decide.
    EXPECT_EQ(DetectKanjiCode("\xA1\xE0\x40\x85"), KanjiCode::ShiftJis);
    EXPECT_EQ(DetectKanjiCode("\xA1\xE0\xA1\xFD"), KanjiCode::Euc);
    EXPECT_EQ(DetectKanjiCode("\xE0"), KanjiCode::None);  // cut at the end

    std::string eucText = *text::Convert(S("あの遙か"), "CP932", "EUC-JP");  // 遙 is F4 A3
    EXPECT_EQ(DetectKanjiCode(eucText), KanjiCode::Euc);
    EXPECT_EQ(ToSjis(eucText), S("あの遙か"));
    std::string jisText = SjisToJis(S("ｶﾅと漢字")).text;
    EXPECT_EQ(ToSjis(jisText), S("ｶﾅと漢字"));
    EXPECT_EQ(ToSjis(S("会議")), S("会議"));
}

}  // namespace
}  // namespace almx::mail
