#include "core/record_line.h"

#include <cstdio>
#include <string_view>

#include "core/record.h"
#include "exchange/csv_card.h"
#include "text/numbers.h"

namespace almx {

namespace {

constexpr std::string_view kWeekdayLetters = "SMTWHFA";
constexpr std::string_view kMonthLetters = "123456789ABC";
constexpr std::string_view kRangeMark = "～";

// In memory a line break is "\n"; in a cell it is CR LF. A bare CR counts as a line break
// too, so every text has one stable form.
std::string ToCellText(std::string_view text) {
    if (text.find_first_of("\r\n") == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string FromCellText(std::string_view text) {
    if (text.find('\r') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Number(long value) { return std::to_string(value); }

std::string Hex6(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06X", value);
    return buffer;
}

std::string SpanDate(int year, int month, int day) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%d/%02d/%02d", year, month, day);
    return buffer;
}

// The line keeps hours and minutes only; seconds in a cell would be lost at the next save.
DateTime WholeMinutes(const DateTime& value) { return value.WithTime(value.Hour(), value.Minute()); }

int Cell(const TCard& cells, int number) { return text::LeadingInt(cells.At(number - 1)); }

bool Bit(const TCard& cells, int number) { return (Cell(cells, number) & 1) != 0; }

}  // namespace

std::string PositionText(const CAlmxData& record) {
    if (record.positionMode == 0) return "0";
    std::string text;
    for (int week = 0; week < 5; ++week) {
        if (record.validWeeks[week]) text += static_cast<char>('1' + week);
    }
    for (int day = 0; day < 7; ++day) {
        if (record.validWeekdays[day]) text += kWeekdayLetters[day];
    }
    return text;
}

std::string MonthText(const CAlmxData& record) {
    std::string text;
    bool all = true;
    for (int month = 0; month < 12; ++month) {
        if (record.validMonths[month]) {
            text += kMonthLetters[month];
        } else {
            all = false;
        }
    }
    if (all) return {};
    // No month at all must not read back as every month (an empty cell): "0" names none.
    return text.empty() ? "0" : text;
}

std::string ExceptionText(const CAlmxData& record) {
    std::string text;
    for (const CDaySpan& span : record.exceptions) {
        if (!text.empty()) text += ',';
        text += SpanDate(span.firstYear, span.firstMonth, span.firstDay);
        bool oneDay = span.firstYear == span.lastYear && span.firstMonth == span.lastMonth &&
                      span.firstDay == span.lastDay;
        if (!oneDay) {
            text += kRangeMark;
            text += SpanDate(span.lastYear, span.lastMonth, span.lastDay);
        }
    }
    return text;
}

TCard RecordCard(const CAlmxData& r) {
    const bool todo = r.Has(IsTodo);
    const bool withEnd = !todo || r.Has(TodoDone);
    TCard card;
    card.Add(todo ? "1" : "0");
    card.Add(FormatDate(r.start));
    card.Add(FormatTime(r.start));
    card.Add(withEnd ? FormatDate(r.end) : std::string());
    card.Add(withEnd ? FormatTime(r.end) : std::string());
    card.Add(ToCellText(r.title));
    card.Add(Number(r.Has(StartTimeSet)));
    card.Add(Number(r.Has(EndTimeSet)));
    card.Add(Number(r.Has(HideInViews)));
    card.Add(todo ? Number(r.todoImportance) : Number(r.Has(HolidayMark)));
    card.Add(Hex6(r.colour));
    card.Add(ToCellText(r.linkFile));
    card.Add(todo ? Number(r.Has(TodoDone)) : Number(r.alarmMode));
    card.Add(todo ? Number(r.todoLeadDays) : Number(r.alarmMinutes));
    card.Add(Number(r.genre));
    card.Add(Number(r.timeDisplay + 16L * r.textStyle));
    card.Add(todo ? Number(r.Has(TodoNoDeadline)) : Number(r.repeatType));
    card.Add(todo ? std::string() : Number(r.repeatFirstDay));
    card.Add(todo ? std::string() : Number(r.repeatLastDay));
    card.Add(todo ? std::string() : Number(r.repeatInterval));
    card.Add(todo ? std::string() : PositionText(r));
    card.Add(todo ? std::string() : MonthText(r));
    card.Add(todo ? std::string() : Number(r.shiftRule));
    card.Add(todo ? std::string() : ExceptionText(r));
    card.Add(ToCellText(r.place));
    card.Add(ToCellText(r.memo));
    return card;
}

std::string RecordLine(const CAlmxData& record) { return RecordCard(record).ToCsvLine(); }

namespace {

void ReadPosition(std::string_view text, CAlmxData& r) {
    if (text == "0") {
        r.positionMode = 0;
        return;
    }
    r.positionMode = 1;
    r.validWeeks.fill(0);
    r.validWeekdays.fill(0);
    for (char c : text) {
        if (c >= '1' && c <= '5') {
            r.validWeeks[c - '1'] = 1;
        } else if (std::size_t day = kWeekdayLetters.find(c); day != std::string_view::npos) {
            r.validWeekdays[day] = 1;
        }
    }
}

void ReadMonths(std::string_view text, CAlmxData& r) {
    if (r.repeatType <= 2 || text.empty()) return;
    r.validMonths.fill(0);
    for (char c : text) {
        if (std::size_t month = kMonthLetters.find(c); month != std::string_view::npos) {
            r.validMonths[month] = 1;
        }
    }
}

void ReadExceptions(std::string_view text, CAlmxData& r) {
    while (!text.empty()) {
        std::size_t comma = text.find(',');
        std::string_view part = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        std::size_t mark = part.find(kRangeMark);
        std::optional<DateTime> first = ParseDate(part.substr(0, mark));
        std::optional<DateTime> last =
            mark == std::string_view::npos ? first : ParseDate(part.substr(mark + kRangeMark.size()));
        if (first && last) r.exceptions.push_back(CDaySpan::FromDates(*first, *last));
    }
}

}  // namespace

bool ParseRecordLine(const TCard& cells, CAlmxData& r) {
    const int kind = Cell(cells, 1);
    if (kind == 2 || kind == 3) return false;
    const bool todo = kind == 1;
    r.Set(IsTodo, todo);
    if (todo) {
        r.Set(TodoDone, Bit(cells, 13));
    } else {
        r.alarmMode = Cell(cells, 13);
    }
    if (std::optional<DateTime> start = ParseTime(cells.At(1), cells.At(2))) {
        r.start = WholeMinutes(*start);
    } else if (!todo) {
        return false;
    }
    if (!todo || r.Has(TodoDone)) {
        std::optional<DateTime> end = ParseTime(cells.At(3), cells.At(4));
        if (!end) return false;
        r.end = WholeMinutes(*end);
    }
    r.title = FromCellText(cells.At(5));
    r.Set(StartTimeSet, Bit(cells, 7));
    r.Set(EndTimeSet, Bit(cells, 8));
    if (todo) {
        r.todoImportance = static_cast<std::uint16_t>(Cell(cells, 10));
        r.todoLeadDays = Cell(cells, 14);
    } else {
        r.alarmMinutes = Cell(cells, 14);
        // Lines of the older 25-cell layout have no notification mode.
        if (cells.Count() <= 25 && r.alarmMinutes != -1 && r.alarmMode == 0) r.alarmMode = 1;
    }
    r.Set(HideInViews, Bit(cells, 9));
    if (!todo) r.Set(HolidayMark, Bit(cells, 10));
    r.colour = text::LeadingHex(cells.At(10));
    r.linkFile = FromCellText(cells.At(11));
    r.genre = Cell(cells, 15);
    const int style = Cell(cells, 16);
    r.timeDisplay = ((style % 16) + 16) % 16;
    r.textStyle = ((style / 16) % 16 + 16) % 16;
    if (todo) {
        r.Set(TodoNoDeadline, Bit(cells, 17));
    } else {
        // The recurrence cells are written only for schedules.
        r.repeatType = Cell(cells, 17);
        r.repeatFirstDay = Cell(cells, 18);
        r.repeatLastDay = Cell(cells, 19);
        r.repeatInterval = Cell(cells, 20);
        ReadPosition(cells.At(20), r);
        ReadMonths(cells.At(21), r);
        r.shiftRule = Cell(cells, 23);
        if (r.shiftRule == 1) r.shiftRule = 6;  // the older weekdays-only switch
        ReadExceptions(cells.At(23), r);
    }
    r.place = FromCellText(cells.At(24));
    if (cells.Count() > 25) r.memo = FromCellText(cells.At(25));
    return true;
}

}  // namespace almx
