#include "exchange/outlook_csv.h"

#include <cstdio>
#include <limits>

#include "core/record_list.h"
#include "exchange/csv_row.h"

namespace almx {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

const char* TrueFalse(bool value) {
    return value ? "True" : "False";
}

void AddField(std::string& line, std::string_view text) {
    if (!line.empty()) line += ',';
    AppendQuotedField(line, text);
}

// "9:30:00" loses its seconds; "9:30" stays whole; a text without ":" is no time.
std::string_view CutSeconds(std::string_view time) {
    const std::size_t first = time.find(':');
    if (first == std::string_view::npos) return {};
    const std::size_t last = time.rfind(':');
    return last == first ? time : time.substr(0, last);
}

std::optional<DateTime> ParseDateAndTime(std::string_view date, std::string_view time) {
    const std::string_view cut = CutSeconds(time);
    if (cut.empty()) return std::nullopt;
    return ParseTime(date, cut);
}

// Whole minutes from a to b, 0 when negative, capped so they fit.
int MinutesBetween(const DateTime& a, const DateTime& b) {
    const double minutes = DaySpan(a, b) * 24.0 * 60.0;
    if (!(minutes > 0)) return 0;
    if (minutes >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(minutes + 1e-6);
}

std::string_view Cell(const std::vector<std::string>& cells, std::size_t index) {
    return index < cells.size() ? std::string_view(cells[index]) : std::string_view();
}

}  // namespace

std::string OutlookDate(const DateTime& value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", value.Year(), value.Month(),
                  value.Day());
    return buffer;
}

std::string OutlookTime(const DateTime& value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:00", value.Hour(), value.Minute());
    return buffer;
}

std::string CAlmxOutlookExport::HeaderLine(int) {
    return outlook::kScheduleHeader;
}

std::string CAlmxOutlookExport::FormatLine(const DateTime& day, const CAlmxData& r,
                                           int includeHidden) {
    if (r.Has(IsTodo) || r.Has(HolidayMark)) return {};
    if (r.Has(HideInViews) && !includeHidden) return {};
    const bool recurring = r.IsRecurring();
    if (!recurring && !written_.insert(&r).second) return {};

    const bool startTime = r.Has(StartTimeSet);
    const bool endTime = r.Has(EndTimeSet);
    // A recurring record's times belong to the occurrence on the day.
    const DateTime start = recurring ? day.WithTimeOf(r.start) : r.start;
    const DateTime end = recurring ? day.WithTimeOf(r.end) : r.end;
    const bool rings = startTime && r.alarmMinutes != -1 && r.alarmMode != 0;
    const DateTime alarm =
        rings ? start.PlusMinutes(-static_cast<long long>(r.alarmMinutes)) : start;

    std::string line;
    line.reserve(256);
    AddField(line, r.title);
    AddField(line, OutlookDate(start));
    AddField(line, startTime ? OutlookTime(start) : "0:00:00");
    AddField(line, OutlookDate(end));
    AddField(line, endTime ? OutlookTime(end) : startTime ? OutlookTime(start) : "0:00:00");
    AddField(line, TrueFalse(!startTime && !endTime));
    AddField(line, TrueFalse(rings));
    AddField(line, OutlookDate(alarm));
    AddField(line, OutlookTime(alarm));
    for (int i = 0; i < 4; ++i) AddField(line, "");
    AddField(line, TrueFalse(!r.Has(HideInViews)));
    AddField(line, "");
    AddField(line, "2");
    AddField(line, "");
    AddField(line, r.place);
    AddField(line, r.memo);
    AddField(line, "標準");
    AddField(line, GenreName(r.genre));
    AddField(line, "標準");
    return line;
}

std::string CAlmxOutlookTodoExport::HeaderLine(int) {
    return outlook::kTodoHeader;
}

std::string CAlmxOutlookTodoExport::FormatLine(const DateTime&, const CAlmxData& r, int) {
    if (!r.Has(IsTodo)) return {};
    const bool done = r.Has(TodoDone);
    std::string line;
    line.reserve(256);
    AddField(line, r.title);
    AddField(line,
             r.todoLeadDays == -1 ? std::string() : OutlookDate(r.start.PlusDays(-r.todoLeadDays)));
    AddField(line, OutlookDate(r.start));
    AddField(line, "False");
    AddField(line, OutlookDate(r.start));
    AddField(line, "0:00:00");
    AddField(line, done ? OutlookDate(r.end) : std::string());
    AddField(line, "0.000");
    AddField(line, "0");
    AddField(line, "0");
    AddField(line, "");
    AddField(line, "False");
    AddField(line, r.memo);
    for (int i = 0; i < 3; ++i) AddField(line, "");
    AddField(line, done ? "終了" : "未開始");
    AddField(line, "標準");
    AddField(line, GenreName(r.genre));
    AddField(line, "");
    AddField(line, "標準");
    AddField(line, "");
    return line;
}

int CAlmxOutlookImport::ParseLine(int row, std::string_view rowText, CAlmxData& record, int) {
    if (row == 0) return 0;
    const std::vector<std::string> cells = SplitCsvRow(rowText);
    record.title = Cell(cells, 0);
    const auto start = ParseDateAndTime(Cell(cells, 1), Cell(cells, 2));
    if (!start) return 0;
    const auto end = ParseDateAndTime(Cell(cells, 3), Cell(cells, 4));
    if (!end) return 0;
    record.start = *start;
    if (EqualsIgnoringCase(Cell(cells, 5), "True")) {
        // An all-day row keeps its days; only the times go.
        record.Set(StartTimeSet, false);
        record.Set(EndTimeSet, false);
        record.start = start->Date();
        record.end = end->Date();
    } else {
        record.end = *end;
        record.Set(StartTimeSet);
        record.Set(EndTimeSet, record.end != record.start);
    }
    if (record.end < record.start) return 0;
    if (EqualsIgnoringCase(Cell(cells, 6), "True")) {
        const auto alarm = ParseDateAndTime(Cell(cells, 7), Cell(cells, 8));
        if (!alarm) return 0;
        record.alarmMinutes = MinutesBetween(*alarm, record.start);
    } else {
        record.alarmMinutes = -1;
    }
    record.place = Cell(cells, 17);
    record.memo = Cell(cells, 18);
    AssignGenre(record, Cell(cells, 20));
    return 1;
}

int CAlmxOutlookTodoImport::ParseLine(int row, std::string_view rowText, CAlmxData& record, int) {
    if (row == 0) return 0;
    const std::vector<std::string> cells = SplitCsvRow(rowText);
    record.Set(IsTodo);
    record.title = Cell(cells, 0);
    const auto deadline = ParseDate(Cell(cells, 2));
    if (!deadline) return 0;
    record.start = *deadline;
    if (!Cell(cells, 1).empty()) {
        const auto first = ParseDate(Cell(cells, 1));
        if (!first) return 0;
        const long days = DateDifference(*first, *deadline);
        record.todoLeadDays = days < 0 ? 0 : static_cast<int>(days);
    }
    if (!Cell(cells, 6).empty()) {
        const auto end = ParseDate(Cell(cells, 6));
        if (!end) return 0;
        record.end = *end;
    }
    record.memo = Cell(cells, 12);
    if (Cell(cells, 16) == "終了") record.Set(TodoDone);
    AssignGenre(record, Cell(cells, 18));
    return 1;
}

bool ExportRecordsToOutlook(const std::vector<const CAlmxData*>& records, CAlmxFieldArray& genres,
                            const DateTime& first, const DateTime& last, const std::string& path,
                            int includeHidden, ExportEnvironment environment, FileWriter* writer) {
    RecordList store;
    for (const CAlmxData* record : records) {
        if (record) store.push_back(*record);
    }
    CAlmxOutlookExport exporter(DayCellSource{store, &genres, nullptr}, first, last, environment);
    exporter.SetFileWriter(writer);
    return exporter.ExportToFile(path, includeHidden);
}

}  // namespace almx
