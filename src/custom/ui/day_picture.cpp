#include "custom/ui/day_picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <algorithm>

#include "custom/exif_thumbnail.h"
#include "custom/picture_fit.h"

namespace almx {

QImage DayPicture::Load(const std::string& path, int targetWidth, int targetHeight) {
    if (!IsPictureExtension(path)) return {};
    const QString file = QString::fromStdString(path);
    if (!QFileInfo(file).isFile()) return {};
    if (ThumbnailServes(targetWidth, targetHeight)) {
        QFile in(file);
        if (in.open(QIODevice::ReadOnly)) {
            const QByteArray head = in.read(static_cast<qint64>(kExifHeadBytes));
            const auto range = FindExifThumbnail(
                std::string_view(head.constData(), static_cast<std::size_t>(head.size())));
            if (range) {
                QImage thumbnail = QImage::fromData(head.mid(static_cast<qsizetype>(range->offset),
                                                             static_cast<qsizetype>(range->length)),
                                                    "JPEG");
                if (!thumbnail.isNull()) return thumbnail;
            }
        }
    }
    QImageReader reader(file);
    QImage image = reader.read();
    return image;
}

void DayPicture::Free() {
    image_ = QImage();
    path_.clear();
    tried_ = false;
}

void DayPicture::Draw(const std::string& path, QPainter& painter, const QRect& rect) {
    const int width = std::max(1, rect.width());
    const int height = std::max(1, rect.height());
    if (!tried_ || path != path_) {
        image_ = Load(path, width, height);
        path_ = path;
        tried_ = true;
    }
    if (image_.isNull()) return;
    if (image_.depth() < 16 && image_.depth() != 1) {
        image_ = image_.convertToFormat(QImage::Format_RGB32);
    }
    const PictureSize box{width, height};
    PictureSize size{image_.width(), image_.height()};
    if (size.width > width || size.height > height) {
        size = FitPicture(size, box);
        image_ =
            image_.scaled(size.width, size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (image_.isNull()) return;
    }
    const PictureOffset offset = CentrePicture(size, box);
    painter.drawImage(QPoint(rect.left() + offset.x, rect.top() + offset.y), image_);
}

}  // namespace almx
