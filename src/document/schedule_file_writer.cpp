#include "document/schedule_file_writer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <functional>
#include <string_view>
#include <vector>

#include "base/csv_card.h"
#include "core/record_array.h"
#include "core/record_line.h"
#include "core/schedule_file_format.h"
#include "document/password_scramble.h"
#include "text/encoding.h"

namespace almx {

namespace {

// The codec ends a line with a line feed; the file ends it with CR LF.
void AppendRow(const TCard& row, std::string& out) {
    row.AppendCsvLine(out);
    out.back() = '\r';
    out += '\n';
}

void AppendCells(std::initializer_list<std::string> cells, TCard& row, std::string& out) {
    row.SetEmpty(0);
    for (const std::string& cell : cells) row.Add(cell);
    AppendRow(row, out);
}

}  // namespace

std::string ScheduleHeaderLine() {
    std::string raw;
    for (std::string_view piece : kScheduleHeaderPieces) raw += piece;
    TCard header;
    header.Parse(raw);
    std::string line;
    AppendRow(header, line);
    return line;
}

namespace {

// The file's rows of kinds 2 to 6 as UTF-8 (a few short rows; the records are the file).
std::string DocumentRows(const CAlmxArray& doc) {
    std::string utf8;
    TCard row;
    if (!doc.password.empty()) {
        AppendCells({"2", ScramblePassword(doc.password)}, row, utf8);
    }
    for (const auto& [key, property] : doc.dayProperties) {
        AppendCells({"3", key, Hex6(property.colour), CellFromText(property.text)}, row, utf8);
    }
    AppendCells({"4", CellFromText(doc.diaryFolder), "", std::to_string(doc.version),
                 std::to_string(doc.defaultScheduleGenre), std::to_string(doc.defaultTodoGenre),
                 std::to_string(doc.extraNumber), CellFromText(doc.extraText)},
                row, utf8);
    for (const CAlmxField& genre : doc.genres.Items()) {
        AppendCells({"5", CellFromText(genre.name), std::to_string(genre.shown), Hex6(genre.colour),
                     CellFromText(genre.note)},
                    row, utf8);
    }
    for (const CMemoData& page : doc.memoPages) {
        AppendCells({"6", CellFromText(page.title), CellFromText(page.text)}, row, utf8);
    }
    return utf8;
}

// Where the file's bytes are written: room is asked for before each piece and the piece
// written there, so a record line goes out without a string of its own. Whole: one buffer
// that grows; otherwise blocks handed to the sink as they fill.
class FileOutput {
  public:
    FileOutput(std::size_t expected, const std::function<bool(std::string_view)>* sink)
        : sink_(sink) {
        buffer_.reserve(expected);
        buffer_.resize(std::min(expected, kStep));
    }

    // Room for at least n bytes at the returned place; nullptr when the sink refused a block.
    char* Room(std::size_t n) {
        if (used_ + n > buffer_.size()) {
            if (sink_ != nullptr && used_ != 0 && !Flush()) return nullptr;
            // Grown a step at a time so the zero-filling stays in the cache just before the
            // bytes are written over it.
            if (used_ + n > buffer_.size())
                buffer_.resize(std::max(used_ + n, buffer_.size() + kStep));
        }
        return buffer_.data() + used_;
    }
    void Done(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }
    void Put(std::string_view utf8) {
        if (char* at = Room(utf8.size())) Done(text::WriteUtf8AsShiftJis(utf8, at, missing_));
    }
    // The rest handed to the sink; false when it refused a block.
    bool Flush() {
        if (used_ == 0) return ok_;
        ok_ = ok_ && (*sink_)(std::string_view(buffer_.data(), used_));
        used_ = 0;
        return ok_;
    }
    std::string TakeWhole() {
        buffer_.resize(used_);
        return std::move(buffer_);
    }
    std::size_t Unrepresentable() const { return missing_.size(); }
    std::vector<std::string>& Missing() { return missing_; }

  private:
    static constexpr std::size_t kStep = 256 * 1024;

    const std::function<bool(std::string_view)>* sink_;
    std::string buffer_;
    std::size_t used_ = 0;
    bool ok_ = true;
    std::vector<std::string> missing_;
};

// False when the sink refused a block (nothing more is made then).
bool WriteFile(const CAlmxArray& doc, FileOutput& out) {
    out.Put(ScheduleHeaderLine());
    out.Put(DocumentRows(doc));
    constexpr std::string_view kLineEnd = "\r\n";
    for (const CAlmxData& record : doc.records) {
        char* at = out.Room(RecordLineShiftJisBound(record, kLineEnd));
        if (at == nullptr) return false;
        out.Done(WriteRecordLineShiftJis(record, at, out.Missing(), kLineEnd));
    }
    return true;
}

}  // namespace

ScheduleFileBytes WriteScheduleFile(const CAlmxArray& doc) {
    // Record lines of the usual texts run to about 200 bytes; room only reserved is not
    // touched, so a generous guess costs nothing.
    FileOutput out(4096 + doc.records.size() * 256, nullptr);
    WriteFile(doc, out);
    const std::size_t missing = out.Unrepresentable();
    return {out.TakeWhole(), missing};
}

bool WriteScheduleFileBlocks(const CAlmxArray& doc,
                             const std::function<bool(std::string_view)>& sink,
                             std::size_t& unrepresentable) {
    FileOutput out(kScheduleFileBlock, &sink);
    const bool made = WriteFile(doc, out) && out.Flush();
    unrepresentable = out.Unrepresentable();
    return made;
}

}  // namespace almx
