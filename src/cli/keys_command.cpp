// almx keys: prints the bindings of a key assignment file as the program reads them, or makes
// one from display texts and command ids.

#include <charconv>
#include <ostream>
#include <vector>

#include "base/file_io.h"
#include "cli/command_registry.h"
#include "custom/keycust.h"

namespace almx::cli {

namespace {

int Print(const std::string& path, std::ostream& out, std::ostream& err) {
    FileBytes file = ReadFileBytes(path);
    if (file.status != ReadStatus::Complete) {
        err << "almx keys: cannot read " << path << '\n';
        return 1;
    }
    if (file.bytes.size() > kMaxKeyFileSize) {
        err << "almx keys: " << path << " is too large for a key file\n";
        return 1;
    }
    if (file.bytes.empty()) return 0;  // no bindings
    const KeyFileRead read = ReadKeyFile(file.bytes);
    if (!read.Ok()) {
        err << "almx keys: " << path << ": " << read.error << " (byte " << read.errorOffset
            << ")\n";
        return 1;
    }
    for (const CKeycust& binding : read.bindings) {
        out << KeyDisplayTextOrCode(binding) << '\t' << binding.command << '\n';
    }
    return 0;
}

int Make(const std::string& path, const std::vector<std::string>& pairs, std::ostream& err) {
    std::vector<CKeycust> bindings;
    for (const std::string& pair : pairs) {
        const std::size_t equals = pair.rfind('=');
        std::optional<CKeycust> binding;
        unsigned command = 0;
        if (equals != std::string::npos) {
            binding = ParseKeyDisplayText(std::string_view(pair).substr(0, equals));
            const char* first = pair.data() + equals + 1;
            const char* last = pair.data() + pair.size();
            auto [end, error] = std::from_chars(first, last, command);
            if (error != std::errc() || end != last || first == last) binding.reset();
        }
        if (!binding || command == 0 || command > 0xFFFF) {
            err << "almx keys: not TEXT=ID with a key text and a command id: " << pair << '\n';
            return 2;
        }
        binding->command = static_cast<std::uint16_t>(command);
        for (const CKeycust& earlier : bindings) {
            if (earlier.SameKeys(*binding)) {
                err << "almx keys: " << pair << ": the key is bound twice\n";
                return 2;
            }
        }
        bindings.push_back(*binding);
    }
    FileWriter writer;
    if (!SaveReplacing(path, WriteKeyFile(bindings), writer)) {
        err << "almx keys: cannot write " << path << '\n';
        return 1;
    }
    return 0;
}

int Run(const Arguments& args, std::ostream& out, std::ostream& err) {
    OptionReader options(args);
    const bool make = options.Flag("--make");
    if (std::string unknown = options.Unknown(); !unknown.empty()) {
        err << "almx keys: unknown option " << unknown << '\n';
        return 2;
    }
    const Arguments& rest = options.Positional();
    if (rest.empty() || (!make && rest.size() != 1)) {
        err << "almx keys: give one FILE, or --make FILE TEXT=ID...\n";
        return 2;
    }
    if (make) return Make(rest[0], {rest.begin() + 1, rest.end()}, err);
    return Print(rest[0], out, err);
}

const CommandRegistrar registrar({
    "keys",
    "FILE | --make FILE TEXT=ID...",
    "prints a key assignment file's bindings as \"TEXT<TAB>ID\" (exit status 1 when it cannot "
    "be read), or writes one (--make, TEXT as \"Ctrl+F5\" or \"Alt+#200\")",
    Run,
});

}  // namespace

}  // namespace almx::cli
