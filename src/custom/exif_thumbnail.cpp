#include "custom/exif_thumbnail.h"

#include <cstdint>

namespace almx {

namespace {

// The TIFF structure inside the APP1 segment, in its byte order.
class Tiff {
  public:
    explicit Tiff(std::string_view data) : data_(data) {}

    bool ReadHeader() {
        if (data_.size() < 8) return false;
        if (data_.substr(0, 2) == "II") {
            little_ = true;
        } else if (data_.substr(0, 2) == "MM") {
            little_ = false;
        } else {
            return false;
        }
        std::uint32_t magic = 0;
        return U16(2, magic) && magic == 42;
    }

    bool U16(std::size_t at, std::uint32_t& value) const {
        if (at > data_.size() || data_.size() - at < 2) return false;
        const auto b0 = static_cast<unsigned char>(data_[at]);
        const auto b1 = static_cast<unsigned char>(data_[at + 1]);
        value = little_ ? (b0 | (b1 << 8)) : ((b0 << 8) | b1);
        return true;
    }

    bool U32(std::size_t at, std::uint32_t& value) const {
        std::uint32_t a = 0;
        std::uint32_t b = 0;
        if (!U16(at, a) || !U16(at + 2, b)) return false;
        value = little_ ? (a | (b << 16)) : ((a << 16) | b);
        return true;
    }

    // The offset of the IFD after the one at ifd, 0 for none.
    bool NextIfd(std::size_t ifd, std::uint32_t& next) const {
        std::uint32_t count = 0;
        if (!U16(ifd, count)) return false;
        return U32(ifd + 2 + 12 * static_cast<std::size_t>(count), next);
    }

    std::size_t Size() const { return data_.size(); }

  private:
    std::string_view data_;
    bool little_ = true;
};

constexpr std::uint32_t kTagThumbnailOffset = 0x0201;
constexpr std::uint32_t kTagThumbnailLength = 0x0202;

std::optional<ByteRange> ThumbnailInSegment(std::string_view tiffData, std::size_t base) {
    Tiff tiff(tiffData);
    std::uint32_t ifd0 = 0;
    std::uint32_t ifd1 = 0;
    if (!tiff.ReadHeader() || !tiff.U32(4, ifd0) || ifd0 < 8 || !tiff.NextIfd(ifd0, ifd1) ||
        ifd1 < 8 || ifd1 == ifd0) {
        return std::nullopt;
    }
    std::uint32_t count = 0;
    if (!tiff.U16(ifd1, count)) return std::nullopt;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    bool haveOffset = false;
    bool haveLength = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd1 + 2 + 12 * static_cast<std::size_t>(i);
        std::uint32_t tag = 0;
        std::uint32_t value = 0;
        if (!tiff.U16(entry, tag) || !tiff.U32(entry + 8, value)) return std::nullopt;
        if (tag == kTagThumbnailOffset) {
            offset = value;
            haveOffset = true;
        } else if (tag == kTagThumbnailLength) {
            length = value;
            haveLength = true;
        }
    }
    if (!haveOffset || !haveLength || length < 4 || offset > tiff.Size() ||
        tiff.Size() - offset < length) {
        return std::nullopt;
    }
    // A JPEG thumbnail begins with its own start-of-image marker.
    if (static_cast<unsigned char>(tiffData[offset]) != 0xFF ||
        static_cast<unsigned char>(tiffData[offset + 1]) != 0xD8) {
        return std::nullopt;
    }
    return ByteRange{base + offset, length};
}

}  // namespace

std::optional<ByteRange> FindExifThumbnail(std::string_view bytes) {
    auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    if (bytes.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) return std::nullopt;
    std::size_t at = 2;
    // Each step passes a whole segment, so the walk ends within the bytes.
    while (at + 4 <= bytes.size()) {
        if (byte(at) != 0xFF) return std::nullopt;
        const unsigned char marker = byte(at + 1);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        // Markers without a length; the image data begins at SOS, past every APP segment.
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return std::nullopt;
        const std::size_t length = (static_cast<std::size_t>(byte(at + 2)) << 8) | byte(at + 3);
        if (length < 2) return std::nullopt;
        const std::size_t body = at + 4;
        const std::size_t end = at + 2 + length;
        if (marker == 0xE1 && end <= bytes.size() && length >= 2 + 6 &&
            bytes.substr(body, 6) == std::string_view("Exif\0\0", 6)) {
            if (auto found = ThumbnailInSegment(bytes.substr(body + 6, end - body - 6), body + 6))
                return found;
        }
        at = end;
    }
    return std::nullopt;
}

}  // namespace almx
