#include "base/csv_scan.h"

#include <string>
#include <utility>

#include "text/encoding.h"

namespace almx {

bool SplitsToEnd(std::string_view line) {
    // Ending in a quote and a line feed, every quoted cell that opens before that quote finds
    // its end; only a cell opening at the quote itself (after a comma) needs a closer look.
    const std::size_t n = line.size();
    if (n >= 3 && line[n - 2] == '"' && line[n - 3] != ',') return true;
    std::size_t cursor = 0;
    while (cursor < line.size()) {
        std::size_t next;
        if (line[cursor] == '"') {
            std::size_t close = line.find("\",", cursor + 1);
            if (close == std::string_view::npos) close = line.find("\"\n", cursor + 1);
            if (close == std::string_view::npos) return false;
            next = close + 2;
        } else {
            std::size_t close = line.find_first_of(",\n", cursor);
            if (close == std::string_view::npos) return false;
            next = close + 1;
        }
        if (line[next - 1] == '\n') return true;
        cursor = next;
    }
    return true;
}

void FitToWidth(TCard& row, int width) {
    while (row.Count() < width) row.InsertAt(-1);
    while (row.Count() > width) row.RemoveAt(row.Count() - 1);
}

std::size_t ForEachCsvLine(std::string_view sjis,
                           const std::function<void(std::string_view line, bool last)>& onLine) {
    // A line feed or carriage return byte is never part of a double-byte character, so the
    // bytes split into lines before decoding, and each line is decoded into the same buffer:
    // the whole file is never held twice. CR LF ends a line as LF does; the last line gets its
    // end.
    std::size_t invalid = 0;
    std::string line;
    for (std::size_t start = 0; start < sjis.size();) {
        const std::size_t feed = sjis.find('\n', start);
        const std::size_t next = feed == std::string_view::npos ? sjis.size() : feed + 1;
        std::size_t stop = feed == std::string_view::npos ? sjis.size() : feed;
        if (feed != std::string_view::npos && stop > start && sjis[stop - 1] == '\r') --stop;
        line.clear();
        invalid += text::AppendShiftJisAsUtf8(sjis.substr(start, stop - start), line);
        line += '\n';
        onLine(line, next >= sjis.size());
        start = next;
    }
    return invalid;
}

void CsvLineSplitter::Emit(std::string_view bytes, bool last) {
    std::size_t stop = bytes.size();
    if (stop > 0 && bytes[stop - 1] == '\n') {
        --stop;
        if (stop > 0 && bytes[stop - 1] == '\r') --stop;
    }
    line_.clear();
    invalid_ += text::AppendShiftJisAsUtf8(bytes.substr(0, stop), line_);
    line_ += '\n';
    onLine_(line_, last);
}

void CsvLineSplitter::Feed(std::string_view piece) {
    if (piece.empty()) return;
    std::size_t start = 0;
    if (pendingEnded_) {
        // More bytes follow: the line kept back was not the last.
        Emit(pending_, false);
        pending_.clear();
        pendingEnded_ = false;
    } else if (!pending_.empty()) {
        const std::size_t feed = piece.find('\n');
        if (feed == std::string_view::npos) {
            pending_ += piece;
            return;
        }
        start = feed + 1;
        pending_ += piece.substr(0, start);
        if (start == piece.size()) {
            pendingEnded_ = true;
            return;
        }
        Emit(pending_, false);
        pending_.clear();
    }
    // Lines inside the piece are decoded from it directly; only a line at its end is copied.
    while (start < piece.size()) {
        const std::size_t feed = piece.find('\n', start);
        if (feed == std::string_view::npos || feed + 1 == piece.size()) {
            pending_.assign(piece.substr(start));
            pendingEnded_ = feed != std::string_view::npos;
            return;
        }
        Emit(piece.substr(start, feed + 1 - start), false);
        start = feed + 1;
    }
}

std::size_t CsvLineSplitter::Finish() {
    if (!pending_.empty()) Emit(pending_, true);
    pending_.clear();
    pendingEnded_ = false;
    return invalid_;
}

CsvScan ScanCsvBytes(std::string_view sjis,
                     const std::function<bool(const TCard& header)>& wantRows,
                     const std::function<void(const TCard& row)>& onRow) {
    CsvScan scan;
    TCard row;
    bool first = true;
    bool readRows = false;
    scan.invalidSequences = ForEachCsvLine(sjis, [&](std::string_view line, bool) {
        if (!SplitsToEnd(line)) scan.complete = false;
        if (first) {
            first = false;
            scan.header.Parse(line);
            readRows = wantRows(scan.header);
            return;
        }
        if (!readRows) return;
        row.Parse(line);
        FitToWidth(row, scan.header.Count());
        ++scan.rows;
        onRow(row);
    });
    return scan;
}

}  // namespace almx
