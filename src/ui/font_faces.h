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

// The font of the six stored values. Sizes are pixel heights (negative: character height;
// positive: cell height, of which the character takes about four fifths).
QFont FontFromSpec(const FontSpec& stored);

}  // namespace almx
