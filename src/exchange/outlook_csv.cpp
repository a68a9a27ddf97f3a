#include "exchange/outlook_csv.h"

#include <cstdint>
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

// Fields are appended to a line that starts at `from` in the buffer.
struct LineBuilder {
    std::string& out;
    std::size_t from;
    OutlookDateTexts& dates;
    bool crLf;  // line breaks inside fields as CR LF

    void Separate() {
        if (out.size() != from) out += ',';
    }
    void Field(std::string_view text) {
        Separate();
        AppendQuotedField(out, text, crLf);
    }
    // A text of our own that needs no quoting rules.
    void Plain(std::string_view text) {
        Separate();
        out += '"';
        out += text;
        out += '"';
    }
    void Date(const DateTime& value) {
        Separate();
        out += '"';
        dates.Append(out, value);
        out += '"';
    }
    void Time(const DateTime& value) {
        Separate();
        out += '"';
        AppendOutlookTime(out, value);
        out += '"';
    }
};

// At least width digits, zeros in front (a negative value cannot occur in a valid date).
void AppendNumber(std::string& out, int value, int width) {
    char digits[16];
    int n = 0;
    unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && n < 16);
    for (int i = n; i < width; ++i) out += '0';
    while (n > 0) out += digits[--n];
}

// "9:30:00" loses its seconds; "9:30" stays whole; a text without ":" is no time.
std::string_view CutSeconds(std::string_view time) {
    const std::size_t first = time.find(':');
    if (first == std::string_view::npos) return {};
    const std::size_t last = time.rfind(':');
    return last == first ? time : time.substr(0, last);
}

// The digits of text[from, from + count), or -1 when one is no digit.
int DigitsAt(std::string_view text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
        if (digit > 9) return -1;
        value = value * 10 + static_cast<int>(digit);
    }
    return value;
}

// "YYYY/MM/DD" as the exports write it, read at once; false for any other form (the general
// parser takes those, with its century rule for short years).
bool ExportedDate(std::string_view text, int& year, int& month, int& day) {
    if (text.size() != 10 || text[4] != '/' || text[7] != '/') return false;
    year = DigitsAt(text, 0, 4);
    month = DigitsAt(text, 5, 2);
    day = DigitsAt(text, 8, 2);
    return year >= 100 && month >= 0 && day >= 0;
}

// "H:MM", "HH:MM", either followed by ":SS" (seconds are dropped); false for any other form.
bool ExportedTime(std::string_view text, int& hour, int& minute) {
    const std::size_t colon = text.size() > 1 && text[1] == ':' ? 1 : 2;
    if (text.size() < colon + 3 || text[colon] != ':') return false;
    const std::size_t rest = text.size() - (colon + 3);
    if (rest != 0 && (rest != 3 || text[colon + 3] != ':' || DigitsAt(text, colon + 4, 2) < 0)) {
        return false;
    }
    hour = DigitsAt(text, 0, colon);
    minute = DigitsAt(text, colon + 1, 2);
    return hour >= 0 && minute >= 0;
}

std::optional<DateTime> ParseExportedDate(std::string_view text) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (!ExportedDate(text, year, month, day)) return ParseDate(text);
    if (!IsValidDate(year, month, day)) return std::nullopt;
    return DateTime::FromDate(year, month, day);
}

std::optional<DateTime> ParseDateAndTime(std::string_view date, std::string_view time) {
    // The rows of an exported file take the short way; its result is the general parser's.
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    if (ExportedDate(date, year, month, day) && ExportedTime(time, hour, minute)) {
        if (!IsValidDate(year, month, day) || hour > 23 || minute > 59) return std::nullopt;
        return DateTime::FromParts(year, month, day, hour, minute);
    }
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

std::string_view Cell(const std::vector<std::string_view>& cells, std::size_t index) {
    return index < cells.size() ? cells[index] : std::string_view();
}

}  // namespace

void AppendOutlookDate(std::string& out, const DateTime& value) {
    // One civil conversion for the three parts (each getter would make its own).
    const CivilDate date = CivilFromDays(value.DayNumber() - kEpochToUnixDays);
    if (date.year < 0 || date.year > 9999) {
        AppendNumber(out, date.year, 4);
    } else {
        char text[4] = {static_cast<char>('0' + date.year / 1000),
                        static_cast<char>('0' + date.year / 100 % 10),
                        static_cast<char>('0' + date.year / 10 % 10),
                        static_cast<char>('0' + date.year % 10)};
        out.append(text, 4);
    }
    const char rest[6] = {
        '/', static_cast<char>('0' + date.month / 10), static_cast<char>('0' + date.month % 10),
        '/', static_cast<char>('0' + date.day / 10),   static_cast<char>('0' + date.day % 10)};
    out.append(rest, 6);
}

void AppendOutlookTime(std::string& out, const DateTime& value) {
    const int seconds = value.SecondsOfDay();
    const int hour = seconds / 3600;
    const int minute = seconds / 60 % 60;
    const char text[8] = {static_cast<char>('0' + hour / 10),
                          static_cast<char>('0' + hour % 10),
                          ':',
                          static_cast<char>('0' + minute / 10),
                          static_cast<char>('0' + minute % 10),
                          ':',
                          '0',
                          '0'};
    out.append(text, 8);
}

void OutlookDateTexts::Append(std::string& out, const DateTime& value) {
    const long day = value.DayNumber();
    Entry& entry = entries_[static_cast<unsigned long>(day) & 15u];
    if (!entry.used || entry.day != day) {
        std::string text;
        AppendOutlookDate(text, value);
        if (text.size() > sizeof entry.text) {
            out += text;
            return;
        }
        entry.used = true;
        entry.day = day;
        entry.length = static_cast<unsigned char>(text.size());
        text.copy(entry.text, text.size());
    }
    out.append(entry.text, entry.length);
}

std::string OutlookDate(const DateTime& value) {
    std::string out;
    AppendOutlookDate(out, value);
    return out;
}

std::string OutlookTime(const DateTime& value) {
    std::string out;
    AppendOutlookTime(out, value);
    return out;
}

void CAlmxOutlookExport::BeginExport() {
    written_.Clear();
    keptSlots_.clear();
    keptCount_ = 0;
    keptBits_ = 0;
    keptBytes_.clear();
    genreTexts_.clear();
}

void CAlmxOutlookExport::AppendEncoded(std::string& out, std::string_view utf8) {
    encoded_.bytes.clear();
    encoded_.unrepresentable.clear();
    text::AppendUtf8AsShiftJis(utf8, encoded_);
    out += encoded_.bytes;
}

namespace {

std::size_t SlotOf(const CAlmxData* record, int bits) {
    const auto address = reinterpret_cast<std::uintptr_t>(record);
    return static_cast<std::size_t>((address >> 4) * 0x9E3779B97F4A7C15ull >> (64 - bits));
}

}  // namespace

void CAlmxOutlookExport::EncodeTexts(const CAlmxData& r, std::string& into,
                                     std::size_t& titleLength) {
    // Each field is encoded whole with its quotes, as the line's encoding would meet it.
    const std::size_t from = into.size();
    quoted_.clear();
    AppendQuotedField(quoted_, r.title, true);
    AppendEncoded(into, quoted_);
    titleLength = into.size() - from;
    quoted_.assign(1, ',');
    AppendQuotedField(quoted_, r.place, true);
    quoted_ += ',';
    AppendQuotedField(quoted_, r.memo, true);
    AppendEncoded(into, quoted_);
}

CAlmxOutlookExport::FileTexts CAlmxOutlookExport::TextsInFile(const CAlmxData& r, bool recurring) {
    std::size_t titleLength = 0;
    if (!recurring) {
        singleBytes_.clear();
        EncodeTexts(r, singleBytes_, titleLength);
        const std::string_view bytes = singleBytes_;
        return {bytes.substr(0, titleLength), bytes.substr(titleLength)};
    }
    if ((keptCount_ + 1) * 2 > keptSlots_.size()) GrowKeptTexts();
    const std::size_t mask = keptSlots_.size() - 1;
    std::size_t i = SlotOf(&r, keptBits_);
    while (keptSlots_[i].record && keptSlots_[i].record != &r) i = (i + 1) & mask;
    KeptTexts& slot = keptSlots_[i];
    if (!slot.record) {
        slot.record = &r;
        slot.offset = keptBytes_.size();
        EncodeTexts(r, keptBytes_, slot.titleLength);
        slot.length = keptBytes_.size() - slot.offset;
        ++keptCount_;
    }
    const std::string_view bytes = std::string_view(keptBytes_).substr(slot.offset, slot.length);
    return {bytes.substr(0, slot.titleLength), bytes.substr(slot.titleLength)};
}

void CAlmxOutlookExport::GrowKeptTexts() {
    std::vector<KeptTexts> old(keptSlots_.empty() ? std::size_t{1} << 10 : keptSlots_.size() * 2);
    old.swap(keptSlots_);
    keptBits_ = 0;
    while ((std::size_t{1} << keptBits_) < keptSlots_.size()) ++keptBits_;
    const std::size_t mask = keptSlots_.size() - 1;
    for (const KeptTexts& slot : old) {
        if (!slot.record) continue;
        std::size_t i = SlotOf(slot.record, keptBits_);
        while (keptSlots_[i].record) i = (i + 1) & mask;
        keptSlots_[i] = slot;
    }
}

std::string_view CAlmxOutlookExport::GenreInFile(int genre) {
    // Genre numbers are small; a stray one is encoded each time rather than kept.
    constexpr int kKeptGenres = 4096;
    std::string* field = &quoted_;
    if (genre >= 0 && genre < kKeptGenres) {
        const auto index = static_cast<std::size_t>(genre);
        if (index >= genreTexts_.size()) genreTexts_.resize(index + 1);
        if (!genreTexts_[index].empty()) return genreTexts_[index];
        field = &genreTexts_[index];
    }
    std::string utf8(1, ',');
    AppendQuotedField(utf8, GenreName(genre), true);
    field->clear();
    AppendEncoded(*field, utf8);
    return *field;
}

void CAlmxOutlookExport::RecordSet::Clear() {
    bits_ = 10;
    slots_.assign(std::size_t{1} << bits_, nullptr);
    count_ = 0;
}

bool CAlmxOutlookExport::RecordSet::Insert(const CAlmxData* record) {
    if (slots_.empty()) Clear();
    // At most half full, so a probe ends soon.
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    const std::size_t mask = slots_.size() - 1;
    const auto address = reinterpret_cast<std::uintptr_t>(record);
    std::size_t i =
        static_cast<std::size_t>((address >> 4) * 0x9E3779B97F4A7C15ull >> (64 - bits_));
    while (slots_[i]) {
        if (slots_[i] == record) return false;
        i = (i + 1) & mask;
    }
    slots_[i] = record;
    ++count_;
    return true;
}

void CAlmxOutlookExport::RecordSet::Grow() {
    std::vector<const CAlmxData*> old(std::size_t{1} << (bits_ + 1), nullptr);
    old.swap(slots_);
    ++bits_;
    count_ = 0;
    for (const CAlmxData* record : old) {
        if (record) Insert(record);
    }
}

std::string CAlmxOutlookExport::HeaderLine(int) {
    return outlook::kScheduleHeader;
}

std::string CAlmxOutlookExport::FormatLine(const DateTime& day, const CAlmxData& r,
                                           int includeHidden) {
    std::string line;
    AppendLine(line, day, r, includeHidden);
    return line;
}

bool CAlmxOutlookExport::AppendLine(std::string& out, const DateTime& day, const CAlmxData& r,
                                    int includeHidden) {
    if (r.Has(IsTodo) || r.Has(HolidayMark)) return false;
    if (r.Has(HideInViews) && !includeHidden) return false;
    const bool recurring = r.IsRecurring();
    if (!recurring && !written_.Insert(&r)) return false;

    const bool startTime = r.Has(StartTimeSet);
    const bool endTime = r.Has(EndTimeSet);
    // A recurring record's times belong to the occurrence on the day.
    const DateTime start = recurring ? day.WithTimeOf(r.start) : r.start;
    const DateTime end = recurring ? day.WithTimeOf(r.end) : r.end;
    const bool rings = startTime && r.alarmMinutes != -1 && r.alarmMode != 0;
    const DateTime alarm =
        rings ? start.PlusMinutes(-static_cast<long long>(r.alarmMinutes)) : start;

    const bool inFile = WalkFileBytes();
    const FileTexts texts = inFile ? TextsInFile(r, recurring) : FileTexts{};
    LineBuilder line{out, out.size(), dates_, WalkCrLf()};
    if (inFile) {
        out += texts.title;
    } else {
        line.Field(r.title);
    }
    line.Date(start);
    if (startTime) {
        line.Time(start);
    } else {
        line.Plain("0:00:00");
    }
    line.Date(end);
    if (endTime) {
        line.Time(end);
    } else if (startTime) {
        line.Time(start);
    } else {
        line.Plain("0:00:00");
    }
    // The fixed fields between the texts go in whole runs.
    out += (!startTime && !endTime) ? ",\"True\"" : ",\"False\"";
    out += rings ? ",\"True\"" : ",\"False\"";
    line.Date(alarm);
    line.Time(alarm);
    out += r.Has(HideInViews) ? ",\"\",\"\",\"\",\"\",\"False\",\"\",\"2\",\"\""
                              : ",\"\",\"\",\"\",\"\",\"True\",\"\",\"2\",\"\"";
    // "標準" in Shift_JIS for the file's bytes.
    const char* const standard = inFile ? ",\"\x95\x57\x8F\x80\"" : ",\"標準\"";
    if (inFile) {
        out += texts.rest;
        out += standard;
        out += GenreInFile(r.genre);
    } else {
        line.Field(r.place);
        line.Field(r.memo);
        out += standard;
        line.Field(GenreName(r.genre));
    }
    out += standard;
    return true;
}

std::string CAlmxOutlookTodoExport::HeaderLine(int) {
    return outlook::kTodoHeader;
}

std::string CAlmxOutlookTodoExport::FormatLine(const DateTime& day, const CAlmxData& r,
                                               int includeHidden) {
    std::string line;
    AppendLine(line, day, r, includeHidden);
    return line;
}

bool CAlmxOutlookTodoExport::AppendLine(std::string& out, const DateTime&, const CAlmxData& r,
                                        int) {
    if (!r.Has(IsTodo)) return false;
    const bool done = r.Has(TodoDone);
    LineBuilder line{out, out.size(), dates_, WalkCrLf()};
    line.Field(r.title);
    if (r.todoLeadDays == -1) {
        line.Plain("");
    } else {
        line.Date(r.start.PlusDays(-r.todoLeadDays));
    }
    line.Date(r.start);
    line.Plain("False");
    line.Date(r.start);
    line.Plain("0:00:00");
    if (done) {
        line.Date(r.end);
    } else {
        line.Plain("");
    }
    line.Plain("0.000");
    line.Plain("0");
    line.Plain("0");
    line.Plain("");
    line.Plain("False");
    line.Field(r.memo);
    for (int i = 0; i < 3; ++i) line.Plain("");
    line.Plain(done ? "終了" : "未開始");
    line.Plain("標準");
    line.Field(GenreName(r.genre));
    line.Plain("");
    line.Plain("標準");
    line.Plain("");
    return true;
}

int CAlmxOutlookImport::ParseLine(int row, std::string_view rowText, CAlmxData& record, int) {
    if (row == 0) return 0;
    const std::vector<std::string_view>& cells = SplitRowViews(rowText);
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
    const std::vector<std::string_view>& cells = SplitRowViews(rowText);
    record.Set(IsTodo);
    record.title = Cell(cells, 0);
    const auto deadline = ParseExportedDate(Cell(cells, 2));
    if (!deadline) return 0;
    record.start = *deadline;
    if (!Cell(cells, 1).empty()) {
        const auto first = ParseExportedDate(Cell(cells, 1));
        if (!first) return 0;
        const long days = DateDifference(*first, *deadline);
        record.todoLeadDays = days < 0 ? 0 : static_cast<int>(days);
    }
    if (!Cell(cells, 6).empty()) {
        const auto end = ParseExportedDate(Cell(cells, 6));
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
