// Opening a schedule file of any bytes through the document, as the user does: the password
// prompt is answered by a script. Whatever opens saves, and what was saved opens again with the
// same records.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/clock.h"
#include "document/document.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "fuzz_check.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
    static const fs::path folder = [] {
        char pattern[] = "/tmp/almx-fuzz-open-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) std::abort();
        return fs::path(pattern);
    }();
    return folder;
}

void EmptyFolder() {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(Folder(), error)) fs::remove(entry, error);
}

struct Session {
    almx::MemorySettingsStore settings;
    almx::ScriptedPrompter prompter;
    almx::ManualClock clock{almx::DateTime::FromParts(2026, 12, 8, 9, 0)};

    Session() {
        settings.SetInt("System", "HolidayChangeFlag1", 1);
        prompter.ThenText("secret").ThenText("secret");
    }
    almx::DocumentContext Context() {
        almx::DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.programFolder = Folder().string();
        context.computerName = "fuzz";
        return context;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    EmptyFolder();
    const std::string input = (Folder() / "in.alx").string();
    {
        std::ofstream out(input, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Session first;
    almx::CAlmxDoc doc(first.Context());
    if (!doc.Open(input)) return 0;
    const std::string saved = (Folder() / "saved.alx").string();
    FUZZ_CHECK(doc.SaveTo(saved));

    Session second;
    almx::CAlmxDoc again(second.Context());
    FUZZ_CHECK(again.Open(saved));
    FUZZ_CHECK(again.Records().size() == doc.Records().size());
    return 0;
}
