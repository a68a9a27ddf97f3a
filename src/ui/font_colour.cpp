#include "ui/font_colour.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace almx {

FontSpec FromQFont(const QFont& font, const FontSpec& previous) {
    FontSpec stored = previous;
    stored.faceName = font.family().toStdString();
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    // Back to logical units at 96 dpi, as FontFromSpec reads them.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96;
    stored.size = -std::max(1, static_cast<int>(std::lround(pixels * 96.0 / (dpi > 0 ? dpi : 96))));
    stored.weight = static_cast<int>(font.weight());
    stored.italic = font.italic() ? 1 : 0;
    stored.underline = font.underline() ? 1 : 0;
    return stored;
}

}  // namespace almx
