#include "app/command_icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <functional>

namespace almx {

namespace {

constexpr int kSize = 24;

QIcon Drawn(const std::function<void(QPainter&)>& draw) {
    // Drawn again for a device-pixel ratio of 2, so the tool bar stays sharp there.
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap(QSize(kSize, kSize) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A character on a tinted tile: the view icons.
QIcon Glyph(const QString& text, const QColor& tint) {
    return Drawn([&](QPainter& p) {
        p.setPen(tint.darker(150));
        p.setBrush(tint.lighter(170));
        p.drawRoundedRect(QRectF(2.5, 2.5, 19, 19), 3, 3);
        QFont font;
        font.setPixelSize(text.size() > 1 ? 9 : 14);
        font.setBold(true);
        p.setFont(font);
        p.setPen(tint.darker(200));
        p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, text);
    });
}

// Chevrons: one or two, pointing left or right.
QIcon Chevrons(int count, bool right, const QColor& colour) {
    return Drawn([=](QPainter& p) {
        p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const double width = 6;
        const double start = 12 - (count * width) / 2 + (count == 1 ? 0 : 1);
        for (int i = 0; i < count; ++i) {
            const double x = start + i * width;
            QPainterPath path;
            if (right) {
                path.moveTo(x, 6);
                path.lineTo(x + 5, 12);
                path.lineTo(x, 18);
            } else {
                path.moveTo(x + 5, 6);
                path.lineTo(x, 12);
                path.lineTo(x + 5, 18);
            }
            p.drawPath(path);
        }
    });
}

QIcon Magnifier(int arrow) {
    return Drawn([=](QPainter& p) {
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.drawEllipse(QRectF(3, 3, 11, 11));
        p.drawLine(QPointF(12.5, 12.5), QPointF(19, 19));
        if (arrow != 0) {
            p.setPen(QPen(QColor(0, 110, 200), 2));
            const double tip = arrow > 0 ? 22 : 14;
            const double base = arrow > 0 ? 14 : 22;
            p.drawLine(QPointF(20, base), QPointF(20, tip));
            p.drawLine(QPointF(17.5, tip + (arrow > 0 ? -2.5 : 2.5)), QPointF(20, tip));
            p.drawLine(QPointF(22.5, tip + (arrow > 0 ? -2.5 : 2.5)), QPointF(20, tip));
        }
    });
}

}  // namespace

QIcon CommandIcon(int id, const QStyle* style) {
    switch (id) {
        case 57600:
            return style->standardIcon(QStyle::SP_FileIcon);
        case 57601:
            return style->standardIcon(QStyle::SP_DialogOpenButton);
        case 57603:
            return style->standardIcon(QStyle::SP_DialogSaveButton);
        case 57607:
            return Drawn([](QPainter& p) {
                p.setPen(QColor(60, 60, 60));
                p.setBrush(Qt::white);
                p.drawRect(QRectF(7, 3, 10, 7));
                p.setBrush(QColor(170, 170, 170));
                p.drawRoundedRect(QRectF(3, 9, 18, 8), 2, 2);
                p.setBrush(Qt::white);
                p.drawRect(QRectF(7, 14, 10, 7));
            });
        case 57637:
            return Drawn([](QPainter& p) {
                p.setPen(QColor(90, 60, 20));
                p.setBrush(QColor(200, 150, 80));
                p.drawRoundedRect(QRectF(4, 4, 14, 17), 2, 2);
                p.setBrush(Qt::white);
                p.drawRect(QRectF(9, 8, 11, 13));
                p.setBrush(QColor(120, 120, 120));
                p.drawRect(QRectF(8, 2.5, 6, 3));
            });
        case 32770:
            return Chevrons(2, false, QColor(0, 90, 170));
        case 32773:
            return Chevrons(1, false, QColor(0, 130, 90));
        case 32775:
            return Glyph(QStringLiteral("今"), QColor(220, 120, 0));
        case 32772:
            return Chevrons(1, true, QColor(0, 130, 90));
        case 32769:
            return Chevrons(2, true, QColor(0, 90, 170));
        case 32781:
            return Drawn([](QPainter& p) {
                p.setPen(QPen(QColor(0, 140, 60), 3.5, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(12, 5), QPointF(12, 19));
                p.drawLine(QPointF(5, 12), QPointF(19, 12));
            });
        case 32768:
            return Drawn([](QPainter& p) {
                p.setPen(QPen(QColor(60, 60, 60), 1));
                p.setBrush(QColor(250, 200, 60));
                QPainterPath pencil;
                pencil.moveTo(5, 19);
                pencil.lineTo(6.5, 14);
                pencil.lineTo(16, 4.5);
                pencil.lineTo(19.5, 8);
                pencil.lineTo(10, 17.5);
                pencil.closeSubpath();
                p.drawPath(pencil);
            });
        case 32782:
            return Drawn([](QPainter& p) {
                p.setPen(QPen(QColor(200, 30, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(6, 6), QPointF(18, 18));
                p.drawLine(QPointF(18, 6), QPointF(6, 18));
            });
        case 32783:
            return Glyph(QStringLiteral("月"), QColor(30, 100, 200));
        case 32793:
            return Glyph(QStringLiteral("週"), QColor(30, 150, 110));
        case 32780:
            return Glyph(QStringLiteral("✓"), QColor(160, 80, 180));
        case 32897:
            return Glyph(QStringLiteral("記"), QColor(180, 110, 40));
        case 32794:
            return Glyph(QStringLiteral("メ"), QColor(110, 110, 110));
        case 57636:
            return Magnifier(0);
        case 32822:
            return Magnifier(1);
        case 32823:
            return Magnifier(-1);
        case 32941:
            return Drawn([](QPainter& p) {
                p.setPen(QColor(60, 60, 60));
                p.setBrush(Qt::white);
                p.drawRect(QRectF(3.5, 3.5, 17, 17));
                p.setPen(QPen(QColor(0, 90, 170), 2));
                for (int y : {8, 12, 16}) p.drawLine(QPointF(7, y), QPointF(17, y));
            });
        case 32791:
            return Glyph(QStringLiteral("日記"), QColor(180, 110, 40));
        case 32829:
            return Drawn([](QPainter& p) {
                p.setPen(QPen(QColor(70, 70, 70), 1.8));
                QPainterPath clip;
                clip.moveTo(8, 19);
                clip.lineTo(8, 6);
                clip.arcTo(8, 2, 8, 8, 180, -180);
                clip.lineTo(16, 17);
                clip.arcTo(11, 15, 5, 5, 0, -180);
                clip.lineTo(11, 8);
                p.drawPath(clip);
            });
        case 32842:
            return style->standardIcon(QStyle::SP_ArrowUp);
        case 32843:
            return style->standardIcon(QStyle::SP_ArrowDown);
        case 32908:
            return Drawn([](QPainter& p) {
                p.setPen(QColor(60, 60, 60));
                p.setBrush(QColor(255, 250, 220));
                p.drawRect(QRectF(3.5, 6.5, 17, 12));
                p.drawLine(QPointF(3.5, 6.5), QPointF(12, 13));
                p.drawLine(QPointF(20.5, 6.5), QPointF(12, 13));
            });
        case 57667:
            return style->standardIcon(QStyle::SP_DialogHelpButton);
        default:
            return QIcon();
    }
}

}  // namespace almx
