#include "ui/font_faces.h"

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>
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

QFont FontFromSpec(const FontSpec& stored) {
    const QString face = QString::fromStdString(stored.faceName);
    MapMissingFace(face);
    QFont font(face);
    int pixels = std::abs(stored.size);
    if (stored.size > 0) pixels = pixels * 4 / 5;
    font.setPixelSize(pixels < 1 ? 13 : pixels > 400 ? 400 : pixels);
    font.setWeight(
        static_cast<QFont::Weight>(stored.weight < 1 ? 400 : std::min(stored.weight, 1000)));
    font.setItalic(stored.italic != 0);
    font.setUnderline(stored.underline != 0);
    return font;
}

}  // namespace almx
