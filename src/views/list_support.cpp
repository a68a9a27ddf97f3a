#include "views/list_support.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QStringList>
#include <algorithm>
#include <cstdlib>

#include "core/record.h"
#include "core/record_line.h"
#include "core/settings_store.h"

namespace almx {

namespace {

// An installed family to draw a missing face with: Mincho, monospace Gothic or Gothic.
QString FallbackFamily(const QString& face) {
    const bool mincho = face.contains(QStringLiteral("明朝")) ||
                        face.contains(QStringLiteral("Mincho"), Qt::CaseInsensitive);
    const bool proportional = face.contains(QStringLiteral("Ｐ")) ||
                              face.contains(QStringLiteral("UI")) ||
                              !face.contains(QStringLiteral("ゴシック"));
    const QStringList candidates =
        mincho ? QStringList{QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAPMincho")}
        : proportional
            ? QStringList{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")}
            : QStringList{QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"),
                          QStringLiteral("Noto Sans CJK JP")};
    for (const QString& candidate : candidates) {
        if (QFontDatabase::hasFamily(candidate)) return candidate;
    }
    return {};
}

}  // namespace

QColor ListColour(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t ListColourValue(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) |
           (static_cast<std::uint32_t>(colour.green()) << 8) |
           (static_cast<std::uint32_t>(colour.blue()) << 16);
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

QFont ListFont(const FontSpec& spec) {
    const QString face = QString::fromStdString(spec.faceName);
    QFont font;
    if (!face.isEmpty() && QFontDatabase::hasFamily(face)) {
        font.setFamily(face);
    } else {
        QStringList families{face};
        const QString fallback = FallbackFamily(face);
        if (!fallback.isEmpty()) families.push_back(fallback);
        font.setFamilies(families);
    }
    int pixels = std::abs(spec.size);
    if (spec.size > 0) pixels = pixels * 4 / 5;
    font.setPixelSize(std::clamp(pixels, 6, 400));
    font.setWeight(
        static_cast<QFont::Weight>(std::clamp(spec.weight < 1 ? 400 : spec.weight, 1, 1000)));
    font.setItalic(spec.italic != 0);
    font.setUnderline(spec.underline != 0);
    return font;
}

FontSpec ListFontSpec(const QFont& font, const FontSpec& previous) {
    FontSpec spec = previous;
    const QStringList families = font.families();
    spec.faceName = (families.isEmpty() ? font.family() : families.first()).toStdString();
    if (font.pixelSize() > 0) {
        spec.size = -font.pixelSize();
    } else {
        // Points at 96 dots per inch.
        spec.size = -static_cast<int>(font.pointSizeF() * 96.0 / 72.0 + 0.5);
    }
    spec.weight = font.weight();
    spec.italic = font.italic() ? 1 : 0;
    spec.underline = font.underline() ? 1 : 0;
    return spec;
}

std::array<QFont, 4> FontVariants(const FontSpec& spec) {
    std::array<QFont, 4> fonts;
    for (int style = 0; style < 4; ++style) {
        QFont font = ListFont(spec);
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
