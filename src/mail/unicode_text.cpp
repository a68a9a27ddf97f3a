#include "mail/unicode_text.h"

#include "mail/base64.h"
#include "text/encoding.h"

namespace almx::mail {

namespace {

std::string DecodeUtf7Run(std::string_view base64) {
    std::string utf16 = Base64Decode(base64);
    utf16.resize(utf16.size() & ~std::size_t{1});  // bits left over pad the run
    auto utf8 = text::Convert(utf16, "UTF-16BE", "UTF-8");
    return utf8 ? text::Utf8ToShiftJis(*utf8).bytes : std::string("?");
}

}  // namespace

std::string Utf8ToSjis(std::string_view utf8) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (utf8.starts_with(kBom)) utf8.remove_prefix(kBom.size());
    return text::Utf8ToShiftJis(utf8).bytes;
}

std::string Utf7ToSjis(std::string_view utf7) {
    std::string out;
    out.reserve(utf7.size());
    std::size_t pos = 0;
    while (pos < utf7.size()) {
        if (utf7[pos] != '+') {
            out += utf7[pos++];
            continue;
        }
        std::size_t begin = pos + 1;
        std::size_t end = begin;
        while (end < utf7.size() && Base64Value(utf7[end]) >= 0) ++end;
        bool dash = end < utf7.size() && utf7[end] == '-';
        if (end == begin) {
            out += '+';  // "+-", or a lone "+" that starts nothing
        } else {
            out += DecodeUtf7Run(utf7.substr(begin, end - begin));
        }
        pos = dash ? end + 1 : end;
    }
    return out;
}

}  // namespace almx::mail
