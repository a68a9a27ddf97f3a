// almx check: opens a schedule file as the program does and tells what it holds.

#include <ostream>

#include "cli/command_registry.h"
#include "cli/document_session.h"
#include "cli/fast_exit.h"

namespace almx::cli {

namespace {

const char* YesNo(bool value) {
    return value ? "yes" : "no";
}

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    DocumentSession session(options, err);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx check: unknown option " << unknown << '\n';
        return 2;
    }
    if (options.Positional().size() != 1) {
        err << "almx check: give one FILE\n";
        return 2;
    }
    CAlmxDoc& doc = session.Document();
    if (!doc.Open(options.Positional()[0])) return 1;
    const CAlmxArray& array = doc.Array();
    out << "file: " << doc.Path() << '\n'
        << "records: " << array.records.size() << '\n'
        << "schedules: " << array.ScheduleCount() << '\n'
        << "to-dos: " << array.TodoCount() << '\n'
        << "genres: " << array.genres.Count() << '\n'
        << "memo pages: " << array.memoPages.size() << '\n'
        << "day properties: " << array.dayProperties.size() << '\n'
        << "version: " << array.version << '\n'
        << "password: " << YesNo(!array.password.empty()) << '\n'
        << "read-only: " << YesNo(doc.IsReadOnly()) << '\n'
        << "changed by opening: " << YesNo(doc.IsModified()) << '\n';
    if (!doc.SafetyBackup().empty()) out << "safety backup: " << doc.SafetyBackup() << '\n';
    // Only a closed document (its lock released) may be left to the system.
    if (!doc.Close()) return 0;
    return EndAfterReading(0, out);
}

const CommandRegistrar registrar({
    "check",
    "FILE [--password P] [--defaults]",
    "opens a schedule file and prints what it holds, or the message the open showed "
    "(exit status 1)",
    Run,
});

}  // namespace

}  // namespace almx::cli
