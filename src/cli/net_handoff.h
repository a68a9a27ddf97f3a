#pragma once
// The commands that talk to a server (mail send, ftp) run in almx-net, a program of their own
// that links Qt Network and libcurl, so that every other command of almx starts without loading
// them (about a third of a small run's memory).

#include <filesystem>
#include <ostream>
#include <vector>

#include "cli/command_registry.h"

namespace almx::cli {

// Where almx-net may be for an almx in programFolder, in the order tried: the installed
// location relative to the bin folder (whatever the prefix), then programFolder itself (a
// build tree). Empty when the folder is unknown.
std::vector<std::filesystem::path> NetProgramCandidates(const std::filesystem::path& programFolder);

// Replaces this process by almx-net running `command` with args; standard input, output and
// the exit status are almx-net's. Returns 1 only when it could not be started, having said why.
int HandOffToNetProgram(const char* command, const Arguments& args, std::ostream& err);

}  // namespace almx::cli
