#include "document/schedule_file_reader.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "base/csv_scan.h"
#include "base/file_io.h"
#include "core/record_array.h"
#include "core/record_line.h"
#include "core/schedule_file_format.h"
#include "document/password_scramble.h"
#include "text/encoding.h"
#include "text/numbers.h"

namespace almx {

namespace {

ScheduleLayout LayoutOf(const TCard& header) {
    if (header.At(0) == kOldestHeaderFirstCell) return ScheduleLayout::Oldest;
    if (header.Count() == kNineteenCellHeader) return ScheduleLayout::NineteenCells;
    if (header.At(0) != kScheduleHeaderFirstCell) return ScheduleLayout::Foreign;
    return ScheduleLayout::Current;
}

int Number(const TCard& row, int cell) {
    return text::LeadingInt(row.At(cell - 1));
}

}  // namespace

namespace {

// Reads the lines of a schedule file one by one, as they are decoded. With a document, rows go
// straight into it, and record lines are parsed from views of the line: no row of strings.
class ScheduleLineReader {
  public:
    ScheduleLineReader(ScheduleFileScan& scan, const std::function<void(const TCard& row)>& onRow)
        : scan_(scan), onRow_(&onRow) {}
    ScheduleLineReader(ScheduleFileScan& scan, CAlmxArray& document, const RowReadOptions& options,
                       const std::function<void(int kind)>& onKind)
        : scan_(scan), document_(&document), options_(&options), onKind_(&onKind) {}

    void operator()(std::string_view line, bool lastLine) {
        const bool splitsToEnd = SplitsToEnd(line);
        // An open quote before the file's end is a line broken by a raw line feed, not a cut.
        if (!splitsToEnd && lastLine) scan_.complete = false;
        if (first_) {
            if (!splitsToEnd) scan_.complete = false;
            first_ = false;
            scan_.header.Parse(line);
            scan_.layout = LayoutOf(scan_.header);
            // Rows are read whenever the header starts like ours; the caller decides on the
            // layout.
            readRows_ = scan_.header.At(0) == kScheduleHeaderFirstCell;
            return;
        }
        if (!readRows_ || line == "\n") return;
        if (document_ && ReadRecordLine(line, splitsToEnd, lastLine)) return;
        row_.Parse(line);
        // The line after one left open is the rest of that broken row, whatever it looks like.
        const bool continuation = std::exchange(afterOpenLine_, !splitsToEnd);
        if (continuation || !IsWellFormedRow(row_, splitsToEnd, lastLine)) {
            ++scan_.malformedRows;
            return;
        }
        FitToWidth(row_, scan_.header.Count());
        ++scan_.rows;
        if (document_) {
            Heard(ReadScheduleRow(row_, *document_, *options_));
        } else {
            (*onRow_)(row_);
        }
    }

  private:
    // Reads the line when it is a record line, with the checks and padding IsWellFormedRow,
    // FitToWidth and ReadScheduleRow give a row; false for a row of another kind.
    bool ReadRecordLine(std::string_view line, bool splitsToEnd, bool lastLine) {
        cells_.Split(line);
        const std::string_view first = cells_.At(0);
        if (first.size() == 1 && first[0] >= '0' + RowPassword && first[0] <= '0' + RowMemoPage) {
            return false;
        }
        const bool continuation = std::exchange(afterOpenLine_, !splitsToEnd);
        const int kind = text::LeadingInt(first);
        if (continuation || (!splitsToEnd && !lastLine) ||
            (kind >= RowPassword && kind <= RowMemoPage)) {
            ++scan_.malformedRows;
            return true;
        }
        cells_.FitToWidth(scan_.header.Count());
        ++scan_.rows;
        // Built in place: a record of the file is never copied.
        CAlmxData& record = document_->records.emplace_back(options_->defaults);
        if (!ParseRecordLine(cells_, record)) {
            document_->records.pop_back();
            Heard(-1);
        } else {
            Heard(kind == RowTodo ? RowTodo : RowSchedule);
        }
        return true;
    }

    void Heard(int kind) const {
        if (*onKind_) (*onKind_)(kind);
    }

    ScheduleFileScan& scan_;
    const std::function<void(const TCard& row)>* onRow_ = nullptr;
    CAlmxArray* document_ = nullptr;
    const RowReadOptions* options_ = nullptr;
    const std::function<void(int kind)>* onKind_ = nullptr;
    TCard row_;
    CsvCellViews cells_;
    bool first_ = true;
    bool readRows_ = false;
    bool afterOpenLine_ = false;
};

}  // namespace

ScheduleFileScan ScanScheduleFile(std::string_view sjis,
                                  const std::function<void(const TCard& row)>& onRow) {
    ScheduleFileScan scan;
    ScheduleLineReader reader(scan, onRow);
    scan.invalidSequences = ForEachCsvLine(sjis, std::ref(reader));
    return scan;
}

ScheduleFileRead ReadScheduleFileAt(const std::string& path,
                                    const std::function<void(const TCard& row)>& onRow) {
    ScheduleFileRead read;
    ScheduleLineReader reader(read.scan, onRow);
    CsvLineSplitter lines(std::ref(reader));
    read.status = ReadFilePieces(path, [&](std::string_view piece) { lines.Feed(piece); });
    if (read.status == ReadStatus::CannotOpen) return read;
    read.scan.invalidSequences = lines.Finish();
    return read;
}

ScheduleFileScan ScanScheduleFileInto(std::string_view sjis, CAlmxArray& document,
                                      const RowReadOptions& options,
                                      const std::function<void(int kind)>& onKind) {
    ScheduleFileScan scan;
    ScheduleLineReader reader(scan, document, options, onKind);
    scan.invalidSequences = ForEachCsvLine(sjis, std::ref(reader));
    return scan;
}

ScheduleFileRead ReadScheduleFileInto(const std::string& path, CAlmxArray& document,
                                      const RowReadOptions& options) {
    ScheduleFileRead read;
    const std::function<void(int kind)> noKinds;
    ScheduleLineReader reader(read.scan, document, options, noKinds);
    CsvLineSplitter lines(std::ref(reader));
    read.status = ReadFilePieces(path, [&](std::string_view piece) { lines.Feed(piece); });
    if (read.status == ReadStatus::CannotOpen) return read;
    read.scan.invalidSequences = lines.Finish();
    return read;
}

std::size_t ScheduleFileRowBound(std::string_view sjis) {
    // A record line has 26 quoted cells: at least 78 bytes.
    constexpr std::size_t kShortestRecordLine = 78;
    std::size_t lines = 0;
    for (std::size_t at = sjis.find('\n'); at != std::string_view::npos;
         at = sjis.find('\n', at + 1)) {
        ++lines;
    }
    return std::min(lines, sjis.size() / kShortestRecordLine) + 1;
}

int ScheduleRowKindOf(const TCard& row) {
    return Number(row, 1);
}

bool IsWellFormedRow(const TCard& row, bool splitsToEnd, bool lastLine) {
    if (!splitsToEnd && !lastLine) return false;
    // The cells each kind is written with (the kind's own cell included); fewer read as empty.
    static constexpr std::pair<std::string_view, int> kShapes[] = {
        {"2", 2}, {"3", 4}, {"4", 8}, {"5", 5}, {"6", 3}};
    const std::string& first = row.At(0);
    for (const auto& [kind, cells] : kShapes) {
        if (first != kind) continue;
        if (row.Count() > cells) return false;
        // Every cell of these rows is written quoted; the tail of a broken record line such
        // as 2,abc" is not.
        for (int i = 0; i < row.Count(); ++i) {
            if (!row.IsQuoted(i)) return false;
        }
        return true;
    }
    // Read by its number, a first cell such as "2x" or " 3" would still name another kind.
    const int kind = text::LeadingInt(first);
    return kind < RowPassword || kind > RowMemoPage;
}

int ReadScheduleRow(const TCard& row, CAlmxArray& document, const RowReadOptions& options) {
    const int kind = ScheduleRowKindOf(row);
    switch (kind) {
        case RowPassword:
            (options.password ? *options.password : document.password) =
                UnscramblePassword(row.At(1));
            return kind;
        case RowDayProperty:
            document.dayProperties.insert_or_assign(
                row.At(1), CDateProp{text::LeadingHex(row.At(2)), TextFromCell(row.At(3))});
            return kind;
        case RowDocumentValues:
            if (options.documentValues) {
                document.diaryFolder = TextFromCell(row.At(1));
                document.version = Number(row, 4);
                document.defaultScheduleGenre = Number(row, 5);
                document.defaultTodoGenre = Number(row, 6);
                document.extraNumber = Number(row, 7);
                document.extraText = TextFromCell(row.At(7));
            }
            return kind;
        case RowGenre: {
            CAlmxField genre;
            genre.name = TextFromCell(row.At(1));
            genre.shown = Number(row, 3);
            genre.colour = text::LeadingHex(row.At(3));
            genre.note = TextFromCell(row.At(4));
            document.genres.Append(std::move(genre));
            return kind;
        }
        case RowMemoPage:
            document.memoPages.push_back({TextFromCell(row.At(1)), TextFromCell(row.At(2))});
            return kind;
        default:
            break;
    }
    // Built in place: a record of the file is never copied.
    CAlmxData& record = document.records.emplace_back(options.defaults);
    if (!ParseRecordLine(row, record)) {
        document.records.pop_back();
        return -1;
    }
    return kind == RowTodo ? RowTodo : RowSchedule;
}

}  // namespace almx
