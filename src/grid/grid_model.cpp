#include "grid/grid_model.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string>

#include "text/encoding.h"

namespace almx::grid {

namespace {

enum CellFlag : quint8 {
    kHasText = 1,
    kHasTextColour = 2,
    kHasBackColour = 4,
    kChecked = 8,
};

double NumberOf(const QString& text) {
    const QByteArray bytes = text.trimmed().toUtf8();
    return std::strtod(bytes.constData(), nullptr);
}

std::string BytesOf(const QString& text) {
    return text::ToShiftJis(text.toStdString());
}

}  // namespace

int CompareCells(const QString* a, const QString* b, CellType type, bool descending) {
    if (descending) std::swap(a, b);
    if (a == nullptr || b == nullptr) return (a == nullptr) - (b == nullptr);
    if (type == CellType::Number) {
        const double x = NumberOf(*a);
        const double y = NumberOf(*b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    const int result = BytesOf(*a).compare(BytesOf(*b));
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

GridModel::~GridModel() = default;

void GridModel::BeginUpdate() {
    if (updateDepth_++ == 0) beginResetModel();
}

void GridModel::EndUpdate() {
    if (updateDepth_ == 0) return;
    if (--updateDepth_ == 0) endResetModel();
}

void GridModel::SetColumnCount(int count) {
    count = std::max(count, 0);
    if (count == columns_) return;
    if (!Updating()) beginResetModel();
    std::vector<Cell> cells(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(count));
    const int kept = std::min(count, columns_);
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < kept; ++c) {
            cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(count) +
                  static_cast<std::size_t>(c)] = std::move(At(r, c));
        }
    }
    cells_ = std::move(cells);
    columns_ = count;
    columnInfo_.resize(static_cast<std::size_t>(count));
    if (!Updating()) endResetModel();
}

void GridModel::SetRowCount(int count) {
    count = std::max(count, 0);
    if (count == rows_) return;
    const bool signal = !Updating();
    if (signal) {
        if (count > rows_) {
            beginInsertRows({}, rows_, count - 1);
        } else {
            beginRemoveRows({}, count, rows_ - 1);
        }
    }
    cells_.resize(static_cast<std::size_t>(count) * static_cast<std::size_t>(columns_));
    rowData_.resize(static_cast<std::size_t>(count), 0);
    const int old = rows_;
    rows_ = count;
    if (signal) {
        if (count > old) {
            endInsertRows();
        } else {
            endRemoveRows();
        }
    }
}

void GridModel::SetHeading(int column, const QString& text) {
    if (column < 0 || column >= columns_) return;
    columnInfo_[static_cast<std::size_t>(column)].heading = text;
    if (!Updating()) emit headerDataChanged(Qt::Horizontal, column, column);
}

QString GridModel::Heading(int column) const {
    if (column < 0 || column >= columns_) return {};
    return columnInfo_[static_cast<std::size_t>(column)].heading;
}

void GridModel::SetColumnType(int column, CellType type, const QStringList& choices) {
    if (column < 0 || column >= columns_) return;
    Column& info = columnInfo_[static_cast<std::size_t>(column)];
    info.type = type;
    info.choices = choices;
}

CellType GridModel::ColumnType(int column) const {
    if (column < 0 || column >= columns_) return CellType::Text;
    return columnInfo_[static_cast<std::size_t>(column)].type;
}

QStringList GridModel::Choices(int column) const {
    if (column < 0 || column >= columns_) return {};
    return columnInfo_[static_cast<std::size_t>(column)].choices;
}

void GridModel::SetColumnEditable(int column, bool editable) {
    if (column < 0 || column >= columns_) return;
    columnInfo_[static_cast<std::size_t>(column)].editable = editable;
}

void GridModel::SetColumnAlignment(int column, Qt::Alignment alignment) {
    if (column < 0 || column >= columns_) return;
    columnInfo_[static_cast<std::size_t>(column)].alignment = alignment;
}

bool GridModel::Valid(int row, int column) const {
    return row >= 0 && row < rows_ && column >= 0 && column < columns_;
}

GridModel::Cell& GridModel::At(int row, int column) {
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                  static_cast<std::size_t>(column)];
}

const GridModel::Cell& GridModel::At(int row, int column) const {
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                  static_cast<std::size_t>(column)];
}

void GridModel::CellChanged(int row, int column) {
    if (Updating()) return;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed);
}

void GridModel::SetText(int row, int column, const QString& text) {
    if (!Valid(row, column)) return;
    Cell& cell = At(row, column);
    cell.text = text;
    cell.flags |= kHasText;
    CellChanged(row, column);
}

void GridModel::ClearText(int row, int column) {
    if (!Valid(row, column)) return;
    Cell& cell = At(row, column);
    cell.text.clear();
    cell.flags &= static_cast<quint8>(~kHasText);
    CellChanged(row, column);
}

QString GridModel::Text(int row, int column) const {
    return Valid(row, column) ? At(row, column).text : QString();
}

bool GridModel::HasText(int row, int column) const {
    return Valid(row, column) && (At(row, column).flags & kHasText) != 0;
}

void GridModel::SetTextColour(int row, int column, const QColor& colour) {
    if (!Valid(row, column)) return;
    Cell& cell = At(row, column);
    cell.textColour = colour.rgb();
    cell.flags |= kHasTextColour;
    CellChanged(row, column);
}

void GridModel::SetBackColour(int row, int column, const QColor& colour) {
    if (!Valid(row, column)) return;
    Cell& cell = At(row, column);
    cell.backColour = colour.rgb();
    cell.flags |= kHasBackColour;
    CellChanged(row, column);
}

QColor GridModel::TextColour(int row, int column) const {
    if (!Valid(row, column)) return defaultText_;
    const Cell& cell = At(row, column);
    return (cell.flags & kHasTextColour) ? QColor(cell.textColour) : defaultText_;
}

QColor GridModel::BackColour(int row, int column) const {
    if (!Valid(row, column)) return defaultBack_;
    const Cell& cell = At(row, column);
    return (cell.flags & kHasBackColour) ? QColor(cell.backColour) : defaultBack_;
}

int GridModel::AddFont(const QFont& font) {
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        if (fonts_[i] == font) return static_cast<int>(i);
    }
    if (fonts_.size() >= 32000) return -1;
    fonts_.push_back(font);
    return static_cast<int>(fonts_.size()) - 1;
}

void GridModel::ClearFonts() {
    fonts_.clear();
    for (Cell& cell : cells_) cell.font = -1;
    if (!Updating() && rows_ > 0 && columns_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1), {Qt::FontRole});
    }
}

void GridModel::SetCellFont(int row, int column, int fontIndex) {
    if (!Valid(row, column)) return;
    if (fontIndex < -1 || fontIndex >= static_cast<int>(fonts_.size())) fontIndex = -1;
    At(row, column).font = static_cast<qint16>(fontIndex);
    CellChanged(row, column);
}

int GridModel::CellFont(int row, int column) const {
    return Valid(row, column) ? At(row, column).font : -1;
}

void GridModel::SetChecked(int row, int column, bool checked) {
    if (!Valid(row, column)) return;
    Cell& cell = At(row, column);
    if (checked) {
        cell.flags |= kChecked;
    } else {
        cell.flags &= static_cast<quint8>(~kChecked);
    }
    CellChanged(row, column);
}

bool GridModel::IsChecked(int row, int column) const {
    return Valid(row, column) && (At(row, column).flags & kChecked) != 0;
}

void GridModel::SetRowData(int row, quintptr data) {
    if (row < 0 || row >= rows_) return;
    rowData_[static_cast<std::size_t>(row)] = data;
}

quintptr GridModel::RowData(int row) const {
    if (row < 0 || row >= rows_) return 0;
    return rowData_[static_cast<std::size_t>(row)];
}

void GridModel::SetDefaultColours(const QColor& text, const QColor& back) {
    defaultText_ = text;
    defaultBack_ = back;
    if (!Updating() && rows_ > 0 && columns_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1),
                         {Qt::ForegroundRole, Qt::BackgroundRole});
    }
}

void GridModel::SortByColumn(int column, bool descending) {
    if (column < 0 || column >= columns_ || rows_ < 2) return;
    const CellType type = ColumnType(column);
    // Each text converted once, not once per comparison.
    struct Key {
        bool missing;
        double number;
        std::string bytes;
    };
    std::vector<Key> keys(static_cast<std::size_t>(rows_));
    for (int r = 0; r < rows_; ++r) {
        Key& key = keys[static_cast<std::size_t>(r)];
        const Cell& cell = At(r, column);
        key.missing = (cell.flags & kHasText) == 0;
        if (key.missing) continue;
        if (type == CellType::Number) {
            key.number = NumberOf(cell.text);
        } else {
            key.bytes = BytesOf(cell.text);
        }
    }
    auto compare = [&](int x, int y) {
        const Key* a = &keys[static_cast<std::size_t>(x)];
        const Key* b = &keys[static_cast<std::size_t>(y)];
        if (descending) std::swap(a, b);
        if (a->missing || b->missing) return !a->missing && b->missing;
        if (type == CellType::Number) return a->number < b->number;
        return a->bytes < b->bytes;
    };
    std::vector<int> order(static_cast<std::size_t>(rows_));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), compare);

    if (!Updating()) emit layoutAboutToBeChanged();
    std::vector<Cell> cells(cells_.size());
    std::vector<quintptr> data(rowData_.size());
    std::vector<int> newRowOf(static_cast<std::size_t>(rows_));
    for (int to = 0; to < rows_; ++to) {
        const int from = order[static_cast<std::size_t>(to)];
        newRowOf[static_cast<std::size_t>(from)] = to;
        data[static_cast<std::size_t>(to)] = rowData_[static_cast<std::size_t>(from)];
        for (int c = 0; c < columns_; ++c) {
            cells[static_cast<std::size_t>(to) * static_cast<std::size_t>(columns_) +
                  static_cast<std::size_t>(c)] = std::move(At(from, c));
        }
    }
    cells_ = std::move(cells);
    rowData_ = std::move(data);
    if (!Updating()) {
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& old : before) {
            after.push_back(index(newRowOf[static_cast<std::size_t>(old.row())], old.column()));
        }
        changePersistentIndexList(before, after);
        emit layoutChanged();
    }
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !Valid(index.row(), index.column())) return {};
    const Cell& cell = At(index.row(), index.column());
    const Column& info = columnInfo_[static_cast<std::size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return cell.text;
        case Qt::ForegroundRole:
            return TextColour(index.row(), index.column());
        case Qt::BackgroundRole:
            return BackColour(index.row(), index.column());
        case Qt::FontRole:
            if (cell.font >= 0 && static_cast<std::size_t>(cell.font) < fonts_.size()) {
                return fonts_[static_cast<std::size_t>(cell.font)];
            }
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(info.alignment);
        case Qt::CheckStateRole:
            if (info.type != CellType::CheckBox) return {};
            return (cell.flags & kChecked) ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) return QString::number(section + 1);
    return Heading(section);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !Valid(index.row(), index.column())) return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const Column& info = columnInfo_[static_cast<std::size_t>(index.column())];
    if (info.editable) {
        if (info.type == CellType::CheckBox) {
            result |= Qt::ItemIsUserCheckable;
        } else {
            result |= Qt::ItemIsEditable;
        }
    }
    return result;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !Valid(index.row(), index.column())) return false;
    const int row = index.row();
    const int column = index.column();
    const Column& info = columnInfo_[static_cast<std::size_t>(column)];
    if (!info.editable) return false;
    if (role == Qt::CheckStateRole && info.type == CellType::CheckBox) {
        const bool checked = value.toInt() == Qt::Checked;
        if (checked == IsChecked(row, column)) return false;
        SetChecked(row, column, checked);
        emit CheckToggled(row, column, checked);
        return true;
    }
    if (role == Qt::EditRole && info.type != CellType::CheckBox) {
        const QString text = value.toString();
        if (HasText(row, column) && text == Text(row, column)) return false;
        SetText(row, column, text);
        emit CellEdited(row, column, text);
        return true;
    }
    return false;
}

}  // namespace almx::grid
