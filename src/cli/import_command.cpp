// almx import: appends the records of another program's file to a schedule file and saves it.

#include <ostream>
#include <sstream>
#include <string>

#include "cli/calendar_commands.h"
#include "cli/command_registry.h"
#include "cli/document_session.h"
#include "exchange/outlook_csv.h"

namespace almx::cli {

namespace {

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (IsCalendarFormat(args)) return RunCalendarImport(args, out, err);
    OptionReader options(args);
    DocumentSession session(options, err);
    std::string format;
    const bool hasFormat = options.Value("--format", format);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx import: unknown option " << unknown << '\n';
        return 2;
    }
    if (options.Positional().size() != 2 || !hasFormat) {
        err << "almx import: give FILE SOURCE --format outlook|outlook-todo\n";
        return 2;
    }
    if (format != "outlook" && format != "outlook-todo") {
        err << "almx import: unknown format " << format << '\n';
        return 2;
    }
    CAlmxDoc& doc = session.Document();
    if (!doc.Open(options.Positional()[0])) return 1;
    if (doc.IsReadOnly()) {
        err << "読み取り専用ファイルのため、変更は反映されません\n";
        doc.Close();
        return 1;
    }
    // The messages the program shows go to standard output here.
    ConsolePrompter shown(out);
    bool imported = false;
    if (format == "outlook") {
        imported = CAlmxOutlookImport(doc, shown).ImportFile(options.Positional()[1], 0);
    } else {
        imported = CAlmxOutlookTodoImport(doc, shown).ImportFile(options.Positional()[1], 0);
    }
    const bool saved = !imported || doc.SaveTo(doc.Path());
    doc.Close();
    return imported && saved ? 0 : 1;
}

const CommandRegistrar registrar({
    "import",
    "FILE SOURCE --format outlook|outlook-todo|ics|vcs [--password P] [--defaults] [--now ...]",
    "appends the records of an Outlook CSV file to the schedule file, saves it and prints the "
    "result",
    Run,
});

}  // namespace

}  // namespace almx::cli
