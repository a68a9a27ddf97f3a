#pragma once
// Base64 of RFC 2045 (standard alphabet, "=" padding, no line breaks).

#include <string>
#include <string_view>

namespace almx::mail {

// Encodes the text up to its first NUL byte.
std::string Base64Encode(std::string_view text);

// Encodes every byte; blocks of 57 bytes give lines of 76 characters.
std::string Base64EncodeBytes(std::string_view bytes);

// Decodes to bytes, NUL bytes included. Characters outside the alphabet (line breaks among
// them) are skipped; the first "=" ends the data; a group cut short at the end gives the
// whole bytes its characters hold.
std::string Base64Decode(std::string_view base64);

// The value 0-63 of a base64 character, or -1.
int Base64Value(char c);

}  // namespace almx::mail
