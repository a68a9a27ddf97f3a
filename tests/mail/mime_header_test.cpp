#include "mail/mime_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "mail/base64.h"
#include "mail/jis.h"
#include "text/encoding.h"

namespace almx::mail {
namespace {

std::string S(std::string_view utf8) {
    return text::ToShiftJis(utf8);
}

std::vector<std::string> Split(const std::string& s, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = s.find(separator, start)) != std::string::npos;) {
        parts.push_back(s.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(s.substr(start));
    return parts;
}

bool EndsInAscii(const std::string& jis) {
    std::size_t kanji = jis.rfind("\x1B$B");
    std::size_t ascii = jis.rfind("\x1B(B");
    bool kanjiOpen = kanji != std::string::npos && (ascii == std::string::npos || ascii < kanji);
    return !kanjiOpen &&
           std::count(jis.begin(), jis.end(), '\x0E') == std::count(jis.begin(), jis.end(), '\x0F');
}

TEST(MimeHeader, ShortSubjectsAndPlainText) {
    EXPECT_EQ(EncodeMimeHeader("Meeting at 10:00"), "Meeting at 10:00");
    EXPECT_EQ(EncodeMimeHeader(S("ｶﾞｲﾄﾞ")), S("ｶﾞｲﾄﾞ"));  // no double-byte character
    std::string subject = S("Re: 会議のお知らせ");
    EXPECT_EQ(EncodeMimeHeader(subject),
              "=?ISO-2022-JP?B?" + Base64Encode(SjisToJis(subject).text) + "?=");
}

TEST(MimeHeader, LongSubjectsSplitIntoFoldedWordsAndRoundTrip) {
    const char* pieces[] = {"会", "議", "予", "定", "あ", "が", "ア", "パ", "ー", "ｶ",
                            "ﾞ",  "ｱ",  "a",  "Z",  "0",  " ",  "-",  "?",  "=",  "_"};
    std::mt19937 random(5);
    for (std::size_t length = 1; length <= 500; ++length) {
        std::string subject;
        for (std::size_t i = 0; i < length; ++i) subject += S(pieces[random() % std::size(pieces)]);
        std::string encoded = EncodeMimeHeader(subject);
        ASSERT_EQ(JisToSjis(DecodeMimeHeader(encoded)).text, subject) << length;
        if (encoded == subject) continue;  // nothing but ASCII and half-width katakana
        // Each line holds one word of at most 75 characters that decodes on its own.
        std::string again;
        for (const std::string& line : Split(encoded, "\r\n ")) {
            ASSERT_LE(line.size(), 75u);
            ASSERT_TRUE(line.starts_with("=?ISO-2022-JP?B?") && line.ends_with("?="));
            std::string jis = Base64Decode(line.substr(16, line.size() - 18));
            ASSERT_TRUE(EndsInAscii(jis)) << line;
            again += JisToSjis(jis).text;
        }
        ASSERT_EQ(again, subject) << length;
    }
}

TEST(MimeHeader, DecodesWordsOfTheFirstWordsForm) {
    std::string a = Base64Encode(SjisToJis(S("会議")).text);
    std::string b = Base64Encode(SjisToJis(S("室")).text);
    // Charset and encoding match without regard to case; the blank between words goes.
    EXPECT_EQ(JisToSjis(DecodeMimeHeader("Re: =?iso-2022-jp?b?" + a + "?= =?ISO-2022-JP?B?" + b +
                                         "?= (2)"))
                  .text,
              S("Re: 会議室 (2)"));
    // A word of another form stays as it is.
    EXPECT_EQ(DecodeMimeHeader("=?utf-8?B?5Lya?= =?utf-8?Q?=E8=AD=B0?="),
              S("会") + " =?utf-8?Q?=E8=AD=B0?=");
    EXPECT_EQ(DecodeMimeHeader("=?UTF-8?Q?a_b=E4=BC=9A?="), S("a b会"));
    EXPECT_EQ(DecodeMimeHeader("=?unicode-1-1-utf-7?Q?+ZeVnLIqe-?="), S("日本語"));
}

TEST(MimeHeader, BrokenWordsStayAsTheyAre) {
    EXPECT_EQ(DecodeMimeHeader("a =?utf-8?B?5Lya"), "a =?utf-8?B?5Lya");
    EXPECT_EQ(DecodeMimeHeader("=?utf-8?B?5Lya?= =?utf-8?B?5Lya"), S("会") + " =?utf-8?B?5Lya");
    EXPECT_EQ(DecodeMimeHeader("=?utf-8?BB?5Lya?="), "=?utf-8?BB?5Lya?=");
    EXPECT_EQ(DecodeMimeHeader("=?utf-8"), "=?utf-8");
    EXPECT_EQ(DecodeMimeHeader("=?"), "=?");
}

}  // namespace
}  // namespace almx::mail
