// A key assignment file of any bytes: a failed read gives no bindings and an error offset
// inside the input; a good read has no two bindings on one key with its modifiers, no command
// 0 and modifiers 0 or 1; written and read back it is the same list, written again the same
// bytes; each binding's key looks up its own command.
#include <string>

#include "custom/keycust.h"
#include "fuzz_check.h"

namespace {

int LookUp(const std::vector<almx::CKeycust>& bindings, const almx::CKeycust& keys) {
    for (const almx::CKeycust& binding : bindings) {
        if (binding.SameKeys(keys)) return binding.command;
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const almx::KeyFileRead read = almx::ReadKeyFile(bytes);
    if (!read.Ok()) {
        FUZZ_CHECK(read.bindings.empty());
        FUZZ_CHECK(read.errorOffset <= size);
        return 0;
    }
    for (std::size_t i = 0; i < read.bindings.size(); ++i) {
        const almx::CKeycust& binding = read.bindings[i];
        FUZZ_CHECK(binding.command != 0);
        FUZZ_CHECK(binding.alt <= 1 && binding.shift <= 1 && binding.ctrl <= 1);
        for (std::size_t j = 0; j < i; ++j) FUZZ_CHECK(!read.bindings[j].SameKeys(binding));
        FUZZ_CHECK(LookUp(read.bindings, binding) == binding.command);
    }
    const std::string written = almx::WriteKeyFile(read.bindings);
    const almx::KeyFileRead again = almx::ReadKeyFile(written);
    FUZZ_CHECK(again.Ok());
    FUZZ_CHECK(again.mended == 0);
    FUZZ_CHECK(again.bindings == read.bindings);
    FUZZ_CHECK(almx::WriteKeyFile(again.bindings) == written);
    return 0;
}
