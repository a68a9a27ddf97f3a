// almx export: a range of a schedule file as Outlook CSV or text, or the whole file as GENIO
// or Zaurus CSV. Formats register in ExportFormats so other files can add theirs.

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "base/clock.h"
#include "base/settings_store.h"
#include "cli/calendar_commands.h"
#include "cli/command_registry.h"
#include "cli/document_session.h"
#include "exchange/handheld_csv.h"
#include "exchange/outlook_csv.h"
#include "exchange/range_export.h"
#include "exchange/text_file.h"

namespace almx::cli {

namespace {

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (IsCalendarFormat(args)) return RunCalendarExport(args, out, err);
    OptionReader options(args);
    DocumentSession session(options, err);
    std::string format;
    std::string fromText;
    std::string toText;
    std::string outPath;
    const bool hasFormat = options.Value("--format", format);
    const bool hasFrom = options.Value("--from", fromText);
    const bool hasTo = options.Value("--to", toText);
    const bool toFile = options.Value("--out", outPath);
    const bool hidden = options.Flag("--hidden");
    const bool year = options.Flag("--year");
    const bool weekday = options.Flag("--weekday");
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx export: unknown option " << unknown << '\n';
        return 2;
    }
    if (options.Positional().size() != 1 || !hasFormat) {
        err << "almx export: give FILE --format outlook|outlook-todo|text|genio|zaurus\n";
        return 2;
    }
    const bool ranged = format == "outlook" || format == "outlook-todo" || format == "text";
    if (!ranged && format != "genio" && format != "zaurus") {
        err << "almx export: unknown format " << format << '\n';
        return 2;
    }
    SystemClock clock;
    const DateTime today = clock.Now().Date();
    const std::optional<DateTime> from = hasFrom ? ParseDate(fromText) : today;
    const int span =
        session.Settings().GetInt("System", format == "text" ? "TextCopySpan" : "ExportSpan", 14);
    const std::optional<DateTime> to =
        hasTo ? ParseDate(toText) : std::optional<DateTime>(from ? from->PlusDays(span) : today);
    if (!from || !to || !to->IsValid() || to->Year() > kMaxYear) {
        err << "almx export: dates are YYYY/MM/DD from 1583/01/01 to 9998/12/31\n";
        return 2;
    }
    if (*to < *from) {
        err << "almx export: --to is before --from\n";
        return 2;
    }

    CAlmxDoc& doc = session.Document();
    if (!doc.Open(options.Positional()[0])) return 1;
    CAlmxArray& array = doc.Array();
    const DayCellSource source{array.records, &array.genres, &array.dayProperties};
    const ExportEnvironment environment{session.Settings(), clock, session.Prompter()};
    std::string text;  // UTF-8, "\n" line ends
    bool ok = true;
    if (format == "outlook" || format == "outlook-todo") {
        std::unique_ptr<CAlmxExport> exporter;
        if (format == "outlook") {
            exporter = std::make_unique<CAlmxOutlookExport>(source, *from, *to, environment);
        } else {
            exporter = std::make_unique<CAlmxOutlookTodoExport>(source, *from, *to, environment);
        }
        ok = toFile ? exporter->ExportToFile(outPath, hidden ? 1 : 0)
                    : exporter->FileText(text, hidden ? 1 : 0);
        if (toFile && !ok) err << export_messages::kExportFailed << '\n';
    } else if (format == "text") {
        CAlmxTextExport exporter(source, *from, *to, environment);
        const int options = (year ? 1 : 0) + (weekday ? 2 : 0);
        if (exporter.ExportToText(text, options) == 0) {
            err << export_messages::kNoSchedules << '\n';
        }
        if (toFile) {
            FileWriter writer;
            ok = WriteShiftJisFile(outPath, CrLfToLf(text), writer, session.Prompter(),
                                   CVeltaFileException(file_messages::kOpen, outPath).what());
        }
    } else {
        text = format == "genio" ? GenioText(array.records) : ZaurusText(array.records);
        if (toFile) {
            FileWriter writer;
            ok =
                WriteShiftJisFile(outPath, text, writer, session.Prompter(), handheld::kCannotOpen);
        }
    }
    doc.Close();
    if (!toFile) out << (format == "text" ? text : LfToCrLf(text));
    return ok ? 0 : 1;
}

const CommandRegistrar registrar({
    "export",
    "FILE --format outlook|outlook-todo|text|genio|zaurus [--from D --to D] [--hidden] [--year] "
    "[--weekday] [--out PATH] [--password P] [--defaults]; FILE --format ics [--from D --to D | "
    "--day D] [--out PATH] [--now \"YYYY/MM/DD HH:MM\"] [--seed N]; FILE --format vcs "
    "--record N --day D [--out PATH] [--now ...] [--seed N]",
    "writes a range (outlook, outlook-todo, text) or every record (genio, zaurus) as another "
    "program's file: Shift_JIS to --out, UTF-8 with CR LF to standard output",
    Run,
});

}  // namespace

}  // namespace almx::cli
