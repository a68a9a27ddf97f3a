#include "ui/font_faces.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace almx {

namespace {

bool IsMincho(const QString& face) {
    return face.contains(QStringLiteral("明朝")) ||
           face.contains(QStringLiteral("Mincho"), Qt::CaseInsensitive) ||
           face.contains(QStringLiteral("Serif"), Qt::CaseInsensitive);
}

}  // namespace

QString JapaneseFallbackFamily(const QString& face) {
    static const QStringList gothic{
        QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
        QStringLiteral("IPAPGothic"),       QStringLiteral("IPAGothic"),
        QStringLiteral("VL PGothic"),       QStringLiteral("TakaoPGothic")};
    static const QStringList mincho{QStringLiteral("Noto Serif CJK JP"),
                                    QStringLiteral("Noto Serif JP"), QStringLiteral("IPAPMincho"),
                                    QStringLiteral("IPAMincho")};
    const QStringList families = QFontDatabase::families();
    for (const QString& candidate : IsMincho(face) ? mincho + gothic : gothic) {
        if (families.contains(candidate, Qt::CaseInsensitive)) return candidate;
    }
    return QString();
}

void MapMissingFace(const QString& face) {
    if (face.isEmpty() || QFontDatabase::hasFamily(face)) return;
    if (!QFont::substitutes(face).isEmpty()) return;
    const QString fallback = JapaneseFallbackFamily(face);
    if (!fallback.isEmpty()) QFont::insertSubstitution(face, fallback);
}

double CellHeightPerEm(const QFont& font) {
    // The faces the settings name by default are Windows faces Linux draws with another one:
    // a cell height means what it meant for them. Their ascent plus descent per em (the cell).
    const QString face = font.family();
    if (face.startsWith(QStringLiteral("ＭＳ")) || face.startsWith(QStringLiteral("MS "))) {
        return 1.0;  // the MS Gothic and Mincho faces: the cell is the em
    }
    if (face.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0) return 2288.0 / 2048.0;
    QFont probe(font);
    probe.setPixelSize(100);
    const QFontMetricsF metrics(probe);
    const double cell = metrics.ascent() + metrics.descent();
    return cell > 50 && cell < 300 ? cell / 100 : 1.0;
}

int FontPixelSize(const FontSpec& stored, const QFont& font, double logicalDpi) {
    double pixels = std::abs(stored.size);
    if (pixels < 1) pixels = 13;
    if (stored.size > 0) pixels /= CellHeightPerEm(font);
    // Logical units at the screen's logical dpi, as on the system the values come from.
    if (logicalDpi > 0) pixels *= logicalDpi / 96.0;
    return std::clamp(static_cast<int>(std::lround(pixels)), 1, 400);
}

QFont FontFromSpec(const FontSpec& stored) {
    const QString face = QString::fromStdString(stored.faceName);
    MapMissingFace(face);
    QFont font(face);
    const QScreen* screen = QGuiApplication::primaryScreen();
    font.setPixelSize(FontPixelSize(stored, font, screen ? screen->logicalDotsPerInchY() : 96));
    font.setWeight(
        static_cast<QFont::Weight>(stored.weight < 1 ? 400 : std::min(stored.weight, 1000)));
    font.setItalic(stored.italic != 0);
    font.setUnderline(stored.underline != 0);
    return font;
}

}  // namespace almx
