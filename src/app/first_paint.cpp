#include "app/first_paint.h"

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace almx {

namespace {

class FirstPaintWatcher : public QObject {
  public:
    FirstPaintWatcher(QWidget* window, QString screenshot, int delay, bool exitAfter)
        : QObject(window),
          window_(window),
          screenshot_(std::move(screenshot)),
          delay_(delay),
          exitAfter_(exitAfter) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            if (exitAfter_) {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("first-paint %lld\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
            }
            QTimer::singleShot(delay_, this, [this] { Finish(); });
        }
        return false;
    }

  private:
    void Finish() {
        if (!screenshot_.isEmpty() && window_) {
            if (!window_->grab().save(screenshot_)) {
                std::fprintf(stderr, "almanix: cannot write %s\n", qPrintable(screenshot_));
            }
        }
        if (exitAfter_) QApplication::exit(0);
    }

    QPointer<QWidget> window_;
    QString screenshot_;
    int delay_;
    bool exitAfter_;
    bool seen_ = false;
};

}  // namespace

void WatchFirstPaint(QWidget* window) {
    if (!window) return;
    const QString screenshot = qEnvironmentVariable("ALMX_SCREENSHOT");
    const bool exitAfter = qEnvironmentVariableIntValue("ALMX_EXIT_AFTER_PAINT") == 1;
    if (screenshot.isEmpty() && !exitAfter) return;
    bool ok = false;
    int delay = qEnvironmentVariableIntValue("ALMX_SCREENSHOT_DELAY_MS", &ok);
    if (!ok || delay < 0) delay = screenshot.isEmpty() ? 0 : 300;
    auto* watcher = new FirstPaintWatcher(window, screenshot, delay, exitAfter);
    window->installEventFilter(watcher);
}

}  // namespace almx
