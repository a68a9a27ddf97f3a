// almx export --format ics|vcs and almx import --format ics|vcs: schedules as iCalendar or
// vCalendar files, with --now and --seed making DTSTAMP and UIDs reproducible.

#include "cli/calendar_commands.h"

#include <charconv>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/file_io.h"
#include "base/settings_store.h"
#include "cli/document_session.h"
#include "document/document_messages.h"
#include "exchange/csv_import.h"
#include "exchange/text_file.h"
#include "exchange/vcalendar.h"

namespace almx::cli {

namespace {

std::optional<DateTime> ParseNowText(const std::string& text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos) return std::nullopt;
    const std::size_t time = text.find_first_not_of(' ', blank);
    if (time == std::string::npos || !ParseHourMinute(text.substr(time))) return std::nullopt;
    return ParseTime(text.substr(0, blank), text.substr(time));
}

// --now and --seed, or the system clock and a seed from it.
bool ReadStamp(OptionReader& options, CalendarStamp& stamp, const char* command,
               std::ostream& err) {
    std::string nowText;
    std::string seedText;
    const bool hasNow = options.Value("--now", nowText);
    const bool hasSeed = options.Value("--seed", seedText);
    stamp.now = SystemClock().Now();
    if (hasNow) {
        const std::optional<DateTime> now = ParseNowText(nowText);
        if (!now) {
            err << "almx " << command << ": --now takes \"YYYY/MM/DD HH:MM\"\n";
            return false;
        }
        stamp.now = *now;
    }
    stamp.seed = static_cast<std::uint64_t>(stamp.now.Days() * 86400.0);
    if (hasSeed) {
        const auto [ptr, ec] =
            std::from_chars(seedText.data(), seedText.data() + seedText.size(), stamp.seed);
        if (ec != std::errc() || ptr != seedText.data() + seedText.size()) {
            err << "almx " << command << ": --seed takes a number\n";
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsCalendarFormat(const Arguments& args) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--format") return args[i + 1] == "ics" || args[i + 1] == "vcs";
    }
    return false;
}

int RunCalendarExport(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    DocumentSession session(options, err);
    std::string format, fromText, toText, dayText, recordText, outPath;
    options.Value("--format", format);
    const bool hasFrom = options.Value("--from", fromText);
    const bool hasTo = options.Value("--to", toText);
    const bool hasDay = options.Value("--day", dayText);
    const bool hasRecord = options.Value("--record", recordText);
    const bool toFile = options.Value("--out", outPath);
    CalendarStamp stamp;
    if (!ReadStamp(options, stamp, "export", err)) return 2;
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx export: unknown option " << unknown << '\n';
        return 2;
    }
    if (options.Positional().size() != 1) {
        err << "almx export: give FILE --format ics|vcs\n";
        return 2;
    }
    std::optional<DateTime> from, to;
    if (hasDay) {
        if (hasFrom || hasTo) {
            err << "almx export: give --day or --from and --to\n";
            return 2;
        }
        from = to = ParseDate(dayText);
    } else if (hasFrom || hasTo) {
        from = ParseDate(fromText);
        to = ParseDate(toText);
    }
    if ((hasDay || hasFrom || hasTo) && (!from || !to || from->Year() > kMaxYear ||
                                         to->Year() > kMaxYear || from->Year() < kMinYear)) {
        err << "almx export: dates are YYYY/MM/DD from 1583/01/01 to 9998/12/31\n";
        return 2;
    }
    if (from && to && *to < *from) {
        err << "almx export: --to is before --from\n";
        return 2;
    }
    int index = 0;
    if (format == "vcs") {
        const auto [ptr, ec] =
            std::from_chars(recordText.data(), recordText.data() + recordText.size(), index);
        if (!hasRecord || !hasDay || ec != std::errc() ||
            ptr != recordText.data() + recordText.size() || index < 1) {
            err << "almx export: vcs takes --record N (from 1) and --day D\n";
            return 2;
        }
    }

    CAlmxDoc& doc = session.Document();
    if (!doc.Open(options.Positional()[0])) return 1;
    const int todayLimit = session.Settings().GetInt("System", "TodayLimit", 0);
    std::vector<const CAlmxData*> records;
    for (const CAlmxData& record : doc.Array().records) records.push_back(&record);
    std::string bytes;
    if (format == "ics") {
        if (from) records = RecordsInRange(records, *from, *to, todayLimit);
        if (records.empty() && hasDay) {
            err << vcal_messages::kNoDataOnDay << '\n';
            doc.Close();
            return 1;
        }
        bytes = ICalendarText(records, stamp);
    } else {
        if (static_cast<std::size_t>(index) > records.size()) {
            err << "almx export: the file has " << records.size() << " records\n";
            doc.Close();
            return 2;
        }
        bytes =
            VCalendarText(*records[static_cast<std::size_t>(index - 1)], *from, todayLimit, stamp);
    }
    doc.Close();
    if (!toFile) {
        out << bytes;
        return 0;
    }
    std::string why;
    if (!WriteCalendarFile(outPath, bytes, why)) {
        err << why << '\n';
        if (format == "vcs") err << vcal_messages::kSaveFailed << '\n';
        return 1;
    }
    return 0;
}

int RunCalendarImport(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    DocumentSession session(options, err);
    std::string format;
    options.Value("--format", format);
    CalendarStamp stamp;
    if (!ReadStamp(options, stamp, "import", err)) return 2;
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx import: unknown option " << unknown << '\n';
        return 2;
    }
    if (options.Positional().size() != 2) {
        err << "almx import: give FILE SOURCE --format ics|vcs\n";
        return 2;
    }
    CAlmxDoc& doc = session.Document();
    if (!doc.Open(options.Positional()[0])) return 1;
    if (doc.IsReadOnly()) {
        err << "読み取り専用ファイルのため、変更は反映されません\n";
        doc.Close();
        return 1;
    }
    const std::string& source = options.Positional()[1];
    const FileBytes file = ReadFileBytes(source);
    if (file.status != ReadStatus::Complete) {
        const char* reason =
            file.status == ReadStatus::CannotOpen ? file_messages::kOpen : file_messages::kRead;
        out << CVeltaFileException(reason, source).what() << '\n'
            << import_messages::kFailed << '\n';
        doc.Close();
        return 1;
    }
    CalendarImport result = ReadCalendar(file.bytes, stamp.now);
    if (!result.hadComponents) {
        out << import_messages::kFailed << '\n';
        doc.Close();
        return 1;
    }
    const RecordDefaults defaults = doc.NewRecordDefaults();
    for (CAlmxData& record : result.records) {
        record.alarmMode = defaults.alarmMode;
    }
    const int accepted = result.accepted;
    if (accepted > 0) doc.AddRecords(std::move(result.records), false);
    if (result.replaced > 0) {
        out << doc_messages::kPasteReplacedPrefix << result.replaced
            << doc_messages::kPasteReplacedSuffix << '\n';
    }
    out << CalendarImportMessage(result) << '\n';
    const bool saved = accepted == 0 || doc.SaveTo(doc.Path());
    doc.Close();
    return accepted > 0 && saved ? 0 : 1;
}

}  // namespace almx::cli
