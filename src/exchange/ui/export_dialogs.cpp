#include "exchange/ui/export_dialogs.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/clock.h"
#include "ui/calendar_ctrl.h"

namespace almx {

namespace t = export_form_texts;

namespace {

// The calendar control's id in its dialog.
constexpr int kCalendarId = 400;

QString U(const char* text) {
    return QString::fromUtf8(text);
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// A date row: label, text box and its "ｶﾚﾝﾀﾞ" button.
QLineEdit* DateRow(QGridLayout* grid, int row, const QString& label, const std::string& text,
                   const Clock& clock, QWidget* parent) {
    grid->addWidget(new QLabel(label, parent), row, 0);
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    grid->addWidget(edit, row, 1);
    auto* button = new QPushButton(U(t::kCalendarButton), parent);
    grid->addWidget(button, row, 2);
    QObject::connect(button, &QPushButton::clicked, parent,
                     [edit, &clock, parent] { PickDateInto(edit, clock, parent); });
    return edit;
}

}  // namespace

CCalenderDlg::CCalenderDlg(const DateTime& date, QWidget* parent, const Clock* clock)
    : QDialog(parent) {
    setWindowTitle(U(t::kCalendarCaption));
    calendar_ = new CVeltaCalenderCtrl(this, QRect(0, 0, 224, 200), kCalendarId);
    calendar_->setFixedSize(224, 200);
    calendar_->SetRows(6);
    if (clock) calendar_->SetClock(clock, 0);
    if (date.IsValid()) calendar_->SetDate(date);
    connect(calendar_, &CVeltaCalenderCtrl::DoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calendar_);
    layout->addWidget(OkCancel(this));
    calendar_->setFocus();
}

DateTime CCalenderDlg::Date() const {
    return calendar_->Date();
}

void PickDateInto(QLineEdit* edit, const Clock& clock, QWidget* parent) {
    CCalenderDlg dialog(PickerDate(edit->text().toStdString(), clock.Now()), parent, &clock);
    if (dialog.exec() != QDialog::Accepted) return;
    edit->setText(QString::fromStdString(FormatDate(dialog.Date())));
}

CExportCsvDlg::CExportCsvDlg(CExportCsvForm& form, const Clock& clock, QWidget* parent)
    : QDialog(parent), form_(form) {
    setWindowTitle(U(t::kExportCaption));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    startEdit = DateRow(grid, 0, QStringLiteral("開始日付"), form.startText, clock, this);
    endEdit = DateRow(grid, 1, QStringLiteral("終了日付"), form.endText, clock, this);
    grid->addWidget(new QLabel(QStringLiteral("ファイル名"), this), 2, 0);
    fileEdit = new QLineEdit(QString::fromStdString(form.fileName), this);
    fileEdit->setMinimumWidth(280);
    grid->addWidget(fileEdit, 2, 1);
    auto* browse = new QPushButton(U(t::kBrowseButton), this);
    grid->addWidget(browse, 2, 2);
    connect(browse, &QPushButton::clicked, this, [this] {
        const std::string path =
            ChooseCsvFile(this, t::kFileTitle, fileEdit->text().toStdString(), true);
        if (!path.empty()) fileEdit->setText(QString::fromStdString(path));
    });
    layout->addLayout(grid);
    hiddenBox = new QCheckBox(U(t::kIncludeHidden), this);
    hiddenBox->setChecked(form.includeHidden);
    layout->addWidget(hiddenBox);
    layout->addWidget(OkCancel(this));
}

void CExportCsvDlg::accept() {
    form_.startText = startEdit->text().toStdString();
    form_.endText = endEdit->text().toStdString();
    form_.fileName = fileEdit->text().toStdString();
    form_.includeHidden = hiddenBox->isChecked();
    if (form_.Accept()) QDialog::accept();
}

CTextCopyDlg::CTextCopyDlg(CTextCopyForm& form, const Clock& clock, QWidget* parent)
    : QDialog(parent), form_(form) {
    setWindowTitle(U(t::kTextCopyCaption));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    startEdit = DateRow(grid, 0, QStringLiteral("開始日付"), form.startText, clock, this);
    endEdit = DateRow(grid, 1, QStringLiteral("終了日付"), form.endText, clock, this);
    layout->addLayout(grid);
    yearBox = new QCheckBox(U(t::kWithYear), this);
    yearBox->setChecked(form.withYear);
    weekdayBox = new QCheckBox(U(t::kWithWeekday), this);
    weekdayBox->setChecked(form.withWeekday);
    layout->addWidget(yearBox);
    layout->addWidget(weekdayBox);
    auto* note = new QLabel(U(t::kTextCopyNote), this);
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addWidget(OkCancel(this));
}

void CTextCopyDlg::accept() {
    form_.startText = startEdit->text().toStdString();
    form_.endText = endEdit->text().toStdString();
    form_.withYear = yearBox->isChecked();
    form_.withWeekday = weekdayBox->isChecked();
    if (form_.Accept()) QDialog::accept();
}

void QtClipboard::SetText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string ChooseCsvFile(QWidget* parent, const char* title, const std::string& initial,
                          bool forSaving) {
    QFileDialog dialog(parent, U(title), QString::fromStdString(initial));
    QStringList filters{QStringLiteral("CSVﾌｧｲﾙ (*.csv *.CSV)")};
    if (!forSaving) filters << QStringLiteral("全てのﾌｧｲﾙ (*)");
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (forSaving) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!initial.empty()) dialog.selectFile(QString::fromStdString(initial));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace almx
