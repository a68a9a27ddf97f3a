// The matcher on any bytes: the first byte gives the folding flags and the start offset, the
// rest splits at the first NUL into text and pattern. Find agrees with the plain reading of
// the rules, and Compare is antisymmetric.
#include <string>

#include "fuzz_check.h"
#include "text/matcher.h"
#include "text/matcher_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size < 2) return 0;
    unsigned flags = data[0] & 0x0F;
    std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::size_t split = rest.find('\0');
    std::string text = rest.substr(0, split);
    std::string pattern = split == std::string::npos ? std::string() : rest.substr(split + 1);
    std::size_t start = text.empty() ? 0 : data[1] % (text.size() + 1);

    auto found = almx::text::Find(text, pattern, flags, start);
    auto expected = almx::text::ReferenceFind(text, pattern, flags, start);
    FUZZ_CHECK(found.has_value() == expected.has_value());
    if (found) {
        FUZZ_CHECK(found->offset == expected->offset && found->length == expected->length);
        FUZZ_CHECK(found->offset + found->length <= text.size());
    }
    int ab = almx::text::Compare(text, pattern, flags);
    int ba = almx::text::Compare(pattern, text, flags);
    FUZZ_CHECK((ab < 0 && ba > 0) || (ab > 0 && ba < 0) || (ab == 0 && ba == 0));
    FUZZ_CHECK(ab == almx::text::ReferenceCompare(text, pattern, flags));
    return 0;
}
