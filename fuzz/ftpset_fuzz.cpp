// ".ftpset": an accepted file reads back the same from the bytes we write for it, and those
// bytes write back unchanged.
#include <string>

#include "document/ftp_settings.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<almx::FtpSettings> read = almx::ParseFtpSettings(bytes);
    if (!read) return 0;
    const std::string written = almx::SerializeFtpSettings(*read);
    const std::optional<almx::FtpSettings> again = almx::ParseFtpSettings(written);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(*again == *read);
    FUZZ_CHECK(almx::SerializeFtpSettings(*again) == written);
    return 0;
}
