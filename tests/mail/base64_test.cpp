#include "mail/base64.h"

#include <gtest/gtest.h>

#include <random>

namespace almx::mail {
namespace {

TEST(Base64, Rfc4648Vectors) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(Base64Encode(plain), encoded);
        EXPECT_EQ(Base64Decode(encoded), plain);
    }
    EXPECT_EQ(Base64Encode(std::string("ab\0cd", 5)), "YWI=");  // stops at NUL
    EXPECT_EQ(Base64EncodeBytes(std::string(57, 'x')).size(), 76u);
    EXPECT_EQ(Base64EncodeBytes("\xFF"), "/w==");
}

TEST(Base64, BytesRoundTripWithNul) {
    std::mt19937 random(7);
    for (std::size_t length = 0; length < 200; ++length) {
        std::string bytes(length, '\0');
        for (auto& b : bytes) b = static_cast<char>(random());
        ASSERT_EQ(Base64Decode(Base64EncodeBytes(bytes)), bytes) << length;
    }
}

TEST(Base64, BadInputHasADefinedResult) {
    EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy"), "foobar");  // line breaks skipped
    EXPECT_EQ(Base64Decode("Zm9v*Yg!=="), "foob");      // junk skipped
    EXPECT_EQ(Base64Decode("Zm9vYmE"), "fooba");        // group cut short
    EXPECT_EQ(Base64Decode("Zm9vY"), "foo");            // one character holds no byte
    EXPECT_EQ(Base64Decode("Zg==Zm9v"), "f");           // "=" ends the data
    EXPECT_EQ(Base64Decode("="), "");
    EXPECT_EQ(Base64Decode("AAA="), std::string(2, '\0'));
}

}  // namespace
}  // namespace almx::mail
