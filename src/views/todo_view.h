#pragma once
// CTodoView: every to-do of the document in the grid control, in the user's multi-key order,
// under a title band; the to-do commands, checking a to-do done in the list, its menus.

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/display_settings.h"
#include "core/multi_sort.h"
#include "views/entry_actions.h"
#include "views/view_base.h"

class QMenu;

namespace almx {

class Clock;
class Prompter;
class SettingsStore;

namespace grid {
class GridControl;
}

// The band above a list's table: its colour and the title ("TODO LIST", "検索リスト") in the
// title font.
class TodoTitleBand : public QWidget {
    Q_OBJECT
  public:
    explicit TodoTitleBand(QWidget* parent = nullptr);
    void SetLook(const QColor& back, const QColor& text, const QFont& font);
    void SetTitle(const QString& title) { title_ = title; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor back_;
    QColor text_;
    QFont font_;
    QString title_ = QStringLiteral("TODO LIST");
};

class CTodoView : public ViewBase {
    Q_OBJECT
  public:
    enum Column { DoneColumn, ImportanceColumn, DeadlineColumn, CompletionColumn, TitleColumn };

    CTodoView(DocumentHost& host, SettingsStore& settings, Prompter& prompter, const Clock& clock,
              QWidget* parent = nullptr);
    // Writes the sort keys.
    ~CTodoView() override;

    void SetEntryActions(EntryActions actions) { actions_ = std::move(actions); }

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

    grid::GridControl& Grid() { return *grid_; }
    TodoTitleBand& Band() { return *band_; }
    SortKeyList& Keys() { return keys_; }
    int DeadlineMode() const { return deadlineMode_; }
    // The records shown, in the rows' order.
    const std::vector<const CAlmxData*>& Rows() const { return rows_; }
    // The selected to-do, or nullptr.
    const CAlmxData* SelectedTodo();
    // Fills the grid and selects the row (-1: the current one).
    void Refill(int row);

    // The grid's menu: on a row with the linked file item, elsewhere without.
    std::unique_ptr<QMenu> CreateContextMenu(bool onRow);

  protected:
    void OnUpdate(QObject* sender, int hint, const CAlmxData* record) override;
    void showEvent(QShowEvent* event) override;

    // The dialogs, one seam each (tests answer them).
    virtual std::optional<std::uint32_t> ChooseColour(std::uint32_t initial);
    virtual std::optional<FontSpec> ChooseFont(const FontSpec& current);
    virtual void RunSortDialog();
    virtual void RunContextMenu(QMenu& menu, const QPoint& globalPos);

  private:
    void LoadLook();
    bool Stale();
    bool HandleKey(QKeyEvent* event);
    int RowOf(const CAlmxData* record) const;
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
    void ChangeFont(const char* section, const FontSpec& defaults);
    void ChangeColour(const char* section, const char* key, std::uint32_t current);

    SettingsStore& settings_;
    Prompter& prompter_;
    const Clock& clock_;
    TodoTitleBand* band_;
    grid::GridControl* grid_;
    SortKeyList keys_;
    int deadlineMode_ = 0;
    std::uint32_t tableBack_ = 16777215;
    std::array<QFont, 4> tableFonts_;
    std::array<int, 4> fontIndex_{-1, -1, -1, -1};
    std::vector<const CAlmxData*> rows_;
    std::uint64_t filledGeneration_ = 0;  // of the records the rows were filled from
    bool firstShown_ = false;
    EntryActions actions_;
};

}  // namespace almx
