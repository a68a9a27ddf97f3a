#include "calendar/agenda.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

#include "base/settings_store.h"
#include "core/record_display.h"

namespace almx {

namespace {

// Long ranges are filled a year at a time; a day's entries do not depend on the range.
constexpr long kChunkDays = 366;
// The text is handed on in pieces of about this size: a year of a large file is megabytes,
// and a write per day would be tens of thousands of calls.
constexpr std::size_t kWriteBlock = std::size_t{1} << 20;
constexpr std::size_t kRecordsAhead = 8;
constexpr std::size_t kTitlesAhead = 4;

// FormatDate's "%d/%02d/%02d", without a temporary.
void AppendDate(std::string& out, const DateTime& day) {
    char buffer[16];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, day.Year());
    (void)error;
    out.append(buffer, end);
    for (int part : {day.Month(), day.Day()}) {
        out += '/';
        out += static_cast<char>('0' + part / 10);
        out += static_cast<char>('0' + part % 10);
    }
}

}  // namespace

bool WriteAgenda(std::ostream& out, const DayCellSource& source, const DateTime& first,
                 const DateTime& last, const SettingsStore& settings, const Clock& clock,
                 Prompter* prompter) {
    auto inCalendar = [](const DateTime& day) {
        return day.IsValid() && day.Year() >= 1 && day.Year() <= 9999;
    };
    if (!inCalendar(first) || !inCalendar(last)) return false;
    const DateTime from = first.Date();
    const long days = DateDifference(from, last.Date()) + 1;
    if (days < 1) return false;

    const DayCellSettings cellSettings = DayCellSettings::FromSettings(settings);
    const DisplayRules rules = DisplayRules::FromSettings(settings);
    const int timeOverride = settings.GetInt("View", "MonthViewTime", 0);

    DayCellSet cells(static_cast<int>(std::min(days, kChunkDays)));
    std::string text;
    text.reserve(kWriteBlock + kWriteBlock / 4);
    auto hand = [&] {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    };
    for (long done = 0; done < days;) {
        const int count = static_cast<int>(std::min(days - done, kChunkDays));
        if (!cells.Fill(from.PlusDays(done), count, source, cellSettings, clock, prompter)) {
            hand();  // the days before stay written, as they were before the failed fill
            return false;
        }
        for (const DayCell& cell : cells.Cells()) {
            if (text.size() >= kWriteBlock) hand();
            AppendDate(text, cell.date);
            text += " (";
            text += kWeekdayNames[cell.date.DayOfWeek()];
            text += ")\n";
            const std::vector<const CAlmxData*>& entries = cell.entries;
            for (std::size_t i = 0; i < entries.size(); ++i) {
                // The records lie apart in memory and a year lists hundreds of thousands:
                // ask for a record a few entries early, and for its title once it is there.
                if (i + kRecordsAhead < entries.size()) {
                    __builtin_prefetch(entries[i + kRecordsAhead]);
                }
                if (i + kTitlesAhead < entries.size()) {
                    __builtin_prefetch(entries[i + kTitlesAhead]->title.data());
                }
                const CAlmxData* entry = entries[i];
                if (!DrawnInViews(*entry)) continue;
                text += entry->Has(HolidayMark) ? "  H " : "    ";
                AppendEntryText(text, *entry, cell.date, timeOverride, rules);
                text += '\n';
            }
        }
        done += count;
    }
    hand();
    return true;
}

}  // namespace almx
