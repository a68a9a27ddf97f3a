#pragma once
// Colours between the stored form 0x00BBGGRR and Qt.

#include <QColor>
#include <cstdint>

namespace almx {

inline QColor ToQColor(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

inline std::uint32_t FromQColor(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) |
           (static_cast<std::uint32_t>(colour.green()) << 8) |
           (static_cast<std::uint32_t>(colour.blue()) << 16);
}

// The ink of lines and captions the program draws in black on a stored background: white when
// the user chose a dark one, so they stay readable.
inline QColor InkOn(const QColor& back) {
    const int luma = (back.red() * 299 + back.green() * 587 + back.blue() * 114) / 1000;
    return luma < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

// A stored black (the default of weekday and entry colours) drawn on a dark stored background
// reads as white; every other colour is the user's.
inline QColor ReadableOn(const QColor& ink, const QColor& back) {
    return ink == QColor(Qt::black) ? InkOn(back) : ink;
}

}  // namespace almx
