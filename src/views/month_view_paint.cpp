// Drawing of the month view: the header band, the caption, the weekday header and the cells.

#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "calendar/holidays.h"
#include "custom/picture_fit.h"
#include "custom/ui/picture_cache.h"
#include "ui/font_colour.h"
#include "ui/qt_colour.h"
#include "views/entry_painter.h"
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
    DrawView(painter, event->rect());
}

void CAlmxView::DrawView(QPainter& p, const QRect& dirty) {
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

    today_ = Today();
    p.setFont(entryFonts_[0].font);
    const int count = std::min<int>(cells_.Count(), static_cast<int>(rects_.size()));
    for (int i = 0; i < count; ++i) {
        const QRect area = ToQRect(rects_[static_cast<std::size_t>(i)]).adjusted(-2, -2, 2, 2);
        if (area.intersects(dirty)) DrawCell(p, i, i == nav_.Index());
    }
}

void CAlmxView::DrawPicture(QPainter& p, const std::string& path, const QRect& rect) {
    const QSize box(std::max(1, rect.width()), std::max(1, rect.height()));
    const PictureCache::Lookup found = PictureCache::Shared().Find(path, box, devicePixelRatioF());
    if (found.pending) {
        const int side = std::min({box.width(), box.height(), 24}) / 2;
        const QRect mark(rect.center() - QPoint(side / 2, side / 2), QSize(side, side));
        p.save();
        p.setPen(QPen(InkOn(ToQColor(display_.backColor)), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(mark);
        p.restore();
        return;
    }
    if (found.image.isNull()) return;
    const QSizeF logical = found.image.deviceIndependentSize();
    const PictureSize size{static_cast<int>(std::lround(logical.width())),
                           static_cast<int>(std::lround(logical.height()))};
    const PictureOffset offset = CentrePicture(size, PictureSize{box.width(), box.height()});
    p.drawImage(QPoint(rect.left() + offset.x, rect.top() + offset.y), found.image);
}

bool CAlmxView::IsHolidayCell(const DayCell& cell) const {
    if (cell.HasHolidayEntry()) return true;
    const DateTime& d = cell.date;
    return InCalendarRange(d) && IsHoliday(d.Year(), d.Month(), d.Day(), false);
}

const CAlmxView::EntryFonts& CAlmxView::FontsFor(const CAlmxData& entry) const {
    return entryFonts_[static_cast<std::size_t>(entry.textStyle & 3)];
}

void CAlmxView::DrawCell(QPainter& p, int index, bool selected) {
    const DayCell& cell = cells_[index];
    const CellRect& r = rects_[static_cast<std::size_t>(index)];
    const QRect rect = ToQRect(r);
    const int mode = display_.selColorMode;

    // Background.
    if (!selected) {
        p.fillRect(rect, ToQColor(cell.colour));
    } else if (mode == 0) {
        p.fillRect(rect, ToQColor(display_.selectColor));
    } else if (mode == 1) {
        p.fillRect(rect, ToQColor(InverseColour(cell.colour)));
    } else {
        p.fillRect(rect, ToQColor(display_.backColor));
        if (cell.colour != display_.backColor) {
            p.fillRect(rect.adjusted(3, 3, -3, -3), ToQColor(cell.colour));
        }
    }

    // Picture: decoded elsewhere; until it is there, a placeholder.
    if (!cell.picture.empty()) DrawPicture(p, cell.picture, rect);

    // Border; today's in its own colour, two wide.
    p.setBrush(Qt::NoBrush);
    if (cell.date == today_) {
        p.setPen(QPen(ReadableOn(ToQColor(display_.todayColor), ToQColor(display_.backColor)), 2,
                      Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    } else {
        p.setPen(QPen(InkOn(ToQColor(display_.backColor)), 1));
    }
    p.drawRect(rect);

    // Day number, before the entries or after them (positions 1 to 3).
    const int position = display_.dayDrawPos;
    const bool numberFirst = position != 1 && position != 2 && position != 3;
    QSize number;
    if (numberFirst) number = DrawDayNumber(p, cell, r, selected);

    // Entries.
    int y = r.top + 1;
    if (numberFirst && position == 0) y = r.top + number.height() + number.height() / 4;
    bool holidayOnNumberLine = numberFirst && position == 0;
    bool overflow = false;
    for (const CAlmxData* entry : cell.entries) {
        if (!DrawnInViews(*entry)) continue;
        const EntryFonts& fonts = FontsFor(*entry);
        if (holidayOnNumberLine && entry->Has(HolidayMark)) {
            const Point origin = DayNumberOrigin(r, 0, number.width(), number.height());
            DrawEntry(p, cell, r, *entry, origin.x + number.width(), origin.y, selected, fonts);
            holidayOnNumberLine = false;
            continue;
        }
        // An entry whose line would start in the lower half of the cell's last line is not
        // drawn, and then the cell overflows.
        if (y > r.bottom - fonts.metrics.height() / 2) {
            overflow = true;
            break;
        }
        y += DrawEntry(p, cell, r, *entry, r.left, y, selected, fonts);
    }

    if (!numberFirst) number = DrawDayNumber(p, cell, r, selected);

    // ▼ mark.
    if (overflow && display_.continueMark != 0) {
        const QFontMetrics& metrics = entryFonts_[0].metrics;
        const auto points =
            OverflowMark(display_.continueMark == 2 ? 2 : 1, r, position == 3 ? number.width() : 0,
                         metrics.height(), metrics.averageCharWidth());
        const QColor colour = ToQColor(display_.continueColor);
        p.setPen(QPen(colour, 1));
        p.setBrush(colour);
        p.drawPolygon(QPolygon({QPoint(points[0].x, points[0].y), QPoint(points[1].x, points[1].y),
                                QPoint(points[2].x, points[2].y)}));
        p.setBrush(Qt::NoBrush);
    }

    // Focus rectangle.
    if (selected && mode != 2) {
        p.save();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.drawRect(rect.adjusted(2, 2, -2, -2));
        p.restore();
    }
}

QSize CAlmxView::DrawDayNumber(QPainter& p, const DayCell& cell, const CellRect& r, bool selected) {
    const int mode = display_.selColorMode;
    QColor colour;
    if (IsHolidayCell(cell)) {
        colour = ToQColor(display_.holidayColor);
    } else if (selected && mode != 2) {
        colour = Qt::white;
    } else {
        colour = ReadableOn(
            ToQColor(display_.weekColors[static_cast<std::size_t>(cell.date.DayOfWeek())]),
            ToQColor(cell.colour));
    }
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", cell.date.Day());
    const QString text = QString::fromLatin1(buffer);
    const int width = dayMetrics_.horizontalAdvance(text);
    const int height = dayMetrics_.height();
    const int position = display_.dayDrawPos;
    const Point origin = DayNumberOrigin(r, position, width, height);
    const QRect box(origin.x, origin.y, width, height);

    QColor textColour = colour;
    if (display_.dayDrawFrame == 1 || display_.dayDrawFrame == 2) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        if (display_.dayDrawFrame == 1) {
            p.drawRect(box);
        } else {
            p.setRenderHint(QPainter::Antialiasing, true);
            p.drawEllipse(box);
            p.setRenderHint(QPainter::Antialiasing, false);
        }
        p.setBrush(Qt::NoBrush);
        textColour = colour == QColor(Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
    }
    p.setFont(dayFont_);
    p.setPen(textColour);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);

    int used = width;
    if (display_.diaryMarks && diaryQuery_ && diaryQuery_(cell.date)) {
        // Beside the number: to its right for the left positions, to its left otherwise.
        const QFontMetrics metrics(diaryFont_);
        const int size = metrics.height();
        const bool right = position == 1 || position == 3;
        const int markWidth =
            display_.diaryIconType == 2 ? metrics.horizontalAdvance(QStringLiteral("[D]")) : size;
        const int x = right ? origin.x - markWidth - 2 : origin.x + width + 2;
        const QRect mark(x, origin.y + (height - size) / 2, markWidth, size);
        const QColor markColour = ToQColor(display_.diaryIconColor);
        p.setFont(diaryFont_);
        if (display_.diaryIconType == 2) {
            p.setPen(markColour);
            p.drawText(mark, Qt::AlignCenter, QStringLiteral("[D]"));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(markColour);
            if (display_.diaryIconType == 1) {
                p.drawEllipse(mark);
            } else {
                p.drawRect(mark);
                p.setPen(Qt::white);
                p.drawText(mark, Qt::AlignCenter, QStringLiteral("D"));
            }
            p.setBrush(Qt::NoBrush);
        }
        used += markWidth + 2;
    }
    p.setFont(entryFonts_[0].font);
    return QSize(used, height);
}

int CAlmxView::DrawEntry(QPainter& p, const DayCell& cell, const CellRect& r,
                         const CAlmxData& entry, int x, int y, bool selected,
                         const EntryFonts& fonts) {
    const int h = fonts.metrics.height();
    const int a = fonts.metrics.averageCharWidth();
    if (y > r.bottom - h / 2) return h;
    const bool white = selected && display_.selColorMode != 2;

    int textX = x;
    if (entry.Has(IsTodo)) {
        // The mark's ink follows what is behind it: the selection's white, or the cell's.
        const QColor ink = white ? QColor(Qt::white) : InkOn(ToQColor(cell.colour));
        p.setPen(ink);
        p.setBrush(ink);
        if (entry.Has(TodoDone)) {
            const QPoint o(x + 2, y + 2);
            p.drawPolygon(
                QPolygon({o + QPoint(8, 0), o + QPoint(8, 4), o + QPoint(3, 9), o + QPoint(1, 6),
                          o + QPoint(1, 3), o + QPoint(3, 5), o + QPoint(8, 0)}));
            textX += 12;
        } else {
            p.drawEllipse(
                QRect(QPoint(x + a / 2, y + h / 4), QPoint(x + 3 * a / 2, y + 3 * h / 4)));
            textX += 2 * a;
        }
        p.setBrush(Qt::NoBrush);
    }
    if (display_.fileMarks && !entry.linkFile.empty()) {
        const QPixmap& mark =
            entry.linkFile.find("://") != std::string::npos ? urlMark_ : fileMark_;
        p.drawPixmap(textX + 2, y, mark);
        textX += MarkWidth(mark) + 2;
    }
    if (display_.detailMarks && !entry.memo.empty()) {
        p.drawPixmap(textX + 2, y, memoMark_);
        textX += MarkWidth(memoMark_) + 2;
    }

    const QString text =
        QString::fromStdString(EntryText(entry, cell.date, display_.monthViewTime, rules_));
    p.setFont(fonts.font);
    p.setPen(white ? QColor(Qt::white)
                   : ReadableOn(ToQColor(DisplayColour(entry, display_.holidayColor)),
                                ToQColor(cell.colour)));
    const int left = textX + 1;
    const int width = std::max(0, r.right - left);
    const int room = std::max(0, r.bottom - y);
    if (!display_.multiline) {
        p.drawText(QRect(left, y, width, room), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   text);
        return h;
    }
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const QRect bound = fonts.metrics.boundingRect(QRect(left, y, width, INT_MAX / 4), flags, text);
    p.drawText(QRect(left, y, width, room), flags, text);
    return std::max(h, bound.height());
}

}  // namespace almx
