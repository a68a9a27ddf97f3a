#pragma once
// Character boundaries in Shift_JIS bytes. A trail byte can look like ASCII ('\\', '@', ...),
// so whether a byte starts a character is only known by scanning from the start of the text.

#include <cstddef>
#include <string>
#include <string_view>

namespace almx::text {

inline bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

inline bool IsSjisTrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// Length in bytes of the character that starts at pos (1 or 2; 1 for a lead byte at the end).
std::size_t SjisCharLength(std::string_view s, std::size_t pos);

// Whether pos is the second byte of a double-byte character (scanning from the start).
bool IsSjisSecondByte(std::string_view s, std::size_t pos);

// The start of the character that contains byte pos (pos itself when it starts one).
std::size_t SjisCharStart(std::string_view s, std::size_t pos);

// The longest prefix of at most maxBytes bytes that does not split a double-byte character.
std::string_view SjisTruncate(std::string_view s, std::size_t maxBytes);

// The number of characters (single- and double-byte) in the text.
std::size_t SjisCharCount(std::string_view s);

// The Shift_JIS form of a UTF-8 text with single-byte letters in lower case: the key of the
// case-insensitive byte comparisons of titles. Second bytes of double-byte characters keep
// their value even where they look like letters ("カ" is 83 4A).
std::string CaseFoldedShiftJis(std::string_view utf8);

}  // namespace almx::text
