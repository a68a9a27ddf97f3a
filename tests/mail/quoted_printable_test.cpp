#include "mail/quoted_printable.h"

#include <gtest/gtest.h>

#include <random>

namespace almx::mail {
namespace {

TEST(QuotedPrintable, EncodesAndBreaksLines) {
    EXPECT_EQ(QpEncode("a=b c", 76), "a=3Db=20c");
    EXPECT_EQ(QpEncode("\r\n\t\xE9", 76), "=0D=0A=09=E9");
    EXPECT_EQ(QpEncode(std::string(20, 'a'), 10),
              std::string(10, 'a') + "=\r\n" + std::string(10, 'a'));
    // An escape needs three characters of room.
    EXPECT_EQ(QpEncode("aaaaaa ", 10), "aaaaaa=20");
    EXPECT_EQ(QpEncode("aaaaaaa ", 10), "aaaaaaa=\r\n=20");
    // Later lines have 76 characters of room.
    std::string encoded = QpEncode(std::string(200, 'b'), 5);
    EXPECT_EQ(encoded.substr(0, 8), "bbbbb=\r\n");
    EXPECT_EQ(encoded.find("=\r\n", 8), 8u + 76u);
    EXPECT_EQ(QpEncode("ab", 0), "=\r\nab");  // no room on the first line at all
    EXPECT_EQ(QpEncode(" ", -5), "=\r\n=20");
}

TEST(QuotedPrintable, RandomBytesRoundTrip) {
    std::mt19937 random(11);
    for (int round = 0; round < 500; ++round) {
        std::string bytes(static_cast<std::size_t>(random() % 300), '\0');
        for (auto& b : bytes) b = static_cast<char>(random());
        int budget = static_cast<int>(random() % 80) - 3;
        ASSERT_EQ(QpDecode(QpEncode(bytes, budget)), bytes) << round;
    }
}

TEST(QuotedPrintable, DecodesLooseInput) {
    EXPECT_EQ(QpDecode("a=3db=\r\nc\r\nd"), "a=bcd");  // lower-case hex, soft and hard breaks
    EXPECT_EQ(QpDecode("a=\nb"), "ab");
    EXPECT_EQ(QpDecode("=G1=4"), "=G1=4");
    EXPECT_EQ(QpDecode("x=\r"), "x");
    EXPECT_EQ(QpDecode("="), "");
}

}  // namespace
}  // namespace almx::mail
