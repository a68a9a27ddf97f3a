#include "exchange/csv_row.h"

#include <algorithm>
#include <cstring>

namespace almx {

int ScanCsvLine(std::string_view line, int state) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\n') break;
        switch (state) {
            case kBetweenFields:
                if (c == '"') {
                    state = kInQuotedField;
                } else if (c != ',') {
                    state = kInBareField;
                }
                break;
            case kInBareField:
                if (c == ',') state = kBetweenFields;
                break;
            default:
                if (c == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        ++i;
                    } else {
                        state = kBetweenFields;
                    }
                }
                break;
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

void AppendQuotedField(std::string& out, std::string_view text) {
    out += '"';
    // Plain bytes are copied in runs; only quotes, CR and the escape bytes stop a run.
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c > '"' || (c != '"' && c != '\r' && (c == 0 || c > 0x04))) continue;
        out.append(text.data() + run, i - run);
        if (c == '"') {
            out += "\"\"";
        } else if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
        run = i + 1;
    }
    out.append(text.data() + run, text.size() - run);
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
