#pragma once
// One day cell drawn as every calendar view draws it (the month grid, the week's cells and
// their printouts): background by selection mode, picture, border and today's frame, the day
// label with its frame and diary mark, the entries through the day list's entry drawing, and
// the overflow mark. Screen and paper differ only by CellSurface.

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <array>
#include <functional>

#include "base/date_time.h"
#include "calendar/day_cells.h"
#include "core/display_settings.h"
#include "core/record_display.h"

class QPainter;
class QRect;

namespace almx {

struct EntryMarks;

// What paper changes: no selection, round markers for every to-do, no link or detail marks,
// each entry's own time display.
struct CellSurface {
    bool paper = false;
    qreal pictureRatio = 1;  // device pixels per layout pixel for the day pictures

    static CellSurface Screen(qreal ratio) { return CellSurface{false, ratio}; }
    static CellSurface Paper(qreal ratio) { return CellSurface{true, ratio}; }
};

class DayCellPainter {
  public:
    explicit DayCellPainter(const DisplaySettings& display);

    // The entry font's four styles (regular, bold, struck out, both) from "Font", the label
    // font and the diary mark's font; the metrics are the screen's, also on paper.
    void LoadFonts(const QFont& labelFont);
    const QFont& EntryFont(int style = 0) const;
    const QFontMetrics& EntryMetrics(int style = 0) const;
    const QFont& LabelFont() const { return labelFont_; }
    const QFontMetrics& LabelMetrics() const { return labelMetrics_; }

    void SetMarks(const EntryMarks* marks) { marks_ = marks; }
    void SetRules(const DisplayRules& rules) { rules_ = rules; }
    void SetDiaryQuery(std::function<bool(const DateTime&)> query) { diary_ = std::move(query); }
    // Before each paint: today (the logical today) and the window's time display.
    void SetToday(const DateTime& today) { today_ = today; }
    void SetTimeDisplay(int timeDisplay) { timeDisplay_ = timeDisplay; }

    // Draws the cell; the label is the day number or the week's date text.
    void Draw(QPainter& painter, const DayCell& cell, const CellRect& rect, bool selected,
              const QString& label, const CellSurface& surface) const;

    // Whether the day is drawn as a holiday: a holiday entry or a public holiday.
    static bool IsHolidayCell(const DayCell& cell);

  private:
    struct Fonts {
        QFont font;
        QFontMetrics metrics{QFont()};
    };
    QSize DrawLabel(QPainter& p, const DayCell& cell, const CellRect& r, bool selected,
                    const QString& label) const;
    int DrawEntry(QPainter& p, const DayCell& cell, const CellRect& r, const CAlmxData& entry,
                  int x, int y, bool selected, const CellSurface& surface) const;
    void DrawPicture(QPainter& p, const std::string& path, const QRect& rect, qreal ratio) const;

    const DisplaySettings& display_;
    std::array<Fonts, 4> entry_;
    QFont labelFont_;
    QFontMetrics labelMetrics_{QFont()};
    QFont diaryFont_;
    const EntryMarks* marks_ = nullptr;
    DisplayRules rules_;
    std::function<bool(const DateTime&)> diary_;
    DateTime today_;
    int timeDisplay_ = 0;
};

}  // namespace almx
