#include "document/schedule_file_writer.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "base/csv_card.h"
#include "core/record_array.h"
#include "core/record_line.h"
#include "core/schedule_file_format.h"
#include "document/password_scramble.h"
#include "text/encoding.h"

namespace almx {

namespace {

// The codec ends a line with a line feed; the file ends it with CR LF.
void AppendRow(const TCard& row, std::string& out) {
    row.AppendCsvLine(out);
    out.back() = '\r';
    out += '\n';
}

void AppendCells(std::initializer_list<std::string> cells, TCard& row, std::string& out) {
    row.SetEmpty(0);
    for (const std::string& cell : cells) row.Add(cell);
    AppendRow(row, out);
}

}  // namespace

std::string ScheduleHeaderLine() {
    std::string raw;
    for (std::string_view piece : kScheduleHeaderPieces) raw += piece;
    TCard header;
    header.Parse(raw);
    std::string line;
    AppendRow(header, line);
    return line;
}

ScheduleFileBytes WriteScheduleFile(const CAlmxArray& doc) {
    std::string utf8;
    utf8 += ScheduleHeaderLine();
    TCard row;
    if (!doc.password.empty()) {
        AppendCells({"2", ScramblePassword(doc.password)}, row, utf8);
    }
    for (const auto& [key, property] : doc.dayProperties) {
        AppendCells({"3", key, Hex6(property.colour), CellFromText(property.text)}, row, utf8);
    }
    AppendCells({"4", CellFromText(doc.diaryFolder), "", std::to_string(doc.version),
                 std::to_string(doc.defaultScheduleGenre), std::to_string(doc.defaultTodoGenre),
                 std::to_string(doc.extraNumber), CellFromText(doc.extraText)},
                row, utf8);
    for (const CAlmxField& genre : doc.genres.Items()) {
        AppendCells({"5", CellFromText(genre.name), std::to_string(genre.shown), Hex6(genre.colour),
                     CellFromText(genre.note)},
                    row, utf8);
    }
    for (const CMemoData& page : doc.memoPages) {
        AppendCells({"6", CellFromText(page.title), CellFromText(page.text)}, row, utf8);
    }
    text::SjisEncoding encoded;
    // Record lines run to about 150 bytes before their texts.
    encoded.bytes.reserve(utf8.size() + doc.records.size() * 200);
    text::AppendUtf8AsShiftJis(utf8, encoded);
    // The records, most of the file, are encoded as their lines are built.
    for (const CAlmxData& record : doc.records) {
        AppendRecordLineShiftJis(record, encoded, "\r\n");
    }
    return {std::move(encoded.bytes), encoded.unrepresentable.size()};
}

}  // namespace almx
