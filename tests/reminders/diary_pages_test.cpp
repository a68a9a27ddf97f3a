#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/file_io.h"
#include "base/prompter.h"
#include "exchange/html_calendar.h"
#include "reminders/diary_html.h"
#include "reminders/diary_search.h"
#include "reminders/diary_store.h"
#include "text/encoding.h"

namespace fs = std::filesystem;

namespace almx {
namespace {

class DiaryPagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-diarypages-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directories(root_ + "/diary");
        store_.SetDefaultFolder(root_ + "/default");
    }
    void TearDown() override { fs::remove_all(root_); }
    void Day(const char* name, const std::string& utf8) {
        std::ofstream(root_ + "/diary/" + name, std::ios::binary) << text::ToShiftJis(utf8);
    }
    std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    std::string root_;
    ScriptedPrompter prompter_;
    DiaryStore store_{prompter_, nullptr, nullptr};
};

TEST(DiaryParagraph, TheHeadingGoesOnlyAtTheStartAndTheTextIsEscaped) {
    EXPECT_EQ(DiaryParagraphHtml("1月 5日(金) \n\n晴れ<b>&</b>\n夜", "1月 5日(金)"),
              " <P>\r\n\r\n晴れ&lt;b&gt;&amp;&lt;/b&gt;<BR>\r\n夜");
    // The heading quoted later in the text stays, and so does everything before it.
    EXPECT_EQ(DiaryParagraphHtml("朝\n1月 5日(金)のこと", "1月 5日(金)"),
              "朝<BR>\r\n1月 5日(金)のこと");
    // A text that spells the marks the page uses keeps them as text.
    EXPECT_EQ(DiaryParagraphHtml("<P>\"x\"", "h"), "&lt;P&gt;&quot;x&quot;");
}

TEST_F(DiaryPagesTest, AMonthPageListsItsDaysNewestFirstAndLinksTheCalendarToThem) {
    Day("20240105.TXT", "1月 5日(金) \r\n\r\nfifth <script>");
    Day("20240120.txt", "1月 20日(土) \r\n\r\ntwentieth");
    Day("20240230.TXT", "not a date");
    Day("20240201.TXT", "next month");
    store_.SetFolder(root_ + "/diary");
    const std::string page = DiaryMonthPage(store_, 2024, 1, "d", "index.html", {});

    EXPECT_NE(page.find("<meta charset=\"Shift_JIS\">"), std::string::npos);
    EXPECT_NE(page.find("<H3 ALIGN=\"center\">\r\n2024年1月\r\n</H3>"), std::string::npos);
    EXPECT_NE(page.find("<A HREF=\"d202312.html\">前の月へ</A>"), std::string::npos);
    EXPECT_NE(page.find("<A HREF=\"d202402.html\">次の月へ</A>"), std::string::npos);
    EXPECT_NE(page.find("<TD><A HREF=\"#20240105\">5</A></TD>"), std::string::npos);
    EXPECT_NE(page.find("<TD><A HREF=\"#20240120\">20</A></TD>"), std::string::npos);
    EXPECT_NE(page.find("<TD>6</TD>"), std::string::npos);
    EXPECT_EQ(page.find("#20240201"), std::string::npos);

    const std::size_t twentieth = page.find("<A NAME=\"20240120\">");
    const std::size_t fifth = page.find("<A NAME=\"20240105\">");
    ASSERT_NE(twentieth, std::string::npos);
    ASSERT_NE(fifth, std::string::npos);
    EXPECT_LT(twentieth, fifth) << "newest first";
    EXPECT_NE(page.find("fifth &lt;script&gt;"), std::string::npos);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("<A HREF=\"index.html\">戻る</A>"), std::string::npos);

    // January 2024 starts on a Monday: one blank cell on a Sunday-first calendar.
    EXPECT_NE(page.find("<TD>　</TD><TD>1</TD>"), std::string::npos);
    DiaryPageStyle monday;
    monday.startMonday = true;
    const std::string mondayPage = DiaryMonthPage(store_, 2024, 1, "d", "", monday);
    EXPECT_EQ(mondayPage.find("<TD>　</TD><TD>1</TD>"), std::string::npos);
    EXPECT_NE(mondayPage.find("<TR>\r\n<TD>1</TD>"), std::string::npos);
}

TEST_F(DiaryPagesTest, PagesGoIntoTheFolderAfterAskingToCreateIt) {
    Day("20240105.TXT", "text");
    store_.SetFolder(root_ + "/diary");
    HtmlMonthOutSettings request;
    request.folder = root_ + "/out/site";
    request.fileName = "d";
    request.startYear = 2023;
    request.startMonth = 12;
    request.endYear = 2024;
    request.endMonth = 2;
    FileWriter writer;
    const fs::path before = fs::current_path();

    prompter_.Then(Answer::No);
    EXPECT_FALSE(WriteDiaryPages(store_, request, {}, prompter_, writer));
    EXPECT_FALSE(fs::exists(request.folder));

    prompter_.Then(Answer::Yes);
    const auto first = WriteDiaryPages(store_, request, {}, prompter_, writer);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, request.folder + "/d202312.html");
    for (const char* name : {"d202312.html", "d202401.html", "d202402.html"})
        EXPECT_TRUE(fs::exists(request.folder + "/" + name)) << name;
    EXPECT_FALSE(fs::exists(request.folder + "/d202403.html"));
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_EQ(prompter_.Shown(), (std::vector<std::string>{diary_html_msg::kAskCreateFolder,
                                                           diary_html_msg::kAskCreateFolder}));
    // Written as Shift_JIS.
    const std::string bytes = Read(request.folder + "/d202401.html");
    EXPECT_NE(bytes.find(text::ToShiftJis("2024年1月")), std::string::npos);
}

TEST(DiaryHtmlEncoding, ACharacterShiftJisCannotHoldBecomesAReference) {
    EXPECT_EQ(HtmlToShiftJis("a😀日"), "a&#128512;\x93\xfa");
    EXPECT_EQ(HtmlToShiftJis("plain"), "plain");
}

TEST_F(DiaryPagesTest, SearchFindsTheDaysInNameOrderWithTheMatcherOptions) {
    Day("20240105.TXT", "今日はＡＢＣの会議");
    Day("20240103.txt", "abc and more");
    Day("20240104.TXT", "nothing here");
    store_.SetFolder(root_ + "/diary");

    text::WordOptions folded;  // case and width ignored
    std::vector<DiaryHit> hits = SearchDiary(store_, "abc", folded);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].name, "20240103.txt");
    EXPECT_EQ(hits[1].name, "20240105.TXT");
    EXPECT_EQ(hits[1].text, "今日はＡＢＣの会議");
    EXPECT_EQ(hits[1].path, root_ + "/diary/20240105.TXT");

    text::WordOptions exact;
    exact.caseSensitive = true;
    exact.widthSensitive = true;
    hits = SearchDiary(store_, "abc", exact);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].name, "20240103.txt");

    text::WordOptions all;
    all.mode = text::kWordAll;
    EXPECT_EQ(SearchDiary(store_, "abc 会議", all).size(), 1u);
    EXPECT_TRUE(SearchDiary(store_, "   ", folded).empty());
}

}  // namespace
}  // namespace almx
