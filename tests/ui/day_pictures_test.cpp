// Day pictures as a phone takes them: upright as the EXIF orientation says, decoded at the
// cell's size on worker threads, kept by path, size and device-pixel ratio.

#include "custom/ui/picture_cache.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdlib>

namespace almx {
namespace {

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return bytes;
}

// Left half one colour, right half the other.
QImage Halves(int width, int height, Qt::GlobalColor left, Qt::GlobalColor right) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(right);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width / 2; ++x) image.setPixelColor(x, y, left);
    }
    return image;
}

// A JPEG whose EXIF segment carries the orientation (6: the camera was turned a quarter to
// the right) and, when given, a thumbnail.
QByteArray CameraJpeg(const QImage& stored, int orientation, const QImage& thumbnail = {}) {
    const QByteArray jpeg = Encoded(stored, "JPEG");
    const QByteArray thumb = thumbnail.isNull() ? QByteArray() : Encoded(thumbnail, "JPEG");
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    auto u16 = [&](int v) { tiff.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto u32 = [&](int v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    // IFD0 at 8: the orientation, then the offset of IFD1 (26) or none.
    u16(1);
    u16(0x0112), u16(3), u32(1), u16(orientation), u16(0);
    u32(thumb.isEmpty() ? 0 : 26);
    if (!thumb.isEmpty()) {
        u16(2);
        u16(0x0201), u16(4), u32(1), u32(26 + 2 + 24 + 4);
        u16(0x0202), u16(4), u32(1), u32(static_cast<int>(thumb.size()));
        u32(0);
        tiff.append(thumb);
    }
    const QByteArray segment = QByteArray("Exif\0\0", 6) + tiff;
    const int length = static_cast<int>(segment.size()) + 2;
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char(length >> 8)).append(char(length & 0xFF)).append(segment);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

bool Near(const QColor& a, Qt::GlobalColor b) {
    const QColor c(b);
    return std::abs(a.red() - c.red()) < 40 && std::abs(a.green() - c.green()) < 40 &&
           std::abs(a.blue() - c.blue()) < 40;
}

class DayPicturesTest : public ::testing::Test {
  protected:
    std::string Write(const char* name, const QByteArray& bytes) {
        const QString path = folder.filePath(QString::fromUtf8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path.toStdString();
    }
    QTemporaryDir folder;
};

TEST_F(DayPicturesTest, APortraitPhotoStandsUprightThumbnailIncluded) {
    // Stored lying on its side: red left, blue right; upright red is on top.
    const std::string photo = Write(
        "IMG_0001.JPG",
        CameraJpeg(Halves(400, 300, Qt::red, Qt::blue), 6, Halves(40, 30, Qt::green, Qt::yellow)));
    const QImage large = PictureCache::Decode(photo, QSize(300, 300), 1);
    ASSERT_EQ(large.size(), QSize(225, 300));
    EXPECT_TRUE(Near(large.pixelColor(112, 20), Qt::red));
    EXPECT_TRUE(Near(large.pixelColor(112, 280), Qt::blue));

    // A small cell takes the thumbnail, turned the same way.
    const QImage small = PictureCache::Decode(photo, QSize(100, 100), 1);
    ASSERT_EQ(small.size(), QSize(30, 40));
    EXPECT_TRUE(Near(small.pixelColor(15, 5), Qt::green));
    EXPECT_TRUE(Near(small.pixelColor(15, 35), Qt::yellow));
}

TEST_F(DayPicturesTest, DecodedAtTheCellsSizeInDevicePixels) {
    const std::string wide =
        Write("wide.png", Encoded(Halves(2000, 1000, Qt::red, Qt::blue), "PNG"));
    const QImage crisp = PictureCache::Decode(wide, QSize(100, 100), 2);
    EXPECT_EQ(crisp.size(), QSize(200, 100));
    EXPECT_EQ(crisp.devicePixelRatio(), 2);
    EXPECT_EQ(crisp.deviceIndependentSize(), QSizeF(100, 50));
    // A small picture keeps its own size at either ratio.
    const std::string small = Write("small.bmp", Encoded(Halves(20, 10, Qt::red, Qt::red), "BMP"));
    EXPECT_EQ(PictureCache::Decode(small, QSize(100, 100), 2).size(), QSize(20, 10));
    // What is no picture gives nothing.
    EXPECT_TRUE(PictureCache::Decode(Write("note.txt", "text"), QSize(50, 50), 1).isNull());
    EXPECT_TRUE(PictureCache::Decode(Write("bad.jpg", "not a jpeg"), QSize(50, 50), 1).isNull());
    EXPECT_TRUE(
        PictureCache::Decode(folder.filePath("none.png").toStdString(), QSize(50, 50), 1).isNull());
}

TEST_F(DayPicturesTest, TheCacheDecodesOffThePaintOncePerPathSizeAndRatio) {
    const std::string photo =
        Write("photo.png", Encoded(Halves(800, 600, Qt::red, Qt::blue), "PNG"));
    PictureCache cache;
    QSignalSpy ready(&cache, &PictureCache::Ready);

    PictureCache::Lookup first = cache.Find(photo, QSize(80, 60), 1);
    EXPECT_TRUE(first.pending);
    EXPECT_TRUE(first.image.isNull());
    // Asked again while it is decoded: still one decode.
    EXPECT_TRUE(cache.Find(photo, QSize(80, 60), 1).pending);
    EXPECT_EQ(cache.PendingCount(), 1);
    cache.WaitForIdle();
    EXPECT_EQ(ready.count(), 1);

    PictureCache::Lookup done = cache.Find(photo, QSize(80, 60), 1);
    EXPECT_FALSE(done.pending);
    EXPECT_EQ(done.image.size(), QSize(80, 60));
    // Another size or ratio is another picture.
    EXPECT_TRUE(cache.Find(photo, QSize(80, 60), 2).pending);
    EXPECT_TRUE(cache.Find(photo, QSize(40, 30), 1).pending);
    // A missing file is tried once, then draws nothing.
    const std::string missing = folder.filePath("gone.jpg").toStdString();
    EXPECT_TRUE(cache.Find(missing, QSize(80, 60), 1).pending);
    cache.WaitForIdle();
    EXPECT_EQ(cache.Find(photo, QSize(80, 60), 2).image.size(), QSize(160, 120));
    const PictureCache::Lookup gone = cache.Find(missing, QSize(80, 60), 1);
    EXPECT_FALSE(gone.pending);
    EXPECT_TRUE(gone.image.isNull());
    EXPECT_EQ(cache.PendingCount(), 0);

    // Beyond its budget the least recently drawn go.
    cache.SetBudget(1);
    EXPECT_TRUE(cache.Find(photo, QSize(20, 15), 1).pending);
    cache.WaitForIdle();
    EXPECT_FALSE(cache.Find(photo, QSize(20, 15), 1).pending);
    EXPECT_TRUE(cache.Find(photo, QSize(80, 60), 1).pending);
}

}  // namespace
}  // namespace almx
