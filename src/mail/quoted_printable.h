#pragma once
// Quoted-printable as the vCalendar files and mail header words use it.

#include <string>
#include <string_view>

namespace almx::mail {

// Every byte but 0x21-0x7E (and "=" itself) becomes "=XX", space, tab and line breaks
// included. Lines break with "=\r\n"; the first line has firstLineBudget characters of room
// (what is left after the property name), every later one 76.
std::string QpEncode(std::string_view bytes, int firstLineBudget);

// Line breaks are dropped, "=" with two hexadecimal digits gives the byte, a "=" at the end of
// a line is a soft break; anything else, a "=" without two digits included, is copied.
std::string QpDecode(std::string_view text);

}  // namespace almx::mail
