#include "exchange/range_export.h"

#include <algorithm>
#include <cstdio>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/genre.h"
#include "core/record_display.h"
#include "exchange/handheld_csv.h"
#include "exchange/text_file.h"

namespace almx {

namespace {

// Long ranges are filled a year at a time; a day's entries do not depend on the range.
constexpr long kChunkDays = 366;

bool InCalendar(const DateTime& day) {
    return day.IsValid() && day.Year() >= kMinYear && day.Year() <= kMaxYear;
}

}  // namespace

CAlmxExport::CAlmxExport(const DayCellSource& source, const DateTime& first, const DateTime& last,
                         ExportEnvironment environment)
    : source_(source), first_(first.Date()), last_(last.Date()), environment_(environment) {}

std::string CAlmxExport::HeaderLine(int) {
    return {};
}

std::string CAlmxExport::GenreName(int genre) const {
    if (!source_.genres) return {};
    const CAlmxField* field = source_.genres->At(genre);
    return field ? field->name : std::string();
}

long CAlmxExport::Walk(std::string& out, int includeHidden, int todayLimit, bool forText) {
    BeginExport();
    walkTodayLimit_ = todayLimit;
    if (!InCalendar(first_) || !InCalendar(last_)) return -1;
    const long days = DateDifference(first_, last_) + 1;
    if (days < 1) return 0;

    DayCellSettings settings = DayCellSettings::FromSettings(environment_.settings);
    settings.todayLimit = todayLimit;
    DayCellSet cells(static_cast<int>(std::min(days, kChunkDays)));
    long pairs = 0;
    std::string line;
    for (long done = 0; done < days;) {
        const int count = static_cast<int>(std::min(days - done, kChunkDays));
        if (!cells.Fill(first_.PlusDays(done), count, source_, settings, environment_.clock,
                        &environment_.prompter)) {
            return -1;
        }
        // One growth of the buffer per piece instead of many copies of it.
        std::size_t entries = 0;
        for (const DayCell& cell : cells.Cells()) entries += cell.entries.size();
        out.reserve(out.size() + entries * (forText ? 64 : 320));
        for (const DayCell& cell : cells.Cells()) {
            for (const CAlmxData* entry : cell.entries) {
                line = FormatLine(cell.date, *entry, includeHidden);
                ++pairs;
                if (line.empty() && !forText) continue;
                out += line;
                out += '\n';
            }
        }
        done += count;
    }
    return pairs;
}

bool CAlmxExport::FileText(std::string& out, int includeHidden) {
    const std::size_t before = out.size();
    const std::string header = HeaderLine(includeHidden);
    if (!header.empty()) {
        out += header;
        out += '\n';
    }
    // Every time belongs to its calendar day; the setting itself is not touched.
    if (Walk(out, includeHidden, 0, false) < 0) {
        out.resize(before);
        return false;
    }
    return true;
}

bool CAlmxExport::ExportToFile(const std::string& path, int includeHidden) {
    std::string text;
    if (!FileText(text, includeHidden)) {
        environment_.prompter.ShowMessage(CVeltaFileException(file_messages::kWrite, path).what(),
                                          MessageKind::Error);
        return false;
    }
    return WriteShiftJisFile(path, text, *writer_, environment_.prompter,
                             CVeltaFileException(file_messages::kOpen, path).what());
}

int CAlmxExport::ExportToText(std::string& out, int includeHidden) {
    std::string text;
    const int todayLimit = environment_.settings.GetInt("System", "TodayLimit", 0);
    const long pairs = Walk(text, includeHidden, todayLimit, true);
    if (pairs <= 0) return 0;
    out += LfToCrLf(text);
    return static_cast<int>(std::min<long>(pairs, 0x7FFFFFFF));
}

bool CAlmxExport::ExportToClipboard(int includeHidden, ClipboardSink& clipboard) {
    std::string text;
    if (ExportToText(text, includeHidden) == 0) return false;
    clipboard.SetText(CrLfToLf(text));
    return true;
}

std::string CAlmxTextExport::FormatLine(const DateTime& day, const CAlmxData& record, int options) {
    if (record.Has(IsTodo)) return "Todo：" + record.title;
    std::string line;
    char buffer[32];
    if (options & kWithYear) {
        std::snprintf(buffer, sizeof buffer, "%04d/", day.Year());
        line += buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%02d/%02d", day.Month(), day.Day());
    line += buffer;
    if (options & kWithWeekday) {
        line += '(';
        line += kWeekdayNames[day.DayOfWeek()];
        line += ')';
    }
    line += ' ';
    // Hours before the day boundary show as hour + 24, as on the calendar.
    if (record.Has(StartTimeSet)) {
        line += FormatDisplayTime(record.start, WalkTodayLimit());
        line += ' ';
    }
    if (record.Has(EndTimeSet)) {
        line += "～";
        line += FormatDisplayTime(record.end, WalkTodayLimit());
        line += ' ';
    }
    line += record.title;
    return line;
}

}  // namespace almx
