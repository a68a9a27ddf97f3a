#include "base/data_folders.h"

#include <system_error>

// Set by the build from the install layout; the defaults are the usual GNU layout.
#ifndef ALMX_DATA_FROM_BIN
#define ALMX_DATA_FROM_BIN "../share/almanix"
#endif
#ifndef ALMX_INSTALLED_DATA_DIR
#define ALMX_INSTALLED_DATA_DIR "/usr/local/share/almanix"
#endif

namespace almx {

namespace fs = std::filesystem;

fs::path RunningProgramFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error || !self.is_absolute()) return {};
    return self.parent_path();
}

std::vector<fs::path> DataFolders(const fs::path& programFolder) {
    // A relative folder would be read against the working directory.
    if (programFolder.empty() || !programFolder.is_absolute()) {
        return {fs::path(ALMX_INSTALLED_DATA_DIR)};
    }
    return {(programFolder / ALMX_DATA_FROM_BIN).lexically_normal(), programFolder};
}

fs::path DataFile(const fs::path& programFolder, std::string_view name) {
    const std::vector<fs::path> folders = DataFolders(programFolder);
    std::error_code error;
    for (const fs::path& folder : folders) {
        if (fs::exists(folder / name, error)) return folder / name;
    }
    for (const fs::path& folder : folders) {
        if (fs::is_directory(folder, error)) return folder / name;
    }
    return folders.back() / name;
}

}  // namespace almx
