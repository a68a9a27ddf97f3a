// Drawing of the month view: the header band, the caption and the weekday header; the cells
// are the shared cell drawing's.

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstdio>

#include "ui/font_colour.h"
#include "ui/qt_colour.h"
#include "views/month_view.h"

namespace almx {

namespace {

QRect ToQRect(const CellRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

void CAlmxView::paintEvent(QPaintEvent* event) {
    // The records changed on a path that told no view: the cells may name freed records.
    if (Document().Records().Generation() != filledGeneration_) Refill();
    QPainter painter(this);
    DrawView(painter, event->rect(), CellSurface::Screen(devicePixelRatioF()));
}

void CAlmxView::DrawForPrint(QPainter& painter) {
    if (Document().Records().Generation() != filledGeneration_) Refill();
    LayOut();  // a hidden view has had no resize event yet
    DrawView(painter, rect(), CellSurface::Paper(1));
}

void CAlmxView::DrawView(QPainter& p, const QRect& dirty, const CellSurface& surface) {
    const QColor back = ToQColor(display_.backColor);
    p.fillRect(dirty, back);
    p.setBackgroundMode(Qt::TransparentMode);

    const int captionLine = captionMetrics_.height();
    const int header = HeaderHeight(captionLine, weekdayMetrics_.height());
    if (dirty.top() < std::max(header, 3 * captionLine)) {
        p.fillRect(QRect(0, 0, width(), 3 * captionLine), back);
        p.setPen(QPen(InkOn(back), 1));
        p.drawLine(0, captionLine, width(), captionLine);

        const ShownMonth& shown = nav_.Shown();
        p.setFont(captionFont_);
        p.drawText(
            QRect(0, 0, width(), captionLine), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
            QString::fromStdString(CaptionText(shown.year, shown.month, display_.monthCaption)));

        p.setFont(weekdayFont_);
        const int column = width() / 7;
        const int top = captionLine + 1;
        const int rowHeight = weekdayMetrics_.height() + 1;
        for (int c = 0; c < 7; ++c) {
            const int weekday = ColumnWeekday(c, display_.startMonday);
            p.setPen(
                ReadableOn(ToQColor(display_.weekColors[static_cast<std::size_t>(weekday)]), back));
            p.drawText(QRect(c * column, top, column, rowHeight),
                       Qt::AlignCenter | Qt::TextSingleLine,
                       QString::fromUtf8(display_.WeekdayName(weekday)));
        }
    }

    cellPainter_.SetToday(Today());
    cellPainter_.SetRules(rules_);
    cellPainter_.SetTimeDisplay(display_.monthViewTime);
    p.setFont(cellPainter_.EntryFont(0));
    const int count = std::min<int>(cells_.Count(), static_cast<int>(rects_.size()));
    char label[8];
    for (int i = 0; i < count; ++i) {
        const CellRect& r = rects_[static_cast<std::size_t>(i)];
        const QRect area = ToQRect(r).adjusted(-2, -2, 2, 2);
        if (!area.intersects(dirty)) continue;
        const DayCell& cell = cells_[i];
        std::snprintf(label, sizeof label, "%02d", cell.date.Day());
        cellPainter_.Draw(p, cell, r, i == nav_.Index(), QString::fromLatin1(label), surface);
    }
}

}  // namespace almx
