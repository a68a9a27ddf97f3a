#pragma once
// The legacy genre file ("sfield.dat"): an object archive of one genre list, read only. It
// supplies the default genre list that new documents start with.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/genre.h"

namespace almx {

class SettingsStore;

struct LegacyGenreRead {
    CAlmxFieldArray genres;  // what was read; empty on failure
    std::string error;       // empty when the archive was read to its end
    std::size_t errorOffset = 0;

    bool Ok() const { return error.empty(); }
};

// Parses the archive bytes. Truncated or malformed input gives an error and no genres.
LegacyGenreRead ReadLegacyGenreArchive(std::string_view bytes);

// Files larger than this are not read: a genre list is a few kilobytes.
inline constexpr std::size_t kMaxLegacyGenreFileSize = 16u << 20;

// The genre file's path: "Field"/"File", or "sfield.dat" in the program's folder, which is
// then written back to the setting.
std::string LegacyGenreFilePath(SettingsStore& settings,
                                const std::filesystem::path& programFolder);

struct DefaultGenreLoad {
    CAlmxFieldArray genres;  // never empty
    std::string path;
    std::string error;  // set when the file exists but could not be read as a genre list
};

// The application's default genre list. A missing file, an empty one or one that cannot be
// read gives "一般" alone.
DefaultGenreLoad LoadDefaultGenreList(SettingsStore& settings,
                                      const std::filesystem::path& programFolder);

}  // namespace almx
