#include "ui/font_colour.h"

#include <QFontInfo>
#include <algorithm>

namespace almx {

FontSpec FromQFont(const QFont& font, const FontSpec& previous) {
    FontSpec stored = previous;
    stored.faceName = font.family().toStdString();
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    stored.size = -std::max(1, pixels);
    stored.weight = static_cast<int>(font.weight());
    stored.italic = font.italic() ? 1 : 0;
    stored.underline = font.underline() ? 1 : 0;
    return stored;
}

}  // namespace almx
