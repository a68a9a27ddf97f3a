#include "custom/ui/keycust_dlg.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace almx {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

CKeycustDlg::CKeycustDlg(KeycustForm& form, MenuTextSink menuTexts, QWidget* parent)
    : QDialog(parent), form_(form), menuTexts_(std::move(menuTexts)) {
    setWindowTitle(QString::fromUtf8(KeycustForm::kTitle));
    keys_ = new QListWidget;
    commands_ = new QListWidget;
    ctrl_ = new QCheckBox(QStringLiteral("Ctrl(&C)"));
    shift_ = new QCheckBox(QStringLiteral("Shift(&S)"));
    alt_ = new QCheckBox(QStringLiteral("Alt(&A)"));
    saveAs_ = new QPushButton(QStringLiteral("別名保存(&S)"));
    load_ = new QPushButton(QStringLiteral("読込(&R)"));
    ok_ = new QPushButton(QStringLiteral("OK"));
    ok_->setDefault(true);
    ctrl_->setChecked(form_.Ctrl());
    shift_->setChecked(form_.Shift());
    alt_->setChecked(form_.Alt());
    for (const std::string& text : form_.CommandTexts()) commands_->addItem(Q(text));

    auto* keyLabel = new QLabel(QStringLiteral("キー(&K):"));
    keyLabel->setBuddy(keys_);
    auto* commandLabel = new QLabel(QStringLiteral("メニュー(&M):"));
    commandLabel->setBuddy(commands_);
    auto* left = new QVBoxLayout;
    left->addWidget(keyLabel);
    left->addWidget(keys_);
    left->addWidget(ctrl_);
    left->addWidget(shift_);
    left->addWidget(alt_);
    auto* middle = new QVBoxLayout;
    middle->addWidget(commandLabel);
    middle->addWidget(commands_);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(saveAs_);
    buttons->addWidget(load_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(middle, 2);
    layout->addLayout(buttons);
    resize(560, 420);

    RefreshKeys();
    keys_->setCurrentRow(form_.KeyIndex());
    SelectBoundCommand();

    connect(keys_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (updating_ || row < 0) return;
        form_.SelectKey(row);
        SelectBoundCommand();
    });
    for (QCheckBox* box : {ctrl_, shift_, alt_}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            form_.SetCtrl(ctrl_->isChecked());
            form_.SetShift(shift_->isChecked());
            form_.SetAlt(alt_->isChecked());
            RefreshKeys();
            SelectBoundCommand();
        });
    }
    connect(commands_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!updating_ && row >= 0) ChooseCommand(row);
    });
    connect(saveAs_, &QPushButton::clicked, this, &CKeycustDlg::SaveAs);
    connect(load_, &QPushButton::clicked, this, &CKeycustDlg::Load);
    connect(ok_, &QPushButton::clicked, this, &CKeycustDlg::accept);
}

QString CKeycustDlg::FileFilters() {
    return QStringLiteral("KEYﾌｧｲﾙ(*.KEY) (*.KEY *.key);;全てのﾌｧｲﾙ(*.*) (*)");
}

void CKeycustDlg::RefreshKeys() {
    // The texts change in place: the selection and the scroll position stay.
    updating_ = true;
    const int scroll = keys_->verticalScrollBar()->value();
    const std::vector<std::string> texts = form_.KeyTexts();
    if (keys_->count() != static_cast<int>(texts.size())) {
        keys_->clear();
        for (const std::string& text : texts) keys_->addItem(Q(text));
    } else {
        for (int i = 0; i < keys_->count(); ++i) keys_->item(i)->setText(Q(texts[i]));
    }
    keys_->setCurrentRow(form_.KeyIndex());
    keys_->verticalScrollBar()->setValue(scroll);
    updating_ = false;
}

void CKeycustDlg::SelectBoundCommand() {
    updating_ = true;
    commands_->setCurrentRow(form_.CommandIndex());
    updating_ = false;
}

void CKeycustDlg::ChooseCommand(int row) {
    for (const MenuTextChange& change : form_.Choose(row)) {
        if (menuTexts_) menuTexts_(change);
    }
}

void CKeycustDlg::SaveAs() {
    if (std::optional<QString> path = ChooseSavePath()) form_.SaveAs(path->toStdString());
}

void CKeycustDlg::Load() {
    std::optional<QString> path = ChooseLoadPath();
    if (!path) return;
    if (auto changes = form_.Load(path->toStdString())) {
        for (const MenuTextChange& change : *changes) {
            if (menuTexts_) menuTexts_(change);
        }
        SelectBoundCommand();
    }
}

std::optional<QString> CKeycustDlg::ChooseSavePath() {
    QFileDialog dialog(this, QString::fromUtf8(KeycustForm::kFileTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(FileFilters());
    dialog.setDefaultSuffix(QString::fromUtf8(KeycustForm::kDefaultSuffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

std::optional<QString> CKeycustDlg::ChooseLoadPath() {
    QFileDialog dialog(this, QString::fromUtf8(KeycustForm::kFileTitle));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(FileFilters());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void CKeycustDlg::accept() {
    // Saved once, whichever way the dialog closes.
    if (!finished_) {
        finished_ = true;
        form_.Finish();
    }
    QDialog::accept();
}

void CKeycustDlg::reject() {
    accept();
}

}  // namespace almx
