#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "core/day_property.h"
#include "exchange/exchange_fixture.h"
#include "exchange/html_calendar.h"
#include "text/encoding.h"

namespace almx::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kResources = fs::path(ALMX_SOURCE_DIR) / "resources";
const fs::path kExpected = fs::path(ALMX_SOURCE_DIR) / "tests/exchange/data";

class FailingWriter : public FileWriter {
  public:
    bool Write(int, std::string_view) override { return false; }
};

std::size_t Count(const std::string& text, const std::string& piece) {
    std::size_t n = 0;
    for (std::size_t pos = text.find(piece); pos != std::string::npos;
         pos = text.find(piece, pos + 1)) {
        ++n;
    }
    return n;
}

// What HTML Tidy says of a page, one message a line, less the ones the page's form asks for
// (the mobile pages' old-style tags, the empty style block of the top page). Nullopt when tidy
// is not installed.
std::optional<std::vector<std::string>> TidyComplaints(const fs::path& page) {
    if (std::system("command -v tidy >/dev/null 2>&1") != 0) return std::nullopt;
    const fs::path report = page.string() + ".tidy";
    const std::string command =
        "tidy -errors -q -shiftjis '" + page.string() + "' 2>'" + report.string() + "' >/dev/null";
    [[maybe_unused]] const int status = std::system(command.c_str());
    std::vector<std::string> complaints;
    std::ifstream in(report);
    static const char* const kAllowed[] = {
        "missing <!DOCTYPE> declaration", "<font> element removed from HTML5",
        "attribute \"align\" not allowed for HTML5", "trimming empty <style>"};
    for (std::string line; std::getline(in, line);) {
        if (std::none_of(std::begin(kAllowed), std::end(kAllowed),
                         [&](const char* allowed) { return line.find(allowed) != line.npos; })) {
            complaints.push_back(line);
        }
    }
    fs::remove(report);
    return complaints;
}

class HtmlCalendarTest : public ExchangeTest {
  protected:
    void SetUp() override {
        ExchangeTest::SetUp();
        out = dir / "site";
        fs::create_directory(out);
        request.folder = out.string();
        request.fileName = "sch";
        request.topName = "index";
        request.startYear = 2023;
        request.startMonth = 11;
        request.endYear = 2024;
        request.endMonth = 2;
    }

    CHtmlGenerator Generator() {
        return CHtmlGenerator(
            DayCellSource{doc->Records(), &doc->Array().genres, &doc->Array().dayProperties},
            settings, clock);
    }

    std::optional<fs::path> Write(FileWriter& writer) {
        CHtmlGenerator generator = Generator();
        return WriteHtmlPages(request, generator, kResources, settings, prompter, writer);
    }
    std::optional<fs::path> Write() {
        FileWriter writer;
        return Write(writer);
    }
    // A written page, back in UTF-8.
    std::string Page(const std::string& name) const {
        return text::FromShiftJis(ReadFileBytes((out / name).string()).bytes);
    }
    std::size_t FilesWritten() const {
        std::error_code error;
        if (!fs::exists(out, error)) return 0;
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(out), fs::directory_iterator()));
    }

    fs::path out;
    HtmlMonthOutSettings request;
};

TEST_F(HtmlCalendarTest, MonthPageMatchesTheExpectedFileByteForByte) {
    Add(Schedule("会議", At(2024, 1, 10, 10, 0), At(2024, 1, 10, 11, 30)));
    CAlmxData& red = Add(Schedule("歯医者", Day(2024, 1, 20), Day(2024, 1, 20)));
    red.colour = 0x0000FF;
    Add(Schedule("出張", Day(2024, 1, 30), Day(2024, 2, 1)));
    SetDayColour(doc->Array().dayProperties, Day(2024, 1, 17), 0x80FFFF);
    request.startYear = request.endYear = 2024;
    request.startMonth = request.endMonth = 1;
    ASSERT_TRUE(Write());
    const std::string written = ReadFileBytes((out / "sch202401.html").string()).bytes;
    const std::string expected = ReadFileBytes((kExpected / "sch202401.html").string()).bytes;
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(written, expected);
}

TEST_F(HtmlCalendarTest, RangeAcrossTheYearWritesEveryMonthAndListsThemNewestFirst) {
    const fs::path before = fs::current_path();
    const std::optional<fs::path> first = Write();
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, out / "sch202311.html");
    EXPECT_EQ(fs::current_path(), before);
    for (const char* name : {"sch202311.html", "sch202312.html", "sch202401.html", "sch202402.html",
                             "index.html", "almxsch.css", "almxtop.css"}) {
        EXPECT_TRUE(fs::exists(out / name)) << name;
    }
    EXPECT_EQ(FilesWritten(), 7u);
    const std::string top = Page("index.html");
    EXPECT_EQ(top.rfind("<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"Shift_JIS\">", 0),
              0u);
    const std::size_t feb = top.find("\r\n2024年2月\r\n");
    const std::size_t jan = top.find("\r\n2024年1月\r\n");
    const std::size_t dec = top.find("\r\n2023年12月\r\n");
    const std::size_t nov = top.find("\r\n2023年11月\r\n");
    ASSERT_NE(nov, std::string::npos);
    EXPECT_LT(feb, jan);
    EXPECT_LT(jan, dec);
    EXPECT_LT(dec, nov);
    EXPECT_NE(top.find("<a href=\"sch202311.html\">"), std::string::npos);
    // Today (2025/05) leads the page.
    EXPECT_NE(top.find("<p>\r\n<a href=\"sch202505.html\">\r\n2025年5月"), std::string::npos);
    EXPECT_EQ(settings.GetInt("HtmlMonthOut", "StartYear", 0), 2023);
    EXPECT_EQ(settings.GetInt("HtmlMonthOut", "StartMonth", 0), 11);
    EXPECT_EQ(settings.GetInt("HtmlMonthOut", "EndYear", 0), 2024);
    EXPECT_EQ(settings.GetInt("HtmlMonthOut", "EndMonth", 0), 2);
    // December links across the year both ways.
    const std::string december = Page("sch202312.html");
    EXPECT_NE(december.find("<a href=\"sch202311.html\">\r\n前の月へ"), std::string::npos);
    EXPECT_NE(december.find("<a href=\"sch202401.html\">\r\n次の月へ"), std::string::npos);
}

TEST_F(HtmlCalendarTest, PagesOfAPreparedRangeMatchPagesMadeMonthByMonth) {
    // Days shown in two months' grids: the other-month colour depends on the month shown, and
    // one fill serves them all.
    SetDayColour(doc->Array().dayProperties, Day(2024, 1, 31), 0x80FFFF);
    SetDayColour(doc->Array().dayProperties, Day(2024, 1, 2), 0xC0C0FF);
    Add(Schedule("年越し", Day(2023, 12, 30), Day(2024, 1, 2)));
    CAlmxData& holiday = Add(Schedule("振替", Day(2024, 2, 4), Day(2024, 2, 4)));
    holiday.Set(HolidayMark);
    for (int keep : {1, 0}) {
        settings.SetInt("View", "OtherMonthDayColor", keep);
        CHtmlGenerator alone = Generator();
        CHtmlGenerator ranged = Generator();
        ranged.PrepareRange(2023, 11, 2024, 2);
        for (int month : {11, 12, 1, 2}) {
            const int year = month > 10 ? 2023 : 2024;
            const std::string expected = alone.MonthPage("sch", "index", year, month, true);
            EXPECT_EQ(ranged.MonthPage("sch", "index", year, month, true), expected) << month;
            EXPECT_EQ(ranged.MobileBody("mtop", year, month),
                      alone.MobileBody("mtop", year, month));
            EXPECT_EQ(ranged.MobileMonth("m", "mtop", year, month, true),
                      alone.MobileMonth("m", "mtop", year, month, true));
        }
        // Months before the range, and back: the range's cells are not taken for them.
        EXPECT_EQ(ranged.MonthTable(2023, 10), alone.MonthTable(2023, 10));
        EXPECT_EQ(ranged.MonthTable(2024, 1), alone.MonthTable(2024, 1));
    }
    // January's grid shows 2024/01/31 in its day colour, February's in the other-month colour.
    settings.SetInt("View", "OtherMonthDayColor", 0);
    CHtmlGenerator ranged = Generator();
    ranged.PrepareRange(2024, 1, 2024, 2);
    const std::string january = ranged.MonthTable(2024, 1);
    const std::string february = ranged.MonthTable(2024, 2);
    EXPECT_NE(january.find("#FFFF80;\">\r\n<div class=\"almxday day4\">\r\n31"), std::string::npos);
    EXPECT_NE(february.find("\">\r\n<div class=\"almxday day4\">\r\n31"), std::string::npos);
    EXPECT_EQ(february.find("#FFFF80;"), std::string::npos);
    // A record added after the fill is on the page: the document's generation changed.
    Add(Schedule("追加", Day(2024, 1, 20), Day(2024, 1, 20)));
    EXPECT_NE(ranged.MonthTable(2024, 1).find("追加"), std::string::npos);
}

TEST_F(HtmlCalendarTest, AnHtmlCheckerFindsNothingWrongInThePages) {
    Add(Schedule("<script>alert('x')</script> & <b>太字", At(2024, 1, 10, 10, 0),
                 At(2024, 1, 10, 11, 30)))
        .place = "\"会議室\" <A>";
    Add(Schedule("</td></tr></table>", Day(2024, 1, 30), Day(2024, 2, 1)));
    CAlmxData& holiday = Add(Schedule("記念日", Day(2024, 1, 14), Day(2024, 1, 14)));
    holiday.Set(HolidayMark);
    SetDayColour(doc->Array().dayProperties, Day(2024, 1, 17), 0x80FFFF);
    request.startYear = 2023;
    request.startMonth = 12;
    request.endYear = 2024;
    request.endMonth = 1;
    request.topName = "index";
    request.mobileFile = "m";
    request.mobileTop = "mtop";
    for (bool navi : {true, false}) {
        request.navi = navi;
        ASSERT_TRUE(Write());
        for (const char* name : {"sch202312.html", "sch202401.html", "index.html", "m202401.html",
                                 "m202401body.html", "mtop.html"}) {
            const std::optional<std::vector<std::string>> complaints = TidyComplaints(out / name);
            if (!complaints) GTEST_SKIP() << "tidy is not installed";
            EXPECT_TRUE(complaints->empty()) << name << ": " << complaints->front();
        }
    }
}

TEST_F(HtmlCalendarTest, DayHeadingsHiddenEntriesColoursAndNavigation) {
    CAlmxData& holiday = Add(Schedule("記念日", Day(2024, 1, 14), Day(2024, 1, 14)));
    holiday.Set(HolidayMark);
    CAlmxData& hidden = Add(Schedule("秘密の予定", Day(2024, 1, 15), Day(2024, 1, 15)));
    hidden.Set(HideInViews);
    request.startYear = request.endYear = 2024;
    request.startMonth = request.endMonth = 1;
    request.mobileFile = "m";
    request.mobileTop = "mtop";
    request.navi = false;
    settings.SetInt("HtmlExport", "BackColor", 0);
    ASSERT_TRUE(Write());
    const std::string page = Page("sch202401.html");
    // 2024/01/14 is a Sunday.
    EXPECT_NE(page.find("<div class=\"almxday day1 holiday\">\r\n14\r\n</div>"), std::string::npos);
    // Monday gets the substitute holiday computed for display.
    EXPECT_NE(page.find("<div class=\"almxday day2 holiday\">\r\n15\r\n</div>"), std::string::npos);
    EXPECT_NE(page.find("<div class=\"almxday day3\">\r\n16\r\n</div>"), std::string::npos);
    for (const char* name :
         {"sch202401.html", "m202401.html", "m202401body.html", "index.html", "mtop.html"}) {
        EXPECT_EQ(Page(name).find("秘密"), std::string::npos) << name;
    }
    EXPECT_EQ(page.find("<td style"), std::string::npos);
    EXPECT_NE(page.find("<td>"), std::string::npos);
    EXPECT_EQ(page.find("<table class=\"nav\">"), std::string::npos);
    EXPECT_NE(page.find("<p>\r\n<a href=\"index.html\">\r\n戻る\r\n</a>\r\n</p>"),
              std::string::npos);

    request.navi = true;
    settings.SetInt("HtmlExport", "BackColor", 1);
    ASSERT_TRUE(Write());
    const std::string withNavi = Page("sch202401.html");
    EXPECT_EQ(Count(withNavi, "<table class=\"nav\">"), 2u);
    EXPECT_EQ(Count(withNavi, "<td style=\"background-color: #"), 35u);
}

TEST_F(HtmlCalendarTest, NoBackLinkWithoutATopPage) {
    request.topName.clear();
    request.mobileFile = "m";
    request.startMonth = 12;
    request.endMonth = 1;
    ASSERT_TRUE(Write());
    EXPECT_FALSE(fs::exists(out / ".html"));
    for (const char* name : {"sch202312.html", "m202312.html", "m202312body.html"}) {
        const std::string page = Page(name);
        EXPECT_EQ(page.find("戻る"), std::string::npos) << name;
        EXPECT_EQ(page.find("\".html\""), std::string::npos) << name;
    }
}

TEST_F(HtmlCalendarTest, StyleSheetsTakeTheColourAndAMissingTemplateIsReported) {
    settings.SetString("HtmlExport", "CssColor", "#FF0000");
    ASSERT_TRUE(Write());
    for (const char* sheet : {"almxsch.css", "almxtop.css"}) {
        const std::string text = ReadFileBytes((out / sheet).string()).bytes;
        EXPECT_EQ(text.find("$color1"), std::string::npos) << sheet;
        EXPECT_EQ(Count(text, "#FF0000"),
                  Count(ReadFileBytes((kResources / sheet).string()).bytes, "$color1"))
            << sheet;
        EXPECT_GT(Count(text, "#FF0000"), 0u);
    }
    // A colour cannot close the rule and add its own.
    const std::optional<std::string> sheet =
        CHtmlGenerator::StyleSheet(kResources / "almxsch.css", "red;} body{background:url(x)");
    ASSERT_TRUE(sheet);
    EXPECT_NE(sheet->find("red bodybackgroundurl(x)"), std::string::npos);
    EXPECT_EQ(sheet->find("red;"), std::string::npos);

    fs::remove_all(out);
    fs::create_directory(out);
    CHtmlGenerator generator = Generator();
    FileWriter writer;
    EXPECT_TRUE(WriteHtmlPages(request, generator, dir / "nowhere", settings, prompter, writer));
    EXPECT_EQ(prompter.Shown(),
              (std::vector<std::string>{html_messages::kCssRead, html_messages::kCssRead}));
    EXPECT_TRUE(fs::exists(out / "sch202401.html"));
    EXPECT_FALSE(fs::exists(out / "almxsch.css"));

    settings.SetInt("HtmlExport", "CssOut", 0);
    fs::remove_all(out);
    fs::create_directory(out);
    ASSERT_TRUE(Write());
    EXPECT_FALSE(fs::exists(out / "almxsch.css"));
}

TEST_F(HtmlCalendarTest, HostileTextsAndNamesCannotBreakThePages) {
    Add(Schedule("<script>alert(\"x\")</script>&", Day(2024, 1, 9), Day(2024, 1, 9)));
    request.fileName = "my \"cal\" ";
    request.topName = "top#1";
    request.mobileFile = "m?";
    request.mobileTop = "<mt>";
    settings.SetString("HtmlExport", "ViewWidth", "640\"><script>x</script>");
    ASSERT_TRUE(Write());
    const std::string page = Page("my \"cal\" 202401.html");
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;"),
              std::string::npos);
    EXPECT_NE(page.find("href=\"my%20%22cal%22%20202312.html\""), std::string::npos);
    EXPECT_NE(page.find("href=\"top%231.html\""), std::string::npos);
    EXPECT_NE(page.find("content=\"width=640&quot;&gt;&lt;script&gt;x&lt;/script&gt;\""),
              std::string::npos);
    for (const char* name : {"m?202401.html", "m?202401body.html", "<mt>.html", "top#1.html"}) {
        const std::string other = Page(name);
        EXPECT_EQ(other.find("<script>"), std::string::npos) << name;
        EXPECT_EQ(other.find("<mt>"), std::string::npos) << name;
    }
    EXPECT_NE(Page("m?202401body.html").find("&lt;script&gt;"), std::string::npos);
    EXPECT_NE(Page("m?202401.html").find("HREF=\"m%3F202401body.html#9\""), std::string::npos);
    CHtmlGenerator generator = Generator();
    EXPECT_EQ(generator.CopyFragment(2024, 1).find("<script>"), std::string::npos);
}

TEST_F(HtmlCalendarTest, RefusedRequestsWriteNothing) {
    struct Case {
        void (*change)(HtmlMonthOutSettings&);
        const char* message;
    };
    const Case cases[] = {
        {[](HtmlMonthOutSettings& r) { r.fileName = "a/b"; }, html_messages::kBadName},
        {[](HtmlMonthOutSettings& r) { r.topName = ".."; }, html_messages::kBadName},
        {[](HtmlMonthOutSettings& r) { r.mobileTop = "."; }, html_messages::kBadName},
        {[](HtmlMonthOutSettings& r) { r.mobileFile = std::string("m\0x", 3); },
         html_messages::kBadName},
        {[](HtmlMonthOutSettings& r) { r.fileName = "a\nb"; }, html_messages::kBadName},
        {[](HtmlMonthOutSettings& r) { r.folder.clear(); }, html_messages::kNoFolder},
        {[](HtmlMonthOutSettings& r) {
             r.endYear = 2023;
             r.endMonth = 10;
         },
         html_messages::kBadEndDate},
        {[](HtmlMonthOutSettings& r) { r.endMonth = 13; }, html_messages::kBadEndDate},
        {[](HtmlMonthOutSettings& r) { r.startMonth = 0; }, html_messages::kBadStartDate},
    };
    for (const Case& c : cases) {
        HtmlMonthOutSettings saved = request;
        c.change(request);
        prompter = ScriptedPrompter();
        EXPECT_FALSE(Write());
        EXPECT_EQ(prompter.Shown(), std::vector<std::string>{c.message});
        EXPECT_EQ(FilesWritten(), 0u);
        request = saved;
    }
    EXPECT_EQ(settings.GetInt("HtmlMonthOut", "StartYear", 0), 0);
}

TEST_F(HtmlCalendarTest, MissingFolderIsCreatedOnlyWhenTheUserSaysSo) {
    request.folder = (dir / "a" / "b").string();
    out = dir / "a" / "b";
    prompter.Then(Answer::No);
    EXPECT_FALSE(Write());
    EXPECT_FALSE(fs::exists(dir / "a"));
    EXPECT_EQ(prompter.Shown(), std::vector<std::string>{html_messages::kCreateFolder});

    prompter.Then(Answer::Yes);
    EXPECT_TRUE(Write());
    EXPECT_TRUE(fs::exists(out / "sch202402.html"));

    // A file where the folder should be: nothing is written.
    std::ofstream(dir / "plain") << "x";
    request.folder = (dir / "plain" / "site").string();
    prompter = ScriptedPrompter();
    prompter.Then(Answer::Yes);
    EXPECT_FALSE(Write());
    EXPECT_EQ(prompter.Shown(), (std::vector<std::string>{html_messages::kCreateFolder,
                                                          html_messages::kCannotCreateFolder}));
}

TEST_F(HtmlCalendarTest, WriteFailuresAreReportedAndEndTheOutput) {
    FailingWriter writer;
    EXPECT_FALSE(Write(writer));
    ASSERT_EQ(prompter.Shown().size(), 1u);
    EXPECT_EQ(prompter.Shown()[0],
              std::string(html_messages::kWrite) + "\n" + (out / "sch202311.html").string());
    EXPECT_EQ(settings.GetInt("HtmlMonthOut", "StartYear", 0), 0);
}

TEST_F(HtmlCalendarTest, MobilePagesDeclareTheirCharsetAndLinkDaysWithEntries) {
    Add(Schedule("会議", At(2024, 1, 10, 10, 0), At(2024, 1, 10, 11, 0)));
    request.startMonth = 1;
    request.startYear = 2024;
    request.mobileFile = "m";
    request.mobileTop = "mtop";
    ASSERT_TRUE(Write());
    for (const char* name : {"m202401.html", "m202401body.html", "mtop.html"}) {
        EXPECT_EQ(Page(name).rfind("<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" "
                                   "CONTENT=\"text/html; charset=Shift_JIS\">",
                                   0),
                  0u)
            << name;
    }
    const std::string calendar = Page("m202401.html");
    EXPECT_NE(calendar.find("<A HREF=\"m202401body.html#10\">10</A>"), std::string::npos);
    EXPECT_EQ(calendar.find("#11\""), std::string::npos);
    EXPECT_NE(calendar.find("<A HREF=\"m202312.html\">前月</A>　<A HREF=\"m202402.html\">次月</A>"),
              std::string::npos);
    EXPECT_NE(calendar.find("<P ALIGN=\"CENTER\">\r\n<A HREF=\"mtop.html\">"), std::string::npos);
    const std::string body = Page("m202401body.html");
    EXPECT_NE(body.find("<A NAME=\"10\">"), std::string::npos);
    EXPECT_NE(body.find("会議"), std::string::npos);
    const std::string top = Page("mtop.html");
    EXPECT_LT(top.find("[2024年2月]"), top.find("[2024年1月]"));
    EXPECT_NE(top.find("<A HREF=\"m202505.html\">[2025年5月]</A>"), std::string::npos);
}

TEST_F(HtmlCalendarTest, SettingsRoundTripAndTheDialogRange) {
    HtmlExportSettings options;
    options.cssColor = "#112233";
    options.fontTag = false;
    options.Store(settings);
    const HtmlExportSettings back = HtmlExportSettings::Load(settings);
    EXPECT_EQ(back.cssColor, "#112233");
    EXPECT_FALSE(back.fontTag);
    EXPECT_EQ(back.viewWidth, "640");

    HtmlMonthOutSettings fields;
    fields.PresetRange(Day(2024, 1, 15));
    EXPECT_EQ(fields.startYear, 2023);
    EXPECT_EQ(fields.startMonth, 12);
    EXPECT_EQ(fields.endYear, 2024);
    EXPECT_EQ(fields.endMonth, 7);
    EXPECT_EQ(HtmlColour(0x0080FF), "#FF8000");
}

}  // namespace
}  // namespace almx::testing
