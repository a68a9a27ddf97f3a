#include "document/schedule_file_reader.h"

#include <algorithm>
#include <cstring>

#include "base/csv_scan.h"
#include "document/password_scramble.h"
#include "core/record_array.h"
#include "core/record_line.h"
#include "core/schedule_file_format.h"
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

ScheduleFileScan ScanScheduleFile(std::string_view sjis,
                                  const std::function<void(const TCard& row)>& onRow) {
    // Rows are read whenever the header starts like ours; the caller decides on the layout.
    CsvScan csv = ScanCsvBytes(
        sjis, [](const TCard& header) { return header.At(0) == kScheduleHeaderFirstCell; }, onRow);
    ScheduleFileScan scan;
    scan.layout = LayoutOf(csv.header);
    scan.header = std::move(csv.header);
    scan.rows = csv.rows;
    scan.complete = csv.complete;
    scan.invalidSequences = csv.invalidSequences;
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
