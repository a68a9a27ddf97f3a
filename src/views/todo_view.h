#pragma once
// CTodoView: every to-do of the document in the grid control, in the user's multi-key order,
// under a title band; the to-do commands, checking a to-do done in the list, its menus.

#include <functional>
#include <memory>
#include <optional>

#include "views/entry_actions.h"
#include "views/record_table_view.h"

class QMenu;

namespace almx {

class Clock;
class Prompter;
class SettingsStore;

class CTodoView : public RecordTableView {
    Q_OBJECT
  public:
    enum Column { DoneColumn, ImportanceColumn, DeadlineColumn, CompletionColumn, TitleColumn };

    CTodoView(DocumentHost& host, SettingsStore& settings, Prompter& prompter, const Clock& clock,
              QWidget* parent = nullptr);
    ~CTodoView() override;

    void SetEntryActions(EntryActions actions) { actions_ = std::move(actions); }

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

    int DeadlineMode() const { return deadlineMode_; }
    // The selected to-do, or nullptr.
    const CAlmxData* SelectedTodo();
    void Refill(int row) override;

    // The grid's menu: on a row with the linked file item, elsewhere without.
    std::unique_ptr<QMenu> CreateContextMenu(bool onRow);

  protected:
    void OnUpdate(QObject* sender, int hint, const CAlmxData* record) override;
    void LoadLook() override;

  private:
    // The others refill; this view refills selecting the row.
    void Changed(int row);

    // Runs an entry action on the selected to-do, keeping the row selected when it changed.
    void ActOnSelected(const std::function<bool(const CAlmxData*)>& action);
    void Edit();
    void Add();
    void Delete();
    void Copy();
    void Cut();
    void Paste();
    void Move(int step);
    void CheckToggled(int row, bool done);
    void ToggleDeadlineMode();

    const Clock& clock_;
    int deadlineMode_ = 0;
    EntryActions actions_;
};

}  // namespace almx
