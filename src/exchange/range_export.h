#pragma once
// The range export engine: walks a date range day by day through the day cells and asks its
// format for one line per (day, record) pair. Formats (Outlook schedule and to-do, text) give
// the header and the lines only.

#include <functional>
#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/file_io.h"
#include "calendar/day_cells.h"

namespace almx {

class Clock;
class Prompter;
class SettingsStore;

namespace export_messages {
inline constexpr const char* kExportFailed = "エクスポートに失敗しました";
inline constexpr const char* kNoSchedules = "スケジュールがありません";
}  // namespace export_messages

// The program's clipboard, in its plain-text form (UTF-8, line ends "\n").
class ClipboardSink {
  public:
    virtual ~ClipboardSink() = default;
    virtual void SetText(const std::string& text) = 0;
};

// What an export reads besides its records.
struct ExportEnvironment {
    const SettingsStore& settings;
    const Clock& clock;
    Prompter& prompter;
};

class CAlmxExport {
  public:
    // Only the dates of first and last count.
    CAlmxExport(const DayCellSource& source, const DateTime& first, const DateTime& last,
                ExportEnvironment environment);
    virtual ~CAlmxExport() = default;
    CAlmxExport(const CAlmxExport&) = delete;
    CAlmxExport& operator=(const CAlmxExport&) = delete;

    // Writes the header and the lines as Shift_JIS with CR LF to a temporary file, flushes it
    // and puts it in the path's place; times belong to their calendar day. On failure the
    // file's message is shown, an existing file is left as it was, and false comes back (the
    // command then shows kExportFailed).
    virtual bool ExportToFile(const std::string& path, int includeHidden);
    // What ExportToFile writes, in UTF-8 with "\n" line ends; false when the range leaves the
    // calendar.
    bool FileText(std::string& out, int includeHidden);
    // Appends the bytes ExportToFile writes (Shift_JIS, CR LF); false as FileText.
    bool FileBytes(std::string& bytes, int includeHidden);
    // Hands the same bytes to the sink in blocks as they are made (what ExportToFile writes);
    // false as FileText, or when the sink refused a block (the walk stops there).
    bool FileBlocks(const ByteSink& sink, int includeHidden);
    // Appends every line followed by CR LF (no header, the day boundary of "TodayLimit");
    // returns the number of (day, record) pairs formatted.
    virtual int ExportToText(std::string& out, int includeHidden);
    // ExportToText with "\n" line ends to the clipboard; false (clipboard untouched) when the
    // range lists nothing.
    virtual bool ExportToClipboard(int includeHidden, ClipboardSink& clipboard);
    // One line for the record on the day; empty: nothing is written for it.
    virtual std::string FormatLine(const DateTime& day, const CAlmxData& record,
                                   int includeHidden) = 0;
    // Empty: the file has no header.
    virtual std::string HeaderLine(int includeHidden);
    // Appends FormatLine's line to out without a line end; false when the line is empty.
    // Formats override it to build their lines in place.
    virtual bool AppendLine(std::string& out, const DateTime& day, const CAlmxData& record,
                            int includeHidden);

    // Tests make the file write fail through this.
    void SetFileWriter(FileWriter* writer) { writer_ = writer ? writer : &defaultWriter_; }
    // Days filled at a time; the lines do not depend on it (tests vary it).
    void SetPieceDays(int days) { pieceDays_ = days > 0 ? days : 1; }

  protected:
    // Called before every walk, so a format can forget what it wrote last time.
    virtual void BeginExport() {}
    // The day boundary of the walk in progress.
    int WalkTodayLimit() const { return walkTodayLimit_; }
    // Whether the walk in progress makes the file's bytes: AppendLine then writes every line
    // break inside a line as CR LF (the walk ends lines so), sparing a pass over the block.
    bool WalkCrLf() const { return walkCrLf_; }
    // A format that can append its lines as the file's bytes (Shift_JIS, line breaks CR LF)
    // says so here; the file's walk then asks it for them (WalkFileBytes) and encodes only the
    // header, so texts a format meets again and again are not encoded every time.
    virtual bool WritesFileBytes() const { return false; }
    // Whether the walk in progress wants the file's bytes from AppendLine.
    bool WalkFileBytes() const { return walkFileBytes_; }
    const DayCellSource& Source() const { return source_; }
    // The genre's name, empty for a number without a genre.
    std::string_view GenreName(int genre) const;

  private:
    // Lines end with "\n"; they are gathered in a buffer that is handed to flush whenever it
    // has grown past a block and at the end, and then emptied, so memory stays bounded by a
    // piece of the range. The number of pairs formatted, or -1 when the range leaves the
    // calendar or flush returned false (the walk stops there). forText: every pair gives a
    // line, even an empty one. expect (may be empty) hears the number of pairs of each piece
    // before its lines, so the receiver can make room once. crLf: lines end with CR LF (see
    // WalkCrLf).
    long Walk(int includeHidden, int todayLimit, bool forText, bool crLf,
              const std::function<bool(std::string_view)>& flush,
              const std::function<void(std::size_t)>& expect);

    // The header and the walk's blocks, encoded, to the sink; expect as for Walk.
    bool WalkBytes(int includeHidden, const std::function<bool(std::string_view)>& sink,
                   const std::function<void(std::size_t)>& expect);

    DayCellSource source_;
    DateTime first_;
    DateTime last_;
    ExportEnvironment environment_;
    int walkTodayLimit_ = 0;
    bool walkCrLf_ = false;
    bool walkFileBytes_ = false;
    int pieceDays_ = 366;
    FileWriter defaultWriter_;
    FileWriter* writer_ = &defaultWriter_;
};

// Text copy: one line per (day, record), for the clipboard and the schedule mail.
class CAlmxTextExport : public CAlmxExport {
  public:
    // Options in place of includeHidden.
    enum Option : int { kWithYear = 1, kWithWeekday = 2 };

    using CAlmxExport::CAlmxExport;
    std::string FormatLine(const DateTime& day, const CAlmxData& record, int options) override;
};

}  // namespace almx
