#include "app/option_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/frame_options.h"
#include "base/date_time.h"
#include "reminders/ui/file_wave_dialog.h"
#include "ui/colour_button.h"

namespace almx {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QComboBox* Combo(const std::vector<std::string>& items, int current) {
    auto* combo = new QComboBox;
    for (const std::string& item : items) combo->addItem(Q(item));
    combo->setCurrentIndex(current >= 0 && current < combo->count() ? current : 0);
    return combo;
}

QCheckBox* Check(const QString& text, bool checked) {
    auto* box = new QCheckBox(text);
    box->setChecked(checked);
    return box;
}

QGroupBox* Radios(const QString& title, const std::vector<std::string>& names, int current,
                  QButtonGroup*& group, QWidget* owner) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    group = new QButtonGroup(owner);
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* radio = new QRadioButton(Q(names[i]));
        group->addButton(radio, static_cast<int>(i));
        layout->addWidget(radio);
        if (static_cast<int>(i) == current) radio->setChecked(true);
    }
    return box;
}

}  // namespace

CWeekCol::CWeekCol(const WeekColourForm& form, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("曜日色"));
    auto* grid = new QGridLayout;
    for (int day = 0; day < 7; ++day) {
        auto* button = new ColourButton(form.colours[static_cast<std::size_t>(day)]);
        buttons_[static_cast<std::size_t>(day)] = button;
        grid->addWidget(new QLabel(QString::fromUtf8(kWeekdayNames[day]) + QStringLiteral("曜日")),
                        day, 0);
        grid->addWidget(button, day, 1);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(OkCancel(this));
}

WeekColourForm CWeekCol::Form() const {
    WeekColourForm form;
    for (std::size_t day = 0; day < 7; ++day) form.colours[day] = buttons_[day]->Colour();
    return form;
}

CDayDrawDlg::CDayDrawDlg(const DayDrawForm& form, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("日付表示形式"));
    auto* row = new QHBoxLayout;
    row->addWidget(Radios(QStringLiteral("日付の位置(&P)"), DayDrawForm::PositionNames(),
                          form.position, position_, this));
    row->addWidget(Radios(QStringLiteral("日付の枠(&F)"), DayDrawForm::FrameNames(), form.frame,
                          frame_, this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(OkCancel(this));
}

DayDrawForm CDayDrawDlg::Form() const {
    DayDrawForm form;
    form.position = position_->checkedId() < 0 ? 3 : position_->checkedId();
    form.frame = frame_->checkedId() < 0 ? 0 : frame_->checkedId();
    return form;
}

CAlermSetDlg::CAlermSetDlg(const AlarmSettingsForm& form, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("通知設定"));
    minutes_ = new QSpinBox;
    minutes_->setRange(0, AlarmSettingsForm::kMaxMinutes);
    minutes_->setValue(form.minutes);
    minutes_->setSuffix(QStringLiteral(" 分前に表示"));
    wave_ = new QLineEdit(Q(form.waveFile));
    wave_->setMinimumWidth(280);
    auto* browse = new QPushButton(QStringLiteral("参照(&R)..."));
    connect(browse, &QPushButton::clicked, this, [this] {
        CFileWaveDlg chooser(wave_->text().trimmed(), this);
        if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
        wave_->setText(QDir::toNativeSeparators(chooser.selectedFiles().constFirst()));
    });
    auto* waveRow = new QHBoxLayout;
    waveRow->addWidget(wave_);
    waveRow->addWidget(browse);
    mode_ = Combo(AlarmSettingsForm::ModeNames(), form.mode);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("通知を何分前に行うかの初期値(&B):")));
    layout->addWidget(minutes_);
    layout->addWidget(new QLabel(QStringLiteral("アラームに使う音声ファイル(&F):")));
    layout->addLayout(waveRow);
    layout->addWidget(new QLabel(QStringLiteral("通知の方法の初期値(&M):")));
    layout->addWidget(mode_);
    layout->addWidget(OkCancel(this));
}

AlarmSettingsForm CAlermSetDlg::Form() const {
    AlarmSettingsForm form;
    form.minutes = minutes_->value();
    form.waveFile = wave_->text().trimmed().toStdString();
    form.mode = mode_->currentIndex();
    return form;
}

CHolidayDlg::CHolidayDlg(const HolidayForm& form, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kTitle));
    shunbun_ = new QCheckBox(QStringLiteral("春分、秋分の日、国民の休日を自動表示"));
    shunbun_->setChecked(form.shunbun);
    hurikae_ = new QCheckBox(QStringLiteral("振り替え休日を自動表示"));
    hurikae_->setChecked(form.hurikae);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(shunbun_);
    layout->addWidget(hurikae_);
    layout->addWidget(OkCancel(this));
}

HolidayForm CHolidayDlg::Form() const {
    return {shunbun_->isChecked(), hurikae_->isChecked()};
}

COptionSheet::COptionSheet(const OtherSettingsForm& form, QWidget* parent)
    : QDialog(parent), form_(form) {
    setWindowTitle(QStringLiteral("その他の設定"));
    pages_ = new QTabWidget;
    pages_->addTab(SystemPage(), QStringLiteral("動作"));
    pages_->addTab(EditPage(), QStringLiteral("編集"));
    pages_->addTab(FilePage(), QStringLiteral("ファイル"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(OkCancel(this));
}

QWidget* COptionSheet::SystemPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* start = new QFormLayout;
    startLayout_ = Combo(OtherSettingsForm::StartLayoutNames(), form_.startLayout);
    start->addRow(QStringLiteral("起動時の表示(&S):"), startLayout_);
    layout->addLayout(start);
    initTodo_ = Check(QStringLiteral("起動時にToDoリストを表示する(&T)"), form_.initTodo);
    showFirst_ = Check(QStringLiteral("起動時に今日のスケジュールを表示する(&F)"), form_.showFirst);
    schSort_ = Check(QStringLiteral("スケジュールを時刻順に並べる(&O)"), form_.schSort);
    viewDateSync_ =
        Check(QStringLiteral("月間・週間・日記の日付を連動する(&D)"), form_.viewDateSync);
    noLastCur_ =
        Check(QStringLiteral("今日が最下段の週のときは次の月を表示する(&N)"), form_.noLastCur);
    shunbun_ = Check(QStringLiteral("春分・秋分の日、国民の休日を自動表示する(&H)"), form_.shunbun);
    hurikae_ = Check(QStringLiteral("振替休日を自動表示する(&K)"), form_.hurikae);
    for (QCheckBox* box :
         {initTodo_, showFirst_, schSort_, viewDateSync_, noLastCur_, shunbun_, hurikae_}) {
        layout->addWidget(box);
    }
    todayLimit_ = new QSpinBox;
    todayLimit_->setRange(0, 23);
    todayLimit_->setValue(form_.todayLimit);
    todayLimit_->setSuffix(QStringLiteral(" 時"));
    auto* limit = new QFormLayout;
    limit->addRow(QStringLiteral("日付の区切り時刻(&L):"), todayLimit_);
    layout->addLayout(limit);
    layout->addStretch();
    return page;
}

QWidget* COptionSheet::EditPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    scheduleGenre_ = Combo(form_.genreNames, form_.scheduleGenre);
    todoGenre_ = Combo(form_.genreNames, form_.todoGenre);
    scheduleGenre_->setEnabled(form_.hasDocument);
    todoGenre_->setEnabled(form_.hasDocument);
    viewTime_ = Combo(OtherSettingsForm::ViewTimeNames(), form_.viewTime);
    defaultKigen_ = Check(QStringLiteral("新しいToDoに期限を設定する(&K)"), form_.defaultKigen);
    defaultDays_ = new QSpinBox;
    defaultDays_->setRange(0, OtherSettingsForm::kMaxDefaultDays);
    defaultDays_->setValue(form_.defaultDays);
    defaultDays_->setSuffix(QStringLiteral(" 日後"));
    ime_ = Check(QStringLiteral("日本語IMEを自動でONにする(&I)"), form_.ime);
    // Kept as stored: nothing here can switch the input method on.
    ime_->setEnabled(false);
    ime_->setToolTip(QString::fromUtf8(option_messages::kImeUnavailable));
    confirmCancel_ =
        Check(QStringLiteral("入力画面のキャンセル時に確認する(&C)"), form_.confirmCancel);
    form->addRow(QStringLiteral("スケジュールのジャンルの初期値(&G):"), scheduleGenre_);
    form->addRow(QStringLiteral("時刻表示の初期値(&V):"), viewTime_);
    form->addRow(QStringLiteral("ToDoのジャンルの初期値(&T):"), todoGenre_);
    form->addRow(QString(), defaultKigen_);
    form->addRow(QStringLiteral("期限までの日数(&D):"), defaultDays_);
    form->addRow(QString(), ime_);
    form->addRow(QString(), confirmCancel_);
    return page;
}

QWidget* COptionSheet::FilePage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    absolutePath_ =
        Check(QStringLiteral("リンクファイルを絶対パスで参照する(&A)"), form_.absolutePath);
    layout->addWidget(absolutePath_);
    layout->addWidget(Radios(QStringLiteral("新しいリンクファイルのフォルダ(&N)"),
                             OtherSettingsForm::NewDirModeNames(), form_.newDirMode, newDirMode_,
                             this));
    newDir_ = new QLineEdit(Q(form_.newDir));
    auto* browse = new QPushButton(QStringLiteral("参照(&B)..."));
    connect(browse, &QPushButton::clicked, this, [this] {
        QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("参照フォルダ"),
                                                           newDir_->text());
        if (!folder.isEmpty()) newDir_->setText(folder);
    });
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(newDir_);
    dirRow->addWidget(browse);
    layout->addLayout(dirRow);
    saveSpan_ = Combo(OtherSettingsForm::SaveSpanNames(), form_.saveSpanChoice);
    auto* save = new QFormLayout;
    save->addRow(QStringLiteral("自動保存(&S):"), saveSpan_);
    layout->addLayout(save);
    sharedFile_ = Check(QStringLiteral("ファイルの排他制御を行う(&E)"), form_.sharedFile);
    layout->addWidget(sharedFile_);
    layout->addStretch();
    return page;
}

OtherSettingsForm COptionSheet::Form() const {
    OtherSettingsForm form = form_;
    form.startLayout = startLayout_->currentIndex();
    form.initTodo = initTodo_->isChecked();
    form.showFirst = showFirst_->isChecked();
    form.schSort = schSort_->isChecked();
    form.viewDateSync = viewDateSync_->isChecked();
    form.noLastCur = noLastCur_->isChecked();
    form.shunbun = shunbun_->isChecked();
    form.hurikae = hurikae_->isChecked();
    form.todayLimit = todayLimit_->value();
    // Without a document the genre lists are empty and the values stay as they came.
    if (form.hasDocument) {
        form.scheduleGenre = std::max(scheduleGenre_->currentIndex(), 0);
        form.todoGenre = std::max(todoGenre_->currentIndex(), 0);
    }
    form.viewTime = viewTime_->currentIndex();
    form.defaultKigen = defaultKigen_->isChecked();
    form.defaultDays = defaultDays_->value();
    form.ime = ime_->isChecked();
    form.confirmCancel = confirmCancel_->isChecked();
    form.absolutePath = absolutePath_->isChecked();
    form.newDirMode = newDirMode_->checkedId() < 0 ? 0 : newDirMode_->checkedId();
    form.newDir = newDir_->text().trimmed().toStdString();
    form.saveSpanChoice = saveSpan_->currentIndex();
    form.sharedFile = sharedFile_->isChecked();
    return form;
}

}  // namespace almx
