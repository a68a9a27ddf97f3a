#pragma once
// CSchView (検索リスト): every record matching the list's search condition in the grid control,
// in the user's multi-key order, under a title band with a search box; the list's commands.

#include <memory>
#include <optional>
#include <vector>

#include "core/search_condition.h"
#include "views/calendar_actions.h"
#include "views/entry_actions.h"
#include "views/record_table_view.h"

class QLineEdit;
class QMenu;
class QPushButton;

namespace almx {

class Prompter;
class SettingsStore;

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

class CSchView : public RecordTableView {
    Q_OBJECT
  public:
    CSchView(DocumentHost& host, SettingsStore& settings, Prompter& prompter,
             QWidget* parent = nullptr);

    void SetEntryActions(EntryActions actions) { actions_ = std::move(actions); }
    void SetCalendarActions(CalendarActions actions) { calendar_ = std::move(actions); }

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

    QLineEdit& SearchBox() { return *box_; }
    QPushButton& SearchButton() { return *button_; }
    const SearchCondition& Condition() const { return condition_; }
    // The record of the current row while it is still the document's, else nullptr.
    const CAlmxData* SelectedRecord();
    // The records of every selected row still in the document.
    std::vector<const CAlmxData*> SelectedRecords();
    void Refill(int row) override;

    std::unique_ptr<QMenu> CreateContextMenu();

  protected:
    void OnUpdate(QObject* sender, int hint, const CAlmxData* record) override;
    void resizeEvent(QResizeEvent* event) override;
    void LoadLook() override;

  private:
    void PlaceBoxes();
    // Takes the document's pending condition (the find dialog's) when it has one.
    void TakeCondition();
    void SearchFromBox();

    void Edit();
    void Add(bool todo);
    void Delete();
    void Copy();
    void Cut();
    void Paste();

    QLineEdit* box_;
    QPushButton* button_;
    SearchCondition condition_;
    EntryActions actions_;
    CalendarActions calendar_;
};

}  // namespace almx
