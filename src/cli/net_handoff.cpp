#include "cli/net_handoff.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <system_error>

#include "base/data_folders.h"

// Set by the build from the install layout.
#ifndef ALMX_NET_FROM_BIN
#define ALMX_NET_FROM_BIN "../libexec/almanix"
#endif

namespace almx::cli {

namespace fs = std::filesystem;

namespace {
constexpr const char* kNetProgram = "almx-net";
}  // namespace

std::vector<fs::path> NetProgramCandidates(const fs::path& programFolder) {
    if (programFolder.empty() || !programFolder.is_absolute()) return {};
    return {(programFolder / ALMX_NET_FROM_BIN / kNetProgram).lexically_normal(),
            programFolder / kNetProgram};
}

int HandOffToNetProgram(const char* command, const Arguments& args, std::ostream& err) {
    const std::vector<fs::path> candidates = NetProgramCandidates(RunningProgramFolder());
    fs::path program;
    for (const fs::path& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error) && ::access(candidate.c_str(), X_OK) == 0) {
            program = candidate;
            break;
        }
    }
    if (program.empty()) {
        err << "almx " << command << ": " << kNetProgram << " is not installed ("
            << (candidates.empty() ? std::string("the program's folder is unknown")
                                   : candidates.front().string())
            << ")\n";
        return 1;
    }
    const std::string path = program.string();
    std::vector<char*> argv;
    argv.reserve(args.size() + 3);
    argv.push_back(const_cast<char*>(path.c_str()));
    argv.push_back(const_cast<char*>(command));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // Nothing this process wrote may be lost or come after almx-net's own output.
    std::cout.flush();
    err.flush();
    std::fflush(nullptr);
    ::execv(path.c_str(), argv.data());
    const int error = errno;
    err << "almx " << command << ": cannot start " << path << ": " << std::strerror(error) << '\n';
    return 1;
}

}  // namespace almx::cli
