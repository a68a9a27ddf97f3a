#include "exchange/csv_row.h"

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
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '\x01' && c <= '\x04') continue;
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            continue;
        }
        if (c == '"') out += '"';
        out += c;
    }
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
