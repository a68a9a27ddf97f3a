#include "core/legacy_genre_file.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

#include "base/archive_reader.h"
#include "base/data_folders.h"
#include "base/settings_store.h"
#include "text/encoding.h"

namespace almx {

namespace {

constexpr const char* kTruncated = "ジャンルファイルが途中で切れています";
constexpr const char* kMalformed = "ジャンルファイルの形式が正しくありません";
constexpr const char* kTooLarge = "ジャンルファイルが大きすぎます";
constexpr const char* kUnreadable = "ジャンルファイルを読み込めません";

constexpr archive::ClassSpec kFieldClass{"CAlmxField", 2};
constexpr std::uint16_t kFieldVersion = 100;

using archive::Reader;

// A text: a length byte, 255 then a 16-bit length, 0xFFFF then a 32-bit length; 0xFFFE marks
// a UTF-16 text whose length in characters follows in the same form.
std::string ReadText(Reader& in) {
    bool wide = false;
    std::uint64_t length = 0;
    for (;;) {
        const std::uint8_t byteLength = in.U8();
        if (byteLength < 0xFF) {
            length = byteLength;
            break;
        }
        const std::uint16_t wordLength = in.U16();
        if (wordLength == 0xFFFE) {
            if (wide) in.Fail();
            wide = true;
            continue;
        }
        length = wordLength == 0xFFFF ? in.U32() : wordLength;
        break;
    }
    if (!wide) return text::ShiftJisToUtf8(in.Bytes(static_cast<std::size_t>(length))).text;
    const std::string_view utf16 = in.Bytes(static_cast<std::size_t>(length) * 2);
    std::optional<std::string> utf8 = text::Convert(utf16, "UTF-16LE", "UTF-8");
    if (!utf8) in.Fail();
    return *utf8;
}

CAlmxField ReadFieldBody(Reader& in) {
    if (in.U16() != kFieldVersion) in.Fail();
    CAlmxField genre;
    genre.name = ReadText(in);
    genre.note = ReadText(in);
    genre.colour = in.U32();
    genre.shown = in.U16();
    for (auto& value : genre.values) value = in.U16();
    for (auto& text : genre.texts) text = ReadText(in);
    return genre;
}

}  // namespace

LegacyGenreRead ReadLegacyGenreArchive(std::string_view bytes) {
    LegacyGenreRead result;
    Reader in(bytes);
    try {
        const std::uint32_t count = archive::ReadCount(in);
        archive::LoadTable table;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (table.ReadObjectTag(in, kFieldClass)) result.genres.Append(ReadFieldBody(in));
        }
    } catch (const archive::Failure& failure) {
        result.genres.Clear();
        result.error = failure.kind == archive::FailureKind::Truncated ? kTruncated : kMalformed;
        result.errorOffset = failure.offset;
    }
    return result;
}

std::string LegacyGenreFilePath(SettingsStore& settings,
                                const std::filesystem::path& programFolder) {
    std::string path = settings.GetString("Field", "File", "");
    if (path.empty()) {
        path = DataFile(programFolder, "sfield.dat").string();
        settings.SetString("Field", "File", path);
    }
    return path;
}

DefaultGenreLoad LoadDefaultGenreList(SettingsStore& settings,
                                      const std::filesystem::path& programFolder) {
    DefaultGenreLoad load;
    load.path = LegacyGenreFilePath(settings, programFolder);
    load.genres = CAlmxFieldArray::General();

    std::ifstream file(load.path, std::ios::binary);
    if (!file) return load;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(load.path, error);
    if (error || size > kMaxLegacyGenreFileSize) {
        load.error = error ? kUnreadable : kTooLarge;
        return load;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(file.gcount()) != bytes.size()) {
        load.error = kUnreadable;
        return load;
    }
    if (bytes.empty()) return load;

    LegacyGenreRead read = ReadLegacyGenreArchive(bytes);
    if (!read.Ok()) {
        load.error = read.error;
        return load;
    }
    // A list without genres would leave genre 0 undefined.
    if (!read.genres.Empty()) load.genres = std::move(read.genres);
    return load;
}

}  // namespace almx
