#include "core/schedule_file_reader.h"

#include "core/password_scramble.h"
#include "core/record_array.h"
#include "core/record_line.h"
#include "core/schedule_file_format.h"
#include "exchange/card_table.h"
#include "text/encoding.h"
#include "text/numbers.h"

namespace almx {

namespace {

// Whether the codec splits the line (ending in a line feed) up to its end: it stops early
// only at a quoted cell that is never closed.
bool SplitsToEnd(std::string_view line) {
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

int Number(const TCard& row, int cell) { return text::LeadingInt(row.At(cell - 1)); }

}  // namespace

ScheduleFileScan ScanScheduleFile(std::string_view sjis,
                                  const std::function<void(const TCard& row)>& onRow) {
    ScheduleFileScan scan;
    text::Utf8Decoding decoded = text::ShiftJisToUtf8(sjis);
    scan.invalidSequences = decoded.invalidSequences;
    bool first = true;
    TCard row;
    ForEachLine(decoded.text, [&](const std::string& line) {
        if (!SplitsToEnd(line)) scan.complete = false;
        if (first) {
            first = false;
            scan.header.Parse(line);
            scan.layout = LayoutOf(scan.header);
            return;
        }
        // Rows are read whenever the header starts like ours; the caller decides on the layout.
        if (scan.header.At(0) != kScheduleHeaderFirstCell) return;
        row.Parse(line);
        const int width = scan.header.Count();
        while (row.Count() < width) row.InsertAt(-1);
        while (row.Count() > width) row.RemoveAt(row.Count() - 1);
        ++scan.rows;
        onRow(row);
    });
    return scan;
}

int ScheduleRowKindOf(const TCard& row) { return Number(row, 1); }

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
