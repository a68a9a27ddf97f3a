#pragma once
// Fonts from their stored form. Linux rarely has the faces stored by default ("ＭＳ Ｐゴシック",
// "Arial"): a missing face is mapped to an installed Japanese font while the font keeps the
// stored name, so the settings are written back unchanged.

#include <QFont>
#include <QString>

#include "core/display_settings.h"

namespace almx {

// The installed Japanese font a missing face is drawn with (Gothic or Mincho by its name).
QString JapaneseFallbackFamily(const QString& face);

// Makes sure the face is drawable: when it is not installed, it is substituted.
void MapMissingFace(const QString& face);

// The font of the six stored values. Sizes are Windows logical heights at 96 dpi (negative:
// character height; positive: cell height, ascent plus descent of the face), scaled to the
// screen's logical dpi.
QFont FontFromSpec(const FontSpec& stored);
// The cell height of the face per pixel of character height.
double CellHeightPerEm(const QFont& font);
// The pixel size of a stored height for the face, at the given logical dpi.
int FontPixelSize(const FontSpec& stored, const QFont& font, double logicalDpi);

}  // namespace almx
