#include "grid/grid_control.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <vector>

namespace almx::grid {
namespace {

TEST(GridModelTest, AHundredThousandRowsFillAsOneResetAndSortByANumberColumn) {
    GridModel model;
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    const int rows = 100000;
    model.BeginUpdate();
    model.SetColumnCount(3);
    model.SetRowCount(rows);
    model.SetColumnType(0, CellType::Number);
    const int bold = model.AddFont(QFont(QStringLiteral("Noto Sans CJK JP"), 12, QFont::Bold));
    for (int r = 0; r < rows; ++r) {
        // Row r holds the number (r * 7919) mod rows; every tenth has no number at all.
        if (r % 10 != 9) model.SetText(r, 0, QString::number((r * 7919) % rows));
        model.SetText(r, 1, QStringLiteral("予定%1").arg(r));
        model.SetTextColour(r, 1, QColor(r % 256, 0, 0));
        if (r % 2 == 0) model.SetCellFont(r, 1, bold);
        model.SetRowData(r, static_cast<quintptr>(r));
    }
    model.EndUpdate();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(model.rowCount(), rows);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(99999, Qt::Vertical, Qt::DisplayRole).toString(), "100000");

    const QModelIndex cell = model.index(54321, 1);
    EXPECT_EQ(cell.data().toString(), QStringLiteral("予定54321"));
    EXPECT_EQ(cell.data(Qt::ForegroundRole).value<QColor>(), QColor(54321 % 256, 0, 0));
    EXPECT_FALSE(model.index(54321, 1).data(Qt::FontRole).isValid());
    EXPECT_TRUE(model.index(54320, 1).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(model.index(7, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));

    model.SortByColumn(0, false);
    // Numbers ascending as numbers ("10" after "9"), the cells without text last, and each
    // row's data moved with its cells.
    double previous = -1;
    for (int r = 0; r < 90000; ++r) {
        ASSERT_TRUE(model.HasText(r, 0)) << r;
        const double value = model.Text(r, 0).toDouble();
        ASSERT_GT(value, previous) << r;
        previous = value;
        const int source = static_cast<int>(model.RowData(r));
        ASSERT_EQ(model.Text(r, 1), QStringLiteral("予定%1").arg(source));
    }
    for (int r = 90000; r < rows; ++r) ASSERT_FALSE(model.HasText(r, 0)) << r;

    model.SortByColumn(0, true);
    EXPECT_FALSE(model.HasText(0, 0));
    EXPECT_EQ(model.Text(rows - 1, 0).toInt(), 0);
}

TEST(GridModelTest, CellComparisonByColumnKind) {
    const QString nine = QStringLiteral("9");
    const QString ten = QStringLiteral("10");
    const QString half = QStringLiteral("9.5");
    EXPECT_LT(CompareCells(&nine, &ten, CellType::Number, false), 0);
    EXPECT_GT(CompareCells(&nine, &ten, CellType::Text, false), 0);  // as bytes
    EXPECT_LT(CompareCells(&nine, &half, CellType::Number, false), 0);
    EXPECT_GT(CompareCells(&nine, &ten, CellType::Number, true), 0);
    EXPECT_GT(CompareCells(nullptr, &nine, CellType::Text, false), 0);
    EXPECT_LT(CompareCells(&nine, nullptr, CellType::Text, false), 0);
    EXPECT_LT(CompareCells(nullptr, &nine, CellType::Text, true), 0);
    EXPECT_EQ(CompareCells(nullptr, nullptr, CellType::Number, false), 0);
    // Shift_JIS order: full-width digits come before hiragana, which UTF-8 would reverse.
    const QString wide = QStringLiteral("１");
    const QString kana = QStringLiteral("あ");
    EXPECT_LT(CompareCells(&wide, &kana, CellType::Text, false), 0);
}

TEST(GridControlTest, UserEditsChecksAndKeysReachTheOwnerOutsideTheEdit) {
    GridControl grid;
    grid.resize(400, 300);
    grid.SetColumnCount(3);
    grid.SetRowCount(4);
    grid.Model().SetColumnType(0, CellType::CheckBox);
    grid.Model().SetColumnEditable(0, true);
    grid.Model().SetColumnType(1, CellType::DropList,
                               {QStringLiteral("緊急"), QStringLiteral("A"), QStringLiteral("B")});
    grid.Model().SetColumnEditable(1, true);
    std::vector<std::tuple<int, int, bool>> checks;
    std::vector<QString> edits;
    grid.onCheckToggled = [&](int row, int column, bool on) {
        checks.emplace_back(row, column, on);
    };
    grid.onCellEdited = [&](int, int, const QString& text) { edits.push_back(text); };

    EXPECT_TRUE(grid.Model().setData(grid.Model().index(2, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_FALSE(grid.Model().setData(grid.Model().index(2, 2), QStringLiteral("x"),
                                      Qt::EditRole));  // not editable
    EXPECT_TRUE(checks.empty());                       // queued, not inside the edit
    QCoreApplication::processEvents();
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0], std::make_tuple(2, 0, true));
    EXPECT_TRUE(grid.Model().IsChecked(2, 0));

    // A drop list cell edits with a combo box of the column's choices.
    QStyleOptionViewItem option;
    QWidget* editor =
        grid.itemDelegate()->createEditor(grid.viewport(), option, grid.Model().index(1, 1));
    auto* combo = qobject_cast<QComboBox*>(editor);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    combo->setCurrentIndex(2);
    grid.itemDelegate()->setModelData(combo, &grid.Model(), grid.Model().index(1, 1));
    QCoreApplication::processEvents();
    EXPECT_EQ(edits, std::vector<QString>{QStringLiteral("B")});
    delete editor;

    int entered = -2;
    grid.onEnter = [&](int row) { entered = row; };
    grid.SelectRow(9);  // limited to the last row
    EXPECT_EQ(grid.SelectedRow(), 3);
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(entered, 3);
    grid.onKey = [](QKeyEvent* event) { return event->key() == Qt::Key_Return; };
    entered = -2;
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(entered, -2);
    grid.SelectRow(-1);
    EXPECT_EQ(grid.SelectedRow(), -1);

    // Widths the program sets are not reported as the user's.
    std::vector<int> resized;
    grid.onColumnResized = [&](int column, int) { resized.push_back(column); };
    grid.SetColumnWidth(1, 150);
    EXPECT_EQ(grid.columnWidth(1), 150);
    EXPECT_TRUE(resized.empty());

    grid.SetRowHeight(21);
    EXPECT_EQ(grid.RowHeight(), 21);
    EXPECT_EQ(grid.rowHeight(3), 21);
}

TEST(GridControlTest, SuspendedDrawingRefillsAsOneResetAndKeepsTheRowOnHeadingSort) {
    GridControl grid;
    grid.SetColumnCount(2);
    QSignalSpy resets(&grid.Model(), &QAbstractItemModel::modelReset);
    grid.SuspendDrawing();
    grid.SuspendDrawing();
    grid.SetRowCount(3);
    grid.SetText(0, 0, QStringLiteral("b"));
    grid.SetText(1, 0, QStringLiteral("c"));
    grid.SetText(2, 0, QStringLiteral("a"));
    grid.ResumeDrawing();
    EXPECT_TRUE(grid.DrawingSuspended());
    EXPECT_EQ(resets.count(), 0);
    grid.ResumeDrawing();
    EXPECT_FALSE(grid.DrawingSuspended());
    EXPECT_EQ(resets.count(), 1);

    grid.SelectRow(1);  // "c"
    grid.SetHeadingSorts(true);
    emit grid.horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(grid.Text(0, 0), "a");
    EXPECT_EQ(grid.Text(2, 0), "c");
    EXPECT_EQ(grid.SelectedRow(), 2);
    emit grid.horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(grid.Text(0, 0), "c");
}

}  // namespace
}  // namespace almx::grid
