#include "views/month_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/display_settings.h"
#include "ui/font_colour.h"

namespace almx {

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QSpinBox* NumberBox(int low, int high, int value, const QString& suffix, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

}  // namespace

CMonthDlg::CMonthDlg(const DateTime& initial, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter), date_(initial) {
    setWindowTitle(QStringLiteral("年月日の指定"));
    const DateFieldsForm form = DateFieldsForm::From(initial);
    year_ = NumberBox(kMinYear, kMaxYear, form.year, QStringLiteral(" 年"), this);
    month_ = NumberBox(1, 12, form.month, QStringLiteral(" 月"), this);
    day_ = NumberBox(1, 31, form.day, QStringLiteral(" 日"), this);
    auto* row = new QHBoxLayout;
    row->addWidget(year_);
    row->addWidget(month_);
    row->addWidget(day_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(OkCancel(this));
}

void CMonthDlg::accept() {
    const DateFieldsForm form{year_->value(), month_->value(), day_->value()};
    if (auto date = form.Confirm(prompter_)) {
        date_ = *date;
        QDialog::accept();
    }
}

CDaySpanDlg::CDaySpanDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("指定日数後へ"));
    days_ = NumberBox(-kMaxDaySpan, kMaxDaySpan, kDefaultDaySpan, QStringLiteral(" 日後"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("日数（マイナスは前へ）"), this));
    layout->addWidget(days_);
    layout->addWidget(OkCancel(this));
}

int CDaySpanDlg::Days() const {
    return days_->value();
}

CMotnthWeeksDlg::CMotnthWeeksDlg(int weeks, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("月間表示の週数"));
    choice_ = new QComboBox(this);
    for (int w = kMinMonthWeeks; w <= kMaxMonthWeeks; ++w) choice_->addItem(QString::number(w));
    choice_->setCurrentIndex(WeeksChoiceIndex(weeks));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("週数"), choice_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

int CMotnthWeeksDlg::Weeks() const {
    return WeeksOfChoice(choice_->currentIndex());
}

CTodayDlg::CTodayDlg(const TodaySchedules& texts, const FontSpec& font, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("今日のスケジュール"));
    const QFont qfont = FontFromSpec(font);
    auto makeText = [&](const std::string& text) {
        auto* edit = new QPlainTextEdit(QString::fromStdString(text), this);
        edit->setReadOnly(true);
        edit->setFont(qfont);
        return edit;
    };
    schedules_ = makeText(texts.schedules);
    todos_ = makeText(texts.todos);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("スケジュール"), this));
    layout->addWidget(schedules_);
    layout->addWidget(new QLabel(QStringLiteral("TODO"), this));
    layout->addWidget(todos_);
    layout->addWidget(buttons);
    resize(420, 360);
}

}  // namespace almx
