#include "views/sort_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace almx {

CSortDlg::CSortDlg(QWidget* parent)
    : QDialog(parent), key_(new QComboBox(this)), order_(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("整列"));
    key_->addItems({QStringLiteral("開始日付"), QStringLiteral("終了日付"),
                    QStringLiteral("ジャンル"), QStringLiteral("内容")});
    order_->addItems({QStringLiteral("昇順"), QStringLiteral("降順")});
    auto* keyLabel = new QLabel(QStringLiteral("項目(&N):"), this);
    keyLabel->setBuddy(key_);
    auto* orderLabel = new QLabel(QStringLiteral("順番(&J):"), this);
    orderLabel->setBuddy(order_);
    auto* form = new QFormLayout;
    form->addRow(keyLabel, key_);
    form->addRow(orderLabel, order_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

SortChoice CSortDlg::Choice() const {
    return {static_cast<SortKey>(key_->currentIndex()),
            order_->currentIndex() == 1 ? SortOrder::Descending : SortOrder::Ascending};
}

}  // namespace almx
