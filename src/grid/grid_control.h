#pragma once
// The grid control of the list views: a table with row numbers and column headings over a
// GridModel, in-cell editing with line edits and drop lists, check boxes, and callbacks for the
// owner (right click, Enter, double click, keys, column resizes, edits). Owners refill it
// between SuspendDrawing and ResumeDrawing.

#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <vector>

#include "grid/grid_model.h"

namespace almx::grid {

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};

class GridControl : public QTableView {
    Q_OBJECT
  public:
    explicit GridControl(QWidget* parent = nullptr);
    ~GridControl() override;

    GridModel& Model() { return *model_; }
    const GridModel& Model() const { return *model_; }

    // Shape and cells (the model's setters, for convenience).
    void SetColumnCount(int count) { model_->SetColumnCount(count); }
    void SetRowCount(int count) { model_->SetRowCount(count); }
    int RowCount() const { return model_->RowCount(); }
    void SetHeading(int column, const QString& text) { model_->SetHeading(column, text); }
    void SetText(int row, int column, const QString& text) { model_->SetText(row, column, text); }
    QString Text(int row, int column) const { return model_->Text(row, column); }

    // Widths set here never reach onColumnResized; only the user's do.
    void SetColumnWidth(int column, int width);
    void SetRowHeight(int height);
    int RowHeight() const;
    void SetTableFont(const QFont& font);

    int SelectedRow() const;
    std::vector<int> SelectedRows() const;
    // Selects and shows the row, limited to the last row; -1 clears the selection.
    void SelectRow(int row);

    // Around a refill: no painting and one model reset.
    void SuspendDrawing();
    void ResumeDrawing();
    bool DrawingSuspended() const { return suspended_ > 0; }

    // A click on a column heading sorts by that column (again: the other way round).
    void SetHeadingSorts(bool on) { headingSorts_ = on; }

    // Row -1 for a column heading, column -1 for a row heading, both -1 for empty space.
    std::function<void(int row, int column, const QPoint& globalPos)> onRightClick;
    std::function<void(int row)> onEnter;
    std::function<void(int row, int column)> onDoubleClick;
    // True when the owner handled the key.
    std::function<bool(QKeyEvent* event)> onKey;
    std::function<void(int column, int width)> onColumnResized;
    // After the user's edit is in the model; called from the event loop, never from inside
    // the edit, so the owner may refill.
    std::function<void(int row, int column, const QString& text)> onCellEdited;
    std::function<void(int row, int column, bool checked)> onCheckToggled;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void HeadingMenu(Qt::Orientation orientation, const QPoint& pos);
    void HeadingClicked(int column);

    GridModel* model_;
    GridDelegate* delegate_;
    int suspended_ = 0;
    bool settingWidth_ = false;
    bool userResizing_ = false;
    bool headingSorts_ = false;
    int sortColumn_ = -1;
    bool sortDescending_ = false;
};

}  // namespace almx::grid
