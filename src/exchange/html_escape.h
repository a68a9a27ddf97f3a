#pragma once
// Escaping for the published HTML pages (month, top, mobile and diary pages): every text that
// comes from records, genres, settings or dialogs goes through here before it reaches a page.

#include <string>
#include <string_view>

namespace almx {

// "&", "<", ">", '"' and "'" as character references; everything else as it is. Serves both
// element content and attribute values written between double quotes.
std::string HtmlEscape(std::string_view text);
void AppendHtmlEscaped(std::string& out, std::string_view text);

// The reverse of HtmlEscape for the five references it writes (and "&#34;" / "&#x27;" forms);
// any other "&" stays as it is.
std::string HtmlUnescape(std::string_view text);

// A file name for an href: every byte but the unreserved ASCII letters, digits and "-._~"
// written as "%XX", so blanks, quotes, "#", "?" and non-ASCII names all survive the link.
std::string PercentEncodeName(std::string_view name);

}  // namespace almx
