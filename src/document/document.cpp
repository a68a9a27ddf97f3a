#include "document/document.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

#include "base/clock.h"
#include "base/csv_card.h"
#include "base/data_folders.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/entry_checks.h"
#include "calendar/holiday_updates.h"
#include "calendar/record_insert.h"
#include "calendar/recurrence.h"
#include "core/record_line.h"
#include "core/schedule_file_format.h"
#include "core/text_entry_check.h"
#include "document/document_messages.h"
#include "document/ftp_settings.h"
#include "document/schedule_file_reader.h"
#include "document/schedule_file_writer.h"
#include "links/link_actions.h"
#include "links/link_path.h"
#include "text/encoding.h"

namespace almx {

namespace fs = std::filesystem;
namespace msg = doc_messages;

namespace {

constexpr int kVersionOf2007Update = 410;

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code error;
    fs::path absolute = fs::absolute(fs::path(path), error);
    return error ? path : absolute.lexically_normal().string();
}

// A file dialog adds the default extension to a name without one.
std::string WithDefaultExtension(const std::string& path) {
    fs::path p(path);
    if (!p.has_extension() && !PathExists(path)) p += ".alx";
    return p.string();
}

// Once per read file, whatever the number of such lines.
void ReportMalformedRows(Prompter& prompter, const ScheduleFileScan& scan) {
    if (scan.malformedRows == 0) return;
    prompter.ShowMessage(
        msg::kMalformedRowsPrefix + std::to_string(scan.malformedRows) + msg::kMalformedRowsSuffix,
        MessageKind::Warning);
}

std::string_view TrimBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

}  // namespace

CAlmxDoc::CAlmxDoc(DocumentContext context) : context_(std::move(context)) {
    if (context_.computerName.empty()) context_.computerName = ComputerName();
    todoLeftDraw_ = context_.settings->GetInt("View", "TodoLeftDraw", 1) != 0;
    findCondition_ = SearchCondition::Load(*context_.settings, "System");
    Reset();
}

CAlmxDoc::~CAlmxDoc() = default;

void CAlmxDoc::Clear() {
    findRecord_ = nullptr;
    array_.Clear();
    RecordsChanged();
}

const RecordDateIndex& CAlmxDoc::DateIndex() const {
    if (indexedChanges_ != changes_ || !dateIndex_.Matches(array_.records)) {
        dateIndex_.Build(array_.records);
        indexedChanges_ = changes_;
    }
    return dateIndex_;
}

DayCellSource CAlmxDoc::FillSource() {
    return {array_.records, &array_.genres, &array_.dayProperties, &DateIndex()};
}

void CAlmxDoc::RecordsChanged() {
    // Counted first: the listener's views may fill at once.
    ++changes_;
    if (recordsListener_) recordsListener_(nullptr);
}

void CAlmxDoc::Remove(std::vector<std::unique_ptr<CAlmxData>> taken) {
    // A later record may get the freed address: the hit must not name it.
    for (const auto& record : taken) {
        if (record.get() == findRecord_) findRecord_ = nullptr;
    }
    ++changes_;
    if (taken.empty() || !recordsListener_) return;
    // One record is named, so views drop just it; many make every view look again.
    recordsListener_(taken.size() == 1 ? taken.front().get() : nullptr);
}

bool CAlmxDoc::CanChange() {
    if (!readOnly_) return true;
    context_.prompter->ShowMessage(kReadOnlyEditMessage, MessageKind::Warning);
    return false;
}

const CAlmxData* CAlmxDoc::AddRecord(CAlmxData record, bool sortByTime) {
    if (!CanChange()) return nullptr;
    const std::size_t index = InsertRecord(array_.records, std::move(record), sortByTime);
    modified_ = true;
    RecordsChanged();
    return &array_.records[index];
}

bool CAlmxDoc::AddRecords(std::vector<CAlmxData> records, bool sortByTime) {
    if (!CanChange()) return false;
    for (CAlmxData& record : records) InsertRecord(array_.records, std::move(record), sortByTime);
    modified_ = true;
    RecordsChanged();
    return true;
}

const CAlmxData* CAlmxDoc::ReplaceRecord(const CAlmxData* record, CAlmxData edited,
                                         bool sortByTime) {
    const std::size_t index = array_.IndexOf(record);
    if (index >= array_.records.size() || !CanChange()) return nullptr;
    const std::size_t now =
        almx::ReplaceRecord(array_.records, index, std::move(edited), sortByTime);
    modified_ = true;
    RecordsChanged();
    return &array_.records[now];
}

bool CAlmxDoc::RemoveRecord(const CAlmxData* record) {
    const std::size_t index = array_.IndexOf(record);
    if (index >= array_.records.size() || !CanChange()) return false;
    std::vector<std::unique_ptr<CAlmxData>> taken;
    taken.push_back(array_.records.Take(index));
    modified_ = true;
    Remove(std::move(taken));
    return true;
}

void CAlmxDoc::Reset() {
    lock_.Release();
    array_ = CAlmxArray();
    // Empty stays empty: the diary then uses the program's data folder, never the working
    // directory of the moment.
    array_.diaryFolder = context_.settings->GetString("Diary", "Dir", "");
    path_.clear();
    modified_ = false;
    readOnly_ = false;
    safetyBackup_.clear();
    ftp_ = FtpSettings();
    questionMarksTold_ = 0;
    findIndex_ = 0;
    findRecord_ = nullptr;
    findStarted_ = false;
    RecordsChanged();
}

int CAlmxDoc::TodayLimit() const {
    return context_.settings->GetInt("System", "TodayLimit", 0);
}

RecordDefaults CAlmxDoc::NewRecordDefaults() const {
    return RecordDefaults::FromSettings(*context_.settings);
}

bool CAlmxDoc::NewDocument() {
    Prompter& prompter = *context_.prompter;
    Reset();
    array_.genres =
        context_.applicationGenres ? *context_.applicationGenres : CAlmxFieldArray::General();
    if (prompter.AskYesNo(msg::kNewAskHolidays) != Answer::Yes) return true;

    const std::string templatePath =
        !context_.holidayTemplate.empty()
            ? context_.holidayTemplate
            : DataFile(context_.programFolder, msg::kTemplateName).string();
    FileBytes file = ReadFileBytes(templatePath);
    RowReadOptions options{NewRecordDefaults()};
    ScheduleFileScan scan;
    if (file.status == ReadStatus::Complete) {
        scan = ScanScheduleFileInto(file.bytes, array_, options);
    }
    RecordsChanged();
    if (file.status != ReadStatus::Complete || scan.layout != ScheduleLayout::Current) {
        Reset();
        prompter.ShowMessage(msg::kTemplateUnreadable, MessageKind::Error);
        return false;
    }
    HolidayUpdate2003(array_.records, options.defaults);
    HolidayUpdate2007(array_.records, options.defaults);
    // A new document follows the law as it stands, whatever the template's age.
    if (array_.version < CAlmxArray::kCurrentVersion) {
        HolidayUpdate2016(array_.records, options.defaults);
    }
    array_.version = CAlmxArray::kCurrentVersion;
    HolidayUpdate2020(array_.records, options.defaults);
    RecordsChanged();
    prompter.ShowMessage(msg::kNewHint);
    return true;
}

bool CAlmxDoc::AskPassword(const std::string& password) {
    Prompter& prompter = *context_.prompter;
    while (true) {
        std::optional<std::string> entered = prompter.AskPassword(msg::kPasswordPrompt);
        if (!entered) return false;
        if (*entered == password) return true;
        // A character the file cannot hold is named, not reported as a wrong password.
        if (!CheckRepresentable(prompter, {{entry_label::kPassword, *entered}})) continue;
        prompter.ShowMessage(msg::kWrongPassword, MessageKind::Error);
    }
}

void CAlmxDoc::ReadOnlyNotice(const char* text) {
    context_.prompter->ShowMessage(std::string(text) + "\n" + msg::kReadOnlyHelp,
                                   MessageKind::Warning);
}

bool CAlmxDoc::SharedFile() const {
    return context_.settings->GetInt("System", "SharedFile", 0) != 0;
}

// A crash must not leave one's own file read-only for ever: a lock of ours whose program has
// ended on this computer is offered for removal.
bool CAlmxDoc::RemoveAbandonedLockIfWanted(const std::string& path) {
    std::optional<LockFileLines> lock = AbandonedOwnLock(path, context_.computerName);
    if (!lock) return false;
    const std::string question =
        msg::kAbandonedLockPrefix + lock->taken + msg::kAbandonedLockSuffix;
    if (context_.prompter->AskYesNo(question) != Answer::Yes) return false;
    return RemoveAbandonedLock(path, *lock);
}

bool CAlmxDoc::Open(const std::string& rawPath) {
    Prompter& prompter = *context_.prompter;
    SettingsStore& settings = *context_.settings;
    const std::string path = AbsolutePath(rawPath);
    Reset();
    modified_ = true;

    RowReadOptions options{NewRecordDefaults()};
    ScheduleFileRead read;
    try {
        // Read a block at a time: the file's bytes are never held beside its records.
        read = ReadScheduleFileInto(path, array_, options);
    } catch (const std::bad_alloc&) {
        read.status = ReadStatus::CannotOpen;
    }
    if (read.status == ReadStatus::CannotOpen) {
        Reset();
        prompter.ShowMessage(msg::kCannotOpen, MessageKind::Error);
        return false;
    }
    const ScheduleFileScan& scan = read.scan;
    RecordsChanged();
    const bool incomplete = read.status == ReadStatus::Partial || !scan.complete;
    if (incomplete) prompter.ShowMessage(msg::kNotReadToEnd, MessageKind::Warning);
    // The older layouts are refused: their rows are not known well enough to convert them.
    if (scan.layout != ScheduleLayout::Current) {
        Reset();
        prompter.ShowMessage(msg::kNotOurFormat, MessageKind::Error);
        return false;
    }
    ReportMalformedRows(prompter, scan);

    bool offered2003 = false;
    if (settings.GetInt("System", "HolidayChangeFlag1", 0) == 0) {
        settings.SetInt("System", "HolidayChangeFlag1", 1);
        HolidayUpdate2003(array_.records, options.defaults);
        offered2003 = true;
    }
    bool updated = false;
    if (array_.version < kVersionOf2007Update) {
        updated |= HolidayUpdate2007(array_.records, options.defaults);
    }
    if (array_.version < CAlmxArray::kCurrentVersion) {
        updated |= HolidayUpdate2016(array_.records, options.defaults);
    }
    array_.version = CAlmxArray::kCurrentVersion;
    updated |= HolidayUpdate2020(array_.records, options.defaults);
    if (updated || offered2003) RecordsChanged();

    if (!array_.password.empty() && !AskPassword(array_.password)) {
        Reset();
        return false;
    }
    if (array_.genres.Empty()) {
        array_.genres =
            context_.applicationGenres ? *context_.applicationGenres : CAlmxFieldArray::General();
    }
    path_ = path;
    settings.SetString("System", "DefaultFile", path);
    settings.SetString("System", "OpenFile", path);
    if (LoadFtpSettings(FtpSettingsPath(path), ftp_) == FtpSettingsLoad::Malformed) {
        prompter.ShowMessage(msg::kFtpSettingsUnreadable, MessageKind::Warning);
    }
    // Changes made by an update must reach the file, or every open would make them again.
    modified_ = offered2003 || updated;

    // What could not be read would be lost by the next save: keep a copy of the file first.
    if (incomplete || scan.invalidSequences > 0 || scan.malformedRows > 0) {
        if (std::optional<std::string> copy = CopyToUntouchedBackup(path)) {
            safetyBackup_ = *copy;
            prompter.ShowMessage(msg::kUntouchedCopy + *copy, MessageKind::Warning);
        } else {
            prompter.ShowMessage(msg::kBackupFailed, MessageKind::Error);
            readOnly_ = true;
        }
    }

    if (IsReadOnlyFile(path)) {
        readOnly_ = true;
        ReadOnlyNotice(msg::kReadOnlyAttribute);
    } else if (lock_.HeldByOther(path) && !RemoveAbandonedLockIfWanted(path)) {
        readOnly_ = true;
        ReadOnlyNotice(msg::kInUse);
    } else if (SharedFile()) {
        lock_.Take(path, context_.clock->Now(), context_.computerName);
    }
    return true;
}

bool CAlmxDoc::SaveTo(const std::string& rawPath) {
    Prompter& prompter = *context_.prompter;
    const std::string path = AbsolutePath(rawPath);
    if (IsReadOnlyFile(path) || lock_.HeldByOther(path) || (readOnly_ && path == path_)) {
        prompter.ShowMessage(msg::kSaveReadOnly, MessageKind::Error);
        return false;
    }
    // Under a new name the new file is locked before it is written, and the old one's lock
    // goes only once the save has succeeded.
    FileLock newLock;
    if (path != path_ && SharedFile() &&
        !newLock.Take(path, context_.clock->Now(), context_.computerName)) {
        if (newLock.HeldByOther(path)) {
            prompter.ShowMessage(msg::kSaveReadOnly, MessageKind::Error);
            return false;
        }
    }
    if (commitMemos && !commitMemos()) return false;
    if (beforeSave) beforeSave();
    // Written block by block as it is made: the file's bytes are never held whole.
    std::size_t unrepresentable = 0;
    const ByteMaker make = [&](const ByteSink& sink) {
        return WriteScheduleFileBlocks(array_, sink, unrepresentable);
    };
    if (!SaveWithBackupStreamed(path, make, *writer_)) {
        prompter.ShowMessage(msg::kCannotWrite, MessageKind::Error);
        return false;
    }
    if (path != path_) lock_ = std::move(newLock);
    // Settings made before the file had a name, or kept by "save as", go beside the new file.
    if (path != path_ && !ftp_.IsEmpty() && !SaveFtpSettings(FtpSettingsPath(path), ftp_)) {
        prompter.ShowMessage(msg::kFtpSettingsNotWritten, MessageKind::Error);
    }
    // Told once: the automatic save must not repeat the same news every minute.
    if (unrepresentable > questionMarksTold_) {
        prompter.ShowMessage(SavedAsQuestionMarksMessage(unrepresentable), MessageKind::Warning);
        questionMarksTold_ = unrepresentable;
    }
    modified_ = false;
    context_.settings->SetString("System", "DefaultFile", path);
    lastSave_ = context_.clock->Now();
    // A file of our own under a new name is no longer read-only.
    if (path != path_) readOnly_ = false;
    path_ = path;
    return true;
}

bool CAlmxDoc::Save() {
    if (!path_.empty() && !modified_) return true;
    std::string target = path_;
    if (target.empty()) {
        std::optional<std::string> chosen =
            context_.prompter->ChooseFile(msg::kSaveCaption, msg::kFileFilter, true);
        if (!chosen || chosen->empty()) return false;
        target = WithDefaultExtension(*chosen);
    }
    return SaveTo(target);
}

bool CAlmxDoc::Close() {
    if (!snoozeList_.empty() && context_.prompter->AskYesNo(msg::kCloseWithSnooze) != Answer::Yes) {
        return false;
    }
    lock_.Release();
    return true;
}

DeleteOutcome CAlmxDoc::DeleteRecord(const CAlmxData* record, const DateTime& day) {
    Prompter& prompter = *context_.prompter;
    if (!array_.Contains(record)) {
        prompter.ShowMessage(msg::kCannotDeleteComputed, MessageKind::Warning);
        return DeleteOutcome::Refused;
    }
    if (!CanChange()) return DeleteOutcome::Refused;
    CAlmxData& target = array_.records[array_.IndexOf(record)];
    if (target.IsRecurring()) {
        int button =
            prompter.AskButtons(msg::kRepeatDeleteCaption, msg::kRepeatDeleteQuestion,
                                {msg::kDeleteThisDay, msg::kDeleteAll, msg::kCancelButton});
        if (!array_.Contains(record)) return DeleteOutcome::Cancelled;
        if (button == 0) {
            // A time before the day change is shown on the day before its calendar date.
            DateTime excepted = day.Date();
            if (target.Has(StartTimeSet) && target.start.Hour() < TodayLimit()) {
                excepted = excepted.PlusDays(1);
            }
            target.exceptions.push_back(CDaySpan::FromDates(excepted, excepted));
            ++changes_;
            modified_ = true;
            return DeleteOutcome::DayExcepted;
        }
        if (button != 1) return DeleteOutcome::Cancelled;
    }
    if (prompter.AskYesNo(target.title + msg::kDeleteQuestionSuffix) != Answer::Yes) {
        return DeleteOutcome::Cancelled;
    }
    // The questions ran the event loop: the record must still be ours.
    if (!array_.Contains(record)) return DeleteOutcome::Cancelled;
    if (!target.linkFile.empty() && target.linkFile.find("://") == std::string::npos) {
        std::string question = msg::kDeleteLinkPrefix + target.linkFile + msg::kDeleteLinkSuffix;
        if (prompter.AskYesNo(question) == Answer::Yes) {
            DeleteLinkedFile(context_.trash, prompter, target.linkFile, path_);
        }
    }
    if (!RemoveRecord(record)) return DeleteOutcome::Cancelled;
    return DeleteOutcome::Deleted;
}

bool CAlmxDoc::ImportCommand() {
    if (!CanChange()) return false;
    std::optional<std::string> chosen =
        context_.prompter->ChooseFile(msg::kImportCaption, msg::kFileFilter, false);
    if (!chosen || chosen->empty()) return false;
    return ImportFile(WithDefaultExtension(*chosen)) >= 0;
}

int CAlmxDoc::ImportFile(const std::string& path) {
    if (!CanChange()) return -1;
    if (commitMemos && !commitMemos()) return -1;
    Prompter& prompter = *context_.prompter;
    FileBytes file = ReadFileBytes(path);
    if (file.status == ReadStatus::CannotOpen) {
        prompter.ShowMessage(msg::kCannotOpenImport, MessageKind::Error);
        return -1;
    }
    // Everything an abort must put back.
    const std::size_t firstNew = array_.records.size();
    const DayPropertyMap oldProperties = array_.dayProperties;
    const CAlmxFieldArray oldGenres = array_.genres;
    const std::vector<CMemoData> oldPages = array_.memoPages;
    auto undo = [&] {
        std::vector<std::unique_ptr<CAlmxData>> appended = array_.records.TakeFrom(firstNew);
        array_.dayProperties = oldProperties;
        array_.genres = oldGenres;
        array_.memoPages = oldPages;
        // Genres and day properties went back too: every view looks again.
        RecordsChanged();
    };

    std::string importedPassword;
    RowReadOptions options{NewRecordDefaults(), false, &importedPassword};
    bool addedOther = false;
    ScheduleFileScan scan;
    try {
        scan = ScanScheduleFileInto(file.bytes, array_, options, [&](int kind) {
            addedOther |= kind == RowDayProperty || kind == RowGenre || kind == RowMemoPage;
        });
    } catch (const std::bad_alloc&) {
        undo();
        prompter.ShowMessage(msg::kCannotOpenImport, MessageKind::Error);
        return -1;
    }
    RecordsChanged();
    if (file.status == ReadStatus::Partial || !scan.complete) {
        prompter.ShowMessage(msg::kNotReadToEnd, MessageKind::Warning);
    }
    if (scan.header.At(0) != kScheduleHeaderFirstCell) {
        undo();
        prompter.ShowMessage(msg::kImportOldLayout, MessageKind::Error);
        return -1;
    }
    ReportMalformedRows(prompter, scan);
    const int genreCount = static_cast<int>(array_.genres.Count());
    for (std::size_t i = firstNew; i < array_.records.size(); ++i) {
        const int genre = array_.records[i].genre;
        if (genre < 0 || genre >= genreCount) {
            undo();
            prompter.ShowMessage(msg::kImportUndefinedGenre, MessageKind::Error);
            return -1;
        }
    }
    if (!importedPassword.empty() && !AskPassword(importedPassword)) {
        undo();
        return -1;
    }
    const int added = static_cast<int>(array_.records.size() - firstNew);
    char text[128];
    std::snprintf(text, sizeof text, msg::kImportedCount, added);
    prompter.ShowMessage(text);
    if (added > 0 || addedOther) modified_ = true;
    return added;
}

bool CAlmxDoc::SetPasswordCommand() {
    if (!CanChange()) return false;
    Prompter& prompter = *context_.prompter;
    if (!array_.password.empty()) {
        std::optional<std::string> old = prompter.AskText(msg::kOldPassword, "");
        if (!old) return false;
        if (!CheckRepresentable(prompter, {{entry_label::kPassword, *old}})) return false;
        if (*old != array_.password) {
            prompter.ShowMessage(msg::kPasswordMismatch, MessageKind::Error);
            return false;
        }
    }
    std::optional<std::string> entered = prompter.AskText(msg::kNewPassword, "");
    if (!entered) return false;
    // Saved as "?", such a password could never be entered again.
    if (!CheckRepresentable(prompter, {{entry_label::kPassword, *entered}})) return false;
    array_.password = *entered;
    prompter.ShowMessage(std::string(msg::kPasswordSetPrefix) + *entered + msg::kPasswordSetSuffix);
    modified_ = true;
    return true;
}

bool CAlmxDoc::PasteOntoDate(std::string_view clipboardText, const DateTime& day) {
    if (!CanChange()) return false;
    std::optional<CAlmxData> record;
    if (clipboardText.find(',') != std::string_view::npos) {
        std::string line(clipboardText);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        line += '\n';
        TCard cells;
        cells.Parse(line);
        // Only a record line is taken as a row: a clipboard must not set the password, the
        // document values, genres, day properties or memo pages.
        if (cells.Count() == kRecordCells && (cells.At(0) == "0" || cells.At(0) == "1")) {
            CAlmxData parsed(NewRecordDefaults());
            if (!ParseRecordLine(cells, parsed)) return false;
            record = std::move(parsed);
        }
    }
    if (!record) {
        std::string_view title = TrimBlanks(clipboardText);
        if (title.empty()) return false;
        CAlmxData made(NewRecordDefaults());
        made.title = TextFromCell(title);
        made.start = made.end = context_.clock->Now();
        record = std::move(made);
    }
    // The clipboard is Unicode: what the file cannot hold becomes "?" now, and the user hears
    // of it, rather than silently at the next save.
    std::size_t replaced = 0;
    for (std::string* field : {&record->title, &record->place, &record->memo, &record->linkFile}) {
        text::SjisEncoding encoded = text::Utf8ToShiftJis(*field);
        if (encoded.Complete()) continue;
        replaced += encoded.unrepresentable.size();
        *field = text::FromShiftJis(encoded.bytes);
    }
    if (replaced > 0) {
        context_.prompter->ShowMessage(
            msg::kPasteReplacedPrefix + std::to_string(replaced) + msg::kPasteReplacedSuffix,
            MessageKind::Warning);
    }
    MoveToDate(*record, day);
    array_.records.push_back(std::move(*record));
    modified_ = true;
    RecordsChanged();
    return true;
}

bool CAlmxDoc::Sort(SortKey key, SortOrder order) {
    if (!CanChange()) return false;
    SortRecords(array_.records, key, order);
    modified_ = true;
    RecordsChanged();
    return true;
}

int CAlmxDoc::DeleteOldSchedules(const DateTime& lastDay) {
    if (!CanChange()) return -1;
    const DateTime limit = lastDay.Date();
    std::vector<std::unique_ptr<CAlmxData>> removed = array_.records.TakeIf(
        [&](const CAlmxData& r) { return !r.Has(IsTodo) && r.end.Date() <= limit; });
    const int count = static_cast<int>(removed.size());
    modified_ = true;
    Remove(std::move(removed));
    return count;
}

DateTime CAlmxDoc::OldSchedulesPreset() const {
    return Today(*context_.clock, TodayLimit()).PlusDays(-90);
}

const CAlmxData* CAlmxDoc::FindFrom(std::size_t index, int step) {
    const RecordList& records = array_.records;
    const SearchMatcher matcher(findCondition_);
    findRecord_ = nullptr;
    for (std::size_t i = index; i < records.size(); i += step) {
        if (matcher.Matches(records[i])) {
            findIndex_ = i;
            findRecord_ = &records[i];
            break;
        }
        if (step < 0 && i == 0) break;
    }
    return findRecord_;
}

const CAlmxData* CAlmxDoc::Find() {
    findStarted_ = true;
    findIndex_ = 0;
    return FindFrom(0, 1);
}

const CAlmxData* CAlmxDoc::FindNext() {
    if (!findStarted_) return Find();
    return FindFrom(findIndex_ + 1, 1);
}

const CAlmxData* CAlmxDoc::FindPrevious() {
    const std::size_t size = array_.records.size();
    if (!findStarted_) {
        findStarted_ = true;
        findIndex_ = 0;
        return size == 0 ? (findRecord_ = nullptr) : FindFrom(size - 1, -1);
    }
    // Removals may have left the remembered index past the end.
    if (findIndex_ == 0 || size == 0) {
        findRecord_ = nullptr;
        return nullptr;
    }
    return FindFrom(std::min(findIndex_ - 1, size - 1), -1);
}

const CAlmxData* CAlmxDoc::FindHit() const {
    return array_.records.Contains(findRecord_) ? findRecord_ : nullptr;
}

bool CAlmxDoc::ExtendGenresFor(int genre) {
    return array_.genres.ExtendTo(genre);
}

}  // namespace almx
