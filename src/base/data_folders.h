#pragma once
// Where the program's shipped data lives (the holiday template, the help pages, the legacy
// genre file): the installed data folder first, the program's own folder second (so a build
// tree works), never the working directory.

#include <filesystem>
#include <string_view>
#include <vector>

namespace almx {

// The folder of the running executable; empty when the system cannot tell.
std::filesystem::path RunningProgramFolder();

// The folders searched, in order, for a program in programFolder: the installed data folder
// that belongs to it (share/almanix beside its bin folder, whatever the prefix), then
// programFolder itself. Without a program folder, the data folder of the configured prefix.
std::vector<std::filesystem::path> DataFolders(const std::filesystem::path& programFolder);

// The data item called name (a file or a folder) in the first searched folder that holds it.
// When none does: the name in the first searched folder that exists, so a message or a stored
// default points where the item belongs.
std::filesystem::path DataFile(const std::filesystem::path& programFolder, std::string_view name);

}  // namespace almx
