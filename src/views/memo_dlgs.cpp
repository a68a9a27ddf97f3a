#include "views/memo_dlgs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace almx {

// --- CMemoFindDlg ---

CMemoFindDlg::CMemoFindDlg(const MemoFindState& state, bool replace, QWidget* parent)
    : QDialog(parent),
      what_(new QLineEdit(QString::fromStdString(state.what), this)),
      replacementLabel_(new QLabel(QStringLiteral("置換後の文字列(&P):"), this)),
      replacement_(new QLineEdit(QString::fromStdString(state.replacement), this)),
      case_(new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this)),
      up_(new QRadioButton(QStringLiteral("上へ(&U)"), this)),
      down_(new QRadioButton(QStringLiteral("下へ(&D)"), this)),
      findNext_(new QPushButton(QStringLiteral("次を検索(&F)"), this)),
      replace_(new QPushButton(QStringLiteral("置換して次に(&R)"), this)),
      replaceAll_(new QPushButton(QStringLiteral("すべて置換(&A)"), this)),
      cancel_(new QPushButton(QStringLiteral("キャンセル"), this)) {
    setModal(false);
    auto* whatLabel = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
    whatLabel->setBuddy(what_);
    replacementLabel_->setBuddy(replacement_);
    case_->setChecked(state.matchCase);
    (state.down ? down_ : up_)->setChecked(true);

    auto* fields = new QGridLayout;
    fields->addWidget(whatLabel, 0, 0);
    fields->addWidget(what_, 0, 1);
    fields->addWidget(replacementLabel_, 1, 0);
    fields->addWidget(replacement_, 1, 1);
    auto* direction = new QGroupBox(QStringLiteral("方向"), this);
    auto* directionRow = new QHBoxLayout(direction);
    directionRow->addWidget(up_);
    directionRow->addWidget(down_);
    auto* options = new QHBoxLayout;
    options->addWidget(case_);
    options->addStretch();
    options->addWidget(direction);
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {findNext_, replace_, replaceAll_, cancel_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    findNext_->setDefault(true);

    auto enable = [this] {
        const bool any = !what_->text().isEmpty();
        for (QPushButton* button : {findNext_, replace_, replaceAll_}) button->setEnabled(any);
    };
    connect(what_, &QLineEdit::textChanged, this, enable);
    enable();
    connect(findNext_, &QPushButton::clicked, this, &CMemoFindDlg::FindNextRequested);
    connect(replace_, &QPushButton::clicked, this, &CMemoFindDlg::ReplaceRequested);
    connect(replaceAll_, &QPushButton::clicked, this, &CMemoFindDlg::ReplaceAllRequested);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::close);
    SetReplaceMode(replace);
}

void CMemoFindDlg::SetReplaceMode(bool replace) {
    replaceMode_ = replace;
    setWindowTitle(replace ? QStringLiteral("置換") : QStringLiteral("検索"));
    for (QWidget* part :
         std::initializer_list<QWidget*>{replacementLabel_, replacement_, replace_, replaceAll_}) {
        part->setVisible(replace);
    }
    adjustSize();
}

MemoFindState CMemoFindDlg::State() const {
    MemoFindState state;
    state.what = what_->text().toStdString();
    state.replacement = replacement_->text().toStdString();
    state.down = down_->isChecked();
    state.matchCase = case_->isChecked();
    return state;
}

// --- CMemoSortDlg ---

CMemoSortDlg::CMemoSortDlg(MemoSortForm& form, QWidget* parent)
    : QDialog(parent), form_(form), list_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("メモの並び替え"));
    auto* up = new QPushButton(QStringLiteral("上へ(&U)"), this);
    auto* down = new QPushButton(QStringLiteral("下へ(&D)"), this);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    auto* side = new QVBoxLayout;
    side->addWidget(up);
    side->addWidget(down);
    side->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(list_, 1);
    row->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(box);
    connect(up, &QPushButton::clicked, this, &CMemoSortDlg::Up);
    connect(down, &QPushButton::clicked, this, &CMemoSortDlg::Down);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { form_.Select(row); });
    Fill();
}

void CMemoSortDlg::Fill() {
    const QSignalBlocker block(list_);
    list_->clear();
    for (const CMemoData& memo : form_.Memos()) {
        list_->addItem(QString::fromStdString(memo.title));
    }
    list_->setCurrentRow(form_.Selected());
}

void CMemoSortDlg::Up() {
    form_.Up();
    Fill();
}

void CMemoSortDlg::Down() {
    form_.Down();
    Fill();
}

}  // namespace almx
