#include "exchange/html_escape.h"

#include <array>
#include <utility>

namespace almx {

void AppendHtmlEscaped(std::string& out, std::string_view text) {
    out.reserve(out.size() + text.size());
    std::size_t run = 0;  // start of the bytes not yet written
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* reference;
        switch (text[i]) {
            case '&':
                reference = "&amp;";
                break;
            case '<':
                reference = "&lt;";
                break;
            case '>':
                reference = "&gt;";
                break;
            case '"':
                reference = "&quot;";
                break;
            case '\'':
                reference = "&#39;";
                break;
            default:
                continue;
        }
        out.append(text, run, i - run);
        out += reference;
        run = i + 1;
    }
    out.append(text, run, std::string_view::npos);
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    AppendHtmlEscaped(out, text);
    return out;
}

std::string HtmlUnescape(std::string_view text) {
    static const std::array<std::pair<std::string_view, char>, 8> kReferences{{
        {"&amp;", '&'},
        {"&lt;", '<'},
        {"&gt;", '>'},
        {"&quot;", '"'},
        {"&#39;", '\''},
        {"&#34;", '"'},
        {"&#x27;", '\''},
        {"&#38;", '&'},
    }};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& [reference, c] : kReferences) {
                if (text.substr(i, reference.size()) == reference) {
                    out += c;
                    i += reference.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

std::string PercentEncodeName(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                                byte == '_' || byte == '~';
        if (unreserved) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

}  // namespace almx
