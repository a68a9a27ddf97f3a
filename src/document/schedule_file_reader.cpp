#include "document/schedule_file_reader.h"

#include <algorithm>
#include <cstring>

#include "document/password_scramble.h"
#include "core/record_array.h"
#include "core/record_line.h"
#include "core/schedule_file_format.h"
#include "text/encoding.h"
#include "text/numbers.h"

namespace almx {

namespace {

// Whether the codec splits the line (ending in a line feed) up to its end: it stops early
// only at a quoted cell that is never closed.
bool SplitsToEnd(std::string_view line) {
    // Ending in a quote and a line feed, every quoted cell that opens before that quote finds
    // its end; only a cell opening at the quote itself (after a comma) needs a closer look.
    const std::size_t n = line.size();
    if (n >= 3 && line[n - 2] == '"' && line[n - 3] != ',') return true;
    std::size_t cursor = 0;
    while (cursor < line.size()) {
        std::size_t next;
        if (line[cursor] == '"') {
            std::size_t close = line.find("\",", cursor + 1);
            if (close == std::string_view::npos) close = line.find("\"\n", cursor + 1);
            if (close == std::string_view::npos) return false;
            next = close + 2;
        } else {
            std::size_t close = line.find_first_of(",\n", cursor);
            if (close == std::string_view::npos) return false;
            next = close + 1;
        }
        if (line[next - 1] == '\n') return true;
        cursor = next;
    }
    return true;
}

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

ScheduleFileScan ScanScheduleFile(std::string_view sjis,
                                  const std::function<void(const TCard& row)>& onRow) {
    ScheduleFileScan scan;
    text::Utf8Decoding decoded = text::ShiftJisToUtf8(sjis);
    scan.invalidSequences = decoded.invalidSequences;
    std::string& text = decoded.text;
    // CR LF becomes LF in place and the last line gets its end, so every line can be split
    // where it lies, without a copy.
    std::size_t kept = 0;
    for (std::size_t from = 0; from < text.size();) {
        std::size_t crlf = text.find("\r\n", from);
        std::size_t stop = crlf == std::string::npos ? text.size() : crlf;
        if (kept != from) std::memmove(text.data() + kept, text.data() + from, stop - from);
        kept += stop - from;
        from = crlf == std::string::npos ? text.size() : crlf + 1;
    }
    text.resize(kept);
    if (!text.empty() && text.back() != '\n') text += '\n';

    const std::string_view all(text);
    TCard row;
    bool first = true;
    bool readRows = false;
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = all.find('\n', start) + 1;
        const std::string_view line = all.substr(start, end - start);
        start = end;
        if (!SplitsToEnd(line)) scan.complete = false;
        if (first) {
            first = false;
            scan.header.Parse(line);
            scan.layout = LayoutOf(scan.header);
            // Rows are read whenever the header starts like ours; the caller decides on the
            // layout.
            readRows = scan.header.At(0) == kScheduleHeaderFirstCell;
            continue;
        }
        if (!readRows) continue;
        row.Parse(line);
        const int width = scan.header.Count();
        while (row.Count() < width) row.InsertAt(-1);
        while (row.Count() > width) row.RemoveAt(row.Count() - 1);
        ++scan.rows;
        onRow(row);
    }
    return scan;
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
