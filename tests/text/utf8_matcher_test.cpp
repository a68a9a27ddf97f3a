#include "text/utf8_matcher.h"

#include <gtest/gtest.h>

namespace almx::text {
namespace {

TEST(Utf8Matcher, ReportsUtf8Offsets) {
    // 会議 is 6 bytes of UTF-8 (4 of Shift_JIS); ｶﾞ is 6 bytes of UTF-8 (2 of Shift_JIS).
    auto hit = FindUtf8("会議ｶﾞｲﾄﾞ資料", "ガイド", kFoldWidth);
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->offset, 6u);
    EXPECT_EQ(hit->length, 15u);

    MatchText text("aé会議a会議");  // é has no Shift_JIS form and reads as "?"
    EXPECT_EQ(text.Find("会議", kFoldExact)->offset, 3u);
    EXPECT_EQ(text.Find("会議", kFoldExact, 4)->offset, 10u);  // 4 is inside 会: next one
    EXPECT_EQ(text.Find("A", kFoldCase, 1)->offset, 9u);
    EXPECT_FALSE(text.Find("é", kFoldExact).has_value());
    EXPECT_EQ(text.Utf8Offset(text.Sjis().size()), 16u);
    EXPECT_EQ(text.SjisOffset(16), text.Sjis().size());
}

TEST(Utf8Matcher, InvalidUtf8IsOneCharacterPerByte) {
    MatchText text("\xFF\xFE会");
    EXPECT_EQ(text.Find("会", kFoldExact)->offset, 2u);
    EXPECT_EQ(CompareUtf8("ｶﾞ", "ガ", kFoldWidth), 0);
}

}  // namespace
}  // namespace almx::text
