#include "views/font_colour.h"

#include <QFontInfo>
#include <algorithm>

namespace almx {

FontSpec FromQFont(const QFont& font, const FontSpec& previous) {
    FontSpec spec = previous;
    spec.faceName = font.family().toStdString();
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    spec.size = -std::max(1, pixels);
    spec.weight = static_cast<int>(font.weight());
    spec.italic = font.italic() ? 1 : 0;
    spec.underline = font.underline() ? 1 : 0;
    return spec;
}

}  // namespace almx
