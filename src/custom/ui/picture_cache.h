#pragma once
// Day pictures as the month view paints them: decoded on worker threads at the size they are
// drawn (upright as the camera's EXIF orientation says, at the screen's device-pixel ratio),
// kept by path, size and ratio, and handed back to the window thread. A paint never decodes:
// it takes what is ready and asks for the rest.

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QThreadPool>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>

namespace almx {

class PictureCache : public QObject {
    Q_OBJECT
  public:
    explicit PictureCache(QObject* parent = nullptr);
    ~PictureCache() override;

    // The one every view shares (owned by the application object).
    static PictureCache& Shared();

    struct Lookup {
        QImage image;          // ready: drawn at image.deviceIndependentSize(), centred
        bool pending = false;  // being decoded: paint a placeholder
    };
    // The picture for a box of the given logical size at the ratio. When it is not decoded yet
    // it is asked for (once) and comes with Ready. A path that gives no picture gives a null
    // image and is not read again.
    Lookup Find(const std::string& path, QSize box, qreal ratio);

    // Reads the picture for the box on any thread: the EXIF thumbnail of a JPEG for a small
    // box, else the picture decoded at the size that fits the box in device pixels (never
    // larger than the picture), turned upright. Null for what is no picture.
    static QImage Decode(const std::string& path, QSize box, qreal ratio);

    // Waits until nothing is being decoded and every result has arrived (tests, benchmarks).
    void WaitForIdle();
    int PendingCount() const { return static_cast<int>(pending_.size()); }
    void Clear();
    // Bytes of decoded pictures kept; the least recently drawn go first beyond it.
    void SetBudget(std::int64_t bytes) { budget_ = bytes; }

  signals:
    // A picture asked for is ready: views that draw it repaint.
    void Ready();

  private:
    using Key = std::tuple<std::string, int, int, int>;  // path, width, height, ratio x 100
    struct Entry {
        QImage image;
        std::uint64_t lastUse = 0;
    };

    void Arrived(const Key& key, const QImage& image);
    void Trim();

    std::map<Key, Entry> done_;
    std::set<Key> pending_;
    std::uint64_t uses_ = 0;
    std::int64_t bytes_ = 0;
    std::int64_t budget_ = 256ll * 1024 * 1024;
    QThreadPool pool_;  // last: its threads end before the maps go
};

}  // namespace almx
