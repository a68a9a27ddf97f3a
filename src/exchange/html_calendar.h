#pragma once
// The published calendar: month pages, the top page, their mobile forms, the style sheets and
// the copy fragments, built from the day cells as the month view lists them, and the output
// command that writes them all into a folder.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_io.h"
#include "calendar/day_cells.h"
#include "core/display_settings.h"
#include "core/record_display.h"

namespace almx {

class Clock;
class Prompter;
class SettingsStore;

namespace html_messages {
inline constexpr const char* kCreateFolder = "フォルダを作成しますか？";
inline constexpr const char* kCannotCreateFolder = "出力先フォルダが作成できません";
inline constexpr const char* kNoFolder = "出力先フォルダを指定してください";
inline constexpr const char* kBadEndDate = "正しい終了日付を入力してください";
inline constexpr const char* kBadStartDate = "正しい開始日付を入力してください";
inline constexpr const char* kBadName = "ファイル名に使えない文字が含まれています";
inline constexpr const char* kCssRead = "CSSファイル読み込みエラー";
inline constexpr const char* kWrite = "ファイルの書込に失敗しました";
}  // namespace html_messages

inline constexpr const char* kMonthStyleSheet = "almxsch.css";
inline constexpr const char* kTopStyleSheet = "almxtop.css";

// Section "HtmlExport".
struct HtmlExportSettings {
    bool fontTag = true;
    bool color = true;
    bool backColor = true;
    bool cssOut = true;
    std::string cssColor = "#669933";
    std::string viewWidth = "640";

    static HtmlExportSettings Load(const SettingsStore& settings);
    void Store(SettingsStore& settings) const;
};

// Section "HtmlMonthOut": the output dialog's fields.
struct HtmlMonthOutSettings {
    std::string folder;
    std::string fileName;
    std::string topName;
    std::string backUrl;
    std::string mobileFile;
    std::string mobileTop;
    bool navi = true;
    int startYear = 0;
    int startMonth = 0;
    int endYear = 0;
    int endMonth = 0;

    // The texts and "Navi"; the range stays zero (the dialog presets it).
    // section: "HtmlMonthOut", or "HtmlDiary" for the diary's pages.
    static HtmlMonthOutSettings Load(const SettingsStore& settings,
                                     const char* section = "HtmlMonthOut");
    // Every field, the range included.
    void Store(SettingsStore& settings, const char* section = "HtmlMonthOut") const;
    // The range the dialog opens with: the month of today less 30 days through the month of
    // today plus 180 days.
    void PresetRange(const DateTime& today);
};

// "#" and the colour 0x00BBGGRR as six upper-case digits, red first.
std::string HtmlColour(std::uint32_t colour);
void AppendHtmlColour(std::string& out, std::uint32_t colour);
// prefix + "%04d%02d" + suffix (".html" or "body.html").
std::string MonthFileName(std::string_view prefix, int year, int month,
                          std::string_view suffix = ".html");
// The month before or after, across the year.
void StepMonth(int& year, int& month, int step);

class CHtmlGenerator {
  public:
    CHtmlGenerator(const DayCellSource& source, const SettingsStore& settings, const Clock& clock,
                   Prompter* fillPrompter = nullptr);

    // Fills the day cells of every month from start to end at once, so that the pages of
    // those months need no fill of their own. Optional: any month is filled when asked for.
    void PrepareRange(int startYear, int startMonth, int endYear, int endMonth);

    // The month's table with id "sch", over the month view's grid.
    std::string MonthTable(int year, int month);
    void AppendMonthTable(std::string& out, int year, int month);
    std::string MonthPage(std::string_view prefix, std::string_view topName, int year, int month,
                          bool navi);
    // Months from the end back to the start.
    std::string TopPage(std::string_view prefix, int startYear, int startMonth, int endYear,
                        int endMonth);
    std::string MobileMonth(std::string_view prefix, std::string_view mobileTop, int year,
                            int month, bool navi);
    std::string MobileBody(std::string_view mobileTop, int year, int month);
    std::string MobileTopPage(std::string_view prefix, int startYear, int startMonth, int endYear,
                              int endMonth);
    // The copy commands' texts.
    std::string CopyFragment(int year, int month);
    std::string MobileCopyFragment(std::string_view mobilePrefix, int year, int month);

    // The template with every "$color1" replaced; nullopt when it cannot be read.
    static std::optional<std::string> StyleSheet(const std::filesystem::path& templatePath,
                                                 std::string_view cssColor);

    const HtmlExportSettings& Options() const { return options_; }

  private:
    // Points Cell() at the month's grid, filling the cells unless they hold it already. The
    // generator lives for one command: day colours changed meanwhile are not seen.
    bool FillMonth(int year, int month);
    // The i-th cell of the grid of the month FillMonth chose, and how many there are.
    const DayCell& Cell(int index) const { return cells_[offset_ + index]; }
    int MonthCellCount() const { return cells_.Count() - offset_; }
    // The cell's colour in that month's grid (other months' days coloured as the view does).
    std::uint32_t CellColour(const DayCell& cell) const;
    // The heading div and the entry divs of a cell, as a td holds them.
    void AppendCellContent(std::string& out, const DayCell& cell);
    std::string NavigationTable(std::string_view prefix, int year, int month);
    std::string MobileCalendarBody(std::string_view prefix, std::string_view mobileTop, int year,
                                   int month, bool navi, bool backLink);
    std::string MobileNavigation(std::string_view prefix, int year, int month);
    DateTime Today() const;

    DayCellSource source_;
    const Clock& clock_;
    Prompter* fillPrompter_;
    int mode_ = 0;  // 0: day headings carry class names
    HtmlExportSettings options_;
    DisplaySettings display_;
    DisplayRules rules_;
    DayCellSettings cellSettings_;
    int timeOverride_ = 0;
    DayCellSet cells_;
    std::string entryText_;  // scratch
    bool filled_ = false;
    std::uint64_t filledGeneration_ = 0;
    int offset_ = 0;  // first cell of the chosen month's grid
    int shownYear_ = 0;
    int shownMonth_ = 0;
};

// The writer of the pages: a page is made again from the document at any time, so it is put
// in place without waiting for the disk (the old page stays whole until the rename).
class PageWriter : public FileWriter {
  public:
    bool Sync(int) override { return true; }
    void SyncFolderOf(const std::string&) override {}
};

// The output command after its dialog: checks the names, the folder and the range, creates the
// folder when asked, writes every file (month pages, mobile pages, top pages, style sheets from
// templateFolder) and records the range. The working folder is never changed. The path of the
// first month page, or nullopt when the output was refused or failed (the message shown).
std::optional<std::filesystem::path> WriteHtmlPages(const HtmlMonthOutSettings& request,
                                                    CHtmlGenerator& generator,
                                                    const std::filesystem::path& templateFolder,
                                                    SettingsStore& settings, Prompter& prompter,
                                                    FileWriter& writer);

// Why a name from the dialog cannot be a file name ("/", NUL, control characters, "." or
// ".."), or nullopt when it can.
bool IsUsableFileName(std::string_view name);

}  // namespace almx
