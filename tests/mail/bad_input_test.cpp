// Random bytes, rich in escapes, shifts, lead bytes and word markers, through every decoder.
// The sanitizer build turns any read past the end into a failure.

#include <gtest/gtest.h>

#include <random>

#include "mail/base64.h"
#include "mail/jis.h"
#include "mail/mime_header.h"
#include "mail/quoted_printable.h"
#include "mail/unicode_text.h"

namespace almx::mail {
namespace {

TEST(BadInput, DecodersTakeAnyBytes) {
    const std::string pieces[] = {"\x1B", "$",    "(",    "&",    "B",          "@",
                                  "D",    "I",    "\x0E", "\x0F", "\x8E",       "\x8F",
                                  "\xA4", "\xE0", "\xFD", "\x88", "=",          "?",
                                  "=?",   "?=",   "+",    "-",    "Q",          "a",
                                  "\r",   "\n",   "_",    "/",    "=?utf-8?Q?", "=?x?B?"};
    std::mt19937 random(9);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        for (int n = static_cast<int>(random() % 12); n > 0; --n) {
            bytes += pieces[random() % std::size(pieces)];
        }
        std::string jis = JisToSjis(bytes).text;
        EXPECT_LE(jis.size(), bytes.size() * 2);
        EucToSjis(bytes);
        ToSjis(bytes);
        EXPECT_LE(Base64Decode(bytes).size(), bytes.size());
        EXPECT_LE(QpDecode(bytes).size(), bytes.size());
        DecodeMimeHeader(bytes);
        Utf7ToSjis(bytes);
        Utf8ToSjis(bytes);
        SjisToJis(bytes);
    }
}

}  // namespace
}  // namespace almx::mail
