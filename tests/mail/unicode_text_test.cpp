#include "mail/unicode_text.h"

#include <gtest/gtest.h>

#include "text/encoding.h"

namespace almx::mail {
namespace {

std::string S(std::string_view utf8) {
    return text::ToShiftJis(utf8);
}

TEST(UnicodeText, Utf8ToSjis) {
    EXPECT_EQ(Utf8ToSjis("\xEF\xBB\xBF会議"), S("会議"));
    EXPECT_EQ(Utf8ToSjis("é会"), "?" + S("会"));
}

TEST(UnicodeText, Utf7ToSjis) {
    EXPECT_EQ(Utf7ToSjis("+ZeVnLIqe-"), S("日本語"));
    EXPECT_EQ(Utf7ToSjis("Hi +ZeVnLIqe"), S("Hi 日本語"));    // run open at the end
    EXPECT_EQ(Utf7ToSjis("+ZeVnLIqe. ok"), S("日本語. ok"));  // only "-" ends a run unseen
    EXPECT_EQ(Utf7ToSjis("A+ImIDkQ."), S("A?Α."));            // ≢ has no Shift_JIS form
    EXPECT_EQ(Utf7ToSjis("1 +- 1 + 1"), "1 + 1 + 1");
    EXPECT_EQ(Utf7ToSjis("+2D3-"), "?");  // a lone surrogate
}

}  // namespace
}  // namespace almx::mail
