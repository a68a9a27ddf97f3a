// almx agenda: each day of a range with the entries the month view lists on it.

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "base/clock.h"
#include "base/date_time.h"
#include "calendar/agenda.h"
#include "cli/command_registry.h"
#include "cli/document_session.h"
#include "cli/fast_exit.h"

namespace almx::cli {

namespace {

// "YYYY/MM/DD HH:MM".
std::optional<DateTime> ParseNow(const std::string& text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos) return std::nullopt;
    const std::size_t time = text.find_first_not_of(' ', blank);
    if (time == std::string::npos || !ParseHourMinute(text.substr(time))) return std::nullopt;
    return ParseTime(text.substr(0, blank), text.substr(time));
}

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    DocumentSession session(options, err);
    std::string nowText;
    const bool hasNow = options.Value("--now", nowText);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx agenda: unknown option " << unknown << '\n';
        return 2;
    }
    const Arguments& positional = options.Positional();
    if (positional.size() < 2 || positional.size() > 3) {
        err << "almx agenda: give FILE FROM [TO]\n";
        return 2;
    }
    const std::optional<DateTime> from = ParseDate(positional[1]);
    const std::optional<DateTime> to = positional.size() == 3 ? ParseDate(positional[2]) : from;
    if (!from || !to) {
        err << "almx agenda: dates are YYYY/MM/DD from 1583/01/01 to 9998/12/31\n";
        return 2;
    }
    if (*to < *from) {
        err << "almx agenda: TO is before FROM\n";
        return 2;
    }
    std::unique_ptr<Clock> clock;
    if (hasNow) {
        const std::optional<DateTime> now = ParseNow(nowText);
        if (!now) {
            err << "almx agenda: --now takes \"YYYY/MM/DD HH:MM\"\n";
            return 2;
        }
        clock = std::make_unique<ManualClock>(*now);
    } else {
        clock = std::make_unique<SystemClock>();
    }

    CAlmxDoc& doc = session.Document();
    if (!doc.Open(positional[0])) return 1;
    const DayCellSource source = doc.FillSource();
    const bool written =
        WriteAgenda(out, source, *from, *to, session.Settings(), *clock, &session.Prompter());
    // Only a closed document (its lock released) may be left to the system.
    if (!doc.Close()) return written ? 0 : 1;
    return EndAfterReading(written ? 0 : 1, out);
}

const CommandRegistrar registrar({
    "agenda",
    "FILE FROM [TO] [--now \"YYYY/MM/DD HH:MM\"] [--password P] [--defaults]",
    "prints each day from FROM to TO with the entries the month view lists on it (UTF-8)",
    Run,
});

}  // namespace

}  // namespace almx::cli
