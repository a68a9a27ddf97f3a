// Base64 of any bytes decodes without harm; encoded bytes decode to themselves, NULs included.
#include <string>

#include "fuzz_check.h"
#include "mail/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    almx::mail::Base64Decode(bytes);
    FUZZ_CHECK(almx::mail::Base64Decode(almx::mail::Base64EncodeBytes(bytes)) == bytes);
    return 0;
}
