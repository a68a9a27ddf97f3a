#include "app/font_faces.h"

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

QFont FontFromSpec(const FontSpec& spec) {
    const QString face = QString::fromStdString(spec.faceName);
    MapMissingFace(face);
    QFont font(face);
    int pixels = std::abs(spec.size);
    if (spec.size > 0) pixels = pixels * 4 / 5;
    font.setPixelSize(pixels < 1 ? 13 : pixels > 400 ? 400 : pixels);
    font.setWeight(static_cast<QFont::Weight>(spec.weight < 1 ? 400 : std::min(spec.weight, 1000)));
    font.setItalic(spec.italic != 0);
    font.setUnderline(spec.underline != 0);
    return font;
}

}  // namespace almx
