#pragma once
// MD5 (RFC 1321) and HMAC-MD5 (RFC 2104), for APOP and SMTP CRAM-MD5 only.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace almx::mail {

using Md5Digest = std::array<std::uint8_t, 16>;

Md5Digest Md5(std::string_view bytes);
Md5Digest HmacMd5(std::string_view key, std::string_view message);
// Lower-case hexadecimal, 32 characters.
std::string ToHex(const Md5Digest& digest);

}  // namespace almx::mail
