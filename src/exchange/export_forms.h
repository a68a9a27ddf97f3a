#pragma once
// The checks and settings of the export dialog and the text copy dialog; the Qt dialogs only
// bind their controls to these.

#include <string>

#include "base/date_time.h"

namespace almx {

class Prompter;
class SettingsStore;

namespace export_form_texts {
inline constexpr const char* kExportCaption = "エクスポート";
inline constexpr const char* kCalendarButton = "ｶﾚﾝﾀﾞ";
inline constexpr const char* kBrowseButton = "...";
inline constexpr const char* kIncludeHidden = "非表示スケジュールもエクスポートする(&N)";
inline constexpr const char* kBadStart = "正しい開始日付を入力してください";
inline constexpr const char* kBadEnd = "正しい終了日付を入力してください";
inline constexpr const char* kNoFileName = "ファイル名が入力されていません";
inline constexpr const char* kFileTitle = "エクスポートファイル";
inline constexpr const char* kFileFilter = "CSVﾌｧｲﾙ(*.CSV) |*.CSV||";
inline constexpr const char* kCalendarCaption = "カレンダー";

inline constexpr const char* kTextCopyCaption = "テキストコピー";
inline constexpr const char* kWithYear = "年を入れる(&Y)";
inline constexpr const char* kWithWeekday = "曜日を入れる(&D)";
inline constexpr const char* kTextCopyNote =
    "この範囲のスケジュールがクリップボードにテキストでコピーされます。メール本文等に貼り付けてくだ"
    "さい。";
inline constexpr const char* kDayTextCopy = "この日の予定をテキストコピー";
}  // namespace export_form_texts

// The date the calendar picker opens on for a text box: its date, or today.
DateTime PickerDate(const std::string& text, const DateTime& today);

// Whole days from start to end, 0 when the end is earlier (the span offered next time).
int SpanDays(const DateTime& start, const DateTime& end);

// The start and end checks both dialogs share; false after the message.
bool CheckRange(const std::string& startText, const std::string& endText, Prompter& prompter,
                DateTime& start, DateTime& end);

class CExportCsvForm {
  public:
    CExportCsvForm(SettingsStore& settings, Prompter& prompter);

    // Start = now, end = now + "ExportSpan" days; the file name and the check box from the
    // settings.
    void Preset(const DateTime& now);
    // OK: checks in order, stops at the first failure; on success stores "ExportFile" and
    // "ExportNoView" and the span, and fills start and end.
    bool Accept();

    std::string startText;
    std::string endText;
    std::string fileName;
    bool includeHidden = false;
    DateTime start;
    DateTime end;

  private:
    SettingsStore& settings_;
    Prompter& prompter_;
};

class CTextCopyForm {
  public:
    CTextCopyForm(SettingsStore& settings, Prompter& prompter);

    // Start = now, end = now + "TextCopySpan" days; the check boxes from "TextCopy".
    void Preset(const DateTime& now);
    // OK: the range checks; on success stores the check boxes and the span.
    bool Accept();
    // Year + 2 × weekday, the text export's options.
    int Options() const { return (withYear ? 1 : 0) + (withWeekday ? 2 : 0); }

    std::string startText;
    std::string endText;
    bool withYear = false;
    bool withWeekday = true;
    DateTime start;
    DateTime end;

  private:
    SettingsStore& settings_;
    Prompter& prompter_;
};

// The day text copy's options from the settings.
int DayTextCopyOptions(const SettingsStore& settings);

}  // namespace almx
