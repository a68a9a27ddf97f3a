#include "custom/ui/picture_cache.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QThread>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "custom/exif_thumbnail.h"
#include "custom/picture_fit.h"

namespace almx {

namespace {

// What QImageReader does with its auto-transform, for an image read some other way (the
// thumbnail carries no orientation of its own; the picture's applies).
QImage Oriented(QImage image, QImageIOHandler::Transformations how) {
    if (how & QImageIOHandler::TransformationMirror) image = image.mirrored(true, false);
    if (how & QImageIOHandler::TransformationFlip) image = image.mirrored(false, true);
    if (how & QImageIOHandler::TransformationRotate90) {
        image = image.transformed(QTransform().rotate(90));
    }
    return image;
}

QImage ExifThumbnail(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = in.read(static_cast<qint64>(kExifHeadBytes));
    const auto range = FindExifThumbnail(
        std::string_view(head.constData(), static_cast<std::size_t>(head.size())));
    if (!range) return {};
    return QImage::fromData(
        head.mid(static_cast<qsizetype>(range->offset), static_cast<qsizetype>(range->length)),
        "JPEG");
}

PictureSize SizeOf(const QSize& size) {
    return PictureSize{size.width(), size.height()};
}

}  // namespace

PictureCache::PictureCache(QObject* parent) : QObject(parent) {
    // Leaves a core to the window thread.
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
}

PictureCache::~PictureCache() {
    pool_.waitForDone();
}

PictureCache& PictureCache::Shared() {
    static QPointer<PictureCache> shared;
    if (!shared) shared = new PictureCache(QCoreApplication::instance());
    return *shared;
}

QImage PictureCache::Decode(const std::string& path, QSize box, qreal ratio) {
    if (!IsPictureExtension(path)) return {};
    const QString file = QString::fromStdString(path);
    if (!QFileInfo(file).isFile()) return {};
    if (ratio <= 0) ratio = 1;
    const PictureSize logical{std::max(1, box.width()), std::max(1, box.height())};
    const PictureSize device{std::max(1, static_cast<int>(std::lround(logical.width * ratio))),
                             std::max(1, static_cast<int>(std::lround(logical.height * ratio)))};

    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QImageIOHandler::Transformations how = reader.transformation();
    const bool turned = how & QImageIOHandler::TransformationRotate90;

    QImage image;
    if (IsJpegExtension(path) && ThumbnailServes(logical.width, logical.height)) {
        image = ExifThumbnail(file);
        if (!image.isNull()) image = Oriented(image, how);
    }
    if (image.isNull()) {
        // Decoded at the size it is drawn: a phone's photo never exists here at full size.
        const QSize stored = reader.size();
        if (stored.isValid()) {
            const PictureSize upright =
                turned ? PictureSize{stored.height(), stored.width()} : SizeOf(stored);
            const PictureSize fit = FitPicture(upright, device);
            if (!(fit == upright)) {
                reader.setScaledSize(turned ? QSize(fit.height, fit.width)
                                            : QSize(fit.width, fit.height));
            }
        }
        image = reader.read();
    }
    if (image.isNull()) return {};
    if (image.depth() < 16 && image.depth() != 1) {
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    const PictureSize own = SizeOf(image.size());
    const PictureSize fit = FitPicture(own, device);
    if (!(fit == own)) {
        image =
            image.scaled(fit.width, fit.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

PictureCache::Lookup PictureCache::Find(const std::string& path, QSize box, qreal ratio) {
    if (path.empty()) return {};
    const Key key{path, box.width(), box.height(), static_cast<int>(std::lround(ratio * 100))};
    if (auto it = done_.find(key); it != done_.end()) {
        it->second.lastUse = ++uses_;
        return Lookup{it->second.image, false};
    }
    if (pending_.insert(key).second) {
        // The cache waits for its pool before it goes, so this outlives the task; a result
        // still queued when it goes is dropped with it.
        pool_.start([this, key, path, box, ratio] {
            QImage image = Decode(path, box, ratio);
            QMetaObject::invokeMethod(
                this, [this, key, image] { Arrived(key, image); }, Qt::QueuedConnection);
        });
    }
    return Lookup{QImage(), true};
}

void PictureCache::Arrived(const Key& key, const QImage& image) {
    if (pending_.erase(key) == 0) return;  // cleared meanwhile
    Entry& entry = done_[key];
    bytes_ -= entry.image.sizeInBytes();
    entry.image = image;
    entry.lastUse = ++uses_;
    bytes_ += image.sizeInBytes();
    Trim();
    emit Ready();
}

void PictureCache::Trim() {
    while (bytes_ > budget_ && done_.size() > 1) {
        auto oldest = std::min_element(
            done_.begin(), done_.end(),
            [](const auto& a, const auto& b) { return a.second.lastUse < b.second.lastUse; });
        bytes_ -= oldest->second.image.sizeInBytes();
        done_.erase(oldest);
    }
}

void PictureCache::WaitForIdle() {
    while (!pending_.empty()) {
        pool_.waitForDone();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        QCoreApplication::processEvents();
    }
}

void PictureCache::Clear() {
    pool_.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    pending_.clear();
    done_.clear();
    bytes_ = 0;
}

}  // namespace almx
