#pragma once
// Small pieces the list views share: colours and fonts of the settings as Qt takes them, the
// four variants of a list font, the record clipboard and the colour and font choosers.

#include <QColor>
#include <QFont>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/display_settings.h"

class QWidget;

namespace almx {

class CAlmxData;
class SettingsStore;

QColor ListColour(std::uint32_t bgr);
std::uint32_t ListColourValue(const QColor& colour);

// A colour kept as a decimal text; the default when missing or unreadable.
std::uint32_t LoadListColour(const SettingsStore& settings, const char* section, const char* key,
                             std::uint32_t fallback);
void StoreListColour(SettingsStore& settings, const char* section, const char* key,
                     std::uint32_t colour);

// The application's font mapping: a face that is not installed is drawn with an installed
// Japanese font while the font keeps its stored name.
QFont ListFont(const FontSpec& stored);
// The font dialog's choice in the settings' form; the character set is kept.
FontSpec ListFontSpec(const QFont& font, const FontSpec& previous);

// Regular, bold (700), struck out, bold and struck out; index by a record's textStyle.
std::array<QFont, 4> FontVariants(const FontSpec& stored);
inline int FontVariant(int textStyle) {
    return textStyle & 3;
}

// The record's line as the clipboard's plain text.
void CopyRecordLine(const CAlmxData& record);
// The clipboard's whole plain text, UTF-8.
std::string ClipboardText();

// The colour and font choosers; nothing when cancelled.
std::optional<std::uint32_t> AskColour(QWidget* parent, std::uint32_t initial);
std::optional<FontSpec> AskFont(QWidget* parent, const FontSpec& current);

}  // namespace almx
