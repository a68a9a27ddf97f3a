#include "cli/fast_exit.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#if defined(__SANITIZE_ADDRESS__)
#define ALMX_FREE_AT_EXIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define ALMX_FREE_AT_EXIT 1
#endif
#endif

namespace almx::cli {

int EndAfterReading(int status, std::ostream& out) {
    out.flush();
    std::cout.flush();
    std::cerr.flush();
    const bool written = !out.fail() && std::fflush(nullptr) == 0;
    if (!written) {
        std::cerr << "almx: the output could not be written\n";
        if (status == 0) status = 1;
    }
#ifdef ALMX_FREE_AT_EXIT
    return status;
#else
    std::_Exit(status);
#endif
}

}  // namespace almx::cli
