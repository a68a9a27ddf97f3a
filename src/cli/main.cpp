// almx: the schedule-file companion on the command line. Each subcommand lives in its own file
// and registers itself.

#include <iostream>
#include <string>

#include "cli/command_registry.h"

namespace {

void PrintHelp(std::ostream& out) {
    out << "Usage: almx COMMAND [ARGUMENTS]\n"
           "Reads and writes Almanix schedule files without a display.\n\n"
           "Commands:\n";
    for (const auto& command : almx::cli::Commands()) {
        out << "  " << command.name << ' ' << command.usage << "\n      " << command.summary
            << '\n';
    }
    out << "\nOptions:\n  --help      show this help\n  --version   show the version\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintHelp(std::cerr);
        return 2;
    }
    std::string first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        PrintHelp(std::cout);
        return 0;
    }
    if (first == "--version") {
        std::cout << "almx " << ALMX_VERSION << '\n';
        return 0;
    }
    for (const auto& command : almx::cli::Commands()) {
        if (first == command.name) {
            return command.run(almx::cli::Arguments(argv + 2, argv + argc), std::cout, std::cerr);
        }
    }
    std::cerr << "almx: unknown command '" << first << "' (see almx --help)\n";
    return 2;
}
