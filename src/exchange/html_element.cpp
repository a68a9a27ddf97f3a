#include "exchange/html_element.h"

#include <algorithm>
#include <utility>

#include "exchange/html_escape.h"

namespace almx {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameChar(char c) {
    return !IsBlank(c) && c != '=' && c != '>' && c != '<' && c != '"' && c != '\'' && c != '/' &&
           c != '\0';
}

bool IsEmptyValue(std::string_view value) {
    return value.empty() || value == "\"\"";
}

}  // namespace

CHtmlElement::CHtmlElement(std::string tag, std::string content)
    : tag_(std::move(tag)), content_(std::move(content)) {}

CHtmlElement::CHtmlElement(std::string tag, const CHtmlElement& child)
    : tag_(std::move(tag)), content_(child.ToString(true)) {}

std::optional<CHtmlElement> CHtmlElement::Parse(std::string_view text) {
    if (text.size() < 3 || text.front() != '<' || text.back() != '>') return std::nullopt;
    std::string_view inner = text.substr(1, text.size() - 2);
    bool selfClosing = false;
    if (inner.size() >= 2 && inner.substr(inner.size() - 2) == " /") {
        selfClosing = true;
        inner.remove_suffix(2);
    }
    std::size_t pos = 0;
    while (pos < inner.size() && IsNameChar(inner[pos])) ++pos;
    if (pos == 0) return std::nullopt;
    CHtmlElement element{std::string(inner.substr(0, pos))};
    element.selfClosing_ = selfClosing;
    element.closing_ = !selfClosing;
    while (pos < inner.size()) {
        if (!IsBlank(inner[pos])) return std::nullopt;
        while (pos < inner.size() && IsBlank(inner[pos])) ++pos;
        if (pos == inner.size()) break;
        const std::size_t nameStart = pos;
        while (pos < inner.size() && IsNameChar(inner[pos])) ++pos;
        if (pos == nameStart) return std::nullopt;
        Attribute attribute{std::string(inner.substr(nameStart, pos - nameStart)), {}, Quote::None};
        if (pos < inner.size() && inner[pos] == '=') {
            ++pos;
            if (pos < inner.size() && (inner[pos] == '"' || inner[pos] == '\'')) {
                const char quote = inner[pos];
                const std::size_t end = inner.find(quote, pos + 1);
                if (end == std::string_view::npos) return std::nullopt;
                attribute.value = HtmlUnescape(inner.substr(pos + 1, end - pos - 1));
                attribute.quote = quote == '"' ? Quote::Double : Quote::Single;
                pos = end + 1;
            } else {
                const std::size_t start = pos;
                while (pos < inner.size() && !IsBlank(inner[pos]) && inner[pos] != '"' &&
                       inner[pos] != '\'' && inner[pos] != '<' && inner[pos] != '>') {
                    ++pos;
                }
                attribute.value = HtmlUnescape(inner.substr(start, pos - start));
            }
        }
        auto same =
            std::find_if(element.attributes_.begin(), element.attributes_.end(),
                         [&](const Attribute& a) { return SameName(a.name, attribute.name); });
        if (same != element.attributes_.end()) {
            *same = std::move(attribute);
        } else {
            element.attributes_.push_back(std::move(attribute));
        }
    }
    return element;
}

void CHtmlElement::SetAttribute(std::string_view name, std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    auto it = std::find_if(attributes_.begin(), attributes_.end(),
                           [&](const Attribute& a) { return SameName(a.name, name); });
    if (it != attributes_.end()) {
        if (IsEmptyValue(value)) {
            attributes_.erase(it);
        } else {
            it->value = std::string(value);
        }
        return;
    }
    if (!IsEmptyValue(value))
        attributes_.push_back({std::string(name), std::string(value), Quote::Double});
}

std::optional<std::string> CHtmlElement::GetAttribute(std::string_view name) const {
    for (const Attribute& attribute : attributes_) {
        if (SameName(attribute.name, name)) return attribute.value;
    }
    return std::nullopt;
}

std::string CHtmlElement::OpenTag() const {
    std::string out = "<";
    out += tag_;
    for (const Attribute& attribute : attributes_) {
        out += ' ';
        out += attribute.name;
        if (!attribute.value.empty()) {
            out += "=\"";
            AppendHtmlEscaped(out, attribute.value);
            out += '"';
        }
    }
    out += selfClosing_ ? " />" : ">";
    return out;
}

void CHtmlElement::AppendTo(std::string& out, bool newline) const {
    out += OpenTag();
    if (newline) out += "\r\n";
    out += content_;
    if (newline) {
        const bool endsInBreak =
            content_.size() >= 2 && content_.compare(content_.size() - 2, 2, "\r\n") == 0;
        if (!endsInBreak) out += "\r\n";
    }
    if (closing_) {
        out += "</";
        out += tag_;
        out += '>';
    }
}

std::string CHtmlElement::ToString(bool newline) const {
    std::string out;
    out.reserve(tag_.size() * 2 + content_.size() + 16);
    AppendTo(out, newline);
    return out;
}

void CHtmlElement::AppendChild(const CHtmlElement& child, bool newline, bool trailingBreak) {
    child.AppendTo(content_, newline);
    if (trailingBreak) content_ += "\r\n";
}

void CHtmlElement::AppendText(std::string_view text) {
    AppendHtmlEscaped(content_, text);
}

}  // namespace almx
