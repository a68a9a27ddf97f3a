#include "views/list_support.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFontDialog>
#include <algorithm>
#include <cstdlib>

#include "base/settings_store.h"
#include "core/record.h"
#include "core/record_line.h"
#include "ui/font_colour.h"
#include "ui/font_faces.h"

namespace almx {

QColor ListColour(std::uint32_t bgr) {
    return ToQColor(bgr);
}

std::uint32_t ListColourValue(const QColor& colour) {
    return FromQColor(colour);
}

std::uint32_t LoadListColour(const SettingsStore& settings, const char* section, const char* key,
                             std::uint32_t fallback) {
    const std::string text = settings.GetString(section, key, std::to_string(fallback));
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str()) return fallback;
    return static_cast<std::uint32_t>(value) & 0xFFFFFFu;
}

void StoreListColour(SettingsStore& settings, const char* section, const char* key,
                     std::uint32_t colour) {
    settings.SetString(section, key, std::to_string(static_cast<long>(colour)));
}

QFont ListFont(const FontSpec& stored) {
    return FontFromSpec(stored);
}

FontSpec ListFontSpec(const QFont& font, const FontSpec& previous) {
    return FromQFont(font, previous);
}

std::array<QFont, 4> FontVariants(const FontSpec& stored) {
    std::array<QFont, 4> fonts;
    for (int style = 0; style < 4; ++style) {
        QFont font = ListFont(stored);
        if (style & 1) font.setWeight(QFont::Bold);
        font.setStrikeOut((style & 2) != 0);
        fonts[static_cast<std::size_t>(style)] = font;
    }
    return fonts;
}

void CopyRecordLine(const CAlmxData& record) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(QString::fromStdString(RecordLine(record)));
    }
}

std::string ClipboardText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text().toStdString() : std::string();
}

std::optional<std::uint32_t> AskColour(QWidget* parent, std::uint32_t initial) {
    const QColor chosen = QColorDialog::getColor(ListColour(initial), parent);
    if (!chosen.isValid()) return std::nullopt;
    return ListColourValue(chosen);
}

std::optional<FontSpec> AskFont(QWidget* parent, const FontSpec& current) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, ListFont(current), parent);
    if (!ok) return std::nullopt;
    return ListFontSpec(chosen, current);
}

}  // namespace almx
