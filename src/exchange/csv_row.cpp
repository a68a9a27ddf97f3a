#include "exchange/csv_row.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace almx {

int ScanCsvLine(std::string_view line, int state) {
    // The scan jumps from quote to quote inside quoted fields and from comma to comma inside
    // bare ones: the texts between are never looked at byte by byte.
    const char* p = line.data();
    const char* end = p + line.size();
    if (const void* lf = std::memchr(p, '\n', line.size())) end = static_cast<const char*>(lf);
    while (p < end) {
        if (state == kBetweenFields) {
            if (*p == '"') {
                state = kInQuotedField;
            } else if (*p != ',') {
                state = kInBareField;
            }
            ++p;
        } else if (state == kInBareField) {
            const void* comma = std::memchr(p, ',', static_cast<std::size_t>(end - p));
            if (!comma) break;
            p = static_cast<const char*>(comma) + 1;
            state = kBetweenFields;
        } else {
            const void* found = std::memchr(p, '"', static_cast<std::size_t>(end - p));
            if (!found) break;
            const char* quote = static_cast<const char*>(found);
            // A doubled quote stays inside the field.
            if (quote + 1 < end && quote[1] == '"') {
                p = quote + 2;
            } else {
                p = quote + 1;
                state = kBetweenFields;
            }
        }
    }
    return state;
}

namespace {

// Older files carry the schedule codec's escape pairs inside their fields.
void AppendUnescaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i + 1 < text.size()) {
            const char next = text[i + 1];
            if (c == '\x01' && next == '\x02') {
                out += '\n';
                ++i;
                continue;
            }
            if (c == '\x03' && next == '\x04') {
                out += "\",";
                ++i;
                continue;
            }
            if (c == '\x04' && next == '\x03') {
                out += ",\"";
                ++i;
                continue;
            }
        }
        out += c;
    }
}

}  // namespace

std::vector<std::string> SplitCsvRow(std::string_view row) {
    std::vector<std::string> fields;
    std::string raw;
    std::size_t i = 0;
    while (true) {
        raw.clear();
        if (i < row.size() && row[i] == '"') {
            ++i;
            while (i < row.size()) {
                if (row[i] == '"') {
                    if (i + 1 < row.size() && row[i + 1] == '"') {
                        raw += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                raw += row[i++];
            }
        }
        // Bare text, or what follows a closing quote, runs to the next comma.
        while (i < row.size() && row[i] != ',') raw += row[i++];
        std::string field;
        AppendUnescaped(field, raw);
        fields.push_back(std::move(field));
        if (i >= row.size()) break;
        ++i;  // the comma
    }
    return fields;
}

void SplitCsvRow(std::string_view row, std::vector<std::string>& fields) {
    if (row.find_first_of("\x01\x03\x04") != std::string_view::npos) {
        fields = SplitCsvRow(row);
        return;
    }
    // Without escape pairs the fields are copied straight, into strings kept from the last row.
    std::size_t count = 0;
    std::size_t i = 0;
    while (true) {
        if (count == fields.size()) fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        if (i < row.size() && row[i] == '"') {
            ++i;
            while (i < row.size()) {
                const std::size_t quote = row.find('"', i);
                if (quote == std::string_view::npos) {
                    field.append(row.substr(i));
                    i = row.size();
                    break;
                }
                field.append(row.substr(i, quote - i));
                i = quote + 1;
                if (i < row.size() && row[i] == '"') {
                    field += '"';
                    ++i;
                    continue;
                }
                break;
            }
        }
        const std::size_t comma = std::min(row.find(',', i), row.size());
        field.append(row.substr(i, comma - i));
        i = comma;
        if (i >= row.size()) break;
        ++i;  // the comma
    }
    fields.resize(count);
}

void SplitCsvRowViews(std::string_view row, std::vector<std::string_view>& fields,
                      std::vector<std::string>& store) {
    fields.clear();
    // Three runs of memchr cost less than find_first_of, which tries the set at every byte.
    const auto has = [row](char c) { return std::memchr(row.data(), c, row.size()) != nullptr; };
    if (!row.empty() && (has('\x01') || has('\x03') || has('\x04'))) {
        // Rows of older files with escape pairs are rare: split them the plain way.
        SplitCsvRow(row, store);
        fields.assign(store.begin(), store.end());
        return;
    }
    // Fields with doubled quotes (or text after the closing quote) are built into store after
    // the walk, so that no view points into a string that may still move.
    std::vector<std::pair<std::size_t, std::string_view>> built;
    std::size_t i = 0;
    while (true) {
        std::string_view field;
        const std::size_t close = i < row.size() && row[i] == '"' ? row.find('"', i + 1) : i;
        if (close == std::string_view::npos) {
            field = row.substr(i + 1);  // a quote never closed runs to the end
            i = row.size();
        } else if (close != i && (close + 1 == row.size() || row[close + 1] == ',')) {
            field = row.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            std::size_t j = i;
            if (close != i) {
                // Past the quoted part: a quote followed by a quote is one quote.
                j = i + 1;
                while (j < row.size()) {
                    const std::size_t quote = row.find('"', j);
                    if (quote == std::string_view::npos) {
                        j = row.size();
                        break;
                    }
                    j = quote + 1;
                    if (j < row.size() && row[j] == '"') {
                        ++j;
                        continue;
                    }
                    break;
                }
            }
            const std::size_t comma = std::min(row.find(',', j), row.size());
            if (close != i) {
                built.emplace_back(fields.size(), row.substr(i, comma - i));
            } else {
                field = row.substr(i, comma - i);
            }
            i = comma;
        }
        fields.push_back(field);
        if (i >= row.size()) break;
        ++i;  // the comma
    }
    if (built.empty()) return;
    if (store.size() < built.size()) store.resize(built.size());
    std::vector<std::string> one;
    for (std::size_t k = 0; k < built.size(); ++k) {
        SplitCsvRow(built[k].second, one);
        store[k].swap(one.front());
        fields[built[k].first] = store[k];
    }
}

std::string NormalizeCsvField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '\x01' && c <= '\x04') continue;
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            continue;
        }
        out += c;
    }
    return out;
}

namespace {

// What AppendQuotedField does with a byte: most bytes are copied in runs.
enum FieldByte : unsigned char { kPlainByte, kQuoteByte, kCrByte, kLfByte, kDroppedByte };

constexpr std::array<unsigned char, 256> MakeFieldBytes() {
    std::array<unsigned char, 256> table{};
    table['"'] = kQuoteByte;
    table['\r'] = kCrByte;
    table['\n'] = kLfByte;
    for (int c = 1; c <= 4; ++c) table[static_cast<std::size_t>(c)] = kDroppedByte;
    return table;
}

constexpr std::array<unsigned char, 256> kFieldBytes = MakeFieldBytes();

}  // namespace

void AppendQuotedField(std::string& out, std::string_view text, bool crLf) {
    out += '"';
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t run = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char kind = kFieldBytes[static_cast<unsigned char>(data[i])];
        if (kind == kPlainByte || (kind == kLfByte && !crLf)) continue;
        out.append(data + run, i - run);
        if (kind == kQuoteByte) {
            out.append("\"\"", 2);
        } else if (kind == kCrByte || kind == kLfByte) {
            // CR LF, a lone CR and a lone LF are all one line break.
            if (kind == kCrByte && i + 1 < size && data[i + 1] == '\n') ++i;
            if (crLf) {
                out.append("\r\n", 2);
            } else {
                out += '\n';
            }
        }
        run = i + 1;
    }
    out.append(data + run, size - run);
    out += '"';
}

std::string JoinCsvRow(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        AppendQuotedField(out, fields[i]);
    }
    return out;
}

}  // namespace almx
