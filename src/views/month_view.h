#pragma once
// CAlmxView: the month calendar. A grid of 4 to 12 weeks whose cells list each day's
// entries (from the day-cell model), with the day's colour and picture, the selected day
// and today's frame; navigation by commands, keys, digits and the mouse; the day-property
// commands.

#include <QFont>
#include <QFontMetrics>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calendar/day_cells.h"
#include "calendar/month_grid.h"
#include "core/day_property.h"
#include "core/display_settings.h"
#include "core/record_display.h"
#include "core/search_condition.h"
#include "views/calendar_view_base.h"
#include "views/day_cell_painter.h"
#include "views/entry_painter.h"
#include "views/sort_dlg.h"

class QMenu;

namespace almx {

class Clock;
class Prompter;
class SettingsStore;

// The fonts of the caption ("YFont") and the weekday header ("TFont").
FontSpec CaptionFontSpec(const SettingsStore& settings);
FontSpec WeekdayHeaderFontSpec(const SettingsStore& settings);

class CAlmxView : public CalendarViewBase {
    Q_OBJECT
  public:
    CAlmxView(DocumentHost& host, DisplaySettings& display, SettingsStore& settings,
              Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);
    ~CAlmxView() override;

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

    // The selected date and the grid that holds it.
    const DateTime& Selected() const { return nav_.Selected(); }
    // The date the document's other views take when dates are synchronised (ViewBase's).
    std::optional<DateTime> SelectedDate() const override { return nav_.Selected(); }
    const MonthNavigation& Navigation() const { return nav_; }
    const DayCellSet& Cells() const { return cells_; }
    const std::vector<CellRect>& CellRects() const { return rects_; }
    // Selects a date as "go to a date" does (other views get hint 10).
    bool SelectDate(const DateTime& date);

    // The document's last hit while a find moves the views to it (the day list selects its
    // row), else nullptr; taking it clears it.
    const CAlmxData* TakeSearchHit();
    const QFont& CaptionFont() const { return captionFont_; }
    const QFont& WeekdayFont() const { return weekdayFont_; }

    // The "MONTH" context menu for the selected day.
    std::unique_ptr<QMenu> CreateContextMenu();

    // Whether a day has a diary, for the diary marks.
    void SetDiaryQuery(std::function<bool(const DateTime&)> query) {
        cellPainter_.SetDiaryQuery(std::move(query));
    }
    // Today's schedules at start: off when the command line asked for none.
    void SetStartupPopupAllowed(bool allowed) { startupPopupAllowed_ = allowed; }
    bool StartupPopupAllowed() const { return startupPopupAllowed_; }
    // Shows today's schedules (CTodayDlg) when "View"/"First" is 1 and there are any; the
    // first showing of the view calls it once.
    void ShowTodaySchedulesAtStart();

    // The printout: the whole view as laid out on screen, with paper's differences.
    void DrawForPrint(QPainter& painter);

    // Digits (a date typed in), Enter, the arrows and the page keys are the view's own.
    bool OwnsKey(const QKeyEvent& event) const override;

  signals:
    // The day list follows the selected date.
    void SelectionChanged(const almx::DateTime& date);
    // The cells could not be filled: the month frame closes.
    void FillFailed();
    void FocusDayListRequested();
    // "DayView"/"BackColor" and "BackColor2" were written.
    void DayListColoursChanged();

  protected:
    void OnUpdate(QObject* sender, int hint, const CAlmxData* record) override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The command of one of the view's own keys; 0 for any other key.
    static int OwnCommand(int key, Qt::KeyboardModifiers modifiers);
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    // The dialogs, one seam each (tests answer them).
    virtual std::optional<int> AskWeeks(int current);
    // Runs the range dialog, which changes the properties on OK; true then.
    virtual bool RunRangeDialog(bool remove, const DayRangeFields& preset);
    virtual void ShowTodayDialog(const TodaySchedules& texts);
    // CAlmxFindDlg: edits the condition; false when cancelled.
    virtual bool AskFindCondition(SearchCondition& condition);
    // CSortDlg: the key and direction of the document's sort; nullopt when cancelled.
    virtual std::optional<SortChoice> AskSortOrder();

  private:
    // Find, find next, find previous: moves to the hit's day.
    void RunFind(int id);
    void SortDocument();

    // Settings into the grid and the fill.
    GridOptions CurrentGridOptions() const;
    void SyncGridOptions();
    // Fills the cells for the shown month; false (and FillFailed) when that fails.
    bool Refill();
    void LoadFonts();
    void LayOut();
    void SelectionMoved();

    // Navigation.
    void Apply(const MonthNavigation::Move& move, int hint);
    void RepaintCell(int index);
    void GoTo(const DateTime& date, int hint);
    void GoToTypedDate(const DateTime& date) override { GoTo(date, kHintDateChanged); }

    // Day properties; nothing on days outside the calendar.
    bool SelectedDayEditable() const;
    void DayPropertiesChanged();
    void DayColour();
    void ClearDayProperty();
    void DayPictureCommand();
    void RangeCommand(bool remove);
    void Paste();
    // The selected day's schedules as text to the clipboard.
    void CopyDayAsText();
    void CopyMonthAsHtml(bool mobile);

    // Options.
    void SetWeeks(int weeks);
    void ChangeFont(int id);
    void WeekdayNamesChanged();
    void WriteInt(const char* section, const char* key, int value);
    void WriteColour(const char* section, const char* key, std::uint32_t colour);

    // Drawing: the header here, the cells by the shared cell drawing.
    void DrawView(QPainter& painter, const QRect& dirty, const CellSurface& surface);

    MonthNavigation nav_;
    DayCellSet cells_;
    std::uint64_t filledGeneration_ = 0;  // of the records the cells were filled from
    std::vector<CellRect> rects_;
    DisplayRules rules_;
    bool firstShown_ = false;
    bool startupPopupAllowed_ = true;
    bool showTodayAtStart_ = true;
    bool searchHitPending_ = false;

    FontSpec captionSpec_;
    FontSpec weekdaySpec_;
    QFont captionFont_;
    QFont weekdayFont_;
    QFontMetrics captionMetrics_{QFont()};
    QFontMetrics weekdayMetrics_{QFont()};
    EntryMarks marks_;
    DayCellPainter cellPainter_;
};

}  // namespace almx
