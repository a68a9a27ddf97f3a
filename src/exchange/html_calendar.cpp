#include "exchange/html_calendar.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/month_grid.h"
#include "core/record.h"
#include "exchange/html_element.h"
#include "exchange/html_escape.h"
#include "text/encoding.h"

namespace almx {

namespace {

constexpr const char* kExportSection = "HtmlExport";
constexpr const char* kCharset = "<meta charset=\"Shift_JIS\">\r\n";
constexpr const char* kMobileCharset =
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">\r\n";

std::string MonthTitle(int year, int month) {
    char text[32];
    std::snprintf(text, sizeof text, "%d年%d月", year, month);
    return text;
}

// "[%d年%d月]", as the mobile top page lists the months.
std::string BracketedMonthTitle(int year, int month) {
    char text[40];
    std::snprintf(text, sizeof text, "[%d年%d月]", year, month);
    return text;
}

CHtmlElement Link(std::string_view text, std::string_view fileName, const char* tag = "a",
                  const char* attribute = "href", std::string_view fragment = {}) {
    CHtmlElement link(tag, HtmlEscape(text));
    std::string target = PercentEncodeName(fileName);
    if (!fragment.empty()) {
        target += '#';
        target += PercentEncodeName(fragment);
    }
    link.SetAttribute(attribute, target);
    return link;
}

CHtmlElement Parsed(std::string_view openingTag) {
    return *CHtmlElement::Parse(openingTag);
}

// Opens an element in newline mode; the position where its content starts.
std::size_t OpenElement(std::string& out, std::string_view openTag) {
    out += openTag;
    out += "\r\n";
    return out.size();
}

// Closes it as CHtmlElement::ToString does: CR LF unless the content already ends in one.
void CloseElement(std::string& out, std::size_t contentStart, std::string_view tag) {
    if (out.size() - contentStart < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) {
        out += "\r\n";
    }
    out += "</";
    out += tag;
    out += '>';
}

bool ValidMonth(int year, int month) {
    return year >= 1583 && year <= 9998 && month >= 1 && month <= 12;
}

}  // namespace

HtmlExportSettings HtmlExportSettings::Load(const SettingsStore& settings) {
    HtmlExportSettings s;
    s.fontTag = settings.GetInt(kExportSection, "FontTag", 1) != 0;
    s.color = settings.GetInt(kExportSection, "Color", 1) != 0;
    s.backColor = settings.GetInt(kExportSection, "BackColor", 1) != 0;
    s.cssOut = settings.GetInt(kExportSection, "CssOut", 1) != 0;
    s.cssColor = settings.GetString(kExportSection, "CssColor", "#669933");
    s.viewWidth = settings.GetString(kExportSection, "ViewWidth", "640");
    return s;
}

void HtmlExportSettings::Store(SettingsStore& settings) const {
    settings.SetInt(kExportSection, "FontTag", fontTag ? 1 : 0);
    settings.SetInt(kExportSection, "Color", color ? 1 : 0);
    settings.SetInt(kExportSection, "BackColor", backColor ? 1 : 0);
    settings.SetInt(kExportSection, "CssOut", cssOut ? 1 : 0);
    settings.SetString(kExportSection, "CssColor", cssColor);
    settings.SetString(kExportSection, "ViewWidth", viewWidth);
}

HtmlMonthOutSettings HtmlMonthOutSettings::Load(const SettingsStore& settings,
                                                const char* section) {
    HtmlMonthOutSettings s;
    s.folder = settings.GetString(section, "Folder", "");
    s.fileName = settings.GetString(section, "FileName", "");
    s.topName = settings.GetString(section, "TopName", "");
    s.backUrl = settings.GetString(section, "BackUrl", "");
    s.mobileFile = settings.GetString(section, "MobileFile", "");
    s.mobileTop = settings.GetString(section, "MobileTop", "");
    s.navi = settings.GetInt(section, "Navi", 1) != 0;
    return s;
}

void HtmlMonthOutSettings::Store(SettingsStore& settings, const char* section) const {
    settings.SetString(section, "Folder", folder);
    settings.SetString(section, "FileName", fileName);
    settings.SetString(section, "TopName", topName);
    settings.SetString(section, "BackUrl", backUrl);
    settings.SetString(section, "MobileFile", mobileFile);
    settings.SetString(section, "MobileTop", mobileTop);
    settings.SetInt(section, "Navi", navi ? 1 : 0);
    settings.SetInt(section, "StartYear", startYear);
    settings.SetInt(section, "StartMonth", startMonth);
    settings.SetInt(section, "EndYear", endYear);
    settings.SetInt(section, "EndMonth", endMonth);
}

void HtmlMonthOutSettings::PresetRange(const DateTime& today) {
    const DateTime start = today.PlusDays(-30);
    const DateTime end = today.PlusDays(180);
    startYear = start.Year();
    startMonth = start.Month();
    endYear = end.Year();
    endMonth = end.Month();
}

std::string HtmlColour(std::uint32_t colour) {
    std::string text;
    AppendHtmlColour(text, colour);
    return text;
}

void AppendHtmlColour(std::string& out, std::uint32_t colour) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '#';
    for (int shift : {0, 8, 16}) {
        const unsigned byte = (colour >> shift) & 0xFFu;
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0Fu];
    }
}

std::string MonthFileName(std::string_view prefix, int year, int month, std::string_view suffix) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d%02d", year, month);
    std::string name(prefix);
    name += digits;
    name += suffix;
    return name;
}

void StepMonth(int& year, int& month, int step) {
    month += step;
    while (month < 1) {
        month += 12;
        --year;
    }
    while (month > 12) {
        month -= 12;
        ++year;
    }
}

bool IsUsableFileName(std::string_view name) {
    if (name == "." || name == "..") return false;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

CHtmlGenerator::CHtmlGenerator(const DayCellSource& source, const SettingsStore& settings,
                               const Clock& clock, Prompter* fillPrompter)
    : source_(source),
      clock_(clock),
      fillPrompter_(fillPrompter),
      options_(HtmlExportSettings::Load(settings)),
      display_(DisplaySettings::Load(settings)),
      rules_(DisplayRules::FromSettings(settings)),
      cellSettings_(DayCellSettings::FromSettings(settings)),
      timeOverride_(settings.GetInt("View", "MonthViewTime", 0)) {
    rules_.todayLimit = display_.todayLimit;
}

DateTime CHtmlGenerator::Today() const {
    return almx::Today(clock_, display_.todayLimit);
}

void CHtmlGenerator::PrepareRange(int startYear, int startMonth, int endYear, int endMonth) {
    if (!ValidMonth(startYear, startMonth) || !ValidMonth(endYear, endMonth) ||
        endYear * 12 + endMonth < startYear * 12 + startMonth) {
        return;
    }
    // One fill over every month's grid: the months share most of their records' occurrences,
    // and a fill walks all records whatever its length.
    const int count = std::max(display_.CellCount(), 42);
    const DateTime first = GridStart(startYear, startMonth, display_.startMonday);
    const DateTime last = GridStart(endYear, endMonth, display_.startMonday);
    const long span = last.DayNumber() - first.DayNumber() + count;
    filled_ = false;
    if (span > kMaxDayCells) return;  // filled month by month instead
    if (!cells_.Fill(first, static_cast<int>(span), source_, cellSettings_, clock_,
                     fillPrompter_)) {
        return;
    }
    filled_ = true;
    filledGeneration_ = source_.records.Generation();
}

bool CHtmlGenerator::FillMonth(int year, int month) {
    if (!ValidMonth(year, month)) return false;
    // One fill serves the month page and both mobile pages of a month: the month view's grid,
    // and at least the six weeks any month needs.
    const int count = std::max(display_.CellCount(), 42);
    const DateTime first = GridStart(year, month, display_.startMonday);
    if (filled_ && filledGeneration_ == source_.records.Generation()) {
        const int index = cells_.IndexOf(first);
        if (index >= 0 && index + count <= cells_.Count()) {
            offset_ = index;
            shownYear_ = year;
            shownMonth_ = month;
            return true;
        }
    }
    filled_ = false;
    if (!cells_.Fill(first, count, source_, cellSettings_, clock_, fillPrompter_)) return false;
    filled_ = true;
    filledGeneration_ = source_.records.Generation();
    offset_ = 0;
    shownYear_ = year;
    shownMonth_ = month;
    return true;
}

std::uint32_t CHtmlGenerator::CellColour(const DayCell& cell) const {
    // What DayCellSet::ColourOtherMonths gives, without changing cells other months share.
    if (cell.date.Year() == shownYear_ && cell.date.Month() == shownMonth_) return cell.colour;
    if (!cellSettings_.otherMonthKeepsDayColours || cell.colour == cellSettings_.backColour) {
        return cellSettings_.otherColour;
    }
    return cell.colour;
}

void CHtmlGenerator::AppendCellContent(std::string& out, const DayCell& cell) {
    out += "<div class=\"almxday day";
    out += static_cast<char>('1' + cell.date.DayOfWeek());
    const std::size_t day = OpenElement(out, cell.HasHolidayEntry() ? " holiday\">" : "\">");
    const int dayOfMonth = cell.date.Day();
    out += static_cast<char>('0' + dayOfMonth / 10);
    out += static_cast<char>('0' + dayOfMonth % 10);
    CloseElement(out, day, "div");
    for (const CAlmxData* entry : cell.entries) {
        if (!DrawnInViews(*entry)) continue;
        std::size_t line;
        if (options_.color) {
            out += "<div style=\"color: ";
            AppendHtmlColour(out, DisplayColour(*entry, display_.holidayColor));
            line = OpenElement(out, ";\">");
        } else {
            line = OpenElement(out, "<div>");
        }
        // One scratch text for every entry: most of the time went to growing new ones.
        entryText_.clear();
        AppendEntryText(entryText_, *entry, cell.date, timeOverride_, rules_);
        AppendHtmlEscaped(out, entryText_);
        CloseElement(out, line, "div");
        out += "\r\n";
    }
}

std::string CHtmlGenerator::MonthTable(int year, int month) {
    std::string out;
    AppendMonthTable(out, year, month);
    return out;
}

void CHtmlGenerator::AppendMonthTable(std::string& out, int year, int month) {
    if (!FillMonth(year, month)) return;
    // Written straight into the page as CHtmlElement::ToString would write the elements: a
    // tree of small strings copied into each parent costs more than the pages themselves.
    const std::size_t table = OpenElement(out, "<table id=\"sch\">");
    const std::size_t heads = OpenElement(out, "<tr>");
    for (int column = 0; column < 7; ++column) {
        const std::size_t th = OpenElement(out, "<th>");
        AppendHtmlEscaped(out, display_.WeekdayName(ColumnWeekday(column, display_.startMonday)));
        CloseElement(out, th, "th");
    }
    CloseElement(out, heads, "tr");
    out += "\r\n";
    const int count = std::min(MonthCellCount(), display_.CellCount());
    for (int week = 0; week * 7 < count; ++week) {
        const std::size_t row = OpenElement(out, "<tr>");
        for (int column = 0; column < 7 && week * 7 + column < count; ++column) {
            const DayCell& cell = Cell(week * 7 + column);
            std::size_t td;
            if (options_.backColor) {
                out += "<td style=\"background-color: ";
                AppendHtmlColour(out, CellColour(cell));
                td = OpenElement(out, ";\">");
            } else {
                td = OpenElement(out, "<td>");
            }
            AppendCellContent(out, cell);
            CloseElement(out, td, "td");
        }
        CloseElement(out, row, "tr");
        out += "\r\n";
    }
    CloseElement(out, table, "table");
}

std::string CHtmlGenerator::NavigationTable(std::string_view prefix, int year, int month) {
    int prevYear = year, prevMonth = month, nextYear = year, nextMonth = month;
    StepMonth(prevYear, prevMonth, -1);
    StepMonth(nextYear, nextMonth, 1);
    CHtmlElement left = Parsed("<td class=\"left\">");
    left.AppendChild(Link("前の月へ", MonthFileName(prefix, prevYear, prevMonth)));
    CHtmlElement right = Parsed("<td class=\"right\">");
    right.AppendChild(Link("次の月へ", MonthFileName(prefix, nextYear, nextMonth)));
    CHtmlElement row("tr");
    row.AppendChild(left);
    row.AppendChild(right);
    CHtmlElement table = Parsed("<table class=\"nav\">");
    table.AppendChild(row);
    return table.ToString(true);
}

std::string CHtmlGenerator::MonthPage(std::string_view prefix, std::string_view topName, int year,
                                      int month, bool navi) {
    const std::string title = MonthTitle(year, month);
    CHtmlElement head("head", kCharset);
    head.AppendChild(CHtmlElement("title", title));
    std::string rest = "\r\n<meta name=\"viewport\" content=\"width=";
    AppendHtmlEscaped(rest, options_.viewWidth);
    rest += "\">\r\n";
    rest += "<link rel=\"stylesheet\" type=\"text/css\" href=\"almxsch.css\">\r\n";
    rest += "<style>\r\n";
    for (int weekday = 0; weekday < 7; ++weekday) {
        rest += ".day" + std::to_string(weekday + 1) +
                " {color:" + HtmlColour(display_.weekColors[static_cast<std::size_t>(weekday)]) +
                ";}\r\n";
    }
    rest += ".holiday {color:" + HtmlColour(display_.holidayColor) + "}\r\n";
    rest +=
        "div.almxday {margin-bottom: 0.5em;}\r\n"
        "#sch {     \r\n"
        "\twidth: 100%;\r\n"
        "\tborder-collapse: collapse;\r\n"
        "}          \r\n"
        "#sch th,#sch td {\r\n"
        "\tborder: 1px solid gray;\r\n"
        "\tpadding: 0.5em;\r\n"
        "\tvertical-align: top;\r\n"
        "\twidth: 14%;\r\n"
        "}          \r\n"
        "table.nav {\twidth: 100%;}\r\n"
        "table.nav td.left{\ttext-align: left;}\r\n"
        "table.nav td.right{\ttext-align: right;}\r\n"
        "</style>\r\n";
    head.AppendHtml(rest);

    // The html element holding head then body, the body written in place.
    std::string out = "<!DOCTYPE html>\r\n";
    out.reserve(1 << 16);
    const std::size_t html = OpenElement(out, "<html>");
    head.AppendTo(out, true);
    const std::size_t body = OpenElement(out, "<body>");
    CHtmlElement("h1", title).AppendTo(out, true);
    const std::string navigation = navi ? NavigationTable(prefix, year, month) : std::string();
    out += navigation;
    AppendMonthTable(out, year, month);
    out += navigation;
    if (!topName.empty()) {
        CHtmlElement("p", Link("戻る", std::string(topName) + ".html")).AppendTo(out, true);
    }
    CloseElement(out, body, "body");
    CloseElement(out, html, "html");
    return out;
}

std::string CHtmlGenerator::TopPage(std::string_view prefix, int startYear, int startMonth,
                                    int endYear, int endMonth) {
    const DateTime today = Today();
    CHtmlElement body("body");
    body.AppendChild(CHtmlElement("h1", "スケジュール"));
    body.AppendChild(CHtmlElement("p", Link(MonthTitle(today.Year(), today.Month()),
                                            MonthFileName(prefix, today.Year(), today.Month()))));
    CHtmlElement list("ul");
    for (int year = endYear, month = endMonth;
         year > startYear || (year == startYear && month >= startMonth);
         StepMonth(year, month, -1)) {
        list.AppendChild(
            CHtmlElement("li", Link(MonthTitle(year, month), MonthFileName(prefix, year, month))));
    }
    body.AppendChild(list);

    CHtmlElement head("head", kCharset);
    head.AppendChild(CHtmlElement("title", "スケジュール"));
    head.AppendHtml(
        "\r\n<meta name=\"viewport\" "
        "content=\"width=device-width,initial-scale=1,user-scalable=yes\">\r\n"
        "<style>\r\n"
        "</style>\r\n"
        "<link rel=\"stylesheet\" type=\"text/css\" href=\"almxtop.css\">");
    CHtmlElement html("html");
    html.AppendChild(head);
    html.AppendChild(body);
    return "<!DOCTYPE html>\r\n" + html.ToString(true);
}

std::string CHtmlGenerator::MobileNavigation(std::string_view prefix, int year, int month) {
    int prevYear = year, prevMonth = month, nextYear = year, nextMonth = month;
    StepMonth(prevYear, prevMonth, -1);
    StepMonth(nextYear, nextMonth, 1);
    std::string out =
        Link("前月", MonthFileName(prefix, prevYear, prevMonth), "A", "HREF").ToString(false);
    out += "　";
    out += Link("次月", MonthFileName(prefix, nextYear, nextMonth), "A", "HREF").ToString(false);
    out += "\r\n";
    return out;
}

std::string CHtmlGenerator::MobileCalendarBody(std::string_view prefix, std::string_view mobileTop,
                                               int year, int month, bool navi, bool backLink) {
    std::string body = CHtmlElement("B", MonthTitle(year, month) + "　").ToString(false);
    body += "\r\n";
    if (navi) body += MobileNavigation(prefix, year, month);

    const DateTime first = DateTime::FromDate(year, month, 1);
    const int lead = WeekdayColumn(first, display_.startMonday);
    const int days = DaysInMonth(year, month);
    const int weeks = (lead + days + 6) / 7;
    if (!FillMonth(year, month)) return {};
    const std::string bodyFile = MonthFileName(prefix, year, month, "body.html");

    body += "<PRE>\r\n";
    for (int column = 0; column < 7; ++column) {
        const int weekday = ColumnWeekday(column, display_.startMonday);
        const std::string colour =
            HtmlColour(display_.weekColors[static_cast<std::size_t>(weekday)]);
        CHtmlElement name(options_.fontTag ? "FONT" : "SPAN",
                          HtmlEscape(display_.WeekdayName(weekday)));
        if (options_.fontTag) {
            name.SetAttribute("COLOR", colour);
        } else {
            name.SetAttribute("style", "color: " + colour + ";");
        }
        if (column > 0) body += ' ';
        body += CHtmlElement("B", name.ToString(false)).ToString(false);
    }
    body += "\r\n";
    for (int week = 0; week < weeks; ++week) {
        for (int column = 0; column < 7; ++column) {
            if (column > 0) body += ' ';
            const DayCell& cell = Cell(week * 7 + column);
            if (cell.date.Month() != month) {
                body += "  ";
                continue;
            }
            char number[8];
            std::snprintf(number, sizeof number, "%2d", cell.date.Day());
            bool shown = false;
            for (const CAlmxData* entry : cell.entries) shown = shown || DrawnInViews(*entry);
            if (shown) {
                body += Link(number, bodyFile, "A", "HREF", std::to_string(cell.date.Day()))
                            .ToString(false);
            } else {
                body += number;
            }
        }
        body += "\r\n";
    }
    body += "</PRE>\r\n<HR>\r\n";
    if (backLink && !mobileTop.empty()) {
        CHtmlElement back = Parsed("<P ALIGN=\"CENTER\">");
        back.AppendChild(Link("戻る", std::string(mobileTop) + ".html", "A", "HREF"));
        body += back.ToString(true);
        body += "\r\n";
    }
    if (navi) body += MobileNavigation(prefix, year, month);
    return body;
}

std::string CHtmlGenerator::MobileMonth(std::string_view prefix, std::string_view mobileTop,
                                        int year, int month, bool navi) {
    CHtmlElement head("HEAD", kMobileCharset);
    head.AppendChild(CHtmlElement("TITLE", MonthTitle(year, month)));
    CHtmlElement html("HTML");
    html.AppendChild(head, true, true);
    html.AppendChild(
        CHtmlElement("BODY", MobileCalendarBody(prefix, mobileTop, year, month, navi, true)));
    return html.ToString(true);
}

std::string CHtmlGenerator::MobileBody(std::string_view mobileTop, int year, int month) {
    const DateTime first = DateTime::FromDate(year, month, 1);
    const int lead = WeekdayColumn(first, display_.startMonday);
    const int days = DaysInMonth(year, month);
    CHtmlElement head("HEAD", kMobileCharset);
    head.AppendChild(CHtmlElement("TITLE", MonthTitle(year, month)));
    // The HTML element holding HEAD (with a break after it) and BODY, the body written in place.
    std::string out;
    out.reserve(1 << 16);
    const std::size_t html = OpenElement(out, "<HTML>");
    head.AppendTo(out, true);
    out += "\r\n";
    const std::size_t body = OpenElement(out, "<BODY>");
    if (FillMonth(year, month)) {
        for (int day = 1; day <= days; ++day) {
            const DayCell& cell = Cell(lead + day - 1);
            bool shown = false;
            for (const CAlmxData* entry : cell.entries) shown = shown || DrawnInViews(*entry);
            if (!shown) continue;
            out += "<HR>\r\n";
            CHtmlElement anchor("A");
            anchor.SetAttribute("NAME", std::to_string(day));
            anchor.AppendTo(out, true);
            AppendCellContent(out, cell);
        }
    }
    if (!mobileTop.empty()) {
        CHtmlElement back = Parsed("<P ALIGN=\"CENTER\">");
        back.AppendChild(Link("戻る", std::string(mobileTop) + ".html", "A", "HREF"));
        back.AppendTo(out, true);
    }
    CloseElement(out, body, "BODY");
    CloseElement(out, html, "HTML");
    return out;
}

std::string CHtmlGenerator::MobileTopPage(std::string_view prefix, int startYear, int startMonth,
                                          int endYear, int endMonth) {
    const DateTime today = Today();
    CHtmlElement body("BODY");
    body.AppendChild(CHtmlElement("H1", "スケジュール"));
    body.AppendChild(Link(BracketedMonthTitle(today.Year(), today.Month()),
                          MonthFileName(prefix, today.Year(), today.Month()), "A", "HREF"),
                     false);
    body.AppendHtml("\r\n<P>\r\n");
    for (int year = endYear, month = endMonth;
         year > startYear || (year == startYear && month >= startMonth);
         StepMonth(year, month, -1)) {
        body.AppendChild(
            Link(BracketedMonthTitle(year, month), MonthFileName(prefix, year, month), "A", "HREF"),
            false);
        body.AppendHtml("<BR>\r\n");
    }
    CHtmlElement head("HEAD", kMobileCharset);
    head.AppendChild(CHtmlElement("TITLE", "スケジュール"));
    CHtmlElement html("HTML");
    html.AppendChild(head, true, true);
    html.AppendChild(body);
    return html.ToString(true);
}

std::string CHtmlGenerator::CopyFragment(int year, int month) {
    char title[32];
    std::snprintf(title, sizeof title, "%04d年%02d月", year, month);
    return std::string("<div style=\"text-align: center;font-weight: bold;\">") + title + "</DIV>" +
           MonthTable(year, month);
}

std::string CHtmlGenerator::MobileCopyFragment(std::string_view mobilePrefix, int year, int month) {
    return "<div style=\"text-align:center;\">" +
           MobileCalendarBody(mobilePrefix, {}, year, month, false, false) + "</div>";
}

std::optional<std::string> CHtmlGenerator::StyleSheet(const std::filesystem::path& templatePath,
                                                      std::string_view cssColor) {
    FileBytes file = ReadFileBytes(templatePath.string());
    if (file.status != ReadStatus::Complete) return std::nullopt;
    std::string text = std::move(file.bytes);
    // The colour goes into a style sheet: keep it to what a colour can hold.
    std::string colour;
    for (char c : cssColor) {
        if (c == '#' || c == '(' || c == ')' || c == ',' || c == '.' || c == '%' || c == ' ' ||
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            colour += c;
        }
    }
    std::string out;
    out.reserve(text.size());
    static constexpr std::string_view kPlaceholder = "$color1";
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(kPlaceholder, pos)) != std::string::npos;
         pos = hit + kPlaceholder.size()) {
        out.append(text, pos, hit - pos);
        out += colour;
    }
    out.append(text, pos, std::string::npos);
    return out;
}

namespace {

bool WritePage(const std::filesystem::path& path, const std::string& utf8, Prompter& prompter,
               FileWriter& writer) {
    if (SaveReplacing(path.string(), text::ToShiftJis(utf8), writer)) return true;
    prompter.ShowMessage(std::string(html_messages::kWrite) + "\n" + path.string(),
                         MessageKind::Error);
    return false;
}

}  // namespace

std::optional<std::filesystem::path> WriteHtmlPages(const HtmlMonthOutSettings& request,
                                                    CHtmlGenerator& generator,
                                                    const std::filesystem::path& templateFolder,
                                                    SettingsStore& settings, Prompter& prompter,
                                                    FileWriter& writer) {
    namespace fs = std::filesystem;
    for (const std::string* name :
         {&request.fileName, &request.topName, &request.mobileFile, &request.mobileTop}) {
        if (!IsUsableFileName(*name)) {
            prompter.ShowMessage(html_messages::kBadName, MessageKind::Warning);
            return std::nullopt;
        }
    }
    if (request.folder.empty() || request.folder.find('\0') != std::string::npos) {
        prompter.ShowMessage(html_messages::kNoFolder, MessageKind::Warning);
        return std::nullopt;
    }
    if (!ValidMonth(request.startYear, request.startMonth)) {
        prompter.ShowMessage(html_messages::kBadStartDate, MessageKind::Warning);
        return std::nullopt;
    }
    if (!ValidMonth(request.endYear, request.endMonth) ||
        request.endYear * 12 + request.endMonth < request.startYear * 12 + request.startMonth) {
        prompter.ShowMessage(html_messages::kBadEndDate, MessageKind::Warning);
        return std::nullopt;
    }

    const fs::path folder(request.folder);
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        if (fs::exists(folder, error) ||
            prompter.AskYesNo(html_messages::kCreateFolder) != Answer::Yes) {
            if (fs::exists(folder, error)) {
                prompter.ShowMessage(html_messages::kCannotCreateFolder, MessageKind::Error);
            }
            return std::nullopt;
        }
        fs::create_directories(folder, error);
        if (error || !fs::is_directory(folder, error)) {
            prompter.ShowMessage(html_messages::kCannotCreateFolder, MessageKind::Error);
            return std::nullopt;
        }
    }

    const fs::path firstPage =
        folder / MonthFileName(request.fileName, request.startYear, request.startMonth);
    generator.PrepareRange(request.startYear, request.startMonth, request.endYear,
                           request.endMonth);
    for (int year = request.startYear, month = request.startMonth;
         year * 12 + month <= request.endYear * 12 + request.endMonth; StepMonth(year, month, 1)) {
        if (!WritePage(
                folder / MonthFileName(request.fileName, year, month),
                generator.MonthPage(request.fileName, request.topName, year, month, request.navi),
                prompter, writer)) {
            return std::nullopt;
        }
        if (!request.mobileFile.empty()) {
            if (!WritePage(folder / MonthFileName(request.mobileFile, year, month),
                           generator.MobileMonth(request.mobileFile, request.mobileTop, year, month,
                                                 request.navi),
                           prompter, writer) ||
                !WritePage(folder / MonthFileName(request.mobileFile, year, month, "body.html"),
                           generator.MobileBody(request.mobileTop, year, month), prompter,
                           writer)) {
                return std::nullopt;
            }
        }
    }
    if (!request.topName.empty() &&
        !WritePage(folder / (request.topName + ".html"),
                   generator.TopPage(request.fileName, request.startYear, request.startMonth,
                                     request.endYear, request.endMonth),
                   prompter, writer)) {
        return std::nullopt;
    }
    if (!request.mobileTop.empty() &&
        !WritePage(folder / (request.mobileTop + ".html"),
                   generator.MobileTopPage(request.mobileFile, request.startYear,
                                           request.startMonth, request.endYear, request.endMonth),
                   prompter, writer)) {
        return std::nullopt;
    }
    if (generator.Options().cssOut) {
        for (const char* sheet : {kMonthStyleSheet, kTopStyleSheet}) {
            const std::optional<std::string> text =
                CHtmlGenerator::StyleSheet(templateFolder / sheet, generator.Options().cssColor);
            if (!text) {
                prompter.ShowMessage(html_messages::kCssRead, MessageKind::Error);
                continue;
            }
            if (!SaveReplacing((folder / sheet).string(), *text, writer)) {
                prompter.ShowMessage(
                    std::string(html_messages::kWrite) + "\n" + (folder / sheet).string(),
                    MessageKind::Error);
            }
        }
    }
    HtmlMonthOutSettings stored = request;
    stored.Store(settings);
    return firstPage;
}

}  // namespace almx
