#include "exchange/ui/calendar_dialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "exchange/export_forms.h"
#include "exchange/ui/export_dialogs.h"
#include "ui/qt_prompter.h"

namespace almx {

namespace {

void SetUp(QFileDialog& dialog, const char* title, const char* filter, const char* suffix,
           const std::string& folder, const std::string& fileName) {
    // Qt's own dialog: the same on every desktop, and one the tests can drive.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(QString::fromUtf8(title));
    dialog.setNameFilter(QtFileFilter(filter));
    dialog.setDefaultSuffix(QString::fromLatin1(suffix));
    if (!folder.empty()) dialog.setDirectory(QString::fromStdString(folder));
    if (!fileName.empty()) dialog.selectFile(QString::fromStdString(fileName));
}

std::string Chosen(const QFileDialog& dialog) {
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? std::string() : files.first().toStdString();
}

}  // namespace

CCalendarSaveDlg::CCalendarSaveDlg(CCalendarSaveForm& form, QWidget* parent)
    : QFileDialog(parent), form_(form) {
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    SetUp(*this, form.Title(), form.Filter(), form.DefaultSuffix(), form.folder, form.fileName);
}

void CCalendarSaveDlg::done(int result) {
    if (result == QDialog::Accepted && !form_.Accept(Chosen(*this))) return;
    QFileDialog::done(result);
}

CCalendarOpenDlg::CCalendarOpenDlg(CCalendarOpenForm& form, QWidget* parent)
    : QFileDialog(parent), form_(form) {
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    SetUp(*this, form.Title(), form.Filter(), form.DefaultSuffix(), form.folder, form.fileName);
}

void CCalendarOpenDlg::done(int result) {
    if (result == QDialog::Accepted && !form_.Accept(Chosen(*this))) return;
    QFileDialog::done(result);
}

CICalRangeDlg::CICalRangeDlg(CICalRangeForm& form, const Clock& clock, QWidget* parent)
    : QDialog(parent), form_(form) {
    setWindowTitle(QString::fromUtf8(calendar_texts::kRangeCaption));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto row = [&](int at, const QString& label, const std::string& text) {
        auto* edit = new QLineEdit(QString::fromStdString(text), this);
        auto* pick = new QPushButton(QString::fromUtf8(export_form_texts::kCalendarButton), this);
        grid->addWidget(new QLabel(label, this), at, 0);
        grid->addWidget(edit, at, 1);
        grid->addWidget(pick, at, 2);
        connect(pick, &QPushButton::clicked, this,
                [edit, &clock, this] { PickDateInto(edit, clock, this); });
        return edit;
    };
    startEdit = row(0, QStringLiteral("開始日付"), form.startText);
    endEdit = row(1, QStringLiteral("終了日付"), form.endText);
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CICalRangeDlg::accept() {
    form_.startText = startEdit->text().toStdString();
    form_.endText = endEdit->text().toStdString();
    if (form_.Accept()) QDialog::accept();
}

}  // namespace almx
