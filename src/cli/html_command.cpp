// almx html: the month pages, top pages and style sheets "HTML出力" writes, or the fragment a
// copy command puts on the clipboard.

#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>

#include "base/clock.h"
#include "base/data_folders.h"
#include "base/date_time.h"
#include "cli/command_registry.h"
#include "cli/document_session.h"
#include "exchange/html_calendar.h"

namespace almx::cli {

namespace {

struct YearMonth {
    int year = 0;
    int month = 0;
};

// "YYYY/MM".
std::optional<YearMonth> ParseYearMonth(const std::string& text) {
    int year = 0, month = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d/%d%c", &year, &month, &rest) != 2) return std::nullopt;
    if (year < 1583 || year > 9998 || month < 1 || month > 12) return std::nullopt;
    return YearMonth{year, month};
}

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
    std::string copyText, nowText;
    const bool copy = options.Value("--copy", copyText);
    bool mobileCopy = false;
    HtmlMonthOutSettings request;
    std::string from, to;
    bool hasFrom = false, hasTo = false;
    if (copy) {
        mobileCopy = options.Flag("--mobile");
    } else {
        options.Value("--folder", request.folder);
        hasFrom = options.Value("--from", from);
        hasTo = options.Value("--to", to);
        options.Value("--prefix", request.fileName);
        options.Value("--top", request.topName);
        options.Value("--mobile", request.mobileFile);
        options.Value("--mobile-top", request.mobileTop);
        options.Value("--back-url", request.backUrl);
        request.navi = !options.Flag("--no-navi");
    }
    const bool hasNow = options.Value("--now", nowText);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx html: unknown option " << unknown << '\n';
        return 2;
    }
    if (options.Positional().size() != 1) {
        err << "almx html: give one FILE\n";
        return 2;
    }
    std::unique_ptr<Clock> clock;
    if (hasNow) {
        const std::optional<DateTime> now = ParseNow(nowText);
        if (!now) {
            err << "almx html: --now takes \"YYYY/MM/DD HH:MM\"\n";
            return 2;
        }
        clock = std::make_unique<ManualClock>(*now);
    } else {
        clock = std::make_unique<SystemClock>();
    }
    std::optional<YearMonth> first, last, shown;
    if (copy) {
        shown = ParseYearMonth(copyText);
        if (!shown) {
            err << "almx html: --copy takes YYYY/MM\n";
            return 2;
        }
    } else {
        if (!hasFrom || !hasTo) {
            err << "almx html: give --folder, --from and --to, or --copy\n";
            return 2;
        }
        first = ParseYearMonth(from);
        last = ParseYearMonth(to);
        if (!first || !last) {
            err << "almx html: months are YYYY/MM from 1583/01 to 9998/12\n";
            return 2;
        }
        request.startYear = first->year;
        request.startMonth = first->month;
        request.endYear = last->year;
        request.endMonth = last->month;
    }

    CAlmxDoc& doc = session.Document();
    if (!doc.Open(options.Positional()[0])) return 1;
    CAlmxArray& array = doc.Array();
    const DayCellSource source{array.records, &array.genres, &array.dayProperties};
    CHtmlGenerator generator(source, session.Settings(), *clock, &session.Prompter());
    int status = 0;
    if (copy) {
        const std::string mobilePrefix = HtmlMonthOutSettings::Load(session.Settings()).mobileFile;
        out << (mobileCopy ? generator.MobileCopyFragment(mobilePrefix, shown->year, shown->month)
                           : generator.CopyFragment(shown->year, shown->month));
    } else {
        // Naming the folder on the command line is the answer to "create it?".
        session.Prompter().SetYesNo(Answer::Yes);
        PageWriter writer;
        const std::filesystem::path templates =
            DataFile(ProgramFolder(), kMonthStyleSheet).parent_path();
        // The folder is recorded for the upload, which may run from elsewhere.
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(request.folder, error);
        if (!error && !request.folder.empty())
            request.folder = absolute.lexically_normal().string();
        const std::optional<std::filesystem::path> written = WriteHtmlPages(
            request, generator, templates, session.Settings(), session.Prompter(), writer);
        status = written ? 0 : 1;
        // WriteHtmlPages recorded the fields and the range as the program does; keep them.
        if (written && !session.SaveSettings("HtmlMonthOut")) {
            err << "almx html: the range could not be recorded in " << session.SettingsPath()
                << '\n';
        }
    }
    doc.Close();
    return status;
}

const CommandRegistrar registrar({
    "html",
    "FILE --folder DIR --from YYYY/MM --to YYYY/MM [--prefix P] [--top T] [--mobile M] "
    "[--mobile-top MT] [--back-url U] [--no-navi] [--now \"YYYY/MM/DD HH:MM\"] | FILE --copy "
    "YYYY/MM [--mobile] [--password P] [--defaults]",
    "writes the HTML month pages, top pages and style sheets of a range, or prints a month's "
    "copy fragment",
    Run,
});

}  // namespace

}  // namespace almx::cli
