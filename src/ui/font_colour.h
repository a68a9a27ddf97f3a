#pragma once
// What the views add to the program's colour and font helpers: the inverse colour of a
// selection and the font dialog's choice back in the stored form.

#include <QFont>
#include <cstdint>

#include "core/display_settings.h"
#include "ui/font_faces.h"
#include "ui/qt_colour.h"

namespace almx {

// Each of red, green and blue replaced by 255 minus itself.
inline std::uint32_t InverseColour(std::uint32_t colour) {
    return ~colour & 0xFFFFFF;
}

// The font dialog's choice in the stored form; the character set is kept.
FontSpec FromQFont(const QFont& font, const FontSpec& previous);

}  // namespace almx
