#include "core/ui/genre_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/settings_store.h"
#include "core/genre_edit_form.h"
#include "core/legacy_genre_file.h"
#include "core/record.h"
#include "core/record_list.h"
#include "ui/colour_button.h"
#include "ui/qt_prompter.h"

namespace almx {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

CFieldEditDlg::CFieldEditDlg(const CAlmxField& genre, Prompter& prompter, QWidget* parent)
    : QDialog(parent), result_(genre), prompter_(prompter) {
    setWindowTitle(QStringLiteral("ジャンルの設定"));
    auto* form = new QFormLayout;
    name_ = new QLineEdit(Q(genre.name));
    name_->setObjectName(QStringLiteral("name"));
    shown_ = new QCheckBox(QStringLiteral("表示する(&S)"));
    shown_->setChecked(genre.IsShown());
    colour_ = new ColourButton(genre.colour);
    form->addRow(QStringLiteral("ジャンル名(&N):"), name_);
    form->addRow(QString(), shown_);
    form->addRow(QStringLiteral("色(&C):"), colour_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CFieldEditDlg::accept() {
    GenreEditForm form{name_->text().toStdString(), shown_->isChecked(), colour_->Colour()};
    if (!form.Check(prompter_)) return;
    result_ = form.ApplyTo(result_);
    QDialog::accept();
}

CFieldFileDlg::CFieldFileDlg(const std::string& path, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ジャンルファイルの設定"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(kGenreFilePrompt)));
    auto* row = new QHBoxLayout;
    path_ = new QLineEdit(Q(path));
    path_->setMinimumWidth(360);
    auto* browse = new QPushButton(QStringLiteral("参照(&B)..."));
    row->addWidget(path_);
    row->addWidget(browse);
    layout->addLayout(row);
    connect(browse, &QPushButton::clicked, this, [this] {
        QString chosen =
            QFileDialog::getOpenFileName(this, QStringLiteral("ジャンルファイル"), path_->text(),
                                         QtFileFilter(kGenreFileFilter));
        if (!chosen.isEmpty()) path_->setText(chosen);
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::string CFieldFileDlg::Path() const {
    return path_->text().trimmed().toStdString();
}

CFieldMainDlg::CFieldMainDlg(CAlmxFieldArray& genres, RecordList& records, Prompter& prompter,
                             GenreFileContext fileContext, QWidget* parent)
    : QDialog(parent),
      genres_(genres),
      prompter_(prompter),
      form_(genres, records, prompter),
      fileContext_(std::move(fileContext)) {
    setWindowTitle(QStringLiteral("ジャンル設定"));
    editGenre = [this](const CAlmxField& genre) -> std::optional<CAlmxField> {
        CFieldEditDlg dialog(genre, prompter_, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Result();
    };
    chooseGenreFile = [this](const std::string& path) -> std::optional<std::string> {
        CFieldFileDlg dialog(path, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Path();
    };

    list_ = new QListWidget;
    list_->setMinimumSize(220, 260);
    auto* buttons = new QVBoxLayout;
    auto button = [&](const QString& text, void (CFieldMainDlg::*slot)()) {
        auto* b = new QPushButton(text);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    button(QStringLiteral("追加(&A)..."), &CFieldMainDlg::Add);
    button(QStringLiteral("修正(&M)..."), &CFieldMainDlg::Modify);
    remove_ = button(QStringLiteral("削除(&D)"), &CFieldMainDlg::Delete);
    up_ = button(QStringLiteral("↑"), &CFieldMainDlg::MoveUp);
    down_ = button(QStringLiteral("↓"), &CFieldMainDlg::MoveDown);
    hide_ = button(QStringLiteral("非表示(&V)"), &CFieldMainDlg::ToggleShown);
    button(QStringLiteral("色統一(&U)"), &CFieldMainDlg::UnifyColours);
    button(QStringLiteral("ファイル設定(&F)..."), &CFieldMainDlg::GenreFile);
    buttons->addStretch();
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    close->setDefault(true);
    buttons->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    connect(list_, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { Modify(); });
    Refill(0);
}

int CFieldMainDlg::Current() const {
    return list_->currentRow();
}

void CFieldMainDlg::Refill(int select) {
    list_->clear();
    for (const std::string& row : form_.Rows()) list_->addItem(Q(row));
    const int count = list_->count();
    if (count > 0) list_->setCurrentRow(select < 0 ? 0 : select >= count ? count - 1 : select);
    UpdateButtons();
}

void CFieldMainDlg::UpdateButtons() {
    const int index = Current();
    hide_->setText(Q(form_.HideButtonText(index)));
    remove_->setEnabled(index > 0);
    up_->setEnabled(index >= 2);
    down_->setEnabled(index >= 1 && index + 1 < list_->count());
}

void CFieldMainDlg::Add() {
    std::optional<CAlmxField> genre = editGenre(CAlmxField());
    if (!genre) return;
    Refill(form_.Add(*genre));
}

void CFieldMainDlg::Modify() {
    const int index = Current();
    const CAlmxField* genre = genres_.At(index);
    if (!genre) return;
    std::optional<CAlmxField> edited = editGenre(*genre);
    if (!edited) return;
    form_.Modify(index, *edited);
    Refill(index);
}

void CFieldMainDlg::Delete() {
    const int index = Current();
    if (index < 0) return;
    if (form_.Delete(index)) Refill(index);
}

void CFieldMainDlg::MoveUp() {
    Refill(form_.MoveUp(Current()));
}

void CFieldMainDlg::MoveDown() {
    Refill(form_.MoveDown(Current()));
}

void CFieldMainDlg::ToggleShown() {
    const int index = Current();
    if (form_.ToggleShown(index)) Refill(index);
}

void CFieldMainDlg::UnifyColours() {
    const int index = Current();
    if (index >= 0) form_.UnifyColours(index);
}

void CFieldMainDlg::GenreFile() {
    if (!fileContext_.settings || !fileContext_.defaultList) return;
    const std::string current =
        LegacyGenreFilePath(*fileContext_.settings, fileContext_.programFolder);
    std::optional<std::string> path = chooseGenreFile(current);
    if (!path) return;
    ApplyGenreFile(*path, *fileContext_.settings, fileContext_.programFolder,
                   *fileContext_.defaultList, prompter_);
}

CFieldMultiDlg::CFieldMultiDlg(const CAlmxFieldArray& genres, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("複数データにジャンルを設定"));
    text_ = new QLineEdit;
    mode_ = new QComboBox;
    for (const char* mode : {"を含む", "と一致する", "が最初にある", "が最後にある"}) {
        mode_->addItem(QString::fromUtf8(mode));
    }
    caseSensitive_ = new QCheckBox(QStringLiteral("大文字と小文字を区別(&O)"));
    widthSensitive_ = new QCheckBox(QStringLiteral("全角と半角を区別(&Z)"));
    auto* targets = new QGroupBox(QStringLiteral("検索対象(&T)"));
    title_ = new QCheckBox(QStringLiteral("内容(&C)"));
    place_ = new QCheckBox(QStringLiteral("場所(&L)"));
    memo_ = new QCheckBox(QStringLiteral("詳細(&M)"));
    auto* targetRow = new QHBoxLayout(targets);
    for (QCheckBox* box : {title_, place_, memo_}) {
        box->setChecked(true);
        targetRow->addWidget(box);
    }
    genre_ = new QComboBox;
    for (const std::string& name : genres.Names()) genre_->addItem(Q(name));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("検索語(&W):"), text_);
    form->addRow(QStringLiteral("条件(&J):"), mode_);
    form->addRow(QString(), caseSensitive_);
    form->addRow(QString(), widthSensitive_);
    form->addRow(targets);
    form->addRow(QStringLiteral("設定するジャンル(&G):"), genre_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

GenreSearchCondition CFieldMultiDlg::Condition() const {
    GenreSearchCondition condition;
    condition.text = text_->text().toStdString();
    condition.mode = mode_->currentIndex();
    condition.caseSensitive = caseSensitive_->isChecked();
    condition.widthSensitive = widthSensitive_->isChecked();
    condition.targets = (title_->isChecked() ? 1 : 0) | (place_->isChecked() ? 2 : 0) |
                        (memo_->isChecked() ? 4 : 0);
    // No target ticked searches the title, as the find dialog does.
    if (condition.targets == 0) condition.targets = 1;
    return condition;
}

int CFieldMultiDlg::TargetGenre() const {
    return genre_->currentIndex();
}

CFMultiCheck::CFMultiCheck(const std::string& question, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kGenreChangeCaption));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(Q(question));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    auto* row = new QHBoxLayout;
    const std::vector<std::string>& labels = GenreChangeButtons();
    for (std::size_t i = 0; i < labels.size(); ++i) {
        auto* button = new QPushButton(Q(labels[i]));
        if (i == 0) button->setDefault(true);
        row->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, i] {
            answer_ = static_cast<int>(i);
            accept();
        });
    }
    layout->addLayout(row);
}

int GenreChangePrompter::AskButtons(std::string_view caption, std::string_view text,
                                    const std::vector<std::string>& buttons) {
    if (caption != kGenreChangeCaption) return inner_.AskButtons(caption, text, buttons);
    CFMultiCheck dialog(std::string(text), parent_);
    dialog.exec();
    return dialog.Answer();
}

}  // namespace almx
