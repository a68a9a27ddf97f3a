#include "mail/mail_address.h"

namespace almx::mail {

namespace {

std::string Trim(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return std::string(text.substr(begin, end - begin));
}

}  // namespace

std::vector<std::string> SplitRecipients(std::string_view field) {
    std::vector<std::string> items;
    std::string current;
    bool quoted = false;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (quoted && c == '\\' && i + 1 < field.size()) {
            current += c;
            current += field[++i];
            continue;
        }
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            items.push_back(std::move(current));
            current.clear();
            continue;
        }
        current += c;
    }
    items.push_back(std::move(current));
    return items;
}

AddressParts ParseAddressItem(std::string_view item) {
    AddressParts parts;
    const std::size_t lt = item.rfind('<');
    if (lt != std::string_view::npos) {
        const std::size_t gt = item.rfind('>');
        const std::size_t end = (gt != std::string_view::npos && gt > lt) ? gt : item.size();
        parts.address = Trim(item.substr(lt + 1, end - lt - 1));
        parts.name = std::string(item.substr(0, item.find('<')));
        return parts;
    }
    const std::size_t open = item.find('(');
    if (open != std::string_view::npos) {
        parts.address = Trim(item.substr(0, open));
        const std::size_t close = item.find(')', open);
        parts.name = std::string(item.substr(
            open + 1, (close == std::string_view::npos ? item.size() : close) - open - 1));
        return parts;
    }
    parts.address = Trim(item);
    return parts;
}

bool IsValidAddress(std::string_view address) {
    if (address.empty() || address.size() > 254) return false;
    for (unsigned char c : address) {
        if (c <= 0x20 || c >= 0x7f) return false;
        switch (c) {
            case '<':
            case '>':
            case '(':
            case ')':
            case '[':
            case ']':
            case ',':
            case '"':
            case '\'':
            case '`':
                return false;
            default:
                break;
        }
    }
    return true;
}

bool IsLanFolder(std::string_view address) {
    return address.find('\\') != std::string_view::npos || (!address.empty() && address[0] == '/');
}

std::string CleanHeaderText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) continue;
        out += static_cast<char>(c);
    }
    return out;
}

std::string QuoteDisplayName(std::string_view name) {
    bool ascii = true, special = false;
    for (unsigned char c : name) {
        if (c >= 0x80) ascii = false;
        if (std::string_view("()<>[]:;@\\,.\"").find(static_cast<char>(c)) !=
            std::string_view::npos)
            special = true;
    }
    if (!ascii || !special) return std::string(name);
    std::string out = "\"";
    for (char c : name) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace almx::mail
