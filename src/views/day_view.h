#pragma once
// The day list beside the month view: CDayListBox, a list of one day's entries with rows of
// their drawn height, and CDayView, the pane that fills it from the day-cell model for the
// month view's selected day and handles the day's commands.

#include <QAbstractListModel>
#include <QListView>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "calendar/day_cells.h"
#include "core/display_settings.h"
#include "views/calendar_actions.h"
#include "views/entry_actions.h"
#include "views/entry_painter.h"
#include "views/view_base.h"

class QMenu;

namespace almx {

class Clock;
class Prompter;
class SettingsStore;

// "DayView": the list's colours.
struct DayListColours {
    std::uint32_t back = 16777215;   // "BackColor"
    std::uint32_t back2 = 8388608;   // "BackColor2", the selection colour
    std::uint32_t text = 0;          // "StrColor"
    std::uint32_t text2 = 16777215;  // "StrColor2", the selected text

    static DayListColours Load(const SettingsStore& settings);
};

// "DayFont" and its default (a cell height).
FontSpec DayListFontSpec(const SettingsStore& settings);

class DayListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    void Reset(const DateTime& day, std::vector<const CAlmxData*> entries);
    void Remove(const CAlmxData* entry);
    const std::vector<const CAlmxData*>& Entries() const { return entries_; }
    // Nothing while the rows are stale: they may point into records since freed.
    const CAlmxData* Entry(int row) const;
    const DateTime& Day() const { return day_; }
    // True once the document's records have moved since the rows were filled.
    std::function<bool()> isStale;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    DateTime day_;
    std::vector<const CAlmxData*> entries_;
};

class CDayListBox : public QListView {
    Q_OBJECT
  public:
    // Which view holds the list: it decides the time display setting.
    enum Kind { DayViewList = 0, DiaryViewList = 1, OtherList = 2 };

    CDayListBox(Kind kind, const SettingsStore& settings, QWidget* parent = nullptr);
    ~CDayListBox() override;

    Kind ListKind() const { return kind_; }
    DayListModel& Rows() { return *model_; }
    const DayListModel& Rows() const { return *model_; }
    int RowCount() const { return model_->rowCount(); }

    // Re-reads colours, fonts and display settings; rows are measured again.
    void LoadLook();
    // "TodoLeftDraw" and the day boundary: read at every fill, as the month view does.
    void ReloadRules();
    const DayListColours& Colours() const { return colours_; }
    // The style a row's entry is drawn with (not selected).
    EntryStyle StyleFor(const CAlmxData& entry, bool selected) const;
    std::uint32_t HolidayColour() const { return holidayColour_; }
    void SetMarks(EntryMarks marks) { marks_ = std::move(marks); }

    int SelectedRow() const;
    // Limited to the last row; -1 clears the selection.
    void SelectRow(int row);
    int TopRow() const;
    void SetTopRow(int row);
    // The row's height as measured for the current width.
    int RowHeight(int row) const;

    // Enter and double click.
    std::function<void()> onEdit;
    // True when the owner handled the key.
    std::function<bool(QKeyEvent* event)> onKey;
    std::function<void(const QPoint& globalPos)> onContextMenu;
    // Asked before painting: true when the rows may refer to records that are gone; the
    // owner then refills (onRefresh) and nothing is painted from the old rows.
    std::function<bool()> isStale;
    std::function<void()> onRefresh;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    friend class DayEntryDelegate;

    Kind kind_;
    const SettingsStore& settings_;
    DayListModel* model_;
    DayListColours colours_;
    std::array<QFont, 4> fonts_;
    int lineHeight_ = 0;
    bool wrap_ = false;
    bool fileMarks_ = true;
    bool detailMarks_ = false;
    int timeDisplay_ = 0;
    std::uint32_t holidayColour_ = 255;
    DisplayRules rules_;
    EntryMarks marks_;
};

class CDayView : public ViewBase {
    Q_OBJECT
  public:
    CDayView(DocumentHost& host, SettingsStore& settings, Prompter& prompter, const Clock& clock,
             QWidget* parent = nullptr, CDayListBox::Kind kind = CDayListBox::DayViewList);
    ~CDayView() override;

    // The month view of the same frame: its selected day, its commands and its focus.
    struct MonthLink {
        std::function<std::optional<DateTime>()> selectedDate;
        CommandTarget* commands = nullptr;
        QWidget* widget = nullptr;
        // The record of a pending search hit, taken (cleared) by the call.
        std::function<const CAlmxData*()> takeSearchHit;
    };
    void SetMonthLink(MonthLink link) { link_ = std::move(link); }
    void SetEntryActions(EntryActions actions) { actions_ = std::move(actions); }
    void SetCalendarActions(CalendarActions actions) { calendar_ = std::move(actions); }
    // The day shown when there is no month view to ask; refills.
    void ShowDate(const DateTime& day);

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;
    // The month view's selected day, which this list shows.
    std::optional<DateTime> SelectedDate() const override { return SelectedDay(); }

    CDayListBox& List() { return *list_; }
    // The day's cell the rows were filled from.
    const DayCellSet& Cells() const { return cells_; }
    const DateTime& Day() const { return day_; }
    // The selected entry, or nullptr.
    const CAlmxData* SelectedEntry();
    // Fills the list for the selected day and selects the row (r < 0: the current one).
    void Refill(int row);
    // Colours and fonts were written by another view ("DayView").
    void ReloadLook();

    // The "LIST" context menu.
    std::unique_ptr<QMenu> CreateContextMenu();

  protected:
    void OnUpdate(QObject* sender, int hint, const CAlmxData* record) override;
    void showEvent(QShowEvent* event) override;

    // The dialogs, one seam each (tests answer them).
    virtual std::optional<std::uint32_t> ChooseColour(std::uint32_t initial);
    virtual std::optional<FontSpec> ChooseFont(const FontSpec& current);
    virtual void RunContextMenu(QMenu& menu, const QPoint& globalPos);

  private:
    DateTime SelectedDay() const;
    bool Stale();
    bool HandleKey(QKeyEvent* event);
    // Every view but this one refills; this one refills with the row.
    void Changed(int row);

    // Runs an entry action on the selected entry, keeping the row selected when it changed.
    void ActOnSelected(const std::function<bool(const CAlmxData*)>& action);
    void Edit();
    void Add();
    void AddTodo();
    void Delete();
    void Copy();
    void Cut();
    void Paste();
    void Move(int step);
    void RepeatedCopy();
    void ChangeFont();
    void ChangeSelectionColour();
    void CalendarCommand(int id);

    SettingsStore& settings_;
    Prompter& prompter_;
    const Clock& clock_;
    CDayListBox* list_;
    DayCellSet cells_{1};
    DateTime day_;
    // What the last fill saw of the container: a change means the rows may dangle.
    std::uint64_t filledGeneration_ = 0;  // of the records the rows were filled from
    bool firstShown_ = false;
    MonthLink link_;
    EntryActions actions_;
    CalendarActions calendar_;
};

}  // namespace almx
