// almx new: creates an empty schedule file, or one seeded from the holiday template.

#include <ostream>

#include "base/file_io.h"
#include "cli/command_registry.h"
#include "cli/document_session.h"

namespace almx::cli {

namespace {

int Run(const Arguments& args, std::ostream&, std::ostream& err) {
    OptionReader options(args);
    const bool holidays = options.Flag("--holidays");
    DocumentSession session(options, err);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx new: unknown option " << unknown << '\n';
        return 2;
    }
    if (options.Positional().size() != 1) {
        err << "almx new: give one FILE\n";
        return 2;
    }
    const std::string& path = options.Positional()[0];
    // A schedule file already there is never replaced by an empty one.
    if (PathExists(path)) {
        err << "almx new: " << path << " already exists\n";
        return 1;
    }
    session.Prompter().SetYesNo(holidays ? Answer::Yes : Answer::No);
    CAlmxDoc& doc = session.Document();
    if (!doc.NewDocument() || !doc.SaveTo(path)) return 1;
    doc.Close();
    return 0;
}

const CommandRegistrar registrar({
    "new",
    "FILE [--holidays] [--template HOLIDAY_FILE] [--defaults]",
    "creates a schedule file, with the holidays of the holiday template when asked",
    Run,
});

}  // namespace

}  // namespace almx::cli
