#include <gtest/gtest.h>

#include <random>
#include <string>

#include "custom/exif_thumbnail.h"
#include "custom/picture_fit.h"

namespace almx {
namespace {

TEST(PictureFit, ShrinksBySideThatLimitsInHundredths) {
    // Width limits: 160 / 1000 = 0.16, so the height is 500 * 16 / 100.
    EXPECT_EQ(FitPicture({1000, 500}, {160, 120}), (PictureSize{160, 80}));
    // Height limits: 120 / 300 = 0.40 against 0.80.
    EXPECT_EQ(FitPicture({200, 300}, {160, 120}), (PictureSize{80, 120}));
    // Ratios are whole hundredths: 100 / 300 is 33, so 200 becomes 66, not 67.
    EXPECT_EQ(FitPicture({300, 200}, {100, 100}), (PictureSize{100, 66}));
    // Only too high: the width shrinks with it.
    EXPECT_EQ(FitPicture({100, 400}, {150, 100}), (PictureSize{25, 100}));
    // At least one pixel.
    EXPECT_EQ(FitPicture({10000, 10}, {50, 50}), (PictureSize{50, 1}));
    EXPECT_EQ(FitPicture({10, 50000}, {50, 50}), (PictureSize{1, 50}));
    // Over a hundred times the box: the exact ratio, not a line.
    EXPECT_EQ(FitPicture({16000, 12000}, {150, 100}), (PictureSize{133, 100}));
    EXPECT_EQ(FitPicture({30000, 10000}, {200, 200}), (PictureSize{200, 66}));
}

TEST(PictureFit, SmallPicturesKeepTheirSizeAndEmptyBoxesCountAsOne) {
    EXPECT_EQ(FitPicture({30, 20}, {100, 50}), (PictureSize{30, 20}));
    EXPECT_EQ(FitPicture({100, 50}, {100, 50}), (PictureSize{100, 50}));
    EXPECT_EQ(FitPicture({30, 20}, {0, -5}), (PictureSize{1, 1}));
    EXPECT_EQ(FitPicture({0, 20}, {100, 100}), (PictureSize{0, 0}));
    // Large sizes do not overflow.
    EXPECT_EQ(FitPicture({2000000000, 1000000000}, {20000000, 20000000}),
              (PictureSize{20000000, 10000000}));
}

TEST(PictureFit, CentredByHalfTheSpareRoomTruncated) {
    EXPECT_EQ(CentrePicture({30, 20}, {100, 50}), (PictureOffset{35, 15}));
    EXPECT_EQ(CentrePicture({31, 21}, {100, 50}), (PictureOffset{34, 14}));
    EXPECT_EQ(CentrePicture({100, 50}, {100, 50}), (PictureOffset{0, 0}));
}

TEST(PictureFit, ExtensionsIgnoringCase) {
    for (const char* path :
         {"a.bmp", "b.GIF", "写真/c.Jpg", "d.jpeg", "e.TIFF", "f.tif", "g.pcx", "h.png"}) {
        EXPECT_TRUE(IsPictureExtension(path)) << path;
    }
    for (const char* path : {"", "png", "a.webp", "a.png.txt", "a.jpe", "/home/u/jpg"}) {
        EXPECT_FALSE(IsPictureExtension(path)) << path;
    }
    EXPECT_TRUE(ThumbnailServes(160, 500));
    EXPECT_TRUE(ThumbnailServes(500, 120));
    EXPECT_FALSE(ThumbnailServes(161, 121));
}

// A JPEG head with an APP0 segment, then APP1 "Exif" holding IFD0 and IFD1 with the
// thumbnail's offset and length, in either byte order.
std::string ExifJpeg(bool bigEndian, const std::string& thumbnail, std::uint32_t lengthTag = 0,
                     std::uint32_t offsetShift = 0) {
    auto u16 = [&](std::uint32_t v) {
        return bigEndian ? std::string{char(v >> 8), char(v & 0xFF)}
                         : std::string{char(v & 0xFF), char(v >> 8)};
    };
    auto u32 = [&](std::uint32_t v) {
        return bigEndian ? u16(v >> 16) + u16(v & 0xFFFF) : u16(v & 0xFFFF) + u16(v >> 16);
    };
    auto entry = [&](std::uint32_t tag, std::uint32_t type, std::uint32_t value) {
        return u16(tag) + u16(type) + u32(1) + u32(value);
    };
    std::string tiff = bigEndian ? "MM" : "II";
    tiff += u16(42) + u32(8);
    // IFD0 at 8: one entry (orientation), next IFD at 26.
    tiff += u16(1) + entry(0x0112, 3, 1) + u32(26);
    // IFD1 at 26: two entries, no next IFD; the thumbnail follows at 26 + 2 + 24 + 4 = 56.
    const std::uint32_t length =
        lengthTag ? lengthTag : static_cast<std::uint32_t>(thumbnail.size());
    tiff += u16(2) + entry(0x0201, 4, 56 + offsetShift) + entry(0x0202, 4, length) + u32(0);
    tiff += thumbnail;
    const std::string exif = std::string("Exif\0\0", 6) + tiff;
    std::string jpeg = "\xFF\xD8";
    jpeg += "\xFF\xE0";  // APP0 "JFIF" of 16 bytes
    jpeg += std::string("\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 16);
    jpeg += "\xFF\xE1";
    const std::size_t segment = exif.size() + 2;
    jpeg += std::string{char(segment >> 8), char(segment & 0xFF)};
    jpeg += exif;
    jpeg += "\xFF\xDA\x00\x02";  // the image data would follow
    return jpeg;
}

const std::string kThumbnail = "\xFF\xD8\xFF\xDBthumb\xFF\xD9";

TEST(ExifThumbnail, FoundInBothByteOrdersAfterOtherSegments) {
    for (bool bigEndian : {false, true}) {
        const std::string jpeg = ExifJpeg(bigEndian, kThumbnail);
        const auto range = FindExifThumbnail(jpeg);
        ASSERT_TRUE(range.has_value()) << bigEndian;
        EXPECT_EQ(jpeg.substr(range->offset, range->length), kThumbnail);
    }
}

TEST(ExifThumbnail, NothingForOtherFilesOrThumbnailsOutsideTheSegment) {
    EXPECT_FALSE(FindExifThumbnail(""));
    EXPECT_FALSE(FindExifThumbnail("\x89PNG\r\n\x1a\n"));
    EXPECT_FALSE(FindExifThumbnail(std::string("\xFF\xD8\xFF\xDA\x00\x02", 6)));
    // Length beyond the segment, offset beyond it, a thumbnail that is no JPEG.
    EXPECT_FALSE(FindExifThumbnail(ExifJpeg(false, kThumbnail, 4000)));
    EXPECT_FALSE(FindExifThumbnail(ExifJpeg(true, kThumbnail, 0, 3000)));
    EXPECT_FALSE(FindExifThumbnail(ExifJpeg(false, "not a jpeg at all")));
    // Each cut of a good head gives nothing or the thumbnail itself, never a range beyond.
    const std::string jpeg = ExifJpeg(true, kThumbnail);
    for (std::size_t size = 0; size < jpeg.size(); ++size) {
        const auto range = FindExifThumbnail(std::string_view(jpeg).substr(0, size));
        if (range) {
            EXPECT_LE(range->offset + range->length, size);
        }
    }
}

TEST(ExifThumbnail, GarbageNeverReadsOutside) {
    std::mt19937 random(11);
    const std::string good = ExifJpeg(false, kThumbnail);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes = good;
        for (int flips = 1 + static_cast<int>(random() % 6); flips > 0; --flips) {
            bytes[random() % bytes.size()] = static_cast<char>(random());
        }
        const auto range = FindExifThumbnail(bytes);
        if (range) {
            ASSERT_LE(range->offset + range->length, bytes.size());
        }
    }
}

}  // namespace
}  // namespace almx
