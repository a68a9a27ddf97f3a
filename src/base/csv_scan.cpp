#include "base/csv_scan.h"

#include <cstring>
#include <string>

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
    text::Utf8Decoding decoded = text::ShiftJisToUtf8(sjis);
    std::string& text = decoded.text;
    // CR LF becomes LF in place and the last line gets its end, so every line can be split
    // where it lies, without a copy.
    std::size_t kept = 0;
    for (std::size_t from = 0; from < text.size();) {
        std::size_t crlf = text.find("\r\n", from);
        std::size_t stop = crlf == std::string::npos ? text.size() : crlf;
        if (kept != from) std::memmove(text.data() + kept, text.data() + from, stop - from);
        kept += stop - from;
        from = crlf == std::string::npos ? text.size() : crlf + 1;
    }
    text.resize(kept);
    if (!text.empty() && text.back() != '\n') text += '\n';

    const std::string_view all(text);
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = all.find('\n', start) + 1;
        onLine(all.substr(start, end - start), end >= all.size());
        start = end;
    }
    return decoded.invalidSequences;
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
