#pragma once
// CSchView (検索リスト): every record matching the list's search condition in the grid control,
// in the user's multi-key order, under a title band with a search box; the list's commands.

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/display_settings.h"
#include "core/multi_sort.h"
#include "core/search_condition.h"
#include "views/calendar_actions.h"
#include "views/entry_actions.h"
#include "views/view_base.h"

class QLineEdit;
class QMenu;
class QPushButton;

namespace almx {

class Prompter;
class SettingsStore;
class TodoTitleBand;

namespace grid {
class GridControl;
}

namespace sch_cmd {
inline constexpr int kEdit = 32768;
inline constexpr int kAdd = 32781;
inline constexpr int kDelete = 32782;
inline constexpr int kBandFont = 32785;
inline constexpr int kOpenLink = 32829;
inline constexpr int kAddTodo = 32846;
inline constexpr int kBandColour = 32871;
inline constexpr int kBandTextColour = 32872;
inline constexpr int kOutlookExport = 32916;
inline constexpr int kTableFont = 32936;
inline constexpr int kSortOrder = 32937;
inline constexpr int kSearchBox = 32938;
inline constexpr int kTakeCondition = 32947;
inline constexpr int kICalendarExport = 32958;
inline constexpr int kPrint = 57607;
inline constexpr int kCopy = 57634;
inline constexpr int kCut = 57635;
inline constexpr int kPaste = 57637;
inline constexpr int kSearchButton = 501;
}  // namespace sch_cmd

inline constexpr const char* kSchDeleteQuestion = "削除しますか？";

class CSchView : public ViewBase {
    Q_OBJECT
  public:
    CSchView(DocumentHost& host, SettingsStore& settings, Prompter& prompter,
             QWidget* parent = nullptr);
    // Writes the sort keys.
    ~CSchView() override;

    void SetEntryActions(EntryActions actions) { actions_ = std::move(actions); }
    void SetCalendarActions(CalendarActions actions) { calendar_ = std::move(actions); }

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

    grid::GridControl& Grid() { return *grid_; }
    QLineEdit& SearchBox() { return *box_; }
    QPushButton& SearchButton() { return *button_; }
    TodoTitleBand& Band() { return *band_; }
    SortKeyList& Keys() { return keys_; }
    const SearchCondition& Condition() const { return condition_; }
    const std::vector<const CAlmxData*>& Rows() const { return rows_; }
    // The record of the current row while it is still the document's, else nullptr.
    const CAlmxData* SelectedRecord();
    // The records of every selected row still in the document.
    std::vector<const CAlmxData*> SelectedRecords();
    // Fills the grid and selects the row (-1: the current one).
    void Refill(int row);

    std::unique_ptr<QMenu> CreateContextMenu();

  protected:
    void OnUpdate(QObject* sender, int hint, const CAlmxData* record) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // The dialogs, one seam each (tests answer them).
    virtual std::optional<std::uint32_t> ChooseColour(std::uint32_t initial);
    virtual std::optional<FontSpec> ChooseFont(const FontSpec& current);
    virtual void RunSortDialog();
    virtual void RunContextMenu(QMenu& menu, const QPoint& globalPos);

  private:
    void LoadLook();
    void PlaceBoxes();
    bool Stale();
    bool HandleKey(QKeyEvent* event);
    int RowOf(const CAlmxData* record) const;
    // Takes the document's pending condition (the find dialog's) when it has one.
    void TakeCondition();
    void SearchFromBox();

    void Edit();
    void Add(bool todo);
    void Delete();
    void Copy();
    void Cut();
    void Paste();
    void ChangeFont(const char* section, const FontSpec& defaults);
    void ChangeColour(const char* section, const char* key, std::uint32_t fallback);

    SettingsStore& settings_;
    Prompter& prompter_;
    TodoTitleBand* band_;
    QLineEdit* box_;
    QPushButton* button_;
    grid::GridControl* grid_;
    SearchCondition condition_;
    SortKeyList keys_;
    std::uint32_t tableBack_ = 16777215;
    std::array<QFont, 4> tableFonts_;
    std::array<int, 4> fontIndex_{-1, -1, -1, -1};
    std::vector<const CAlmxData*> rows_;
    std::uint64_t filledGeneration_ = 0;  // of the records the rows were filled from
    bool firstShown_ = false;
    EntryActions actions_;
    CalendarActions calendar_;
};

}  // namespace almx
