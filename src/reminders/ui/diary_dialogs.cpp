#include "reminders/ui/diary_dialogs.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/day_cells.h"
#include "links/file_launcher.h"
#include "reminders/diary_folder_form.h"
#include "reminders/diary_store.h"
#include "ui/document_host.h"
#include "ui/font_colour.h"
#include "ui/font_faces.h"
#include "ui/qt_colour.h"

namespace almx {

CDiaryDirDlg::CDiaryDirDlg(const std::string& folder, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    setWindowTitle(QStringLiteral("日記ディレクトリ"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("日記を置くディレクトリ(&D)"), this);
    folderEdit = new QLineEdit(QString::fromStdString(folder), this);
    label->setBuddy(folderEdit);
    auto* browse = new QPushButton(QStringLiteral("参照(&B)..."), this);
    auto* row = new QHBoxLayout;
    row->addWidget(folderEdit, 1);
    row->addWidget(browse);
    layout->addWidget(label);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, QStringLiteral("日記ディレクトリ"),
                                              folderEdit->text(), QFileDialog::ShowDirsOnly);
        if (!chosen.isEmpty()) folderEdit->setText(chosen);
    });
    resize(420, sizeHint().height());
}

std::string CDiaryDirDlg::Folder() const {
    return folderEdit->text().toStdString();
}

void CDiaryDirDlg::accept() {
    CAlmxArray probe;
    DiaryFolderForm form(probe);
    form.folder = Folder();
    if (!form.Ok(prompter_)) return;
    QDialog::accept();
}

void EditDiaryFolder(QWidget* parent, DocumentHost& host, Prompter& prompter) {
    CAlmxDoc& doc = host.Document();
    if (!doc.CanChange()) return;
    CDiaryDirDlg dialog(doc.Array().diaryFolder, prompter, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    DiaryFolderForm form(doc.Array());
    form.folder = dialog.Folder();
    form.WriteTo(doc.Array());
    host.RescanDiary();
    host.Changed();
}

CDiaryListDlg::CDiaryListDlg(DiaryStore& store, FileLauncher* launcher, QWidget* parent)
    : QDialog(parent), store_(store), launcher_(launcher) {
    setWindowTitle(QStringLiteral("日記リスト"));
    auto* layout = new QHBoxLayout(this);
    list = new QListWidget(this);
    for (const std::string& name : store_.ListFiles()) list->addItem(QString::fromStdString(name));
    if (list->count() > 0) list->setCurrentRow(0);
    layout->addWidget(list, 1);
    auto* column = new QVBoxLayout;
    auto* open = new QPushButton(QStringLiteral("開く"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    open->setDefault(true);
    column->addWidget(open);
    column->addWidget(close);
    column->addStretch();
    layout->addLayout(column);
    connect(open, &QPushButton::clicked, this, &CDiaryListDlg::OpenSelected);
    connect(list, &QListWidget::itemDoubleClicked, this, &CDiaryListDlg::OpenSelected);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(300, 320);
}

void CDiaryListDlg::OpenSelected() {
    QListWidgetItem* item = list->currentItem();
    if (!item || !launcher_) return;
    const std::filesystem::path path =
        std::filesystem::path(store_.FolderInUse()) / item->text().toStdString();
    launcher_->Open(path.string(), "");  // the list reports no errors
}

CDiaryIconDlg::CDiaryIconDlg(DisplaySettings& display, SettingsStore& settings, QWidget* parent)
    : QDialog(parent), display_(display), settings_(settings) {
    setWindowTitle(QStringLiteral("日記有り表示の設定"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("アイコン(&I):"), this);
    iconBox = new QComboBox(this);
    iconBox->addItems({QStringLiteral("日記アイコン大"), QStringLiteral("日記アイコン小"),
                       QStringLiteral("[D]文字")});
    iconBox->setCurrentIndex(std::clamp(display_.diaryIconType, 0, 2));
    label->setBuddy(iconBox);
    auto* colour = new QPushButton(QStringLiteral("色の設定(&C)..."), this);
    auto* font = new QPushButton(QStringLiteral("フォントの設定(&F)..."), this);
    layout->addWidget(label);
    layout->addWidget(iconBox);
    layout->addWidget(colour);
    layout->addWidget(font);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(colour, &QPushButton::clicked, this, &CDiaryIconDlg::ChooseColour);
    connect(font, &QPushButton::clicked, this, &CDiaryIconDlg::ChooseFont);
}

void CDiaryIconDlg::accept() {
    display_.diaryIconType = iconBox->currentIndex();
    settings_.SetInt("View", "DiaryIconType", display_.diaryIconType);
    QDialog::accept();
}

void CDiaryIconDlg::ChooseColour() {
    const QColor chosen = QColorDialog::getColor(ToQColor(display_.diaryIconColor), this);
    if (!chosen.isValid()) return;
    display_.diaryIconColor = FromQColor(chosen);
    settings_.SetString("View", "DiaryIconColor",
                        std::to_string(static_cast<long>(display_.diaryIconColor)));
}

void CDiaryIconDlg::ChooseFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, FontFromSpec(display_.diaryIconFont), this);
    if (!ok) return;
    display_.diaryIconFont = FromQFont(font, display_.diaryIconFont);
    display_.diaryIconFont.Store(settings_, "DiaryIconFont");
}

}  // namespace almx
