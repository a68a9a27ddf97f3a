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

struct DecodedText {
    std::string text;
    std::size_t replaced = 0;
};

// UTF-8 after a byte order mark, Shift_JIS otherwise; characters the schedule file cannot
// hold become "?".
DecodedText Decode(std::string_view bytes) {
    DecodedText decoded;
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        bytes.remove_prefix(kUtf8Mark.size());
        const text::SjisEncoding sjis = text::Utf8ToShiftJis(bytes);
        decoded.replaced = sjis.unrepresentable.size();
        decoded.text = text::ShiftJisToUtf8(sjis.bytes).text;
    } else {
        decoded.text = text::ShiftJisToUtf8(bytes).text;
    }
    return decoded;
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
    const auto& items = genres_->Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].name == name) {
            record.genre = static_cast<int>(i);
            return;
        }
    }
    if (!IsExtendableGenreIndex(static_cast<int>(items.size()))) return;
    record.genre = genres_->FindOrAdd(name);
}

const std::vector<std::string>& CAlmxImport::SplitRow(std::string_view rowText) {
    SplitCsvRow(rowText, cells_);
    return cells_;
}

ImportOutcome CAlmxImport::ImportBytes(std::string_view bytes, const CAlmxFieldArray& genres,
                                       const RecordDefaults& defaults, int option) {
    ImportOutcome outcome;
    outcome.genres = genres;
    genres_ = &outcome.genres;
    DecodedText decoded = Decode(bytes);
    outcome.replaced = decoded.replaced;
    const std::string_view text = decoded.text;

    // About one row a line: one growth of the list, within reason for a file of blank lines.
    constexpr std::size_t kReserveLimit = 200000;
    outcome.records.reserve(std::min<std::size_t>(
        static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1, kReserveLimit));

    int state = kBetweenFields;
    std::string pending;  // a row over several lines, joined; a one-line row is read in place
    bool open = false;    // a row goes on past the line just read
    int row = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        const bool lastLine = end == std::string_view::npos;
        if (lastLine) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = lastLine ? text.size() : end + 1;
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
            CAlmxData record(defaults);
            if (ParseLine(row, rowText, record, option) == 1) {
                outcome.records.push_back(std::move(record));
                ++outcome.accepted;
            } else if (row > 0) {
                ++outcome.failed;
            }
            ++row;
        }
        pending.clear();
    }
    if (open) ++outcome.failed;
    genres_ = nullptr;
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
