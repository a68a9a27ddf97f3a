#include <gtest/gtest.h>

#include "exchange/html_element.h"
#include "exchange/html_escape.h"

namespace almx {
namespace {

TEST(HtmlEscapeTest, HostileTextsComeOutInert) {
    const std::string hostile = "<script>alert('x')</script> & \"q\"";
    const std::string escaped = HtmlEscape(hostile);
    EXPECT_EQ(escaped, "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;q&quot;");
    EXPECT_EQ(HtmlUnescape(escaped), hostile);
    // Already escaped text is escaped again, so it shows as typed.
    EXPECT_EQ(HtmlEscape("&amp;"), "&amp;amp;");
    EXPECT_EQ(HtmlUnescape(HtmlEscape("&amp;")), "&amp;");
    EXPECT_EQ(HtmlEscape("会議 10:00"), "会議 10:00");
}

TEST(HtmlEscapeTest, NamesInLinksArePercentEncoded) {
    EXPECT_EQ(PercentEncodeName("sch202401.html"), "sch202401.html");
    EXPECT_EQ(PercentEncodeName("a b\"#?.html"), "a%20b%22%23%3F.html");
    EXPECT_EQ(PercentEncodeName("予定.html"), "%E4%BA%88%E5%AE%9A.html");
}

TEST(HtmlElementTest, WritesTagsInNewlineModeAsTheyAreBuilt) {
    CHtmlElement title("title", "2024年1月");
    EXPECT_EQ(title.ToString(true), "<title>\r\n2024年1月\r\n</title>");
    EXPECT_EQ(title.ToString(false), "<title>2024年1月</title>");
    // Content already ending in CR LF gets no second break.
    CHtmlElement row("tr", "<td>x</td>\r\n");
    EXPECT_EQ(row.ToString(true), "<tr>\r\n<td>x</td>\r\n</tr>");
    CHtmlElement single("p", "\n");
    EXPECT_EQ(single.ToString(true), "<p>\r\n\n\r\n</p>");
    CHtmlElement noClose("li", "x");
    noClose.SetClosing(false);
    EXPECT_EQ(noClose.ToString(false), "<li>x");

    CHtmlElement body("body", CHtmlElement("h1", "t"));
    EXPECT_EQ(body.Content(), "<h1>\r\nt\r\n</h1>");
    body.AppendChild(CHtmlElement("p"), false, true);
    EXPECT_EQ(body.Content(), "<h1>\r\nt\r\n</h1><p></p>\r\n");
}

TEST(HtmlElementTest, AttributesReplaceRemoveAndEscape) {
    CHtmlElement a("a", "戻る");
    a.SetAttribute("href", "top.html");
    a.SetAttribute("HREF", "index.html");
    a.SetAttribute("title", "\"\"");
    a.SetAttribute("class", "");
    EXPECT_EQ(a.OpenTag(), "<a href=\"index.html\">");
    a.SetAttribute("Href", "\"\"");
    EXPECT_EQ(a.OpenTag(), "<a>");
    a.SetAttribute("title", "\"><script>");
    EXPECT_EQ(a.OpenTag(), "<a title=\"&quot;&gt;&lt;script&gt;\">");
    a.SetAttribute("title", "\"x\"");
    EXPECT_EQ(a.GetAttribute("TITLE"), "x");
}

TEST(HtmlElementTest, ParsesOpeningTags) {
    auto table = CHtmlElement::Parse("<table id=\"sch\">");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->Tag(), "table");
    EXPECT_EQ(table->GetAttribute("ID"), "sch");
    EXPECT_EQ(table->ToString(true), "<table id=\"sch\">\r\n\r\n</table>");

    auto br = CHtmlElement::Parse("<BR />");
    ASSERT_TRUE(br);
    EXPECT_TRUE(br->SelfClosing());
    EXPECT_EQ(br->ToString(false), "<BR />");

    auto several = CHtmlElement::Parse("<P ALIGN=CENTER class='a b' hidden title=\"&lt;x&gt;\">");
    ASSERT_TRUE(several);
    ASSERT_EQ(several->Attributes().size(), 4u);
    EXPECT_EQ(several->GetAttribute("align"), "CENTER");
    EXPECT_EQ(several->GetAttribute("class"), "a b");
    EXPECT_EQ(several->GetAttribute("hidden"), "");
    EXPECT_EQ(several->GetAttribute("title"), "<x>");
    EXPECT_EQ(several->OpenTag(), "<P ALIGN=\"CENTER\" class=\"a b\" hidden title=\"&lt;x&gt;\">");

    for (const char* bad :
         {"", "<", "<>", "table", "<table", "< table>", "<a href=\"x>", "<a =x>", "<a b=\"1\"c>"}) {
        EXPECT_FALSE(CHtmlElement::Parse(bad)) << bad;
    }
}

}  // namespace
}  // namespace almx
