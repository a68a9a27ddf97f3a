#pragma once
// The diary's monthly HTML pages: a month calendar linking each day that has a diary to its
// text, the days newest first, written as Shift_JIS.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace almx {

class DiaryStore;
class FileWriter;
class Prompter;
struct HtmlMonthOutSettings;

struct DiaryPageStyle {
    std::uint32_t backColour = 0xFFFFFF;
    std::array<std::uint32_t, 7> weekdayColours{255, 0, 0, 0, 0, 0, 16711680};  // Sunday first
    std::array<std::string, 7> weekdayNames{"日", "月", "火", "水", "木", "金", "土"};
    bool startMonday = false;
};

namespace diary_html_msg {
inline constexpr const char* kAskCreateFolder = "フォルダを作成しますか？";
}

// The day's text as a page shows it: the heading dropped when the text starts with it (after
// blanks), escaped, paragraphs and line breaks marked.
std::string DiaryParagraphHtml(const std::string& text, const std::string& heading);

// One month's page, UTF-8.
std::string DiaryMonthPage(DiaryStore& store, int year, int month, const std::string& prefix,
                           const std::string& backUrl, const DiaryPageStyle& style);

// UTF-8 to Shift_JIS, a character Shift_JIS cannot hold written as a character reference.
std::string HtmlToShiftJis(const std::string& html);

// Every month of the request's range into its folder (offered for creation when missing);
// the first page's path, or nullopt when nothing was written.
std::optional<std::string> WriteDiaryPages(DiaryStore& store, const HtmlMonthOutSettings& request,
                                           const DiaryPageStyle& style, Prompter& prompter,
                                           FileWriter& writer);

}  // namespace almx
