#include "core/schedule_file_writer.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "core/password_scramble.h"
#include "core/record_array.h"
#include "core/record_line.h"
#include "core/schedule_file_format.h"
#include "exchange/csv_card.h"
#include "text/encoding.h"

namespace almx {

namespace {

// Cell texts appended the way the codec joins a quoted cell.
class LineBuilder {
  public:
    explicit LineBuilder(std::string& out) : out_(out) {}

    void Text(std::string_view text) {
        Open();
        if (text.find_first_of(",\r\n") == std::string_view::npos) {
            out_ += text;
        } else {
            out_ += EscapeCsvField(text);
        }
        out_ += '"';
    }
    // A text from memory, its line breaks as CR LF.
    void MemoryText(std::string_view text) {
        if (text.find_first_of("\r\n") == std::string_view::npos) {
            Text(text);
        } else {
            Text(CellFromText(text));
        }
    }
    void Number(long value) {
        Open();
        char buffer[24];
        auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
        (void)error;
        out_.append(buffer, end);
        out_ += '"';
    }
    void Empty() {
        Open();
        out_ += '"';
    }
    // "%d/%02d/%02d"
    void Date(const DateTime& value) {
        Open();
        char buffer[24];
        auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value.Year());
        (void)error;
        out_.append(buffer, end);
        out_ += '/';
        Two(value.Month());
        out_ += '/';
        Two(value.Day());
        out_ += '"';
    }
    // "%02d:%02d"
    void Time(const DateTime& value) {
        Open();
        const int seconds = value.SecondsOfDay();
        Two(seconds / 3600);
        out_ += ':';
        Two(seconds / 60 % 60);
        out_ += '"';
    }
    // "%06X"
    void Hex6(std::uint32_t value) {
        Open();
        char buffer[16];
        auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
        (void)error;
        for (auto n = end - buffer; n < 6; ++n) out_ += '0';
        for (char* c = buffer; c != end; ++c) out_ += static_cast<char>(std::toupper(*c));
        out_ += '"';
    }
    void End() { out_ += "\r\n"; }

  private:
    void Open() {
        if (cells_++ != 0) out_ += ',';
        out_ += '"';
    }
    void Two(int value) {
        if (value >= 0 && value < 100) {
            out_ += static_cast<char>('0' + value / 10);
            out_ += static_cast<char>('0' + value % 10);
        } else {
            out_ += std::to_string(value);
        }
    }

    std::string& out_;
    int cells_ = 0;
};

std::string Hex6(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06X", value);
    return buffer;
}

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

void AppendRecordLine(const CAlmxData& r, std::string& out) {
    const bool todo = r.Has(IsTodo);
    const bool withEnd = !todo || r.Has(TodoDone);
    LineBuilder line(out);
    line.Number(todo ? 1 : 0);
    line.Date(r.start);
    line.Time(r.start);
    if (withEnd) {
        line.Date(r.end);
        line.Time(r.end);
    } else {
        line.Empty();
        line.Empty();
    }
    line.MemoryText(r.title);
    line.Number(r.Has(StartTimeSet));
    line.Number(r.Has(EndTimeSet));
    line.Number(r.Has(HideInViews));
    line.Number(todo ? r.todoImportance : r.Has(HolidayMark));
    line.Hex6(r.colour);
    line.MemoryText(r.linkFile);
    line.Number(todo ? r.Has(TodoDone) : r.alarmMode);
    line.Number(todo ? r.todoLeadDays : r.alarmMinutes);
    line.Number(r.genre);
    line.Number(r.timeDisplay + 16L * r.textStyle);
    line.Number(todo ? r.Has(TodoNoDeadline) : r.repeatType);
    if (todo) {
        for (int cell = 18; cell <= 24; ++cell) line.Empty();
    } else {
        line.Number(r.repeatFirstDay);
        line.Number(r.repeatLastDay);
        line.Number(r.repeatInterval);
        line.Text(PositionText(r));
        line.Text(MonthText(r));
        line.Number(r.shiftRule);
        line.Text(ExceptionText(r));
    }
    line.MemoryText(r.place);
    line.MemoryText(r.memo);
    line.End();
}

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
    // Record lines run to about 150 bytes before their texts.
    utf8.reserve(512 + doc.records.size() * 256);
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
    for (const CAlmxData& record : doc.records) AppendRecordLine(record, utf8);

    text::SjisEncoding encoded = text::Utf8ToShiftJis(utf8);
    return {std::move(encoded.bytes), encoded.unrepresentable.size()};
}

}  // namespace almx
