// almx search: the records of a schedule file that the schedule search finds, in file order,
// one "YYYY/MM/DD<TAB>entry text" a line.

#include <ostream>
#include <string>

#include "base/date_time.h"
#include "cli/command_registry.h"
#include "cli/document_session.h"
#include "cli/search_options.h"
#include "core/record.h"
#include "core/record_display.h"
#include "core/search_condition.h"
#include "document/document.h"

namespace almx::cli {

namespace {

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    SearchCondition condition;
    if (std::string problem = ReadSearchOptions(options, condition); !problem.empty()) {
        err << "almx search: " << problem << '\n';
        return 2;
    }
    std::string password;
    const bool givenPassword = options.Value("--password", password);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx search: unknown option " << unknown << '\n';
        return 2;
    }
    const Arguments& positional = options.Positional();
    if (positional.size() != 2 || positional[1].empty()) {
        err << "almx search: give FILE and a PATTERN that is not empty\n";
        return 2;
    }

    ReadOnlyDocument opened(givenPassword ? std::optional<std::string>(password) : std::nullopt);
    if (!opened.Open(positional[0], err)) return 1;
    CAlmxDoc& document = opened.Document();
    SettingsStore& settings = opened.Settings();

    DisplayRules rules = DisplayRules::FromSettings(settings);
    // A to-do's "days left" would be counted from the date printed beside it: leave it out.
    rules.todoLeftDraw = false;
    condition.text = positional[1];
    const SearchMatcher matcher(condition);
    for (const CAlmxData& record : document.Records()) {
        if (!matcher.Matches(record)) continue;
        DateTime day = DisplayStart(record, rules.todayLimit).Date();
        out << FormatDate(day) << '\t' << EntryText(record, day, UseRecordTimeDisplay, rules)
            << '\n';
    }
    return 0;
}

const CommandRegistrar registrar({
    "search",
    "FILE PATTERN [--ignore-case] [--ignore-width] [--kana] [--mode contains|equals|starts|ends] "
    "[--targets title,place,memo] [--password P]",
    "records whose title, place or memo (or the --targets) match the pattern by --mode (default "
    "contains), in file order, one \"YYYY/MM/DD<TAB>entry text\" a line; the options fold letter "
    "case, full/half width and hiragana/katakana",
    Run,
});

}  // namespace

}  // namespace almx::cli
