#include "text/encoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "text/sjis_chars.h"

namespace almx::text {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

// Code page 932 keeps several cells for one character; converting back gives the cell the
// code page prefers. These are all the cells that do not come back as themselves.
std::string PreferredCell(unsigned lead, unsigned trail) {
    unsigned code = lead << 8 | trail;
    static const std::pair<unsigned, unsigned> necRow13[] = {
        {0x8790, 0x81E0}, {0x8791, 0x81DF}, {0x8792, 0x81E7}, {0x8795, 0x81E3}, {0x8796, 0x81DB},
        {0x8797, 0x81DA}, {0x879A, 0x81E6}, {0x879B, 0x81BF}, {0x879C, 0x81BE},
    };
    for (auto [from, to] : necRow13) {
        if (code == from) return Bytes({static_cast<int>(to >> 8), static_cast<int>(to & 0xFF)});
    }
    static const std::pair<unsigned, unsigned> ibmToNec[] = {
        {0xFA4A, 0x8754}, {0xFA4B, 0x8755}, {0xFA4C, 0x8756}, {0xFA4D, 0x8757},
        {0xFA4E, 0x8758}, {0xFA4F, 0x8759}, {0xFA50, 0x875A}, {0xFA51, 0x875B},
        {0xFA52, 0x875C}, {0xFA53, 0x875D}, {0xFA54, 0x81CA}, {0xFA58, 0x878A},
        {0xFA59, 0x8782}, {0xFA5A, 0x8784}, {0xFA5B, 0x81E6}, {0xEEF9, 0x81CA},
    };
    for (auto [from, to] : ibmToNec) {
        if (code == from) return Bytes({static_cast<int>(to >> 8), static_cast<int>(to & 0xFF)});
    }
    return {};
}

TEST(ShiftJisCodec, EveryDoubleByteCellConvertsBackToTheCodePagesPreferredCell) {
    int valid = 0;
    int necSelected = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            std::string cell = Bytes({static_cast<int>(lead), static_cast<int>(trail)});
            Utf8Decoding decoded = ShiftJisToUtf8(cell);
            if (!decoded.Complete()) continue;
            ++valid;
            SjisEncoding back = Utf8ToShiftJis(decoded.text);
            ASSERT_TRUE(back.Complete()) << std::hex << lead << trail;
            std::string expected = PreferredCell(lead, trail);
            if (expected.empty() && (lead == 0xED || lead == 0xEE)) {
                // NEC-selected IBM extensions go to the same character's IBM cell.
                ++necSelected;
                ASSERT_GE(static_cast<unsigned char>(back.bytes[0]), 0xFA)
                    << std::hex << lead << trail;
                ASSERT_EQ(ShiftJisToUtf8(back.bytes).text, decoded.text);
                continue;
            }
            ASSERT_EQ(back.bytes, expected.empty() ? cell : expected) << std::hex << lead << trail;
        }
    }
    // JIS X 0208 (6879) + NEC row 13 (83) + NEC-selected IBM (374) + IBM (388) + user area (1880).
    EXPECT_EQ(valid, 9604);
    EXPECT_EQ(necSelected, 373);
}

TEST(ShiftJisCodec, SingleBytesAndKnownCharacters) {
    EXPECT_EQ(ToShiftJis("abc\\~"), "abc\\~");
    EXPECT_EQ(ToShiftJis("ｱｲｳﾞ"), Bytes({0xB1, 0xB2, 0xB3, 0xDE}));
    EXPECT_EQ(ToShiftJis("表示"), Bytes({0x95, 0x5C, 0x8E, 0xA6}));
    EXPECT_EQ(ToShiftJis("①～"), Bytes({0x87, 0x40, 0x81, 0x60}));
    EXPECT_EQ(FromShiftJis(Bytes({0x81, 0x60})), "～");
    EXPECT_EQ(FromShiftJis(Bytes({0xF0, 0x40})), "\uE000");  // user-defined area
}

TEST(ShiftJisCodec, OtherMappingsOfTheSameGlyphGoToTheirCodePageCells) {
    EXPECT_EQ(ToShiftJis("\u301C"), Bytes({0x81, 0x60}));  // wave dash
    EXPECT_EQ(ToShiftJis("\u2212"), Bytes({0x81, 0x7C}));  // minus sign
    EXPECT_EQ(ToShiftJis("\u2016"), Bytes({0x81, 0x61}));
}

TEST(ShiftJisCodec, UnrepresentableCharactersAreReportedNotDropped) {
    SjisEncoding result = Utf8ToShiftJis("予定😀あ\u00E9b");
    EXPECT_EQ(result.bytes, ToShiftJis("予定") + "?" + ToShiftJis("あ") + "?b");
    ASSERT_EQ(result.unrepresentable.size(), 2u);
    EXPECT_EQ(result.unrepresentable[0], "😀");
    EXPECT_EQ(result.unrepresentable[1], "\u00E9");
    EXPECT_EQ(FirstUnrepresentable("abc😀"), std::optional<std::string>("😀"));
    EXPECT_EQ(FirstUnrepresentable("予定"), std::nullopt);
}

// The check runs without converting: it must name the same first character the conversion
// reports, for every character, the aliases and broken bytes included.
TEST(ShiftJisCodec, FirstUnrepresentableAgreesWithTheConversion) {
    auto agrees = [](const std::string& text) {
        const SjisEncoding converted = Utf8ToShiftJis(text);
        const std::optional<std::string> expected =
            converted.Complete() ? std::nullopt
                                 : std::optional<std::string>(converted.unrepresentable.front());
        return FirstUnrepresentable(text) == expected;
    };
    for (std::uint32_t cp = 1; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string ch;
        if (cp < 0x80) {
            ch = std::string(1, static_cast<char>(cp));
        } else if (cp < 0x800) {
            ch = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        } else {
            ch = {static_cast<char>(0xE0 | (cp >> 12)),
                  static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (cp & 0x3F))};
        }
        ASSERT_TRUE(agrees("予定 " + ch + " 😀")) << "U+" << std::hex << cp;
    }
    EXPECT_TRUE(agrees(Bytes({'a', 0xE3, 0x81, 'b', 0xFF})));
    EXPECT_TRUE(agrees(""));
    // Three-byte forms that are no characters: an overlong one and a surrogate, mid-text and at
    // the end, where a check of whole three-byte runs must not read past the text.
    EXPECT_TRUE(agrees("予" + Bytes({0xE0, 0x80, 0x80}) + "定"));
    EXPECT_TRUE(agrees("予" + Bytes({0xED, 0xA0, 0x80})));
    EXPECT_TRUE(agrees("予定" + Bytes({0xE4, 0xBA})));
}

std::u16string Utf16Of(std::uint32_t cp) {
    if (cp < 0x10000) return std::u16string(1, static_cast<char16_t>(cp));
    return {static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)),
            static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))};
}

// The editor's text is converted and checked in one pass: for every character the UTF-8 must
// be the character's own and the report the one FirstUnrepresentable gives for that UTF-8.
TEST(Utf16ToUtf8, EveryCharacterConvertsAndIsCheckedAsTheUtf8Check) {
    for (std::uint32_t cp = 1; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const std::u16string text = u"予定 a" + Utf16Of(cp) + u"定 ";
        std::string utf8;
        std::optional<std::string> bad;
        ASSERT_TRUE(AppendUtf16AsUtf8(text, utf8, &bad));
        std::string ch;
        if (cp < 0x80) {
            ch = std::string(1, static_cast<char>(cp));
        } else if (cp < 0x800) {
            ch = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        } else {
            ch = {static_cast<char>(0xE0 | (cp >> 12)),
                  static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (cp & 0x3F))};
        }
        ASSERT_EQ(utf8, "予定 a" + ch + "定 ") << "U+" << std::hex << cp;
        ASSERT_EQ(bad, FirstUnrepresentable(utf8)) << "U+" << std::hex << cp;
    }
}

TEST(Utf16ToUtf8, SurrogatesSeparatorsAndAppending) {
    std::string utf8 = "前";
    std::optional<std::string> bad;
    ASSERT_TRUE(AppendUtf16AsUtf8(u"a😀b\u00E9", utf8, &bad));
    EXPECT_EQ(utf8, "前a😀b\u00E9");
    EXPECT_EQ(bad, std::optional<std::string>("😀"));  // the first of two

    // A lone surrogate has no UTF-8 form: nothing is appended and nothing reported.
    const char16_t high = 0xD83D;
    const char16_t low = 0xDE00;
    for (const std::u16string& lone :
         {std::u16string{u'x', high}, std::u16string{low, u'y'}, std::u16string{high, u'z'}}) {
        std::string kept = "前";
        std::optional<std::string> none = "stale";
        EXPECT_FALSE(AppendUtf16AsUtf8(lone, kept, &none));
        EXPECT_EQ(kept, "前");
        EXPECT_EQ(none, std::nullopt);
    }

    // A rich-text buffer's separators read as plain text; left as they are otherwise.
    const std::u16string raw = u"a\u2029b\u2028c\u00A0d\uFDD0\uFDD1e";
    std::string plain;
    ASSERT_TRUE(AppendUtf16AsUtf8(raw, plain, &bad, Utf16Breaks::Plain));
    EXPECT_EQ(plain, "a\nb\nc d\n\ne");
    EXPECT_EQ(bad, std::nullopt);
    std::string asIs;
    ASSERT_TRUE(AppendUtf16AsUtf8(raw, asIs));
    EXPECT_EQ(asIs, "a\u2029b\u2028c\u00A0d\uFDD0\uFDD1e");

    // A long text, then a short one: the short one is not followed by what the long one left.
    std::u16string longText(5000, u'漢');
    std::string first;
    ASSERT_TRUE(AppendUtf16AsUtf8(longText, first));
    EXPECT_EQ(first.size(), 15000u);
    std::string second;
    ASSERT_TRUE(AppendUtf16AsUtf8(u"ab", second));
    EXPECT_EQ(second, "ab");
    ASSERT_TRUE(AppendUtf16AsUtf8(u"", second));
    EXPECT_EQ(second, "ab");
    // Beyond the size the buffer is kept for, and the same again after it was let go.
    const std::u16string huge(400000, u'漢');
    for (int round = 0; round < 2; ++round) {
        std::string out;
        ASSERT_TRUE(AppendUtf16AsUtf8(huge, out));
        EXPECT_EQ(out.size(), 1200000u);
        EXPECT_EQ(out.substr(out.size() - 3), "漢");
    }
}

TEST(ShiftJisCodec, BrokenUtf8IsReportedAsOneReplacementPerBadByte) {
    SjisEncoding result = Utf8ToShiftJis(Bytes({'a', 0xE3, 0x81, 'b', 0xFF}));
    EXPECT_EQ(result.bytes, "a??b?");
    EXPECT_EQ(result.unrepresentable.size(), 3u);
}

// Three-byte forms of code points below U+0800 (overlong) and of surrogates are no characters:
// each of their bytes is replaced, wherever they stand in a run of ASCII or kana.
TEST(ShiftJisCodec, OverlongAndSurrogateFormsAreBrokenBytes) {
    for (const std::string& bad : {Bytes({0xE0, 0x81, 0x81}), Bytes({0xE0, 0x9F, 0xBF}),
                                   Bytes({0xED, 0xA0, 0x80}), Bytes({0xED, 0xBF, 0xBF})}) {
        for (const std::string& before :
             {std::string(), std::string("1234567"), std::string("あ")}) {
            SjisEncoding result = Utf8ToShiftJis(before + bad + "A");
            EXPECT_EQ(result.bytes, ToShiftJis(before) + "???A");
            EXPECT_EQ(result.unrepresentable.size(), 3u);
        }
    }
    // A sequence cut short at the end of the text.
    EXPECT_EQ(Utf8ToShiftJis(Bytes({'a', 0xE3, 0x81})).bytes, "a??");
}

// The core written into the caller's room: never more bytes than the UTF-8 had, each piece
// as iconv gives it (or "?" and reported), ASCII runs of every length around the eight-byte
// steps.
TEST(ShiftJisCodec, WrittenInPlaceWithinTheTextsOwnSize) {
    std::mt19937 random(3);
    const std::string pieces[] = {"a", "abcdefgh", "予", "ｱ", "é", "\xFF", "😀", "\u301C"};
    const std::string encoded[] = {"a",
                                   "abcdefgh",
                                   *Convert("予", "UTF-8", "CP932"),
                                   *Convert("ｱ", "UTF-8", "CP932"),
                                   "?",
                                   "?",
                                   "?",
                                   "\x81\x60"};
    for (int round = 0; round < 500; ++round) {
        std::string utf8;
        std::string expected;
        std::vector<std::string> expectedMissing;
        for (int n = static_cast<int>(random() % 20); n > 0; --n) {
            const unsigned piece = random() % 8;
            utf8 += pieces[piece];
            expected += encoded[piece];
            if (piece >= 4 && piece <= 6)
                expectedMissing.push_back(piece == 5 ? "\uFFFD" : pieces[piece]);
        }
        std::string room(utf8.size() + 8, '#');
        std::vector<std::string> missing;
        char* end = WriteUtf8AsShiftJis(utf8, room.data(), missing);
        ASSERT_LE(end - room.data(), static_cast<std::ptrdiff_t>(utf8.size()));
        ASSERT_EQ(std::string(room.data(), end), expected);
        ASSERT_EQ(missing, expectedMissing);
        ASSERT_EQ(room.substr(utf8.size()), std::string(8, '#'));
    }
}

TEST(ShiftJisCodec, InvalidShiftJisBecomesReplacementCharacters) {
    Utf8Decoding cut = ShiftJisToUtf8(Bytes({'x', 0x82}));  // lead byte at the end
    EXPECT_EQ(cut.text, "x\uFFFD");
    EXPECT_EQ(cut.invalidSequences, 1u);
    Utf8Decoding unmapped = ShiftJisToUtf8(Bytes({0x85, 0x40, 'y'}));  // empty row: one character
    EXPECT_EQ(unmapped.text, "\uFFFDy");
    EXPECT_EQ(unmapped.invalidSequences, 1u);
}

TEST(ShiftJisCodec, RandomBytesAlwaysGiveValidUtf8) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 64, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        Utf8Decoding decoded = ShiftJisToUtf8(bytes);
        ASSERT_TRUE(IsValidUtf8(decoded.text));
        SjisEncoding encoded = Utf8ToShiftJis(bytes);  // arbitrary bytes as UTF-8
        ASSERT_LE(encoded.bytes.size(), bytes.size());
    }
}

// The codec runs on tables of its own; iconv, asked one code at a time, is the reference.
TEST(ShiftJisCodec, EveryOneAndTwoByteCodeDecodesAsIconvDecodesIt) {
    int checked = 0;
    for (int first = 0; first < 256; ++first) {
        const std::string one = Bytes({first});
        const std::optional<std::string> alone = Convert(one, "CP932", "UTF-8");
        Utf8Decoding decoded = ShiftJisToUtf8(one);
        ASSERT_EQ(decoded.Complete(), alone.has_value()) << std::hex << first;
        if (alone) {
            ASSERT_EQ(decoded.text, *alone) << std::hex << first;
            continue;
        }
        for (int second = 0; second < 256; ++second) {
            const std::string two = Bytes({first, second});
            const std::optional<std::string> expected = Convert(two, "CP932", "UTF-8");
            decoded = ShiftJisToUtf8(two);
            if (expected) {
                ASSERT_EQ(decoded.text, *expected) << std::hex << first << ' ' << second;
                ASSERT_TRUE(decoded.Complete());
                ++checked;
            } else {
                ASSERT_FALSE(decoded.Complete()) << std::hex << first << ' ' << second;
                ASSERT_TRUE(IsValidUtf8(decoded.text));
            }
        }
    }
    EXPECT_EQ(checked, 9604);
}

TEST(ShiftJisCodec, EveryBmpCharacterEncodesAsIconvEncodesIt) {
    int mapped = 0;
    for (std::uint32_t cp = 1; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string utf8;
        if (cp < 0x80) {
            utf8 = Bytes({static_cast<int>(cp)});
        } else if (cp < 0x800) {
            utf8 = Bytes({static_cast<int>(0xC0 | cp >> 6), static_cast<int>(0x80 | (cp & 0x3F))});
        } else {
            utf8 =
                Bytes({static_cast<int>(0xE0 | cp >> 12), static_cast<int>(0x80 | (cp >> 6 & 0x3F)),
                       static_cast<int>(0x80 | (cp & 0x3F))});
        }
        const std::optional<std::string> expected = Convert(utf8, "UTF-8", "CP932");
        SjisEncoding encoded = Utf8ToShiftJis(utf8);
        if (expected) {
            ASSERT_EQ(encoded.bytes, *expected) << std::hex << cp;
            ASSERT_TRUE(encoded.Complete()) << std::hex << cp;
            ++mapped;
        } else {
            ASSERT_EQ(encoded.bytes, "?") << std::hex << cp;
            ASSERT_EQ(encoded.unrepresentable, std::vector<std::string>{utf8}) << std::hex << cp;
        }
    }
    EXPECT_GT(mapped, 7000);
    // Beyond the BMP nothing has a cell.
    EXPECT_EQ(Utf8ToShiftJis("\U0001F600").bytes, "?");
}

TEST(ShiftJisCodec, LongMixedTextsMatchIconvWhole) {
    std::mt19937 random(11);
    const std::string pieces[] = {"予定", "ｱｲｳﾞ", "abc,\"\r\n", "①～", "表示\\", "\uE000", "髙﨑"};
    for (int round = 0; round < 200; ++round) {
        std::string utf8;
        for (int n = static_cast<int>(random() % 200); n > 0; --n) utf8 += pieces[random() % 7];
        const std::optional<std::string> sjis = Convert(utf8, "UTF-8", "CP932");
        ASSERT_TRUE(sjis.has_value());
        EXPECT_EQ(ToShiftJis(utf8), *sjis);
        EXPECT_EQ(FromShiftJis(*sjis), Convert(*sjis, "CP932", "UTF-8"));
        EXPECT_EQ(FromShiftJis(*sjis), utf8);
    }
}

TEST(Convert, OtherEncodingsThroughTheSameModule) {
    EXPECT_EQ(Convert("予定", "UTF-8", "EUC-JP"), Bytes({0xCD, 0xBD, 0xC4, 0xEA}));
    EXPECT_EQ(Convert("あ", "UTF-8", "ISO-2022-JP"),
              Bytes({0x1B, '$', 'B', 0x24, 0x22, 0x1B, '(', 'B'}));
    EXPECT_EQ(Convert(Bytes({0xFF, 0xFE}), "EUC-JP", "UTF-8"), std::nullopt);
}

TEST(SjisChars, BoundariesAreFoundByScanningFromTheStart) {
    // 表 is 0x95 0x5C: its trail byte looks like a backslash.
    std::string text = ToShiftJis("表a\\ｱ");
    ASSERT_EQ(text.size(), 5u);
    EXPECT_TRUE(IsSjisSecondByte(text, 1));
    EXPECT_FALSE(IsSjisSecondByte(text, 3));
    EXPECT_EQ(SjisCharStart(text, 1), 0u);
    EXPECT_EQ(SjisCharCount(text), 4u);
    EXPECT_EQ(SjisTruncate(text, 1), "");
    EXPECT_EQ(SjisTruncate(text, 2), text.substr(0, 2));
    std::string leadAtEnd = "ab" + Bytes({0x82});
    EXPECT_EQ(SjisCharLength(leadAtEnd, 2), 1u);
    EXPECT_EQ(SjisTruncate(leadAtEnd, 10), leadAtEnd);
}

TEST(SjisChars, CaseFoldingLeavesSecondBytesAlone) {
    EXPECT_EQ(CaseFoldedShiftJis("AbZ"), "abz");
    // "カ" is 83 4A and "ア" 83 41: folding them would make "ア" equal "ヂ" (83 61).
    EXPECT_EQ(CaseFoldedShiftJis("カアX"), Bytes({0x83, 0x4A, 0x83, 0x41, 'x'}));
    EXPECT_LT(CaseFoldedShiftJis("カメラ"), CaseFoldedShiftJis("ツアー"));
}

}  // namespace
}  // namespace almx::text
