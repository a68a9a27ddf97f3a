// almx diary: the diary of a schedule file, through the program's own diary code: the days
// found in its folder, one day's text, a search, or the monthly HTML pages.

#include <ostream>
#include <string>

#include "base/date_time.h"
#include "base/file_io.h"
#include "cli/command_registry.h"
#include "cli/console_prompter.h"
#include "cli/document_session.h"
#include "core/display_settings.h"
#include "document/document.h"
#include "exchange/html_calendar.h"
#include "reminders/diary_html.h"
#include "reminders/diary_search.h"
#include "reminders/diary_store.h"

namespace almx::cli {

namespace {

// "YYYY/MM" into year and month.
bool ParseMonth(const std::string& text, int& year, int& month) {
    const auto date = ParseDate(text + "/01");
    if (!date) return false;
    year = date->Year();
    month = date->Month();
    return true;
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    const bool list = options.Flag("--list");
    std::string show, word, mode = "1";
    const bool showing = options.Value("--show", show);
    const bool searching = options.Value("--search", word);
    options.Value("--mode", mode);
    const bool caseSensitive = options.Flag("--case");
    const bool widthSensitive = options.Flag("--width");
    std::string folder;
    const bool html = options.Value("--html", folder);
    std::string password;
    const bool givenPassword = options.Value("--password", password);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx diary: unknown option " << unknown << '\n';
        return 2;
    }
    const Arguments& positional = options.Positional();
    const int actions = int(list) + int(showing) + int(searching) + int(html);
    if (actions > 1 || positional.empty() || positional.size() != (html ? 3u : 1u)) {
        err << "almx diary: give FILE and one of --list, --show DATE, --search WORD or --html "
               "FOLDER FROM TO\n";
        return 2;
    }
    if (mode != "0" && mode != "1" && mode != "2") {
        err << "almx diary: --mode is 0, 1 or 2\n";
        return 2;
    }

    ReadOnlyDocument opened(givenPassword ? std::optional<std::string>(password) : std::nullopt);
    if (!opened.Open(positional[0], err)) return 1;
    ConsolePrompter prompter(err);
    prompter.SetYesNo(Answer::Yes);  // the folder named on the command line may be created
    DiaryStore store(prompter, nullptr, nullptr);
    store.SetDocumentPath(opened.Document().Path());
    store.SetFolder(opened.Document().Array().diaryFolder);

    if (showing) {
        const auto date = ParseDate(show);
        if (!date) {
            err << "almx diary: not a date: " << show << '\n';
            return 2;
        }
        if (!store.HasDiary(*date)) {
            err << "almx diary: no diary on " << FormatDate(*date) << '\n';
            return 1;
        }
        out << store.Load(*date).text;
        return 0;
    }
    if (searching) {
        text::WordOptions wordOptions;
        wordOptions.caseSensitive = caseSensitive;
        wordOptions.widthSensitive = widthSensitive;
        wordOptions.mode = std::stoi(mode);
        const std::vector<DiaryHit> hits = SearchDiary(store, word, wordOptions);
        if (hits.empty()) {
            err << diary_msg::kNotFound << '\n';
            return 1;
        }
        for (const DiaryHit& hit : hits) out << hit.name << '\t' << FirstLine(hit.text) << '\n';
        return 0;
    }
    if (html) {
        HtmlMonthOutSettings request = HtmlMonthOutSettings::Load(opened.Settings(), "HtmlDiary");
        request.folder = folder;
        if (!ParseMonth(positional[1], request.startYear, request.startMonth) ||
            !ParseMonth(positional[2], request.endYear, request.endMonth)) {
            err << "almx diary: FROM and TO are YYYY/MM\n";
            return 2;
        }
        DisplaySettings display = DisplaySettings::Load(opened.Settings());
        DiaryPageStyle style;
        style.backColour = display.backColor;
        style.weekdayColours = display.weekColors;
        style.startMonday = display.startMonday;
        for (int day = 0; day < 7; ++day) style.weekdayNames[day] = display.WeekdayName(day);
        FileWriter writer;
        const auto first = WriteDiaryPages(store, request, style, prompter, writer);
        if (!first) return 1;
        out << *first << '\n';
        return 0;
    }
    // --list (the default): every indexed name, with its date when it names one.
    for (const std::string& name : store.Index()) {
        const auto date = DiaryStore::ParseName(name);
        out << name << '\t' << (date ? FormatDate(*date) : std::string("-")) << '\n';
    }
    return 0;
}

const CommandRegistrar registrar({
    "diary",
    "FILE [--list | --show DATE | --search WORD [--mode 0|1|2] [--case] [--width] | --html "
    "FOLDER FROM TO] [--password P]",
    "the diary of the file's diary folder: the day files found (--list, the default), a day's "
    "text, the days whose text holds the words, or the monthly HTML pages from FROM to TO "
    "(YYYY/MM)",
    Run,
});

}  // namespace

}  // namespace almx::cli
