#include "views/day_cell_painter.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "calendar/holidays.h"
#include "calendar/month_grid.h"
#include "custom/picture_fit.h"
#include "custom/ui/picture_cache.h"
#include "ui/font_colour.h"
#include "ui/qt_colour.h"
#include "views/entry_painter.h"

namespace almx {

namespace {

QRect ToQRect(const CellRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

DayCellPainter::DayCellPainter(const DisplaySettings& display) : display_(display) {
    LoadFonts(FontFromSpec(display_.dateFont));
}

void DayCellPainter::LoadFonts(const QFont& labelFont) {
    for (int style = 0; style < 4; ++style) {
        QFont font = FontFromSpec(display_.scheduleFont);
        if (style & 1) font.setWeight(QFont::Bold);
        if (style & 2) font.setStrikeOut(true);
        entry_[static_cast<std::size_t>(style)].font = font;
        entry_[static_cast<std::size_t>(style)].metrics = QFontMetrics(font);
    }
    labelFont_ = labelFont;
    labelMetrics_ = QFontMetrics(labelFont_);
    diaryFont_ = FontFromSpec(display_.diaryIconFont);
}

const QFont& DayCellPainter::EntryFont(int style) const {
    return entry_[static_cast<std::size_t>(style & 3)].font;
}

const QFontMetrics& DayCellPainter::EntryMetrics(int style) const {
    return entry_[static_cast<std::size_t>(style & 3)].metrics;
}

bool DayCellPainter::IsHolidayCell(const DayCell& cell) {
    if (cell.HasHolidayEntry()) return true;
    const DateTime& d = cell.date;
    return InCalendarRange(d) && IsHoliday(d.Year(), d.Month(), d.Day(), false);
}

void DayCellPainter::DrawPicture(QPainter& p, const std::string& path, const QRect& rect,
                                 qreal ratio) const {
    const QSize box(std::max(1, rect.width()), std::max(1, rect.height()));
    const PictureCache::Lookup found = PictureCache::Shared().Find(path, box, ratio);
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
    p.drawImage(
        QRectF(rect.left() + offset.x, rect.top() + offset.y, logical.width(), logical.height()),
        found.image);
}

void DayCellPainter::Draw(QPainter& p, const DayCell& cell, const CellRect& r, bool selected,
                          const QString& label, const CellSurface& surface) const {
    // Paper shows no selection.
    selected = selected && !surface.paper;
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
    if (!cell.picture.empty()) DrawPicture(p, cell.picture, rect, surface.pictureRatio);

    // Border; today's in its own colour, two wide.
    p.setBrush(Qt::NoBrush);
    if (cell.date == today_) {
        p.setPen(QPen(ReadableOn(ToQColor(display_.todayColor), ToQColor(display_.backColor)), 2,
                      Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    } else {
        p.setPen(QPen(InkOn(ToQColor(display_.backColor)), 1));
    }
    p.drawRect(rect);

    // Day label, before the entries or after them (positions 1 to 3).
    const int position = display_.dayDrawPos;
    const bool labelFirst = position != 1 && position != 2 && position != 3;
    QSize number;
    if (labelFirst) number = DrawLabel(p, cell, r, selected, label);

    // Entries, each inside the cell.
    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    int y = r.top + 1;
    if (labelFirst && position == 0) y = r.top + number.height() + number.height() / 4;
    bool holidayOnLabelLine = labelFirst && position == 0;
    bool overflow = false;
    for (const CAlmxData* entry : cell.entries) {
        if (!DrawnInViews(*entry)) continue;
        const QFontMetrics& metrics = EntryMetrics(entry->textStyle);
        if (holidayOnLabelLine && entry->Has(HolidayMark)) {
            const Point origin = DayNumberOrigin(r, 0, number.width(), number.height());
            DrawEntry(p, cell, r, *entry, origin.x + number.width(), origin.y, selected, surface);
            holidayOnLabelLine = false;
            continue;
        }
        // An entry whose line would start in the lower half of the cell's last line is not
        // drawn, and then the cell overflows.
        if (y > r.bottom - metrics.height() / 2) {
            overflow = true;
            break;
        }
        y += DrawEntry(p, cell, r, *entry, r.left, y, selected, surface);
    }
    p.restore();

    if (!labelFirst) number = DrawLabel(p, cell, r, selected, label);

    // ▼ mark.
    if (overflow && display_.continueMark != 0) {
        const QFontMetrics& metrics = EntryMetrics(0);
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

    // Focus rectangle (never on paper: selected is off there).
    if (selected && mode != 2) {
        p.save();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.drawRect(rect.adjusted(2, 2, -2, -2));
        p.restore();
    }
}

QSize DayCellPainter::DrawLabel(QPainter& p, const DayCell& cell, const CellRect& r, bool selected,
                                const QString& text) const {
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
    const int width = labelMetrics_.horizontalAdvance(text);
    const int height = labelMetrics_.height();
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
    p.setFont(labelFont_);
    p.setPen(textColour);
    // The box is the screen's measure; on paper the text may run a little wider.
    p.drawText(QRect(box.left(), box.top(), std::max(width, r.right - box.left()), height),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);

    int used = width;
    if (display_.diaryMarks && diary_ && diary_(cell.date)) {
        // Beside the label: to its right for the left positions, to its left otherwise.
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
    p.setFont(EntryFont(0));
    return QSize(used, height);
}

int DayCellPainter::DrawEntry(QPainter& p, const DayCell& cell, const CellRect& r,
                              const CAlmxData& entry, int x, int y, bool selected,
                              const CellSurface& surface) const {
    const Fonts& fonts = entry_[static_cast<std::size_t>(entry.textStyle & 3)];
    const int h = fonts.metrics.height();
    if (y > r.bottom - h / 2) return h;
    const bool white = selected && display_.selColorMode != 2;

    EntryStyle style;
    style.font = fonts.font;
    style.textColour = white ? QColor(Qt::white)
                             : ReadableOn(ToQColor(DisplayColour(entry, display_.holidayColor)),
                                          ToQColor(cell.colour));
    // The markers' ink follows what is behind them: the selection's white, or the cell's.
    style.markInk = white ? QColor(Qt::white) : InkOn(ToQColor(cell.colour));
    style.wrap = display_.multiline;
    style.fileMarks = display_.fileMarks;
    style.detailMarks = display_.detailMarks;
    style.onScreen = !surface.paper;
    style.timeDisplay = surface.paper ? 0 : timeDisplay_;
    style.rules = rules_;
    style.marks = marks_;
    const QRect area(QPoint(x, y), QPoint(std::max(x, r.right - 1), std::max(y, r.bottom - 1)));
    return DrawDayEntry(&p, area, entry, cell.date, style);
}

}  // namespace almx
