// Quoted-printable of any bytes decodes without harm; encoded bytes decode to themselves.
#include <string>

#include "fuzz_check.h"
#include "mail/quoted_printable.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0) return 0;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    almx::mail::QpDecode(bytes);
    int budget = 1 + data[0] % 76;
    FUZZ_CHECK(almx::mail::QpDecode(almx::mail::QpEncode(bytes, budget)) == bytes);
    return 0;
}
