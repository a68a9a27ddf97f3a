#include "core/legacy_genre_file.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

#include "base/data_folders.h"
#include "base/settings_store.h"
#include "text/encoding.h"

namespace almx {

namespace {

constexpr const char* kTruncated = "ジャンルファイルが途中で切れています";
constexpr const char* kMalformed = "ジャンルファイルの形式が正しくありません";
constexpr const char* kTooLarge = "ジャンルファイルが大きすぎます";
constexpr const char* kUnreadable = "ジャンルファイルを読み込めません";

constexpr std::string_view kClassName = "CAlmxField";
constexpr std::uint16_t kFieldSchema = 2;
constexpr std::uint16_t kFieldVersion = 100;

constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;

struct Failure {
    const char* message;
    std::size_t offset;
};

// Little-endian reads that fail instead of running past the end.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t Offset() const { return pos_; }
    std::size_t Left() const { return bytes_.size() - pos_; }

    std::uint8_t U8() {
        Need(1);
        return static_cast<std::uint8_t>(bytes_[pos_++]);
    }
    std::uint16_t U16() {
        Need(2);
        const auto lo = static_cast<std::uint8_t>(bytes_[pos_]);
        const auto hi = static_cast<std::uint8_t>(bytes_[pos_ + 1]);
        pos_ += 2;
        return static_cast<std::uint16_t>(lo | (hi << 8));
    }
    std::uint32_t U32() {
        const std::uint32_t lo = U16();
        const std::uint32_t hi = U16();
        return lo | (hi << 16);
    }
    std::string_view Bytes(std::size_t count) {
        Need(count);
        std::string_view out = bytes_.substr(pos_, count);
        pos_ += count;
        return out;
    }

    [[noreturn]] void Fail(const char* message) const { throw Failure{message, pos_}; }

  private:
    void Need(std::size_t count) const {
        if (count > Left()) throw Failure{kTruncated, bytes_.size()};
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
};

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
            if (wide) in.Fail(kMalformed);
            wide = true;
            continue;
        }
        length = wordLength == 0xFFFF ? in.U32() : wordLength;
        break;
    }
    if (!wide) return text::ShiftJisToUtf8(in.Bytes(static_cast<std::size_t>(length))).text;
    const std::string_view utf16 = in.Bytes(static_cast<std::size_t>(length) * 2);
    std::optional<std::string> utf8 = text::Convert(utf16, "UTF-16LE", "UTF-8");
    if (!utf8) in.Fail(kMalformed);
    return *utf8;
}

CAlmxField ReadFieldBody(Reader& in) {
    if (in.U16() != kFieldVersion) in.Fail(kMalformed);
    CAlmxField genre;
    genre.name = ReadText(in);
    genre.note = ReadText(in);
    genre.colour = in.U32();
    genre.shown = in.U16();
    for (auto& value : genre.values) value = in.U16();
    for (auto& text : genre.texts) text = ReadText(in);
    return genre;
}

// The archive's table of loaded classes and objects: index 0 is the null object, and every
// new class and every new object takes the next index.
class LoadTable {
  public:
    std::uint32_t Add(bool isClass) {
        isClass_.push_back(isClass);
        return static_cast<std::uint32_t>(isClass_.size() - 1);
    }
    bool IsClass(std::uint32_t index) const { return index < isClass_.size() && isClass_[index]; }

  private:
    std::vector<bool> isClass_{false};
};

// Reads one element; false for a null element.
bool ReadElement(Reader& in, LoadTable& table, CAlmxField& genre) {
    const std::uint16_t tag = in.U16();
    if (tag == kNullTag) return false;
    if (tag == kNewClassTag) {
        const std::uint16_t schema = in.U16();
        const std::uint16_t nameLength = in.U16();
        if (in.Bytes(nameLength) != kClassName) in.Fail(kMalformed);
        if (schema != kFieldSchema) in.Fail(kMalformed);
        table.Add(true);
    } else {
        std::uint32_t objectTag = 0;
        if (tag == kBigObjectTag) {
            objectTag = in.U32();
        } else {
            objectTag = (static_cast<std::uint32_t>(tag & kClassTag) << 16) |
                        static_cast<std::uint32_t>(tag & ~kClassTag);
        }
        // A reference to an object read before would share one genre twice; the program
        // never writes that.
        if ((objectTag & kBigClassTag) == 0) in.Fail(kMalformed);
        if (!table.IsClass(objectTag & ~kBigClassTag)) in.Fail(kMalformed);
    }
    table.Add(false);
    genre = ReadFieldBody(in);
    return true;
}

}  // namespace

LegacyGenreRead ReadLegacyGenreArchive(std::string_view bytes) {
    LegacyGenreRead result;
    Reader in(bytes);
    try {
        std::uint32_t count = in.U16();
        if (count == 0xFFFF) count = in.U32();
        LoadTable table;
        // The count is not trusted for allocation: every element takes at least two bytes.
        for (std::uint32_t i = 0; i < count; ++i) {
            CAlmxField genre;
            if (ReadElement(in, table, genre)) result.genres.Append(std::move(genre));
        }
    } catch (const Failure& failure) {
        result.genres.Clear();
        result.error = failure.message;
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
