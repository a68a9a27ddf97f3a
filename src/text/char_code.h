#pragma once
// Character codes of Shift_JIS text: one byte for ASCII and half-width katakana (0xA1-0xDF),
// lead * 256 + trail for a double-byte character.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/sjis_chars.h"

namespace almx::text {

using CharCode = std::uint16_t;

// The code of the character of len bytes (1 or 2) at pos.
inline CharCode CharCodeAt(std::string_view s, std::size_t pos, std::size_t len) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    return len == 2 ? static_cast<CharCode>(byte(pos) << 8 | byte(pos + 1)) : byte(pos);
}

inline void AppendCharCode(std::string& out, CharCode code) {
    if (code > 0xFF) out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

inline bool IsDoubleByte(CharCode code) {
    return code > 0xFF;
}

}  // namespace almx::text
