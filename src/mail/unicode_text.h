#pragma once
// Unicode header words of received mail, in Shift_JIS.

#include <string>
#include <string_view>

namespace almx::mail {

// Skips a byte order mark; characters code page 932 lacks become "?".
std::string Utf8ToSjis(std::string_view utf8);

// UTF-7 (RFC 2152): "+" starts a run of base64 UTF-16, ended by any other character; a "-"
// ending a run is dropped, anything else is kept, and "+-" is "+". Characters code page 932
// lacks, and a run that is not valid UTF-16, become "?".
std::string Utf7ToSjis(std::string_view utf7);

}  // namespace almx::mail
