#pragma once
// CWeekView: one week, Monday to Sunday, as seven day cells in two columns, with the small
// month calendar, the year-month caption and its "<" ">" buttons in the eighth place. The
// cells are the day-cell model's and are drawn by the shared cell drawing.

#include <QFont>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "calendar/day_cells.h"
#include "calendar/month_grid.h"
#include "calendar/week_grid.h"
#include "core/display_settings.h"
#include "core/record_display.h"
#include "views/calendar_view_base.h"
#include "views/day_cell_painter.h"
#include "views/entry_painter.h"

class QMenu;
class QPushButton;

namespace almx {

class Clock;
class CVeltaCalenderCtrl;
class Prompter;
class SettingsStore;

class CWeekView : public CalendarViewBase {
    Q_OBJECT
  public:
    static constexpr int kCalendarId = 400;

    CWeekView(DocumentHost& host, DisplaySettings& display, SettingsStore& settings,
              Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);
    ~CWeekView() override;

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;
    std::optional<DateTime> SelectedDate() const override { return nav_.Selected(); }
    bool OwnsKey(const QKeyEvent& event) const override;

    const DateTime& Selected() const { return nav_.Selected(); }
    const WeekNavigation& Navigation() const { return nav_; }
    const DayCellSet& Cells() const { return cells_; }
    const WeekLayout& Layout() const { return layout_; }
    CVeltaCalenderCtrl& Calendar() const { return *calendar_; }
    QPushButton& PreviousButton() const { return *previous_; }
    QPushButton& NextButton() const { return *next_; }
    // The label of a cell as drawn.
    QString CellLabel(int index) const;

    void SetDiaryQuery(std::function<bool(const DateTime&)> query) {
        cellPainter_.SetDiaryQuery(std::move(query));
    }
    // The frame's clock tick: today's date in the status bar, the selected day selected again
    // in the calendar without its notification.
    void ClockTick();

    // The "WEEK" context menu for the selected day.
    std::unique_ptr<QMenu> CreateContextMenu();

    // Draws the cells and the caption as laid out for the window.
    void DrawWeek(QPainter& painter, const QRect& dirty, const CellSurface& surface);
    // The printout: the whole view as laid out on screen, with paper's differences.
    void DrawForPrint(QPainter& painter);

  signals:
    void SelectionChanged(const almx::DateTime& date);
    // The cells could not be filled: the week frame closes.
    void FillFailed();

  protected:
    void OnUpdate(QObject* sender, int hint, const CAlmxData* record) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    static int OwnCommand(int key, Qt::KeyboardModifiers modifiers);
    bool Refill();
    void LoadFonts();
    void LayOut();
    void SyncCalendar();
    void UpdateCaption();

    void Apply(const WeekNavigation::Move& move, bool quiet);
    void GoTo(const DateTime& date);
    void GoToTypedDate(const DateTime& date) override { GoTo(date); }
    // The fixed weekday names, not the user's.
    const char* StatusWeekdayName(int weekday) const override;
    void RepaintCell(int index);
    void OnCalendarPick(const DateTime& date);
    void CalendarMonth(int months);
    void DayPropertiesChanged();
    void ChangeFont(int id);
    void WriteColour(const char* section, const char* key, std::uint32_t colour);

    WeekNavigation nav_;
    DayCellSet cells_;
    std::uint64_t filledGeneration_ = 0;
    WeekLayout layout_;
    QString caption_;
    DisplayRules rules_;
    EntryMarks marks_;
    DayCellPainter cellPainter_;
    bool calendarNotices_ = true;  // off while the view moves the calendar itself

    CVeltaCalenderCtrl* calendar_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QFont captionFont_;
};

}  // namespace almx
