#pragma once
// A day's picture in a calendar cell: loaded once per path with QImageReader (the EXIF
// thumbnail for small cells), shrunk to fit, centred. The shrunk image is kept and reused
// while the path stays the same.

#include <QImage>
#include <QRect>
#include <string>

class QPainter;

namespace almx {

class DayPicture {
  public:
    // Loads the picture when the path differs from the held one, then draws it in the rect.
    // Paths that are no picture, missing files and unreadable data draw nothing.
    void Draw(const std::string& path, QPainter& painter, const QRect& rect);
    void Free();

    const QImage& Image() const { return image_; }
    const std::string& Path() const { return path_; }

    // The image of a picture file for a target size: the EXIF thumbnail of a JPEG when the
    // target is at most 160 wide or 120 high and the file has one, else the whole picture.
    static QImage Load(const std::string& path, int targetWidth, int targetHeight);

  private:
    QImage image_;
    std::string path_;
    bool tried_ = false;  // a path that gave no image is not read again on every paint
};

}  // namespace almx
