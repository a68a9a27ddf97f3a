#include "views/entry_painter.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <climits>

#include "core/record.h"

namespace almx {

namespace {

// Drawn rather than loaded, so there is no picture that can fail to load.
template <typename Draw>
QPixmap Mark(Draw draw) {
    // At the screens' highest device-pixel ratio: crisp there, and drawn in 12 x 12 units.
    const qreal ratio = qApp ? std::max<qreal>(1, qApp->devicePixelRatio()) : 1;
    QPixmap pixmap(QSize(12, 12) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return pixmap;
}

}  // namespace

int MarkWidth(const QPixmap& mark) {
    return static_cast<int>(mark.deviceIndependentSize().width());
}

EntryMarks EntryMarks::Drawn() {
    EntryMarks marks;
    marks.file = Mark([](QPainter& p) {
        // A clip.
        p.setPen(QPen(QColor(40, 40, 40), 1.2));
        QPainterPath path;
        path.moveTo(4, 10);
        path.lineTo(4, 3);
        path.arcTo(4, 1, 4, 4, 180, -180);
        path.lineTo(8, 9);
        path.arcTo(5, 8, 3, 3, 0, -180);
        path.lineTo(5, 4);
        p.drawPath(path);
    });
    marks.url = Mark([](QPainter& p) {
        // A globe.
        p.setPen(QPen(QColor(0, 80, 160), 1));
        p.drawEllipse(QRectF(1, 1, 10, 10));
        p.drawEllipse(QRectF(3.5, 1, 5, 10));
        p.drawLine(QPointF(1, 6), QPointF(11, 6));
    });
    marks.memo = Mark([](QPainter& p) {
        // A note with lines.
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(255, 255, 220));
        p.drawRect(QRectF(2, 1, 8, 10));
        p.drawLine(QPointF(4, 4), QPointF(8, 4));
        p.drawLine(QPointF(4, 6), QPointF(8, 6));
        p.drawLine(QPointF(4, 8), QPointF(7, 8));
    });
    return marks;
}

int DrawDayEntry(QPainter* painter, const QRect& area, const CAlmxData& entry, const DateTime& day,
                 const EntryStyle& style) {
    const QFontMetrics metrics(style.font);
    const int h = metrics.height();
    const int a = std::max(metrics.averageCharWidth(), 1);
    int x = area.left();
    const int y = area.top();

    if (entry.Has(IsTodo)) {
        if (painter) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing, false);
            painter->setPen(style.markInk);
            painter->setBrush(style.markInk);
        }
        if (entry.Has(TodoDone) && style.onScreen) {
            if (painter) {
                const QPoint origin(x + 2, y + 2);
                QPolygon check({QPoint(8, 0), QPoint(8, 4), QPoint(3, 9), QPoint(1, 6),
                                QPoint(1, 3), QPoint(3, 5), QPoint(8, 0)});
                check.translate(origin);
                painter->drawPolygon(check);
            }
            x += 12;
        } else {
            if (painter) {
                painter->drawEllipse(
                    QRect(QPoint(x + a / 2, y + h / 4), QPoint(x + 3 * a / 2, y + 3 * h / 4)));
            }
            x += 2 * a;
        }
        if (painter) painter->restore();
    }

    auto drawMark = [&](const QPixmap& mark) {
        if (mark.isNull()) return;
        if (painter) painter->drawPixmap(x + 2, y, mark);
        x += MarkWidth(mark) + 2;
    };
    if (style.onScreen && style.marks) {
        if (style.fileMarks && !entry.linkFile.empty()) {
            drawMark(entry.linkFile.find("://") != std::string::npos ? style.marks->url
                                                                     : style.marks->file);
        }
        if (style.detailMarks && !entry.memo.empty()) drawMark(style.marks->memo);
    }

    const QString text =
        QString::fromStdString(EntryText(entry, day, style.timeDisplay, style.rules));
    const QRect textArea(QPoint(x + 1, y), QPoint(std::max(area.right(), x + 1), y + h - 1));
    int height = h;
    if (style.wrap) {
        const QRect room(textArea.left(), y, textArea.width(), INT_MAX / 2);
        height = std::max(h, metrics.boundingRect(room, Qt::TextWordWrap, text).height());
    }
    if (painter) {
        painter->save();
        painter->setFont(style.font);
        painter->setPen(style.textColour);
        const QRect box(textArea.left(), y, textArea.width(), height);
        painter->setClipRect(box, Qt::IntersectClip);
        painter->drawText(
            box,
            Qt::AlignLeft | Qt::AlignTop | (style.wrap ? Qt::TextWordWrap : Qt::TextSingleLine),
            text);
        painter->restore();
    }
    return height;
}

}  // namespace almx
