#include "text/sjis_chars.h"

#include "text/encoding.h"

namespace almx::text {

std::size_t SjisCharLength(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) return 0;
    if (IsSjisLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size()) return 2;
    return 1;
}

std::size_t SjisCharStart(std::string_view s, std::size_t pos) {
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t len = SjisCharLength(s, i);
        if (pos < i + len) return i;
        i += len;
    }
    return pos;
}

bool IsSjisSecondByte(std::string_view s, std::size_t pos) {
    return pos < s.size() && SjisCharStart(s, pos) != pos;
}

std::string_view SjisTruncate(std::string_view s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) return s;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t len = SjisCharLength(s, i);
        if (i + len > maxBytes) break;
        i += len;
    }
    return s.substr(0, i);
}

std::size_t SjisCharCount(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); i += SjisCharLength(s, i)) ++count;
    return count;
}

std::string CaseFoldedShiftJis(std::string_view utf8) {
    std::string bytes = ToShiftJis(utf8);
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SjisCharLength(bytes, i);
        char& c = bytes[i];
        if (length == 1 && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        i += length;
    }
    return bytes;
}

}  // namespace almx::text
