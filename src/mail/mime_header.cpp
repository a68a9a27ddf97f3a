#include "mail/mime_header.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "mail/base64.h"
#include "mail/jis.h"
#include "mail/quoted_printable.h"
#include "mail/unicode_text.h"
#include "text/sjis_chars.h"

namespace almx::mail {

namespace {

constexpr std::string_view kWordStart = "=?ISO-2022-JP?B?";
constexpr std::string_view kWordEnd = "?=";
constexpr std::string_view kFold = "\r\n ";
constexpr std::size_t kMaxWordLength = 75;
// Base64 comes in groups of four characters for three bytes.
constexpr std::size_t kMaxWordJisBytes =
    (kMaxWordLength - kWordStart.size() - kWordEnd.size()) / 4 * 3;

bool HasDoubleByte(std::string_view sjis) {
    return std::any_of(sjis.begin(), sjis.end(),
                       [](char c) { return text::IsSjisLeadByte(static_cast<unsigned char>(c)); });
}

// The JIS form of the longest run of whole characters from pos that fits one encoded word
// (at least one character); pos moves past it.
std::string NextWordJis(std::string_view sjis, std::size_t& pos) {
    std::size_t end = pos + text::SjisCharLength(sjis, pos);
    std::string jis = SjisToJis(sjis.substr(pos, end - pos)).text;
    while (end < sjis.size()) {
        std::size_t next = end + text::SjisCharLength(sjis, end);
        std::string longer = SjisToJis(sjis.substr(pos, next - pos)).text;
        if (longer.size() > kMaxWordJisBytes) break;
        jis = std::move(longer);
        end = next;
    }
    pos = end;
    return jis;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::size_t FindNoCase(std::string_view text, std::string_view pattern, std::size_t from) {
    for (std::size_t i = from; i + pattern.size() <= text.size(); ++i) {
        if (EqualNoCase(text.substr(i, pattern.size()), pattern)) return i;
    }
    return std::string_view::npos;
}

bool IsBlank(std::string_view s) {
    return s.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

struct WordForm {
    std::string charset;
    char encoding;  // upper case
};

// Charset and encoding of the encoded word that starts at pos ("=?"), if it has both.
std::optional<WordForm> ReadWordForm(std::string_view header, std::size_t pos) {
    std::size_t charsetStart = pos + 2;
    std::size_t charsetEnd = header.find('?', charsetStart);
    if (charsetEnd == std::string_view::npos) return std::nullopt;
    std::size_t encodingEnd = header.find('?', charsetEnd + 1);
    if (encodingEnd != charsetEnd + 2) return std::nullopt;
    char encoding =
        static_cast<char>(std::toupper(static_cast<unsigned char>(header[charsetEnd + 1])));
    return WordForm{std::string(header.substr(charsetStart, charsetEnd - charsetStart)), encoding};
}

std::string DecodePayload(std::string_view payload, const WordForm& form) {
    std::string bytes;
    if (form.encoding == 'B') {
        bytes = Base64Decode(payload);
    } else {
        std::string q(payload);
        std::replace(q.begin(), q.end(), '_', ' ');
        bytes = QpDecode(q);
    }
    if (EqualNoCase(form.charset, "utf-8")) return Utf8ToSjis(bytes);
    if (EqualNoCase(form.charset, "unicode-1-1-utf-7")) return Utf7ToSjis(bytes);
    return bytes;
}

}  // namespace

std::string EncodeMimeHeader(std::string_view sjis) {
    if (!HasDoubleByte(sjis)) return std::string(sjis);
    std::string out;
    for (std::size_t pos = 0; pos < sjis.size();) {
        if (!out.empty()) out += kFold;
        out += kWordStart;
        out += Base64EncodeBytes(NextWordJis(sjis, pos));
        out += kWordEnd;
    }
    return out;
}

std::string DecodeMimeHeader(std::string_view header) {
    std::size_t first = header.find("=?");
    if (first == std::string_view::npos) return std::string(header);
    auto form = ReadWordForm(header, first);
    if (!form) return std::string(header);
    const std::string pattern = "=?" + form->charset + "?" + form->encoding + "?";

    std::string out;
    std::size_t copied = 0;  // header[0, copied) is in out
    bool afterWord = false;
    for (std::size_t hit = FindNoCase(header, pattern, 0); hit != std::string_view::npos;
         hit = FindNoCase(header, pattern, copied)) {
        std::size_t payload = hit + pattern.size();
        std::size_t close = header.find(kWordEnd, payload);
        if (close == std::string_view::npos) break;
        std::string_view between = header.substr(copied, hit - copied);
        if (!(afterWord && IsBlank(between))) out += between;
        out += DecodePayload(header.substr(payload, close - payload), *form);
        copied = close + kWordEnd.size();
        afterWord = true;
    }
    out += header.substr(copied);
    return out;
}

}  // namespace almx::mail
