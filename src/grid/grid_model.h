#pragma once
// The grid control's table: rows of cells with text, colours, a font and a check mark, column
// headings and kinds, and the row numbers as row headings. Cells live in one flat array and
// a refill inside BeginUpdate/EndUpdate sends one reset, so 100,000 rows fill quickly.

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QStringList>
#include <functional>
#include <vector>

namespace almx::grid {

enum class CellType : quint8 {
    Text,      // compares as Shift_JIS bytes
    Number,    // compares as a decimal floating-point number
    CheckBox,  // a check mark the user can toggle, with its text
    DropList,  // edited by choosing one of the column's choices
};

// Compares two cell texts for column sorting; nullptr is a cell without text, which sorts
// after any text. Descending swaps the operands.
int CompareCells(const QString* a, const QString* b, CellType type, bool descending);

class GridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit GridModel(QObject* parent = nullptr);
    ~GridModel() override;

    // Refills between these send a single reset; they nest.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateDepth_ > 0; }

    void SetColumnCount(int count);
    void SetRowCount(int count);
    int RowCount() const { return rows_; }
    int ColumnCount() const { return columns_; }

    void SetHeading(int column, const QString& text);
    QString Heading(int column) const;
    void SetColumnType(int column, CellType type, const QStringList& choices = {});
    CellType ColumnType(int column) const;
    QStringList Choices(int column) const;
    void SetColumnEditable(int column, bool editable);
    void SetColumnAlignment(int column, Qt::Alignment alignment);

    void SetText(int row, int column, const QString& text);
    void ClearText(int row, int column);
    QString Text(int row, int column) const;
    bool HasText(int row, int column) const;
    void SetTextColour(int row, int column, const QColor& colour);
    void SetBackColour(int row, int column, const QColor& colour);
    QColor TextColour(int row, int column) const;
    QColor BackColour(int row, int column) const;
    // Fonts are kept once in a table; a cell names one by its index (-1: the grid's font).
    int AddFont(const QFont& font);
    void ClearFonts();
    void SetCellFont(int row, int column, int fontIndex);
    int CellFont(int row, int column) const;
    void SetChecked(int row, int column, bool checked);
    bool IsChecked(int row, int column) const;
    // A value the owner keeps with a row (a record, say); it follows the row when sorted.
    void SetRowData(int row, quintptr data);
    quintptr RowData(int row) const;

    void SetDefaultColours(const QColor& text, const QColor& back);

    // Orders the rows by one column with CompareCells; rows comparing equal keep their order.
    void SortByColumn(int column, bool descending);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  signals:
    // The user changed a cell in the grid (not the setters above).
    void CellEdited(int row, int column, const QString& text);
    void CheckToggled(int row, int column, bool checked);

  private:
    struct Cell {
        QString text;
        QRgb textColour = 0;
        QRgb backColour = 0;
        qint16 font = -1;
        quint8 flags = 0;
    };
    struct Column {
        QString heading;
        CellType type = CellType::Text;
        bool editable = false;
        QStringList choices;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    bool Valid(int row, int column) const;
    Cell& At(int row, int column);
    const Cell& At(int row, int column) const;
    void CellChanged(int row, int column);

    int rows_ = 0;
    int columns_ = 0;
    std::vector<Cell> cells_;  // row-major
    std::vector<quintptr> rowData_;
    std::vector<Column> columnInfo_;
    std::vector<QFont> fonts_;
    QColor defaultText_ = Qt::black;
    QColor defaultBack_ = Qt::white;
    int updateDepth_ = 0;
};

}  // namespace almx::grid
