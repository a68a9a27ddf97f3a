#pragma once
// Number reading as the file formats expect it: the leading digits count, anything after them
// is ignored, and empty or non-numeric text reads as 0 (never an exception, never overflow).

#include <cstdint>
#include <string_view>

namespace almx::text {

// Optional leading blanks, an optional sign, then decimal digits; saturates at the int range.
int LeadingInt(std::string_view text);
// Leading hexadecimal digits (no sign, no prefix), as an unsigned 32-bit value.
std::uint32_t LeadingHex(std::string_view text);
// Whether the text is non-empty and made only of the ASCII digits 0-9.
bool AllDigits(std::string_view text);

}  // namespace almx::text
