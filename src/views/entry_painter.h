#pragma once
// One entry of a day drawn as the calendar views draw it: the to-do marker, the link and
// detail marks, and the entry text for the day, single line or wrapped across the width.

#include <QColor>
#include <QFont>
#include <QPixmap>

#include "base/date_time.h"
#include "core/record_display.h"

class QPainter;

namespace almx {

class CAlmxData;

// The three small marks; null pixmaps are drawn as nothing.
struct EntryMarks {
    QPixmap file;
    QPixmap url;
    QPixmap memo;

    // Plain drawn marks, 12 pixels square, at the screens' device-pixel ratio.
    static EntryMarks Drawn();
};

// A mark's width in the units it is drawn in.
int MarkWidth(const QPixmap& mark);

struct EntryStyle {
    QFont font;
    QColor textColour;
    QColor markInk = Qt::black;  // the to-do markers
    bool wrap = false;           // "View"/"Multiline"
    bool fileMarks = true;       // "View"/"File"
    bool detailMarks = false;    // "View"/"MemoSch"
    bool onScreen = true;        // on paper every to-do gets the round marker and no marks
    int timeDisplay = 0;         // the window's time display: 0 per schedule .. 4 none
    DisplayRules rules;
    const EntryMarks* marks = nullptr;
};

// Draws the entry from the top left of the area across its width and returns the height
// drawn; with no painter it only measures.
int DrawDayEntry(QPainter* painter, const QRect& area, const CAlmxData& entry, const DateTime& day,
                 const EntryStyle& style);

}  // namespace almx
