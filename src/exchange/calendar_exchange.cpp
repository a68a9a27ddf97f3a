#include "exchange/calendar_exchange.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/file_io.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "document/document_messages.h"
#include "exchange/csv_import.h"
#include "exchange/export_forms.h"
#include "exchange/text_file.h"

namespace almx {

namespace t = calendar_texts;
namespace fs = std::filesystem;

namespace {

// The folder a stored path stands for: the path itself when it is a folder, else its parent.
std::string FolderOf(const std::string& stored) {
    if (stored.empty()) return {};
    std::error_code error;
    if (fs::is_directory(stored, error)) return stored;
    return fs::path(stored).parent_path().string();
}

std::string WithSuffix(const std::string& chosen, const char* suffix) {
    if (fs::path(chosen).has_extension()) return chosen;
    return chosen + "." + suffix;
}

}  // namespace

CCalendarSaveForm::CCalendarSaveForm(CalendarFormat format, SettingsStore& settings,
                                     Prompter& prompter)
    : format_(format), settings_(settings), prompter_(prompter) {}

const char* CCalendarSaveForm::Key() const {
    return format_ == CalendarFormat::VCalendar ? t::kVcsExportKey : t::kIcsExportKey;
}

const char* CCalendarSaveForm::Title() const {
    return format_ == CalendarFormat::VCalendar ? t::kVcsTitle : t::kIcsTitle;
}

const char* CCalendarSaveForm::Filter() const {
    return format_ == CalendarFormat::VCalendar ? t::kVcsSaveFilter : t::kIcsSaveFilter;
}

const char* CCalendarSaveForm::DefaultSuffix() const {
    return format_ == CalendarFormat::VCalendar ? "vcs" : "ics";
}

void CCalendarSaveForm::Preset(const std::optional<std::string>& entryTitle) {
    folder = FolderOf(settings_.GetString(t::kInitDir, Key(), ""));
    if (entryTitle) {
        fileName = CalendarFileName(*entryTitle, DefaultSuffix());
    } else {
        fileName = t::kDefaultIcsName;
    }
    path.clear();
}

bool CCalendarSaveForm::Accept(const std::string& chosen) {
    std::error_code error;
    if (chosen.empty() || fs::path(chosen).filename().empty() || fs::is_directory(chosen, error)) {
        prompter_.ShowMessage(t::kNoFileName, MessageKind::Warning);
        return false;
    }
    path = WithSuffix(chosen, DefaultSuffix());
    settings_.SetString(t::kInitDir, Key(), path);
    return true;
}

CCalendarOpenForm::CCalendarOpenForm(CalendarFormat format, SettingsStore& settings,
                                     Prompter& prompter)
    : format_(format), settings_(settings), prompter_(prompter) {}

const char* CCalendarOpenForm::Title() const {
    return format_ == CalendarFormat::VCalendar ? t::kVcsTitle : t::kIcsTitle;
}

const char* CCalendarOpenForm::Filter() const {
    return format_ == CalendarFormat::VCalendar ? t::kVcsOpenFilter : t::kIcsOpenFilter;
}

const char* CCalendarOpenForm::DefaultSuffix() const {
    return format_ == CalendarFormat::VCalendar ? "vcs" : "ics";
}

void CCalendarOpenForm::Preset() {
    const std::string last = settings_.GetString(t::kImportSection, t::kImportKey, "");
    folder = FolderOf(last);
    std::error_code error;
    fileName = fs::is_directory(last, error) ? std::string() : fs::path(last).filename().string();
    path.clear();
}

bool CCalendarOpenForm::Accept(const std::string& chosen) {
    if (chosen.empty()) {
        prompter_.ShowMessage(t::kNoFileName, MessageKind::Warning);
        return false;
    }
    std::error_code error;
    if (!fs::is_regular_file(chosen, error)) {
        prompter_.ShowMessage(CVeltaFileException(file_messages::kOpen, chosen).what(),
                              MessageKind::Error);
        return false;
    }
    path = chosen;
    settings_.SetString(t::kImportSection, t::kImportKey, path);
    return true;
}

CICalRangeForm::CICalRangeForm(SettingsStore& settings, Prompter& prompter)
    : settings_(settings), prompter_(prompter) {}

void CICalRangeForm::Preset(const DateTime& day) {
    const DateTime first = day.Date();
    const DateTime last = DateTime::FromDate(kMaxYear, 12, 31);
    const int span = std::max(0, settings_.GetInt(t::kSystem, "iCalSpan", 30));
    startText = FormatDate(first);
    endText = FormatDate(span >= DateDifference(first, last) ? last : first.PlusDays(span));
}

bool CICalRangeForm::Accept() {
    if (!CheckRange(startText, endText, prompter_, start, end)) return false;
    settings_.SetInt(t::kSystem, "iCalSpan", SpanDays(start, end));
    return true;
}

bool SaveICalendar(const std::vector<const CAlmxData*>& records, const std::string& path,
                   const CalendarStamp& stamp, Prompter& prompter) {
    std::string why;
    if (WriteCalendarFile(path, ICalendarText(records, stamp), why)) return true;
    prompter.ShowMessage(why, MessageKind::Error);
    return false;
}

bool SaveVCalendar(const CAlmxData& record, const DateTime& day, int todayLimit,
                   const std::string& path, const CalendarStamp& stamp, Prompter& prompter) {
    std::string why;
    if (WriteCalendarFile(path, VCalendarText(record, day, todayLimit, stamp), why)) return true;
    prompter.ShowMessage(why, MessageKind::Error);
    return false;
}

bool ImportCalendarFile(CAlmxDoc& doc, const std::string& path, const DateTime& now,
                        Prompter& prompter) {
    if (!doc.CanChange()) return false;
    const FileBytes file = ReadFileBytes(path);
    if (file.status != ReadStatus::Complete) {
        const char* reason =
            file.status == ReadStatus::CannotOpen ? file_messages::kOpen : file_messages::kRead;
        prompter.ShowMessage(CVeltaFileException(reason, path).what(), MessageKind::Error);
        prompter.ShowMessage(import_messages::kFailed, MessageKind::Error);
        return false;
    }
    CalendarImport result = ReadCalendar(file.bytes, now);
    if (!result.hadComponents) {
        prompter.ShowMessage(import_messages::kFailed, MessageKind::Error);
        return false;
    }
    const RecordDefaults defaults = doc.NewRecordDefaults();
    for (CAlmxData& record : result.records) record.alarmMode = defaults.alarmMode;
    const bool added = result.accepted > 0 && doc.AddRecords(std::move(result.records), false);
    prompter.ShowMessage(CalendarImportMessage(result));
    if (result.replaced > 0) {
        prompter.ShowMessage(std::string(doc_messages::kPasteReplacedPrefix) +
                             std::to_string(result.replaced) + doc_messages::kPasteReplacedSuffix);
    }
    return added;
}
}  // namespace almx
