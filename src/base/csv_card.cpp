#include "base/csv_card.h"

#include <algorithm>
#include <cstring>

namespace almx {

namespace {

// Replaces every occurrence of a two-byte sequence, left to right, in one pass.
void ReplacePairs(std::string& text, std::string_view from, std::string_view to) {
    std::size_t pos = text.find(from);
    if (pos == std::string::npos) return;
    std::string out;
    out.reserve(text.size());
    std::size_t last = 0;
    for (; pos != std::string::npos; pos = text.find(from, last)) {
        out.append(text, last, pos - last);
        out.append(to);
        last = pos + from.size();
    }
    out.append(text, last, std::string::npos);
    text.swap(out);
}

bool NeedsEscape(std::string_view text) {
    // One pass without early exit (find_first_of asks memchr once per byte of the text).
    bool found = false;
    for (char c : text) found |= c == ',' || c == '\r' || c == '\n';
    return found;
}

}  // namespace

std::string EscapeCsvField(std::string_view text) {
    std::string out(text);
    if (!NeedsEscape(text)) return out;
    ReplacePairs(out, "\",", "\x03\x04");
    ReplacePairs(out, ",\"", "\x04\x03");
    ReplacePairs(out, "\r\n", "\x01\x02");
    // A bare line feed would end the row; it goes out as a line break too.
    ReplacePairs(out, "\n", "\x01\x02");
    return out;
}

std::string UnescapeCsvField(std::string_view text) {
    std::string out;
    AssignUnescaped(text, out);
    return out;
}

void AssignUnescaped(std::string_view text, std::string& out) {
    // Most fields hold no escape byte: copy them whole. (No early exit: the test vectorises.)
    bool escaped = false;
    for (char c : text) escaped |= static_cast<unsigned char>(c - 1) < 4;
    if (!escaped) {
        out.assign(text);
        return;
    }
    out.clear();
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '\x01' && next == '\x02') {
            out += "\r\n";
            ++i;
        } else if (c == '\x03' && next == '\x04') {
            out += "\",";
            ++i;
        } else if (c == '\x04' && next == '\x03') {
            out += ",\"";
            ++i;
        } else {
            out += c;
        }
    }
}

namespace {

// Calls cell(index, text, quoted) for each cell of a line as the file's rows split (a quoted
// cell ends at the first `",`, else at the first `"` and line feed; a line feed ends the row),
// for at most TCard::kMaxFields cells; returns how many were given.
template <class Cell>
std::size_t ForEachCell(std::string_view line, Cell&& cell) {
    std::size_t used = 0;
    std::size_t cursor = 0;
    while (cursor < line.size()) {
        std::size_t textStart;
        std::size_t textEnd;
        std::size_t next;
        const bool quoted = line[cursor] == '"';
        if (quoted) {
            textStart = cursor + 1;
            // One pass over the quotes finds both candidates.
            std::size_t close = std::string_view::npos;
            std::size_t closeAtFeed = std::string_view::npos;
            for (std::size_t at = line.find('"', textStart); at != std::string_view::npos;
                 at = line.find('"', at + 1)) {
                if (at + 1 >= line.size()) break;
                if (line[at + 1] == ',') {
                    close = at;
                    break;
                }
                if (line[at + 1] == '\n' && closeAtFeed == std::string_view::npos) {
                    closeAtFeed = at;
                }
            }
            if (close == std::string_view::npos) close = closeAtFeed;
            if (close == std::string_view::npos) break;
            textEnd = close;
            next = close + 2;
        } else {
            textStart = cursor;
            std::size_t close = line.find(',', textStart);
            if (close == std::string_view::npos) close = line.find('\n', textStart);
            if (close == std::string_view::npos) break;
            textEnd = close;
            next = close + 1;
        }
        if (used < static_cast<std::size_t>(TCard::kMaxFields)) {
            cell(used, line.substr(textStart, textEnd - textStart), quoted);
            ++used;
        }
        if (line[next - 1] == '\n') break;
        cursor = next;
    }
    return used;
}

}  // namespace

bool TCard::Parse(std::string_view line) {
    // The row's strings are reused from one line to the next: splitting a file then allocates
    // only for fields longer than any before them.
    quoted_.clear();
    const std::size_t used =
        ForEachCell(line, [&](std::size_t index, std::string_view text, bool quoted) {
            if (index == fields_.size()) fields_.emplace_back();
            AssignUnescaped(text, fields_[index]);
            quoted_.push_back(quoted ? 1 : 0);
        });
    fields_.resize(used);
    return used != 0;
}

namespace {

// Whether any byte is below 5 (an escape byte 1 to 4, or a NUL): eight bytes at a time, as a
// byte loop was a third of the split. A NUL only costs a needless look at the cells.
bool MayHoldEscapes(std::string_view text) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    std::size_t i = 0;
    std::uint64_t found = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        // Exact: non-zero exactly when some byte of the word is below 5.
        found |= (word - 5 * kOnes) & ~word & kHighs;
    }
    for (; i < text.size(); ++i) found |= static_cast<unsigned char>(text[i]) < 5;
    return found != 0;
}

}  // namespace

bool CsvCellViews::Split(std::string_view line) {
    // The escape bytes are rare: look for them once per line, then per cell only if found.
    const bool lineEscaped = MayHoldEscapes(line);
    std::size_t kept = 0;
    const std::size_t used =
        ForEachCell(line, [&](std::size_t index, std::string_view text, bool quoted) {
            if (lineEscaped && MayHoldEscapes(text)) {
                if (kept == unescaped_.size()) unescaped_.emplace_back();
                AssignUnescaped(text, unescaped_[kept]);
                text = unescaped_[kept++];
            }
            cells_[index] = text;
            quoted_[index] = quoted ? 1 : 0;
        });
    count_ = static_cast<int>(used);
    return used != 0;
}

void CsvCellViews::FitToWidth(int width) {
    if (width < 0) width = 0;
    if (width > TCard::kMaxFields) width = TCard::kMaxFields;
    for (int i = count_; i < width; ++i) {
        cells_[static_cast<std::size_t>(i)] = std::string_view();
        quoted_[static_cast<std::size_t>(i)] = 1;
    }
    count_ = width;
}

void TCard::AppendCsvLine(std::string& out) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (i != 0) out += ',';
        const std::string& field = fields_[i];
        std::string escaped = NeedsEscape(field) ? EscapeCsvField(field) : std::string();
        std::string_view text = escaped.empty() ? std::string_view(field) : escaped;
        // A bare field that holds a comma or starts with a quote would split differently;
        // such a field is written quoted.
        bool quoted = quoted_[i] || text.find(',') != std::string_view::npos ||
                      (!text.empty() && text.front() == '"');
        if (quoted) out += '"';
        out += text;
        if (quoted) out += '"';
    }
    out += '\n';
}

std::string TCard::ToCsvLine() const {
    std::string out;
    AppendCsvLine(out);
    return out;
}

const std::string& TCard::At(int index) const {
    static const std::string empty;
    if (index < 0 || index >= Count()) return empty;
    return fields_[static_cast<std::size_t>(index)];
}

bool TCard::IsQuoted(int index) const {
    return index >= 0 && index < Count() && quoted_[static_cast<std::size_t>(index)] != 0;
}

void TCard::RemoveAt(int index) {
    if (index < 0 || index >= Count()) return;
    fields_.erase(fields_.begin() + index);
    quoted_.erase(quoted_.begin() + index);
}

bool TCard::Add(std::string_view text) {
    if (Count() >= kMaxFields) return false;
    fields_.emplace_back(text);
    quoted_.push_back(1);
    return true;
}

bool TCard::AddBare(std::string_view text) {
    if (!Add(text)) return false;
    quoted_.back() = 0;
    return true;
}

bool TCard::InsertAt(int index) {
    if (Count() >= kMaxFields) return false;
    if (index < 0 || index > Count()) index = Count();
    fields_.insert(fields_.begin() + index, std::string());
    quoted_.insert(quoted_.begin() + index, 1);
    return true;
}

bool TCard::SetAt(int index, std::string_view text) {
    if (index < 0 || index >= Count()) return false;
    fields_[static_cast<std::size_t>(index)].assign(text);
    return true;
}

void TCard::SetEmpty(int count) {
    if (count < 0) count = 0;
    if (count > kMaxFields) count = kMaxFields;
    fields_.assign(static_cast<std::size_t>(count), std::string());
    quoted_.assign(static_cast<std::size_t>(count), 1);
}

}  // namespace almx
