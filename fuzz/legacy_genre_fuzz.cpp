// A legacy genre file of any bytes: a failed read gives no genres, and the genres of a read
// that succeeded archive and read back as themselves. Bytes that were not Shift_JIS become
// "?" on the first archiving; from then on the list is stable.
#include <string>

#include "core/legacy_genre_archive.h"
#include "core/legacy_genre_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const almx::LegacyGenreRead read = almx::ReadLegacyGenreArchive(bytes);
    if (!read.Ok()) {
        FUZZ_CHECK(read.genres.Empty());
        FUZZ_CHECK(read.errorOffset <= size);
        return 0;
    }
    const almx::LegacyGenreRead normal =
        almx::ReadLegacyGenreArchive(almx::testing::GenreArchive(read.genres.Items()));
    FUZZ_CHECK(normal.Ok());
    FUZZ_CHECK(normal.genres.Items().size() == read.genres.Items().size());
    const almx::LegacyGenreRead again =
        almx::ReadLegacyGenreArchive(almx::testing::GenreArchive(normal.genres.Items()));
    FUZZ_CHECK(again.Ok());
    FUZZ_CHECK(again.genres.Items() == normal.genres.Items());
    return 0;
}
