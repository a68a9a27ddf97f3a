// almx alarms: the notifications the program would give in a range of minutes.

#include <cstdio>
#include <ostream>

#include "cli/command_registry.h"
#include "cli/document_session.h"
#include "core/record_display.h"
#include "document/document.h"
#include "reminders/alarm_check.h"

namespace almx::cli {

namespace {

// "YYYY/MM/DD" (00:00) or "YYYY/MM/DD HH:MM"; lastMinute: a bare date means its 23:59.
std::optional<DateTime> ReadMinute(const std::string& text, bool lastMinute) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos) {
        std::optional<DateTime> day = ParseDate(text);
        if (day && lastMinute) day = day->WithTime(23, 59);
        return day;
    }
    std::optional<DateTime> time = ParseTime(text.substr(0, blank), text.substr(blank + 1));
    if (time) time = WholeMinute(*time);
    return time;
}

std::string Actions(const CAlmxData& record) {
    std::string actions;
    auto add = [&actions](const char* name) {
        if (!actions.empty()) actions += ',';
        actions += name;
    };
    if (record.alarmMode & AlarmOnScreen) add("screen");
    if (record.alarmMode & AlarmByMail) add("mail");
    if ((record.alarmMode & AlarmOpenLink) && !record.linkFile.empty()) add("link");
    return actions;
}

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    std::string password;
    const bool givenPassword = options.Value("--password", password);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx alarms: unknown option " << unknown << '\n';
        return 2;
    }
    const Arguments& positional = options.Positional();
    if (positional.size() < 2 || positional.size() > 3) {
        err << "almx alarms: give FILE FROM [TO] (\"YYYY/MM/DD [HH:MM]\")\n";
        return 2;
    }
    const std::optional<DateTime> from = ReadMinute(positional[1], false);
    const std::optional<DateTime> to =
        ReadMinute(positional.size() == 3 ? positional[2] : positional[1], true);
    if (!from || !to || *to < *from) {
        err << "almx alarms: give the range as \"YYYY/MM/DD [HH:MM]\", FROM not after TO\n";
        return 2;
    }
    ReadOnlyDocument opened(givenPassword ? std::optional<std::string>(password) : std::nullopt);
    if (!opened.Open(positional[0], err)) return 1;
    CAlmxDoc& document = opened.Document();
    const DisplayRules rules = DisplayRules::FromSettings(opened.Settings());
    for (const PlannedAlarm& alarm : PlanAlarms(document.Records(), *from, *to)) {
        const CAlmxData occurrence = OccurrenceAt(*alarm.record, alarm.minute);
        std::string text =
            EntryText(occurrence, occurrence.start.Date(), UseRecordTimeDisplay, rules);
        for (char& ch : text) {
            if (ch == '\n' || ch == '\r' || ch == '\t') ch = ' ';
        }
        char when[32];
        std::snprintf(when, sizeof when, "%04d/%02d/%02d %02d:%02d", alarm.minute.Year(),
                      alarm.minute.Month(), alarm.minute.Day(), alarm.minute.Hour(),
                      alarm.minute.Minute());
        out << when << '\t' << Actions(*alarm.record) << '\t' << text << '\n';
    }
    return 0;
}

const CommandRegistrar registrar({
    "alarms",
    "FILE FROM [TO] [--password P]",
    "lists the notifications from FROM to TO (\"YYYY/MM/DD [HH:MM]\"), one a line",
    Run,
});

}  // namespace

}  // namespace almx::cli
