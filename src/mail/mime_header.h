#pragma once
// MIME encoded words (RFC 2047) for Subject and display names.

#include <string>
#include <string_view>

namespace almx::mail {

// A Shift_JIS header text with no double-byte character is returned as it is. Otherwise it
// becomes "=?ISO-2022-JP?B?...?=" words of at most 75 characters, each a complete JIS
// sequence that ends in ASCII, folded onto continuation lines ("\r\n ") when there are more.
std::string EncodeMimeHeader(std::string_view sjis);

// Decodes the encoded words that have the charset and encoding of the first one ("B" base64,
// otherwise quoted-printable with "_" for space). UTF-8 and UTF-7 words become Shift_JIS;
// other charsets give their bytes as they are. Blanks between two encoded words are dropped,
// blanks next to plain text kept. A word without its closing "?=" and everything after it stay
// as they are.
std::string DecodeMimeHeader(std::string_view header);

}  // namespace almx::mail
