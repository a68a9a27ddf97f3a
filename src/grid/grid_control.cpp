#include "grid/grid_control.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace almx::grid {

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    const auto* model = qobject_cast<const GridModel*>(index.model());
    if (model != nullptr && model->ColumnType(index.column()) == CellType::DropList) {
        auto* combo = new QComboBox(parent);
        combo->addItems(model->Choices(index.column()));
        return combo;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (combo->currentIndex() >= 0) model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

GridControl::GridControl(QWidget* parent)
    : QTableView(parent), model_(new GridModel(this)), delegate_(new GridDelegate(this)) {
    setModel(model_);
    setItemDelegate(delegate_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setWordWrap(false);
    setTabKeyNavigation(false);

    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rows->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rows, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { HeadingMenu(Qt::Vertical, pos); });

    QHeaderView* columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setHighlightSections(false);
    columns->setContextMenuPolicy(Qt::CustomContextMenu);
    columns->viewport()->installEventFilter(this);
    connect(columns, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { HeadingMenu(Qt::Horizontal, pos); });
    connect(columns, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (!settingWidth_ && userResizing_ && onColumnResized) onColumnResized(column, width);
    });
    connect(columns, &QHeaderView::sectionClicked, this, &GridControl::HeadingClicked);

    // Queued: the owner may refill the grid, which must not happen inside the edit itself.
    connect(
        model_, &GridModel::CellEdited, this,
        [this](int row, int column, const QString& text) {
            if (onCellEdited) onCellEdited(row, column, text);
        },
        Qt::QueuedConnection);
    connect(
        model_, &GridModel::CheckToggled, this,
        [this](int row, int column, bool checked) {
            if (onCheckToggled) onCheckToggled(row, column, checked);
        },
        Qt::QueuedConnection);
}

GridControl::~GridControl() = default;

void GridControl::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= model_->ColumnCount() || width <= 0) return;
    settingWidth_ = true;
    setColumnWidth(column, width);
    settingWidth_ = false;
}

void GridControl::SetRowHeight(int height) {
    height = std::max(height, 1);
    verticalHeader()->setMinimumSectionSize(
        std::min(height, verticalHeader()->minimumSectionSize()));
    verticalHeader()->setDefaultSectionSize(height);
}

int GridControl::RowHeight() const {
    return verticalHeader()->defaultSectionSize();
}

void GridControl::SetTableFont(const QFont& font) {
    setFont(font);
    verticalHeader()->setFont(font);
}

int GridControl::SelectedRow() const {
    const QItemSelectionModel* selection = selectionModel();
    if (selection == nullptr || !selection->hasSelection()) return -1;
    const QModelIndex current = currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row(), {})) return current.row();
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

std::vector<int> GridControl::SelectedRows() const {
    std::vector<int> result;
    if (selectionModel() == nullptr) return result;
    for (const QModelIndex& index : selectionModel()->selectedRows()) result.push_back(index.row());
    std::sort(result.begin(), result.end());
    return result;
}

void GridControl::SelectRow(int row) {
    if (selectionModel() == nullptr) return;
    row = std::min(row, model_->RowCount() - 1);
    if (row < 0) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row, std::max(currentIndex().column(), 0));
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (!DrawingSuspended()) scrollTo(index);
}

void GridControl::SuspendDrawing() {
    if (suspended_++ > 0) return;
    setUpdatesEnabled(false);
    model_->BeginUpdate();
}

void GridControl::ResumeDrawing() {
    if (suspended_ == 0 || --suspended_ > 0) return;
    model_->EndUpdate();
    setUpdatesEnabled(true);
    viewport()->update();
}

void GridControl::keyPressEvent(QKeyEvent* event) {
    if (onKey && onKey(event)) {
        event->accept();
        return;
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && onEnter &&
        state() != QAbstractItemView::EditingState) {
        onEnter(SelectedRow());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void GridControl::contextMenuEvent(QContextMenuEvent* event) {
    if (!onRightClick) {
        QTableView::contextMenuEvent(event);
        return;
    }
    const QModelIndex index = indexAt(event->pos());
    onRightClick(index.isValid() ? index.row() : -1, index.isValid() ? index.column() : -1,
                 event->globalPos());
    event->accept();
}

void GridControl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (onDoubleClick && index.isValid() && event->button() == Qt::LeftButton) {
        onDoubleClick(index.row(), index.column());
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

bool GridControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                userResizing_ = true;
                break;
            case QEvent::MouseButtonRelease:
                userResizing_ = false;
                break;
            default:
                break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void GridControl::HeadingMenu(Qt::Orientation orientation, const QPoint& pos) {
    if (!onRightClick) return;
    QHeaderView* header = orientation == Qt::Horizontal ? horizontalHeader() : verticalHeader();
    const int section = header->logicalIndexAt(pos);
    const QPoint global = header->viewport()->mapToGlobal(pos);
    if (orientation == Qt::Horizontal) {
        onRightClick(-1, section, global);
    } else {
        onRightClick(section, -1, global);
    }
}

void GridControl::HeadingClicked(int column) {
    if (!headingSorts_) return;
    sortDescending_ = column == sortColumn_ ? !sortDescending_ : false;
    sortColumn_ = column;
    model_->SortByColumn(column, sortDescending_);
}

}  // namespace almx::grid
