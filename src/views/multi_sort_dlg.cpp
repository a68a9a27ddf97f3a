#include "views/multi_sort_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace almx {

CMultiSortDlg::CMultiSortDlg(SortListKind kind, SortKeyList& keys, QWidget* parent)
    : QDialog(parent), form_(kind, keys), list_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("整列"));
    auto* label = new QLabel(QStringLiteral("優先順位(&L)："), this);
    label->setBuddy(list_);
    auto* up = new QPushButton(QStringLiteral("一つ上へ(&U)"), this);
    auto* down = new QPushButton(QStringLiteral("一つ下へ(&D)"), this);
    auto* ascending = new QPushButton(QStringLiteral("昇順(&S)"), this);
    auto* descending = new QPushButton(QStringLiteral("降順(&K)"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setDefault(true);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {up, down, ascending, descending}) buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* left = new QVBoxLayout;
    left->addWidget(label);
    left->addWidget(list_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(up, &QPushButton::clicked, this, &CMultiSortDlg::MoveUp);
    connect(down, &QPushButton::clicked, this, &CMultiSortDlg::MoveDown);
    connect(ascending, &QPushButton::clicked, this, [this] { SetDirection(false); });
    connect(descending, &QPushButton::clicked, this, [this] { SetDirection(true); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    Show(0);
}

void CMultiSortDlg::Show(int selected) {
    list_->clear();
    for (const std::string& item : form_.Items()) {
        list_->addItem(QString::fromStdString(item));
    }
    list_->setCurrentRow(selected);
}

void CMultiSortDlg::MoveUp() {
    Show(form_.MoveUp(list_->currentRow()));
}

void CMultiSortDlg::MoveDown() {
    Show(form_.MoveDown(list_->currentRow()));
}

void CMultiSortDlg::SetDirection(bool descending) {
    const int row = list_->currentRow();
    form_.SetDirection(row, descending);
    Show(row);
}

}  // namespace almx
