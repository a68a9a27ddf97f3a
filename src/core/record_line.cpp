#include "core/record_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/csv_card.h"
#include "core/record.h"
#include "core/schedule_file_format.h"
#include "text/encoding.h"
#include "text/numbers.h"

namespace almx {

namespace {

constexpr std::string_view kWeekdayLetters = "SMTWHFA";
constexpr std::string_view kMonthLetters = "123456789ABC";
constexpr std::string_view kRangeMark = "～";

// Whether the text holds any of three bytes, eight bytes at a time. (find_first_of asks
// memchr once per byte of the text, and a byte loop was still the largest cost of a save.)
bool HasAny(std::string_view text, char a, char b, char c) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    // Exact: non-zero exactly when some byte of v is zero.
    auto zeroByte = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    const std::uint64_t wa = kOnes * static_cast<unsigned char>(a);
    const std::uint64_t wb = kOnes * static_cast<unsigned char>(b);
    const std::uint64_t wc = kOnes * static_cast<unsigned char>(c);
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (zeroByte(word ^ wa) | zeroByte(word ^ wb) | zeroByte(word ^ wc)) return true;
    }
    bool found = false;
    for (; i < text.size(); ++i) found |= text[i] == a || text[i] == b || text[i] == c;
    return found;
}

// Cell texts appended as UTF-8 the way the codec joins a quoted cell.
class LineBuilder {
  public:
    explicit LineBuilder(std::string& out) : out_(out) {}

    void Position(const CAlmxData& record);
    void Months(const CAlmxData& record);
    void Exceptions(const CAlmxData& record);

    void Text(std::string_view text) {
        Open();
        if (!HasAny(text, ',', '\r', '\n')) {
            Append(text);
        } else {
            Append(EscapeCsvField(text));
        }
        out_ += '"';
    }
    // A text from memory, its line breaks as CR LF.
    void MemoryText(std::string_view text) {
        if (!HasAny(text, ',', '\r', '\n')) {
            // Nothing to convert or escape: the common case, scanned once.
            Open();
            Append(text);
            out_ += '"';
        } else if (!HasAny(text, '\r', '\n', '\n')) {
            Text(text);
        } else {
            Text(CellFromText(text));
        }
    }
    void Number(long value) {
        Cell cell(*this);
        cell.at = std::to_chars(cell.at, cell.End(), value).ptr;
    }
    void Empty() { Cell cell(*this); }
    // "%d/%02d/%02d"
    void Date(const DateTime& value) {
        Cell cell(*this);
        // One conversion to the calendar rather than one for each of the three parts.
        const CivilDate date = CivilFromDays(value.DayNumber() - kEpochToUnixDays);
        cell.at = std::to_chars(cell.at, cell.End(), date.year).ptr;
        *cell.at++ = '/';
        cell.Two(date.month);
        *cell.at++ = '/';
        cell.Two(date.day);
    }
    // "%02d:%02d"
    void Time(const DateTime& value) {
        Cell cell(*this);
        const int seconds = value.SecondsOfDay();
        cell.Two(seconds / 3600);
        *cell.at++ = ':';
        cell.Two(seconds / 60 % 60);
    }
    void Colour(std::uint32_t value) {
        Open();
        out_ += Hex6(value);
        out_ += '"';
    }
    void End(std::string_view lineEnd) { out_ += lineEnd; }

  private:
    // One short cell gathered on the stack and appended whole, quotes and separator included.
    struct Cell {
        explicit Cell(LineBuilder& builder) : line(builder) {
            if (line.cells_++ != 0) *at++ = ',';
            *at++ = '"';
        }
        ~Cell() {
            *at++ = '"';
            line.out_.append(buffer, at);
        }
        Cell(const Cell&) = delete;
        Cell& operator=(const Cell&) = delete;
        // Room for the closing quote is kept.
        char* End() { return buffer + sizeof buffer - 1; }
        void Two(int value) {
            if (value >= 0 && value < 100) {
                *at++ = static_cast<char>('0' + value / 10);
                *at++ = static_cast<char>('0' + value % 10);
            } else {
                at = std::to_chars(at, End(), value).ptr;
            }
        }

        LineBuilder& line;
        char buffer[48];
        char* at = buffer;
    };

    void Open() {
        if (cells_++ != 0) out_ += ',';
        out_ += '"';
    }
    void Append(std::string_view text) { out_ += text; }

    std::string& out_;
    int cells_ = 0;
};

std::string SpanDate(int year, int month, int day) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%d/%02d/%02d", year, month, day);
    return buffer;
}

// The line keeps hours and minutes only; seconds in a cell would be lost at the next save.
DateTime WholeMinutes(const DateTime& value) {
    return value.WithTime(value.Hour(), value.Minute());
}

// Cells are read the same from a row (TCard) or from views of a line (CsvCellViews).
template <typename Cells>
int Cell(const Cells& cells, int number) {
    return text::LeadingInt(cells.At(number - 1));
}

template <typename Cells>
bool Bit(const Cells& cells, int number) {
    return (Cell(cells, number) & 1) != 0;
}

// TextFromCell into the record's own string: one copy, sized once. (Assigning to a short
// string would double its capacity: a record's texts are made to measure instead.)
void AssignTextFromCell(std::string_view cell, std::string& out) {
    if (cell.find('\r') != std::string_view::npos) {
        out = TextFromCell(cell);
    } else if (cell.size() <= out.capacity()) {
        out.assign(cell);
    } else {
        out = std::string(cell);
    }
}

}  // namespace

std::string Hex6(std::uint32_t value) {
    char buffer[16];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    (void)error;
    std::string out;
    for (auto n = end - buffer; n < 6; ++n) out += '0';
    for (char* c = buffer; c != end; ++c) out += static_cast<char>(std::toupper(*c));
    return out;
}

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

namespace {

void LineBuilder::Position(const CAlmxData& record) {
    Text(PositionText(record));
}

void LineBuilder::Months(const CAlmxData& record) {
    Text(MonthText(record));
}

void LineBuilder::Exceptions(const CAlmxData& record) {
    Text(ExceptionText(record));
}

// The cells of a record line in their order, for either writer.
template <class Writer>
void WriteRecordCells(const CAlmxData& r, Writer& line, std::string_view lineEnd) {
    const bool todo = r.Has(IsTodo);
    const bool withEnd = !todo || r.Has(TodoDone);
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
    line.Colour(r.colour);
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
        line.Position(r);
        line.Months(r);
        line.Number(r.shiftRule);
        line.Exceptions(r);
    }
    line.MemoryText(r.place);
    line.MemoryText(r.memo);
    line.End(lineEnd);
}

}  // namespace

void AppendRecordLine(const CAlmxData& record, std::string& out, std::string_view lineEnd) {
    LineBuilder line(out);
    WriteRecordCells(record, line, lineEnd);
}

namespace {

// The Shift_JIS line written straight into room reserved for it (RecordLineShiftJisBound):
// the same bytes as the UTF-8 line encoded afterwards, without the line or a cell in between.
class SjisLineWriter {
  public:
    SjisLineWriter(char* at, std::vector<std::string>& unrepresentable)
        : at_(at), unrepresentable_(unrepresentable) {}

    char* At() const { return at_; }

    void Number(long value) {
        Open();
        if (value >= 0 && value < 10) {
            *at_++ = static_cast<char>('0' + value);
        } else if (value >= 10 && value < 100) {
            Two(static_cast<int>(value));
        } else {
            at_ = std::to_chars(at_, at_ + kNumberRoom, value).ptr;
        }
        Close();
    }
    void Empty() {
        Open();
        Close();
    }
    // "%d/%02d/%02d"
    void Date(const DateTime& value) {
        Open();
        const CivilDate date = CivilFromDays(value.DayNumber() - kEpochToUnixDays);
        PutDate(date.year, date.month, date.day);
        Close();
    }
    // "%02d:%02d"
    void Time(const DateTime& value) {
        Open();
        const int seconds = value.SecondsOfDay();
        Two(seconds / 3600);
        *at_++ = ':';
        Two(seconds / 60 % 60);
        Close();
    }
    // "%06X"
    void Colour(std::uint32_t value) {
        Open();
        if (value <= 0xFFFFFF) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            for (int shift = 20; shift >= 0; shift -= 4) *at_++ = kHex[value >> shift & 0xF];
        } else {
            const std::string text = Hex6(value);
            at_ = std::copy(text.begin(), text.end(), at_);
        }
        Close();
    }
    // A text from memory, as the codec writes the cell of CellFromText(text): every line break
    // (CR LF, or a bare CR or LF) as the pair 01 02, a quote before a comma as 03 04, a comma
    // before a quote (not itself before a comma) as 04 03; the rest encoded.
    void MemoryText(std::string_view text) {
        Open();
        const std::size_t size = text.size();
        std::size_t from = 0;
        for (std::size_t i = NextSpecial(text, 0); i < size; i = NextSpecial(text, from)) {
            Encode(text.substr(from, i - from));
            if (text[i] == ',') {
                if (i > 0 && text[i - 1] == '"') {
                    // The quote just written (as itself: it is ASCII) becomes the pair's head.
                    at_[-1] = '\x03';
                    *at_++ = '\x04';
                    from = i + 1;
                } else if (i + 1 < size && text[i + 1] == '"' &&
                           (i + 2 == size || text[i + 2] != ',')) {
                    *at_++ = '\x04';
                    *at_++ = '\x03';
                    from = i + 2;
                } else {
                    *at_++ = ',';
                    from = i + 1;
                }
            } else {
                *at_++ = '\x01';
                *at_++ = '\x02';
                from = i + 1;
                if (text[i] == '\r' && from < size && text[from] == '\n') ++from;
            }
        }
        Encode(text.substr(from));
        Close();
    }
    void Position(const CAlmxData& record) {
        Open();
        if (record.positionMode == 0) {
            *at_++ = '0';
        } else {
            for (int week = 0; week < 5; ++week) {
                if (record.validWeeks[week]) *at_++ = static_cast<char>('1' + week);
            }
            for (int day = 0; day < 7; ++day) {
                if (record.validWeekdays[day]) *at_++ = kWeekdayLetters[day];
            }
        }
        Close();
    }
    void Months(const CAlmxData& record) {
        Open();
        char* const first = at_;
        for (int month = 0; month < 12; ++month) {
            if (record.validMonths[month]) *at_++ = kMonthLetters[month];
        }
        if (at_ - first == 12) {
            at_ = first;  // every month: an empty cell
        } else if (at_ == first) {
            *at_++ = '0';  // none at all
        }
        Close();
    }
    void Exceptions(const CAlmxData& record) {
        Open();
        bool firstSpan = true;
        for (const CDaySpan& span : record.exceptions) {
            if (!firstSpan) *at_++ = ',';
            firstSpan = false;
            PutDate(span.firstYear, span.firstMonth, span.firstDay);
            const bool oneDay = span.firstYear == span.lastYear &&
                                span.firstMonth == span.lastMonth && span.firstDay == span.lastDay;
            if (!oneDay) {
                Encode(kRangeMark);
                PutDate(span.lastYear, span.lastMonth, span.lastDay);
            }
        }
        Close();
    }
    void End(std::string_view lineEnd) { at_ = std::copy(lineEnd.begin(), lineEnd.end(), at_); }

  private:
    static constexpr int kNumberRoom = 24;

    void Open() {
        if (cells_++ != 0) *at_++ = ',';
        *at_++ = '"';
    }
    void Close() { *at_++ = '"'; }
    void Encode(std::string_view text) {
        at_ = text::WriteUtf8AsShiftJis(text, at_, unrepresentable_);
    }
    // "%02d"
    void Two(int value) {
        if (value >= 0 && value < 100) {
            *at_++ = static_cast<char>('0' + value / 10);
            *at_++ = static_cast<char>('0' + value % 10);
        } else {
            at_ = std::to_chars(at_, at_ + kNumberRoom, value).ptr;
        }
    }
    void PutDate(int year, int month, int day) {
        if (year >= 1000 && year <= 9999) {
            Two(year / 100);
            Two(year % 100);
        } else {
            at_ = std::to_chars(at_, at_ + kNumberRoom, year).ptr;
        }
        *at_++ = '/';
        Two(month);
        *at_++ = '/';
        Two(day);
    }
    // The first comma, CR or LF from pos (the size when there is none), eight bytes at a time.
    static std::size_t NextSpecial(std::string_view text, std::size_t pos) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kHighs = 0x8080808080808080ull;
        auto zeroByte = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
        const std::size_t size = text.size();
        for (; pos + 8 <= size; pos += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + pos, 8);
            if (zeroByte(word ^ (kOnes * ',')) | zeroByte(word ^ (kOnes * '\r')) |
                zeroByte(word ^ (kOnes * '\n'))) {
                break;
            }
        }
        for (; pos < size; ++pos) {
            const char c = text[pos];
            if (c == ',' || c == '\r' || c == '\n') return pos;
        }
        return size;
    }

    char* at_;
    std::vector<std::string>& unrepresentable_;
    int cells_ = 0;
};

// Room for everything but the texts and exceptions: 26 cells of at most 35 characters (a date
// of three ints) with their quotes and commas.
constexpr std::size_t kFixedLineRoom = 26 * (35 + 3);

}  // namespace

std::size_t RecordLineShiftJisBound(const CAlmxData& record, std::string_view lineEnd) {
    // A text at most doubles (a bare CR or LF becomes a pair); an exception day span is two
    // dates of up to 35 characters, the range mark and a comma.
    return kFixedLineRoom + lineEnd.size() +
           2 * (record.title.size() + record.place.size() + record.memo.size() +
                record.linkFile.size()) +
           80 * record.exceptions.size();
}

char* WriteRecordLineShiftJis(const CAlmxData& r, char* at,
                              std::vector<std::string>& unrepresentable, std::string_view lineEnd) {
    SjisLineWriter line(at, unrepresentable);
    WriteRecordCells(r, line, lineEnd);
    return line.At();
}

void AppendRecordLineShiftJis(const CAlmxData& record, text::SjisEncoding& out,
                              std::string_view lineEnd) {
    std::string& bytes = out.bytes;
    const std::size_t start = bytes.size();
    bytes.resize(start + RecordLineShiftJisBound(record, lineEnd));
    char* const end =
        WriteRecordLineShiftJis(record, bytes.data() + start, out.unrepresentable, lineEnd);
    bytes.resize(static_cast<std::size_t>(end - bytes.data()));
}

TCard RecordCard(const CAlmxData& record) {
    TCard card;
    card.Parse(RecordLine(record));
    return card;
}

std::string RecordLine(const CAlmxData& record) {
    std::string line;
    AppendRecordLine(record, line, "\n");
    return line;
}

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
        std::optional<DateTime> last = mark == std::string_view::npos
                                           ? first
                                           : ParseDate(part.substr(mark + kRangeMark.size()));
        if (first && last) r.exceptions.push_back(CDaySpan::FromDates(*first, *last));
    }
}

template <typename Cells>
bool ParseCells(const Cells& cells, CAlmxData& r) {
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
    AssignTextFromCell(cells.At(5), r.title);
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
    AssignTextFromCell(cells.At(11), r.linkFile);
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
    AssignTextFromCell(cells.At(24), r.place);
    if (cells.Count() > 25) AssignTextFromCell(cells.At(25), r.memo);
    return true;
}

}  // namespace

bool ParseRecordLine(const TCard& cells, CAlmxData& record) {
    return ParseCells(cells, record);
}

bool ParseRecordLine(const CsvCellViews& cells, CAlmxData& record) {
    return ParseCells(cells, record);
}

}  // namespace almx
