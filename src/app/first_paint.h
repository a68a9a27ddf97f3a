#pragma once
// Hooks for running the program without a person in front of it. With ALMX_SCREENSHOT=path
// the main window is saved as a PNG once it has painted (after ALMX_SCREENSHOT_DELAY_MS);
// with ALMX_EXIT_AFTER_PAINT=1 the program prints the wall-clock time of its first paint
// ("first-paint <nanoseconds since the epoch>") and ends: the start-up benchmark.

class QWidget;

namespace almx {

void WatchFirstPaint(QWidget* window);

}  // namespace almx
