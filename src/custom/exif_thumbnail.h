#pragma once
// The thumbnail a JPEG file carries in its EXIF segment (APP1 "Exif"), found without decoding
// the picture: the JPEG bytes IFD1 points at.

#include <cstddef>
#include <optional>
#include <string_view>

namespace almx {

struct ByteRange {
    std::size_t offset = 0;
    std::size_t length = 0;
    bool operator==(const ByteRange&) const = default;
};

// Where the thumbnail lies in the file's bytes (its head suffices: the segment comes first and
// holds at most 64 KB). Nothing for files that are no JPEG, have no EXIF segment, no IFD1 or
// a thumbnail that is not JPEG or does not lie wholly inside the segment. Never reads outside
// the bytes given, whatever they hold.
std::optional<ByteRange> FindExifThumbnail(std::string_view bytes);

// The most bytes of a file's head FindExifThumbnail needs.
inline constexpr std::size_t kExifHeadBytes = 256 * 1024;

}  // namespace almx
