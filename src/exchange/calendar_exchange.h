#pragma once
// The program's vCalendar and iCalendar commands without their windows: the file choosers'
// forms (titles, filters, initial names and folders, the settings they remember), the saving
// and importing with their messages.

#include <optional>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "exchange/vcalendar.h"

namespace almx {

class CAlmxData;
class CAlmxDoc;
class Prompter;
class SettingsStore;

namespace calendar_texts {
inline constexpr const char* kVcsTitle = "vCalenderファイル";
inline constexpr const char* kIcsTitle = "iCalenderファイル";
inline constexpr const char* kVcsSaveFilter = "vCalenderﾌｧｲﾙ(*.vcs) |*.vcs||";
inline constexpr const char* kIcsSaveFilter = "iCalenderﾌｧｲﾙ(*.ics) |*.ics||";
inline constexpr const char* kVcsOpenFilter = "vCalenderﾌｧｲﾙ(*.vcs) |*.vcs|全てのﾌｧｲﾙ(*.*) |*.*||";
inline constexpr const char* kIcsOpenFilter = "iCalenderﾌｧｲﾙ(*.ics) |*.ics|全てのﾌｧｲﾙ(*.*) |*.*||";
inline constexpr const char* kDefaultIcsName = "almx.ics";
inline constexpr const char* kRangeCaption = "iCalender形式で保存";
inline constexpr const char* kNoDataInRange = "この期間にデータがありません";
inline constexpr const char* kNoFileName = "ファイル名が入力されていません";
// Settings: sections and keys.
inline constexpr const char* kInitDir = "InitDir";
inline constexpr const char* kVcsExportKey = "vCalExport";
inline constexpr const char* kIcsExportKey = "iCalExport";
inline constexpr const char* kImportSection = "Import";
inline constexpr const char* kImportKey = "vCalender";
inline constexpr const char* kSystem = "System";
inline constexpr const char* kVcsToKey = "VcsTo";
}  // namespace calendar_texts

enum class CalendarFormat { VCalendar, ICalendar };

// The save dialog of either export.
class CCalendarSaveForm {
  public:
    CCalendarSaveForm(CalendarFormat format, SettingsStore& settings, Prompter& prompter);

    // The initial folder from the last path chosen; the initial name from the one entry's
    // title, or "almx.ics" for a set of entries (no title).
    void Preset(const std::optional<std::string>& entryTitle);
    // OK with the chosen path: refuses an empty name; adds the extension when the name has
    // none; stores the path and keeps it in path.
    bool Accept(const std::string& chosen);

    const char* Title() const;
    const char* Filter() const;
    const char* DefaultSuffix() const;
    CalendarFormat Format() const { return format_; }

    std::string folder;
    std::string fileName;
    std::string path;

  private:
    const char* Key() const;

    CalendarFormat format_;
    SettingsStore& settings_;
    Prompter& prompter_;
};

// The open dialog of either import; the last file is shared by both.
class CCalendarOpenForm {
  public:
    CCalendarOpenForm(CalendarFormat format, SettingsStore& settings, Prompter& prompter);

    void Preset();
    // OK: the path must name an existing file; stores it.
    bool Accept(const std::string& chosen);

    const char* Title() const;
    const char* Filter() const;
    const char* DefaultSuffix() const;

    std::string folder;
    std::string fileName;
    std::string path;

  private:
    CalendarFormat format_;
    SettingsStore& settings_;
    Prompter& prompter_;
};

// The range of the month view's iCalendar export: the selected day to "System"/"iCalSpan"
// days later (default 30); OK checks the dates and remembers the span.
class CICalRangeForm {
  public:
    CICalRangeForm(SettingsStore& settings, Prompter& prompter);

    void Preset(const DateTime& day);
    bool Accept();

    std::string startText;
    std::string endText;
    DateTime start;
    DateTime end;

  private:
    SettingsStore& settings_;
    Prompter& prompter_;
};

// Writes the iCalendar file of the records; false after the file message.
bool SaveICalendar(const std::vector<const CAlmxData*>& records, const std::string& path,
                   const CalendarStamp& stamp, Prompter& prompter);
// Writes the single-entry vCalendar file of the record selected on day; false after the file
// message.
bool SaveVCalendar(const CAlmxData& record, const DateTime& day, int todayLimit,
                   const std::string& path, const CalendarStamp& stamp, Prompter& prompter);

// Reads either format and appends every accepted entry to the document, then reports the
// counts (and the characters replaced by "?"). Refuses a read-only document. True when
// records were added.
bool ImportCalendarFile(CAlmxDoc& doc, const std::string& path, const DateTime& now,
                        Prompter& prompter);
}  // namespace almx
