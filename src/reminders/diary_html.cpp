#include "reminders/diary_html.h"

#include <cstdio>
#include <filesystem>

#include "base/date_time.h"
#include "base/file_io.h"
#include "base/prompter.h"
#include "exchange/html_calendar.h"
#include "exchange/html_element.h"
#include "exchange/html_escape.h"
#include "reminders/diary_store.h"
#include "text/encoding.h"

namespace fs = std::filesystem;

namespace almx {

namespace {

constexpr const char* kCharset = "<meta charset=\"Shift_JIS\">\r\n";

std::string ReplaceAll(const std::string& text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos;
         pos = hit + from.size())
        out.append(text, pos, hit - pos).append(to);
    out.append(text, pos);
    return out;
}

CHtmlElement Element(const char* tag,
                     std::initializer_list<std::pair<const char*, std::string>> attributes,
                     std::string content = {}) {
    CHtmlElement element(tag, std::move(content));
    for (const auto& [name, value] : attributes) element.SetAttribute(name, value);
    return element;
}

std::string Heading(int year, int month, int day) {
    const DateTime date = DateTime::FromDate(year, month, day);
    return std::to_string(month) + "月 " + std::to_string(day) + "日(" +
           kWeekdayNames[date.DayOfWeek()] + ")";
}

std::string Anchor(int year, int month, int day) {
    char name[40];
    std::snprintf(name, sizeof name, "%04d%02d%02d", year, month, day);
    return name;
}

}  // namespace

std::string DiaryParagraphHtml(const std::string& text, const std::string& heading) {
    std::string body = text;
    const std::size_t first = body.find_first_not_of(" \t\n\r　");
    if (!heading.empty() && first != std::string::npos &&
        body.compare(first, heading.size(), heading) == 0)
        body.erase(0, first + heading.size());
    body = HtmlEscape(ReplaceAll(body, "\r\n", "\n"));
    body = ReplaceAll(body, "\n\n", "<P>");
    body = ReplaceAll(body, "\n", "<BR>\r\n");
    return ReplaceAll(body, "<P>", "<P>\r\n\r\n");
}

std::string DiaryMonthPage(DiaryStore& store, int year, int month, const std::string& prefix,
                           const std::string& backUrl, const DiaryPageStyle& style) {
    int prevYear = year, prevMonth = month, nextYear = year, nextMonth = month;
    StepMonth(prevYear, prevMonth, -1);
    StepMonth(nextYear, nextMonth, 1);
    const int days = DaysInMonth(year, month);

    // The left cell: the month calendar.
    CHtmlElement left = Element("TD", {{"WIDTH", "30%"}, {"ALIGN", "left"}, {"VALIGN", "top"}});
    left.AppendChild(Element("H3", {{"ALIGN", "center"}},
                             std::to_string(year) + "年" + std::to_string(month) + "月"));
    CHtmlElement navRow("TR");
    navRow.AppendChild(
        Element("TD", {{"ALIGN", "left"}},
                Element("A", {{"HREF", MonthFileName(prefix, prevYear, prevMonth)}}, "前の月へ")
                    .ToString(false)));
    navRow.AppendChild(
        Element("TD", {{"ALIGN", "right"}},
                Element("A", {{"HREF", MonthFileName(prefix, nextYear, nextMonth)}}, "次の月へ")
                    .ToString(false)));
    CHtmlElement nav = Element("TABLE", {{"BORDER", "0"}, {"WIDTH", "100%"}});
    nav.AppendChild(navRow);
    left.AppendChild(nav);

    CHtmlElement calendar = Element("TABLE", {{"BORDER", "1"}, {"WIDTH", "98%"}});
    CHtmlElement header("TR");
    const int firstWeekday = style.startMonday ? 1 : 0;
    for (int column = 0; column < 7; ++column) {
        const int weekday = (firstWeekday + column) % 7;
        CHtmlElement font = Element("FONT", {{"COLOR", HtmlColour(style.weekdayColours[weekday])}},
                                    HtmlEscape(style.weekdayNames[weekday]));
        header.AppendChild(Element(
            "TD", {{"WIDTH", "14%"}, {"VALIGN", "top"}, {"BGCOLOR", HtmlColour(style.backColour)}},
            CHtmlElement("B", font.ToString(false)).ToString(false)));
    }
    calendar.AppendChild(header);
    const int offset = (DateTime::FromDate(year, month, 1).DayOfWeek() - firstWeekday + 7) % 7;
    for (int row = 0; row < 6; ++row) {
        CHtmlElement line("TR");
        for (int column = 0; column < 7; ++column) {
            const int day = row * 7 + column - offset + 1;
            std::string content = "　";
            if (day >= 1 && day <= days) {
                content = std::to_string(day);
                if (store.HasDiary(DateTime::FromDate(year, month, day)))
                    content = Element("A", {{"HREF", "#" + Anchor(year, month, day)}}, content)
                                  .ToString(false);
            }
            line.AppendChild(CHtmlElement("TD", content), false);
        }
        calendar.AppendChild(line);
    }
    left.AppendChild(calendar);

    // The right cell: the days, newest first.
    CHtmlElement right = Element("TD", {{"WIDTH", "70%"}, {"ALIGN", "left"}, {"VALIGN", "top"}});
    for (int day = days; day >= 1; --day) {
        const DateTime date = DateTime::FromDate(year, month, day);
        if (!store.HasDiary(date)) continue;
        const std::string heading = Heading(year, month, day);
        right.AppendChild(Element("A", {{"NAME", Anchor(year, month, day)}},
                                  CHtmlElement("H3", HtmlEscape(heading)).ToString(false)));
        const DiaryDay text = store.Load(date);
        right.AppendChild(CHtmlElement("P", DiaryParagraphHtml(text.text, heading)));
    }
    right.AppendChild(Element("P", {{"ALIGN", "CENTER"}},
                              Element("A", {{"HREF", backUrl}}, "戻る").ToString(false)));

    CHtmlElement row("TR");
    row.AppendChild(left);
    row.AppendChild(right);
    CHtmlElement table = Element("TABLE", {{"BORDER", "1"}, {"WIDTH", "100%"}});
    table.AppendChild(row);
    CHtmlElement body("BODY");
    body.AppendChild(table);
    CHtmlElement html("HTML");
    html.AppendChild(CHtmlElement("HEAD", kCharset));
    html.AppendChild(body);
    return html.ToString();
}

std::string HtmlToShiftJis(const std::string& html) {
    text::SjisEncoding whole = text::Utf8ToShiftJis(html);
    if (whole.Complete()) return std::move(whole.bytes);
    std::string out;
    for (std::size_t pos = 0; pos < html.size();) {
        const std::size_t length = std::max<std::size_t>(1, text::Utf8CharLength(html, pos));
        const std::string_view one(html.data() + pos, length);
        text::SjisEncoding part = text::Utf8ToShiftJis(one);
        if (part.Complete()) {
            out += part.bytes;
        } else if (text::Utf8CharLength(html, pos) > 0) {
            const auto utf32 = text::Convert(one, "UTF-8", "UTF-32LE");
            unsigned code = 0xFFFD;
            if (utf32 && utf32->size() == 4)
                code = static_cast<unsigned char>((*utf32)[0]) |
                       static_cast<unsigned char>((*utf32)[1]) << 8 |
                       static_cast<unsigned char>((*utf32)[2]) << 16;
            out += "&#" + std::to_string(code) + ";";
        } else {
            out += "?";
        }
        pos += length;
    }
    return out;
}

std::optional<std::string> WriteDiaryPages(DiaryStore& store, const HtmlMonthOutSettings& request,
                                           const DiaryPageStyle& style, Prompter& prompter,
                                           FileWriter& writer) {
    const fs::path folder = request.folder.empty() ? fs::path(".") : fs::path(request.folder);
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        if (prompter.AskYesNo(diary_html_msg::kAskCreateFolder) != Answer::Yes) return std::nullopt;
        if (!fs::create_directories(folder, error) && !fs::is_directory(folder, error)) {
            prompter.ShowMessage(diary_msg::kFolderNotCreated, MessageKind::Error);
            return std::nullopt;
        }
    }
    int year = request.startYear, month = request.startMonth;
    const int last = request.endYear * 12 + request.endMonth;
    std::optional<std::string> first;
    while (year * 12 + month <= last && year <= 9998) {
        const std::string path = (folder / MonthFileName(request.fileName, year, month)).string();
        const std::string page =
            DiaryMonthPage(store, year, month, request.fileName, request.backUrl, style);
        if (!SaveReplacing(path, HtmlToShiftJis(page), writer)) {
            prompter.ShowMessage(diary_msg::kSaveFailed, MessageKind::Error);
            return first;
        }
        if (!first) first = path;
        StepMonth(year, month, 1);
    }
    return first;
}

}  // namespace almx
