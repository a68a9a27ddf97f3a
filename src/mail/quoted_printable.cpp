#include "mail/quoted_printable.h"

#include <algorithm>
#include <string>

namespace almx::mail {

namespace {

constexpr int kLineBudget = 76;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// One line of the text, without its line break.
void DecodeLine(std::string_view raw, std::string& out) {
    std::string line(raw);
    std::erase(line, '\r');
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '=') {
            if (i + 1 == line.size()) return;  // soft line break
            if (i + 2 < line.size() && HexValue(line[i + 1]) >= 0 && HexValue(line[i + 2]) >= 0) {
                out += static_cast<char>(HexValue(line[i + 1]) * 16 + HexValue(line[i + 2]));
                i += 2;
                continue;
            }
        }
        out += line[i];
    }
}

}  // namespace

std::string QpEncode(std::string_view bytes, int firstLineBudget) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    int budget = firstLineBudget;
    int line = 0;
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        bool copy = b >= 0x21 && b <= 0x7E && b != '=';
        if (copy ? line >= budget : line >= budget - 3) {
            out += "=\r\n";
            line = 0;
            budget = kLineBudget;
        }
        if (copy) {
            out += c;
            line += 1;
        } else {
            out += '=';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
            line += 3;
        }
    }
    return out;
}

std::string QpDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        DecodeLine(text.substr(start, end - start), out);
        start = end + 1;
    }
    return out;
}

}  // namespace almx::mail
