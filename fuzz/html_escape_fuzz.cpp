// Escaped text never holds a raw "<", ">", '"', "'" or a bare "&", and unescaping gives the
// input back.
#include <string>

#include "exchange/html_escape.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string escaped = almx::HtmlEscape(text);
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        FUZZ_CHECK(c != '<' && c != '>' && c != '"' && c != '\'');
        if (c == '&') {
            const std::string_view rest = std::string_view(escaped).substr(i);
            FUZZ_CHECK(rest.starts_with("&amp;") || rest.starts_with("&lt;") ||
                       rest.starts_with("&gt;") || rest.starts_with("&quot;") ||
                       rest.starts_with("&#39;"));
        }
    }
    FUZZ_CHECK(almx::HtmlUnescape(escaped) == text);
    almx::HtmlUnescape(text);
    const std::string encoded = almx::PercentEncodeName(text);
    FUZZ_CHECK(encoded.find_first_of("<>\"' #?/") == std::string::npos);
    return 0;
}
