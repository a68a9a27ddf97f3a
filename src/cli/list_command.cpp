// almx list: the schedule list (検索リスト) of a schedule file, its rows in the list's order, the
// seven columns separated by tabs.

#include <ostream>
#include <sstream>
#include <string>

#include "calendar/schedule_list.h"
#include "cli/command_registry.h"
#include "cli/document_session.h"
#include "cli/search_options.h"
#include "document/document.h"

namespace almx::cli {

namespace {

// "1d,2a,0a,3d,4d,5a": key numbers 0 to 5 with a for ascending, d for descending; up to six.
bool ReadKeys(const std::string& text, SortKeyList& keys) {
    std::istringstream items(text);
    std::string item;
    std::size_t position = 0;
    SortKeyList read;
    while (std::getline(items, item, ',')) {
        if (position >= read.keys.size() || item.size() != 2 || item[0] < '0' || item[0] > '5' ||
            (item[1] != 'a' && item[1] != 'd')) {
            return false;
        }
        read.keys[position] = item[0] - '0';
        read.directions[position] = item[1] == 'd' ? 1 : 0;
        ++position;
    }
    if (position == 0) return false;
    // Positions not given compare nothing.
    for (; position < read.keys.size(); ++position) read.keys[position] = -1;
    keys = read;
    return true;
}

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    SearchCondition condition;
    if (std::string problem = ReadSearchOptions(options, condition); !problem.empty()) {
        err << "almx list: " << problem << '\n';
        return 2;
    }
    SortKeyList keys;
    std::string keyText;
    if (options.Value("--keys", keyText) && !ReadKeys(keyText, keys)) {
        err << "almx list: --keys takes up to six of 0 to 5 each followed by a or d, separated "
               "by commas\n";
        return 2;
    }
    std::string password;
    const bool givenPassword = options.Value("--password", password);
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx list: unknown option " << unknown << '\n';
        return 2;
    }
    const Arguments& positional = options.Positional();
    if (positional.empty() || positional.size() > 2) {
        err << "almx list: give FILE and optionally a PATTERN\n";
        return 2;
    }
    if (positional.size() == 2) condition.text = positional[1];

    ReadOnlyDocument opened(givenPassword ? std::optional<std::string>(password) : std::nullopt);
    if (!opened.Open(positional[0], err)) return 1;
    CAlmxDoc& document = opened.Document();

    for (const CAlmxData* record : ScheduleRows(document.Records(), condition, keys)) {
        const ScheduleRowTexts row = ScheduleRow(*record, document.Array().genres);
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::string cell = row[c];
            // One row a line: line breaks and tabs in a cell become blanks.
            for (char& ch : cell) {
                if (ch == '\n' || ch == '\r' || ch == '\t') ch = ' ';
            }
            out << (c ? "\t" : "") << cell;
        }
        out << '\n';
    }
    return 0;
}

const CommandRegistrar registrar({
    "list",
    "FILE [PATTERN] [--ignore-case] [--ignore-width] [--kana] [--mode contains|equals|starts|ends] "
    "[--targets title,place,memo] [--keys 1d,2a,0a,3d,4d,5a] [--password P]",
    "the schedule list: the records matching the pattern (every record without one) in the "
    "list's order (--keys: 0 kind, 1 start, 2 end, 3 genre, 4 title, 5 place, a ascending, d "
    "descending), one row a line, the columns 種別 開始 終了 内容 場所 繰り返し ジャンル "
    "separated by tabs",
    Run,
});

}  // namespace

}  // namespace almx::cli
