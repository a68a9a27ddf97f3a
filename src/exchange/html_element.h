#pragma once
// One element of the published pages: a tag, its attributes in order and its content, which is
// HTML already (children and escaped texts are appended to it). Attribute values are kept as
// plain text and escaped when the tag is written.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace almx {

class CHtmlElement {
  public:
    enum class Quote { None, Double, Single };
    struct Attribute {
        std::string name;
        std::string value;
        Quote quote = Quote::Double;
    };

    // A tag name and content that is HTML already (escape texts with HtmlEscape first).
    explicit CHtmlElement(std::string tag, std::string content = {});
    // A tag name holding a child: the child's text (newline mode 1) becomes the content.
    CHtmlElement(std::string tag, const CHtmlElement& child);

    // Reads one opening tag such as "<table id=\"sch\">": the name, then attributes separated
    // by blanks (name, name=value, name="value" or name='value'); a trailing " /" makes it
    // self-closing. Nullopt for anything else (no "<", no ">", no name, text after ">", an
    // unclosed quote).
    static std::optional<CHtmlElement> Parse(std::string_view openingTag);

    // Replaces or appends the attribute (names match in any letter case); an empty value, or
    // a pair of double quotes, removes it. A value between double quotes loses them.
    void SetAttribute(std::string_view name, std::string_view value);
    std::optional<std::string> GetAttribute(std::string_view name) const;
    const std::vector<Attribute>& Attributes() const { return attributes_; }

    // "<", the name, the attributes (name="escaped value", or the name alone when the value is
    // empty), then " />" or ">".
    std::string OpenTag() const;
    // The opening tag, the content and the closing tag; in newline mode CR LF after the
    // opening tag and before the closing one (unless the content already ends in CR LF).
    std::string ToString(bool newline = true) const;
    void AppendTo(std::string& out, bool newline = true) const;

    // Appends the child's text to the content, then CR LF when trailingBreak.
    void AppendChild(const CHtmlElement& child, bool newline = true, bool trailingBreak = false);
    // Appends HTML as it is, or a text escaped.
    void AppendHtml(std::string_view html) { content_ += html; }
    void AppendText(std::string_view text);

    const std::string& Tag() const { return tag_; }
    const std::string& Content() const { return content_; }
    void SetContent(std::string content) { content_ = std::move(content); }
    bool SelfClosing() const { return selfClosing_; }
    void SetSelfClosing(bool on) { selfClosing_ = on; }
    bool Closing() const { return closing_; }
    void SetClosing(bool on) { closing_ = on; }

  private:
    std::string tag_;
    std::vector<Attribute> attributes_;
    std::string content_;
    bool selfClosing_ = false;
    bool closing_ = true;
};

}  // namespace almx
