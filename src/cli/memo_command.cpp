// almx memo: the memo pages of a schedule file, as the memo view builds them and as its
// search of all memos finds them.

#include <ostream>
#include <string>
#include <string_view>

#include "base/prompter.h"
#include "cli/command_registry.h"
#include "cli/document_session.h"
#include "document/document.h"
#include "reminders/memo_book.h"

namespace almx::cli {

namespace {

// A title on one line: its line breaks and tabs as blanks.
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return line;
}

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    const bool list = options.Flag("--list");
    std::string word;
    const bool search = options.Value("--search", word);
    text::WordOptions wordOptions;
    wordOptions.caseSensitive = options.Flag("--case");
    wordOptions.widthSensitive = options.Flag("--width");
    std::string mode;
    if (options.Value("--mode", mode)) {
        if (mode != "0" && mode != "1" && mode != "2") {
            err << "almx memo: --mode takes 0, 1 or 2\n";
            return 2;
        }
        wordOptions.mode = mode[0] - '0';
    }
    std::string password;
    const bool givenPassword = options.Value("--password", password);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx memo: unknown option " << unknown << '\n';
        return 2;
    }
    const Arguments& positional = options.Positional();
    if (positional.size() != 1 || (list && search) || (search && word.empty())) {
        err << "almx memo: give FILE and at most one of --list and --search WORD (not empty)\n";
        return 2;
    }

    ReadOnlyDocument opened(givenPassword ? std::optional<std::string>(password) : std::nullopt);
    if (!opened.Open(positional[0], err)) return 1;
    ScriptedPrompter told;
    MemoBook book(opened.Document(), told);
    book.Build();

    if (search) {
        std::optional<std::vector<MemoHit>> hits = book.SearchAll(word, wordOptions);
        if (!hits || hits->empty()) {
            for (const std::string& message : told.Shown()) err << message << '\n';
            return 1;
        }
        for (const MemoHit& hit : *hits) {
            // The line of the first occurrence.
            const text::MatchText matched(hit.text);
            std::optional<text::Match> at = text::FindWords(matched, word, wordOptions);
            const std::size_t offset = at ? at->offset : 0;
            const std::size_t begin = hit.text.rfind('\n', offset);
            const std::size_t start = begin == std::string::npos ? 0 : begin + 1;
            const std::size_t end = hit.text.find('\n', offset);
            out << hit.index << '\t' << OneLine(hit.title) << '\t'
                << hit.text.substr(start,
                                   end == std::string::npos ? std::string::npos : end - start)
                << '\n';
        }
        return 0;
    }
    for (std::size_t page = 0; page < book.PageCount(); ++page) {
        if (list) {
            out << page << '\t' << OneLine(book.Title(page)) << '\n';
            continue;
        }
        // The title, then the text with every line indented by a tab.
        out << OneLine(book.Title(page)) << '\n';
        const std::string& body = book.StoredBody(page);
        std::size_t from = 0;
        while (from < body.size()) {
            std::size_t end = body.find('\n', from);
            if (end == std::string::npos) end = body.size();
            out << '\t' << std::string_view(body).substr(from, end - from) << '\n';
            from = end + 1;
        }
    }
    return 0;
}

const CommandRegistrar registrar({
    "memo",
    "FILE [--list | --search WORD [--mode 0|1|2] [--case] [--width]] [--password P]",
    "the memo pages: each title followed by its text, every line indented by a tab; --list "
    "\"index<TAB>title\" a line; --search the memos holding the word (--mode 0 the whole input, "
    "1 any blank-separated word, 2 all of them; --case and --width tell letter case and width "
    "apart), \"index<TAB>title<TAB>line of the first hit\" a line, exit status 1 when none",
    Run,
});

}  // namespace

}  // namespace almx::cli
