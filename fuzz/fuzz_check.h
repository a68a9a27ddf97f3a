#pragma once
// A property that fails aborts the run, so libFuzzer keeps the input as a crash.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                           \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__,   \
                         #condition);                                                   \
            std::abort();                                                               \
        }                                                                               \
    } while (0)

#include <string_view>

// The codec keeps bytes 0x01 to 0x04 for its escape pairs, so a text holding them raw cannot
// come back as itself; round-trip properties hold for every other input.
inline bool HoldsEscapeBytes(std::string_view bytes) {
    for (char c : bytes) {
        if (c >= '\x01' && c <= '\x04') return true;
    }
    return false;
}
