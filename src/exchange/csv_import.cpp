#include "exchange/csv_import.h"

#include <algorithm>

#include "base/file_io.h"
#include "base/prompter.h"
#include "document/document.h"
#include "document/document_messages.h"
#include "exchange/csv_row.h"
#include "exchange/text_file.h"
#include "text/encoding.h"

namespace almx {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Appends one physical line decoded: UTF-8 (after a byte order mark) is kept, with the
// characters the schedule file cannot hold as "?" (counted in replaced); Shift_JIS becomes
// UTF-8. Lines are decoded one at a time, so the file's text is never held whole; a line end
// is never inside a character in either encoding.
void AppendDecodedLine(std::string_view bytes, bool utf8, std::string& text, std::size_t& replaced,
                       text::SjisEncoding& scratch) {
    if (!utf8) {
        text::AppendShiftJisAsUtf8(bytes, text);
        return;
    }
    scratch.bytes.clear();
    scratch.unrepresentable.clear();
    text::AppendUtf8AsShiftJis(bytes, scratch);
    replaced += scratch.unrepresentable.size();
    text::AppendShiftJisAsUtf8(scratch.bytes, text);
}

}  // namespace

std::string ImportResultMessage(int accepted, int failed) {
    namespace m = import_messages;
    if (accepted <= 0) return m::kFailed;
    if (failed <= 0) return m::kAllPrefix + std::to_string(accepted) + m::kAllSuffix;
    return m::kSomePrefix + std::to_string(accepted) + m::kSomeMiddle + std::to_string(failed) +
           m::kSomeSuffix;
}

CAlmxImport::CAlmxImport(CAlmxDoc& target, Prompter& prompter)
    : target_(target), prompter_(prompter) {}

void CAlmxImport::AssignGenre(CAlmxData& record, std::string_view name) {
    record.genre = 0;
    if (name.empty() || !genres_) return;
    if (const auto found = genreIndex_.find(name); found != genreIndex_.end()) {
        record.genre = found->second;
        return;
    }
    const auto& items = genres_->Items();
    if (!IsExtendableGenreIndex(static_cast<int>(items.size()))) return;
    record.genre = genres_->FindOrAdd(name);
    genreIndex_.emplace(std::string(name), record.genre);
}

const std::vector<std::string>& CAlmxImport::SplitRow(std::string_view rowText) {
    SplitCsvRow(rowText, cells_);
    return cells_;
}

const std::vector<std::string_view>& CAlmxImport::SplitRowViews(std::string_view rowText) {
    SplitCsvRowViews(rowText, views_, cells_);
    return views_;
}

ImportOutcome CAlmxImport::ImportBytes(std::string_view bytes, const CAlmxFieldArray& genres,
                                       const RecordDefaults& defaults, int option) {
    ImportOutcome outcome;
    outcome.genres = genres;
    genres_ = &outcome.genres;
    genreIndex_.clear();
    const auto& items = outcome.genres.Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        genreIndex_.emplace(items[i].name, static_cast<int>(i));
    }
    const bool utf8 = bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
    if (utf8) bytes.remove_prefix(kUtf8Mark.size());

    // About one row a line: one growth of the list, within reason for a file of blank lines.
    constexpr std::size_t kReserveLimit = 200000;
    outcome.records.reserve(std::min<std::size_t>(
        static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1, kReserveLimit));

    int state = kBetweenFields;
    std::string pending;  // a row over several lines, joined
    std::string decoded;  // the line just read, as UTF-8
    text::SjisEncoding scratch;
    bool open = false;  // a row goes on past the line just read
    int row = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        const bool lastLine = end == std::string_view::npos;
        if (lastLine) end = bytes.size();
        decoded.clear();
        AppendDecodedLine(bytes.substr(pos, end - pos), utf8, decoded, outcome.replaced, scratch);
        pos = lastLine ? bytes.size() : end + 1;
        std::string_view line = decoded;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const bool continued = open;
        state = ScanCsvLine(line, state);
        open = state == kInQuotedField;
        if (continued || open) {
            if (continued) pending += '\n';
            pending += line;
            if (open) continue;
        }
        const std::string_view rowText = continued ? std::string_view(pending) : line;

        state = kBetweenFields;
        // A blank line is no row.
        if (!rowText.empty()) {
            // The row is parsed into its place in the list, not into a record moved there.
            CAlmxData& record = outcome.records.emplace_back(defaults);
            if (ParseLine(row, rowText, record, option) == 1) {
                ++outcome.accepted;
            } else {
                outcome.records.pop_back();
                if (row > 0) ++outcome.failed;
            }
            ++row;
        }
        pending.clear();
    }
    if (open) ++outcome.failed;
    genres_ = nullptr;
    genreIndex_.clear();
    return outcome;
}

bool CAlmxImport::ImportFile(const std::string& path, int option) {
    if (!target_.CanChange()) return false;
    const FileBytes file = ReadFileBytes(path);
    if (file.status != ReadStatus::Complete) {
        const char* reason =
            file.status == ReadStatus::CannotOpen ? file_messages::kOpen : file_messages::kRead;
        prompter_.ShowMessage(CVeltaFileException(reason, path).what(), MessageKind::Error);
        return false;
    }
    ImportOutcome outcome =
        ImportBytes(file.bytes, target_.Array().genres, target_.NewRecordDefaults(), option);
    if (outcome.accepted > 0) {
        target_.Array().genres = std::move(outcome.genres);
        target_.AddRecords(std::move(outcome.records), false);
    }
    if (outcome.replaced > 0) {
        prompter_.ShowMessage(std::string(doc_messages::kPasteReplacedPrefix) +
                                  std::to_string(outcome.replaced) +
                                  doc_messages::kPasteReplacedSuffix,
                              MessageKind::Warning);
    }
    prompter_.ShowMessage(ImportResultMessage(outcome.accepted, outcome.failed),
                          outcome.accepted > 0 ? MessageKind::Information : MessageKind::Error);
    return outcome.accepted > 0;
}

}  // namespace almx
