#include "app/app_context.h"

#include <QPainter>
#include <QPainterPath>

#include "app/font_faces.h"

namespace almx {

AppFonts AppFonts::From(const DisplaySettings& display) {
    AppFonts fonts;
    fonts.schedule = FontFromSpec(display.scheduleFont);
    fonts.scheduleBold = fonts.schedule;
    fonts.scheduleBold.setWeight(QFont::Bold);
    fonts.scheduleStruck = fonts.schedule;
    fonts.scheduleStruck.setStrikeOut(true);
    fonts.scheduleBoldStruck = fonts.scheduleBold;
    fonts.scheduleBoldStruck.setStrikeOut(true);
    fonts.date = FontFromSpec(display.dateFont);
    fonts.weekday = FontFromSpec(display.weekdayFont);
    MapMissingFace(QString::fromStdString(display.diaryIconFont.faceName));
    return fonts;
}

namespace {

// Drawn rather than loaded, so there is no picture that can fail to load.
QPixmap Mark(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return pixmap;
}

}  // namespace

AppMarks AppMarks::Make() {
    AppMarks marks;
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
        // A sheet with lines.
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(255, 255, 220));
        p.drawRect(QRectF(2, 1, 8, 10));
        p.drawLine(QPointF(4, 4), QPointF(8, 4));
        p.drawLine(QPointF(4, 6), QPointF(8, 6));
        p.drawLine(QPointF(4, 8), QPointF(7, 8));
    });
    return marks;
}

DocumentContext AppContext::ForDocument() const {
    DocumentContext context;
    context.settings = settings;
    context.prompter = prompter;
    context.clock = clock;
    context.applicationGenres = &genres;
    context.programFolder = programFolder;
    return context;
}

}  // namespace almx
