#pragma once
// CAlmxDoc: one schedule file in memory, and every command that creates, opens, saves, closes
// or changes it as a whole. The user is asked and told through the Prompter, settings come
// from the SettingsStore and "now" from the Clock.

#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"
#include "base/file_io.h"
#include "base/prompter.h"
#include "calendar/day_cells.h"
#include "calendar/record_date_index.h"
#include "core/record_array.h"
#include "core/record_sort.h"
#include "core/search_condition.h"
#include "document/file_lock.h"
#include "document/ftp_settings.h"

namespace almx {

class Clock;
class FileTrash;
class SettingsStore;

struct DocumentContext {
    SettingsStore* settings = nullptr;
    Prompter* prompter = nullptr;
    const Clock* clock = nullptr;
    // The application's genre list (from the legacy genre file); nullptr: "一般" alone.
    const CAlmxFieldArray* applicationGenres = nullptr;
    // The program's folder, which holds the holiday template.
    std::string programFolder;
    // The holiday template's path when it is not "holiday.alx" in the program's folder.
    std::string holidayTemplate;
    // Written into the lock file; empty: this machine's name.
    std::string computerName;
    // Where a record's linked file goes when it is deleted with the record.
    FileTrash* trash = nullptr;
};

enum class DeleteOutcome {
    Deleted,      // the record is gone
    DayExcepted,  // one day of a recurring record was excepted
    Cancelled,
    Refused,  // not a record of the document (an entry computed for display)
};

class CAlmxDoc {
  public:
    explicit CAlmxDoc(DocumentContext context);
    ~CAlmxDoc();
    CAlmxDoc(const CAlmxDoc&) = delete;
    CAlmxDoc& operator=(const CAlmxDoc&) = delete;

    // The framework's "new": asks whether to set the holidays from the template. False when
    // the template could not be read (the document stays empty).
    bool NewDocument();
    // False when the file could not be opened, is no schedule file, or the password prompt
    // was cancelled; the document is then empty and has no path.
    bool Open(const std::string& path);
    // Writes the document to the path, keeping the previous file as its ".bak". False when
    // the target is read-only or locked, or writing failed (the old file is then untouched).
    // Saving under a new name moves the lock to the new file.
    bool SaveTo(const std::string& path);
    // The save command: nothing to do for an unmodified document with a path; asks for a path
    // when there is none.
    bool Save();
    // Asks about postponed reminders, then releases the lock. False: the document stays open.
    bool Close();
    // Deletes the records, day properties, genres and memo pages.
    void Clear();

    // Told at once of every change of the record container, on success and on every failure
    // path, before anything else can run (a message box runs the event loop, and views paint
    // in it). removed: a record taken out of the container, still alive during the call and
    // freed right after; nullptr: the container changed, every record held must be looked up
    // again.
    void SetRecordsListener(std::function<void(const CAlmxData* removed)> listener) {
        recordsListener_ = std::move(listener);
    }

    // Counts the changes of the records, container or contents. Everything that edits a
    // record in place outside the document's own commands (a to-do ticked done, genres
    // renumbered, a link set) calls RecordsEdited afterwards.
    std::uint64_t Changes() const { return changes_; }
    void RecordsEdited() { ++changes_; }
    // The records by date as they are now, rebuilt on first use after a change.
    const RecordDateIndex& DateIndex() const;
    // What a fill of day cells reads from this document, with the date index.
    DayCellSource FillSource();

    // The one guard of every change: a read-only document says so and refuses.
    bool CanChange();

    // Container changes (nothing happens and nullptr / false comes back for a read-only
    // document). A new record goes where InsertRecord puts it.
    const CAlmxData* AddRecord(CAlmxData record, bool sortByTime);
    bool AddRecords(std::vector<CAlmxData> records, bool sortByTime);
    // Puts the edited record in the place of the one given, which keeps its address; nullptr
    // when that is no record of the document.
    const CAlmxData* ReplaceRecord(const CAlmxData* record, CAlmxData edited, bool sortByTime);
    // Removes the record without a question (cut, the to-do list's delete).
    bool RemoveRecord(const CAlmxData* record);

    // The record (as the view found it) and the day it was chosen on.
    DeleteOutcome DeleteRecord(const CAlmxData* record, const DateTime& day);
    // 取り込み: asks for a file, then ImportFile.
    bool ImportCommand();
    // Appends another schedule file's records, genres, memo pages and day properties. The
    // number of records appended, or -1 when nothing was imported.
    int ImportFile(const std::string& path);
    // The password command. True when a new password was set.
    bool SetPasswordCommand();
    // Pastes the clipboard's text (a record line, or any text as a title) onto the day.
    bool PasteOntoDate(std::string_view clipboardText, const DateTime& day);
    bool Sort(SortKey key, SortOrder order);
    // Removes every schedule (not to-dos) ending on or before the day; returns how many, or -1
    // when the document is read-only.
    int DeleteOldSchedules(const DateTime& lastDay);
    // The date the delete-old-schedules dialog starts with: today minus 90 days.
    DateTime OldSchedulesPreset() const;
    // Extends the genre list so that a record's genre number exists, for numbers from 0 to
    // kMaxGenreIndex only. Returns whether the genre exists afterwards.
    bool ExtendGenresFor(int genre);

    // The schedule search. The condition is read from "System" when the document is made;
    // the dialog writes it back there.
    SearchCondition& FindCondition() { return findCondition_; }
    const SearchCondition& FindCondition() const { return findCondition_; }
    // Searches from the first record (after the find dialog's "開始"); the hit or nullptr.
    const CAlmxData* Find();
    // From the record after (before) the last hit; before any Find from the first (last)
    // record. The remembered index is not moved by later changes, only kept in the container.
    const CAlmxData* FindNext();
    const CAlmxData* FindPrevious();
    // The last hit while it is still a record of the document, else nullptr.
    const CAlmxData* FindHit() const;
    std::size_t FindIndex() const { return findIndex_; }
    // The search list takes the find dialog's condition when this is set (32941).
    bool FindHandOver() const { return findHandOver_; }
    void SetFindHandOver(bool pending) { findHandOver_ = pending; }

    // Messages met while views filled their cells, shown once each while the document is open.
    NoticeCollector& FillNotices() { return fillNotices_; }
    // Shows the messages the fills kept since the last call.
    void ShowFillNotices() { fillNotices_.ShowPending(*context_.prompter); }

    // Defaults of a new record ("Alerm", "AlermMode").
    RecordDefaults NewRecordDefaults() const;

    CAlmxArray& Array() { return array_; }
    const CAlmxArray& Array() const { return array_; }
    RecordList& Records() { return array_.records; }
    const RecordList& Records() const { return array_.records; }
    const std::string& Path() const { return path_; }
    bool IsModified() const { return modified_; }
    void SetModified(bool modified = true) { modified_ = modified; }
    bool IsReadOnly() const { return readOnly_; }
    const FileLock& Lock() const { return lock_; }
    // A list: entries keep their addresses while a check fires them.
    std::list<CAlmxSnoozeData>& SnoozeList() { return snoozeList_; }
    const DateTime& LastSaveTime() const { return lastSave_; }
    bool TodoLeftDraw() const { return todoLeftDraw_; }
    // The upload settings read from ".ftpset" at open; "ftp設定" writes them back.
    FtpSettings& Ftp() { return ftp_; }
    const FtpSettings& Ftp() const { return ftp_; }
    // The copy made of a file that could not be read whole, when the last open made one.
    const std::string& SafetyBackup() const { return safetyBackup_; }

    // Tests make saving fail part way through this.
    void SetFileWriter(FileWriter* writer) { writer_ = writer ? writer : &defaultWriter_; }
    // Called before the document is written (the memo view commits its edits).
    std::function<void()> beforeSave;
    // The memo view's edits into the memo list, before a save and before an import; false
    // (after its message) stops the save or the import.
    std::function<bool()> commitMemos;

  private:
    void Reset();
    // Tells the listener that the container changed.
    void RecordsChanged();
    // Takes the records out, tells the listener of each, then frees them.
    void Remove(std::vector<std::unique_ptr<CAlmxData>> taken);
    bool AskPassword(const std::string& password);
    void ReadOnlyNotice(const char* text);
    bool RemoveAbandonedLockIfWanted(const std::string& path);
    bool SharedFile() const;
    int TodayLimit() const;
    // Searches from index on (backwards when step is -1) and remembers the hit.
    const CAlmxData* FindFrom(std::size_t index, int step);

    DocumentContext context_;
    CAlmxArray array_;
    std::string path_;
    bool modified_ = false;
    bool readOnly_ = false;
    FileLock lock_;
    std::list<CAlmxSnoozeData> snoozeList_;
    DateTime lastSave_ = DateTime::Invalid();
    bool todoLeftDraw_ = true;
    std::string safetyBackup_;
    FtpSettings ftp_;
    // Characters a save wrote as "?" that the user has been told of.
    std::size_t questionMarksTold_ = 0;
    FileWriter defaultWriter_;
    FileWriter* writer_ = &defaultWriter_;
    std::function<void(const CAlmxData*)> recordsListener_;
    std::uint64_t changes_ = 0;
    // Built lazily for the value of changes_ it names.
    mutable RecordDateIndex dateIndex_;
    mutable std::uint64_t indexedChanges_ = ~std::uint64_t{0};
    NoticeCollector fillNotices_;
    SearchCondition findCondition_;
    std::size_t findIndex_ = 0;
    const CAlmxData* findRecord_ = nullptr;
    bool findStarted_ = false;  // a Find ran on this document
    bool findHandOver_ = false;
};

}  // namespace almx
