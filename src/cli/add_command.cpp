// almx add: appends one schedule to a schedule file and saves it.

#include <ostream>
#include <string_view>

#include "base/date_time.h"
#include "cli/command_registry.h"
#include "cli/document_session.h"
#include "text/encoding.h"

namespace almx::cli {

namespace {

struct DateTimeText {
    std::string date;
    std::string time;  // empty: no time
};

DateTimeText Split(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    text.remove_prefix(first);
    std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return {std::string(text), {}};
    std::string_view time = text.substr(blank + 1);
    std::size_t start = time.find_first_not_of(' ');
    time = start == std::string_view::npos ? std::string_view() : time.substr(start);
    while (!time.empty() && time.back() == ' ') time.remove_suffix(1);
    return {std::string(text.substr(0, blank)), std::string(time)};
}

std::optional<DateTime> Parse(const DateTimeText& text) {
    return text.time.empty() ? ParseDate(text.date) : ParseTime(text.date, text.time);
}

// The lead minutes a schedule may hold: a year.
constexpr int kMaxAlarmMinutes = 366 * 24 * 60;

bool ReadInt(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9) return false;
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    long read = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        read = read * 10 + (text[i] - '0');
    }
    if (text[0] == '-') read = -read;
    if (read < low || read > high) return false;
    value = static_cast<int>(read);
    return true;
}

int Run(const Arguments& args, std::ostream&, std::ostream& err) {
    OptionReader options(args);
    DocumentSession session(options, err);
    std::string title;
    std::string startText;
    std::string endText;
    const bool hasTitle = options.Value("--title", title);
    const bool hasStart = options.Value("--start", startText);
    options.Value("--end", endText);
    std::string alarmText;
    std::string modeText;
    const bool hasAlarm = options.Value("--alarm", alarmText);
    const bool hasMode = options.Value("--alarm-mode", modeText);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx add: unknown option " << unknown << '\n';
        return 2;
    }
    if (options.Positional().size() != 1 || !hasTitle || !hasStart) {
        err << "almx add: give FILE --title T --start \"YYYY/MM/DD [HH:MM]\"\n";
        return 2;
    }
    int alarmMinutes = 0;
    int alarmMode = 0;
    if (hasAlarm && !ReadInt(alarmText, -1, kMaxAlarmMinutes, alarmMinutes)) {
        err << "almx add: --alarm takes -1 (none) or the minutes before the start, up to "
            << kMaxAlarmMinutes << '\n';
        return 2;
    }
    if (hasMode && !ReadInt(modeText, 0, 255, alarmMode)) {
        err << "almx add: --alarm-mode takes the bits 1 screen, 2 mail, 4 open the link (0 to "
               "255)\n";
        return 2;
    }
    if (std::optional<std::string> bad = text::FirstUnrepresentable(title)) {
        err << "almx add: the title holds a character Shift_JIS cannot hold: " << *bad << '\n';
        return 1;
    }

    // As the schedule dialog reads its fields.
    DateTimeText start = Split(startText);
    DateTimeText end = Split(endText);
    if (end.date.empty()) end.date = start.date;
    std::optional<DateTime> startTime = Parse(start);
    if (!startTime) {
        err << "正しい開始日時を入力してください\n";
        return 1;
    }
    std::optional<DateTime> endTime = Parse(end);
    if (!endTime) {
        err << "正しい終了日時を入力してください\n";
        return 1;
    }
    std::optional<DateTime> endForOrder =
        end.time.empty() && !start.time.empty() ? ParseTime(end.date, start.time) : endTime;
    if (endForOrder && *startTime > *endForOrder) {
        err << "開始日時より後の終了日時を入力してください\n";
        return 1;
    }

    CAlmxDoc& doc = session.Document();
    if (!doc.Open(options.Positional()[0])) return 1;
    if (doc.IsReadOnly()) {
        err << "読み取り専用ファイルのため、変更は反映されません\n";
        doc.Close();
        return 1;
    }
    CAlmxData record(doc.NewRecordDefaults());
    record.title = title;
    record.start = *startTime;
    record.end = *endTime;
    record.Set(StartTimeSet, !start.time.empty());
    record.Set(EndTimeSet, !end.time.empty());
    if (hasAlarm) record.alarmMinutes = alarmMinutes;
    if (hasMode) record.alarmMode = alarmMode;
    record.genre = doc.Array().DefaultScheduleGenre();
    if (const CAlmxField* genre = doc.Array().genres.At(record.genre)) {
        record.colour = genre->colour;
    }
    doc.Records().push_back(std::move(record));
    doc.RecordsEdited();
    doc.SetModified();
    const bool saved = doc.SaveTo(doc.Path());
    doc.Close();
    return saved ? 0 : 1;
}

const CommandRegistrar registrar({
    "add",
    "FILE --title T --start \"YYYY/MM/DD [HH:MM]\" [--end \"YYYY/MM/DD [HH:MM]\"] "
    "[--alarm MINUTES] [--alarm-mode BITS] [--password P] [--defaults]",
    "appends a schedule to a schedule file and saves it",
    Run,
});

}  // namespace

}  // namespace almx::cli
