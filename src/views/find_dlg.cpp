#include "views/find_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace almx {

CAlmxFindDlg::CAlmxFindDlg(const SearchCondition& condition, QWidget* parent)
    : QDialog(parent),
      condition_(condition),
      text_(new QLineEdit(this)),
      mode_(new QComboBox(this)),
      ignoreCase_(new QCheckBox(QStringLiteral("大文字と小文字を区別しない(&O)"), this)),
      ignoreWidth_(new QCheckBox(QStringLiteral("全角と半角を区別しない(&Z)"), this)),
      title_(new QCheckBox(QStringLiteral("内容(&C)"), this)),
      place_(new QCheckBox(QStringLiteral("場所(&L)"), this)),
      memo_(new QCheckBox(QStringLiteral("詳細(&M)"), this)) {
    setWindowTitle(QStringLiteral("検索"));
    mode_->addItems({QStringLiteral("を含む"), QStringLiteral("と一致する"),
                     QStringLiteral("が最初にある"), QStringLiteral("が最後にある")});
    text_->setText(QString::fromStdString(condition.text));
    mode_->setCurrentIndex(condition.mode >= 0 && condition.mode < 4 ? condition.mode : 0);
    ignoreCase_->setChecked(condition.ignoreCase);
    ignoreWidth_->setChecked(condition.ignoreWidth);
    title_->setChecked(condition.targets & kTargetTitle);
    place_->setChecked(condition.targets & kTargetPlace);
    memo_->setChecked(condition.targets & kTargetMemo);

    auto* form = new QFormLayout;
    auto* textLabel = new QLabel(QStringLiteral("検索語(&W):"), this);
    textLabel->setBuddy(text_);
    auto* modeLabel = new QLabel(QStringLiteral("条件(&J):"), this);
    modeLabel->setBuddy(mode_);
    form->addRow(textLabel, text_);
    form->addRow(modeLabel, mode_);
    form->addRow(QString(), ignoreCase_);
    form->addRow(QString(), ignoreWidth_);

    auto* targets = new QGroupBox(QStringLiteral("検索対象(&T)"), this);
    auto* targetRow = new QHBoxLayout(targets);
    for (QCheckBox* box : {title_, place_, memo_}) targetRow->addWidget(box);

    auto* buttons = new QDialogButtonBox(this);
    auto* start = buttons->addButton(QStringLiteral("開始"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    start->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(targets);
    layout->addWidget(buttons);
    text_->setFocus();
    text_->selectAll();
}

QCheckBox* CAlmxFindDlg::TargetBox(int bit) const {
    return bit == kTargetTitle ? title_ : bit == kTargetPlace ? place_ : memo_;
}

SearchCondition CAlmxFindDlg::Result() const {
    SearchCondition result = condition_;
    result.text = text_->text().toStdString();
    result.mode = mode_->currentIndex();
    result.ignoreCase = ignoreCase_->isChecked();
    result.ignoreWidth = ignoreWidth_->isChecked();
    result.targets = (title_->isChecked() ? kTargetTitle : 0) |
                     (place_->isChecked() ? kTargetPlace : 0) |
                     (memo_->isChecked() ? kTargetMemo : 0);
    return result;
}

bool AskFindConditionDialog(QWidget* parent, SearchCondition& condition) {
    CAlmxFindDlg dialog(condition, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    condition = dialog.Result();
    return true;
}

}  // namespace almx
