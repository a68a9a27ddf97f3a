#include "calendar/ui/repeat_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "base/prompter.h"
#include "calendar/recurrence.h"
#include "calendar/span_form.h"
#include "calendar/ui/entry_widgets.h"
#include "calendar/ui/period_dialogs.h"
#include "core/record.h"

namespace almx {

namespace {

constexpr const char* kKindNames[] = {"繰り返さない", "日", "週", "月", "年", "カスタム"};
constexpr const char* kIntervalUnits[] = {"", "日ごと", "週ごと", "ヶ月ごと", "年ごと", "ヶ月ごと"};
constexpr const char* kWeekNames[] = {"第1週", "第2週", "第3週", "第4週", "最終週"};
constexpr int kLastDayIndex = 31;  // 月末 after the days 1..31

void FillDays(QComboBox* box) {
    for (int day = 1; day <= 31; ++day) box->addItem(QString::number(day));
    box->addItem(QStringLiteral("月末"));
}

int DayIndex(int day) {
    return day == -1 ? kLastDayIndex : std::clamp(day, 1, 31) - 1;
}
int DayOfIndex(int index) {
    return index == kLastDayIndex ? -1 : index + 1;
}

std::string DateText(const DateTime& date) {
    return date.IsValid() ? FormatDate(date) : std::string();
}

}  // namespace

CRepeatCustomDlg::CRepeatCustomDlg(const RepeatCustomForm& form, Prompter& prompter,
                                   QWidget* parent)
    : QDialog(parent),
      form_(form),
      prompter_(prompter),
      position_(new QCheckBox(QStringLiteral("位置指定"), this)) {
    setWindowTitle(QStringLiteral("カスタム設定"));
    auto* weekBox = new QGroupBox(QStringLiteral("有効週"), this);
    auto* weekRow = new QHBoxLayout(weekBox);
    for (std::size_t i = 0; i < weeks_.size(); ++i) {
        weeks_[i] = new QCheckBox(ToQ(kWeekNames[i]), weekBox);
        weeks_[i]->setChecked(form_.validWeeks[i] != 0);
        weekRow->addWidget(weeks_[i]);
    }
    auto* weekdayBox = new QGroupBox(QStringLiteral("有効曜日"), this);
    auto* weekdayRow = new QHBoxLayout(weekdayBox);
    for (std::size_t i = 0; i < weekdays_.size(); ++i) {
        weekdays_[i] = new QCheckBox(ToQ(kWeekdayNames[i]), weekdayBox);
        weekdays_[i]->setChecked(form_.validWeekdays[i] != 0);
        weekdayRow->addWidget(weekdays_[i]);
    }
    auto* monthBox = new QGroupBox(QStringLiteral("有効月"), this);
    auto* monthGrid = new QGridLayout(monthBox);
    for (std::size_t i = 0; i < months_.size(); ++i) {
        months_[i] = new QCheckBox(QStringLiteral("%1月").arg(i + 1), monthBox);
        months_[i]->setChecked(form_.validMonths[i] != 0);
        monthGrid->addWidget(months_[i], static_cast<int>(i / 6), static_cast<int>(i % 6));
    }
    position_->setChecked(form_.position);
    connect(position_, &QCheckBox::toggled, this, [this] {
        Read();
        Enable();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(monthBox);
    layout->addWidget(position_);
    layout->addWidget(weekBox);
    layout->addWidget(weekdayBox);
    layout->addWidget(OkCancelButtons(this));
    Enable();
}

void CRepeatCustomDlg::Read() {
    form_.position = position_->isChecked();
    for (std::size_t i = 0; i < weeks_.size(); ++i) form_.validWeeks[i] = weeks_[i]->isChecked();
    for (std::size_t i = 0; i < weekdays_.size(); ++i) {
        form_.validWeekdays[i] = weekdays_[i]->isChecked();
    }
    for (std::size_t i = 0; i < months_.size(); ++i) {
        form_.validMonths[i] = months_[i]->isChecked();
    }
}

void CRepeatCustomDlg::Enable() {
    for (QCheckBox* box : weeks_) box->setEnabled(form_.WeekControlsEnabled());
    for (QCheckBox* box : weekdays_) box->setEnabled(form_.WeekControlsEnabled());
}

void CRepeatCustomDlg::accept() {
    Read();
    if (form_.Ok(prompter_)) QDialog::accept();
}

CRepeatDlg::CRepeatDlg(const RepeatForm& form, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      form_(form),
      prompter_(prompter),
      kind_(new QComboBox(this)),
      interval_(new QSpinBox(this)),
      intervalUnit_(new QLabel(this)),
      firstDay_(new QComboBox(this)),
      lastDay_(new QComboBox(this)),
      position_(new QCheckBox(QStringLiteral("位置指定"), this)),
      week_(new QComboBox(this)),
      weekday_(new QComboBox(this)),
      month_(new QComboBox(this)),
      custom_(new QPushButton(QStringLiteral("カスタム..."), this)),
      period_(new QLabel(this)),
      description_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("繰り返し設定"));
    kind_->setObjectName(QStringLiteral("kind"));
    weekday_->setObjectName(QStringLiteral("weekday"));
    description_->setObjectName(QStringLiteral("description"));
    interval_->setObjectName(QStringLiteral("interval"));
    firstDay_->setObjectName(QStringLiteral("firstDay"));
    lastDay_->setObjectName(QStringLiteral("lastDay"));
    for (const char* name : kKindNames) kind_->addItem(ToQ(name));
    interval_->setRange(1, 999);
    FillDays(firstDay_);
    FillDays(lastDay_);
    for (const char* name : kWeekNames) week_->addItem(ToQ(name));
    for (const char* name : kWeekdayNames) weekday_->addItem(ToQ(name) + QStringLiteral("曜日"));
    for (int m = 1; m <= 12; ++m) month_->addItem(QStringLiteral("%1月").arg(m));
    auto* periodButton = new QPushButton(QStringLiteral("期間..."), this);

    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(interval_);
    intervalRow->addWidget(intervalUnit_);
    intervalRow->addStretch();
    auto* dayRow = new QHBoxLayout;
    dayRow->addWidget(firstDay_);
    dayRow->addWidget(new QLabel(QStringLiteral("～"), this));
    dayRow->addWidget(lastDay_);
    dayRow->addWidget(new QLabel(QStringLiteral("日"), this));
    dayRow->addStretch();
    auto* positionRow = new QHBoxLayout;
    positionRow->addWidget(position_);
    positionRow->addWidget(month_);
    positionRow->addWidget(week_);
    positionRow->addStretch();
    auto* weekdayRow = new QHBoxLayout;
    weekdayRow->addWidget(weekday_);
    weekdayRow->addStretch();
    auto* periodRow = new QHBoxLayout;
    periodRow->addWidget(period_, 1);
    periodRow->addWidget(periodButton);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("繰り返し単位"), kind_);
    fields->addRow(QStringLiteral("繰り返し間隔"), intervalRow);
    fields->addRow(QStringLiteral("繰り返し日"), dayRow);
    fields->addRow(QString(), positionRow);
    fields->addRow(QStringLiteral("曜日"), weekdayRow);
    fields->addRow(QString(), custom_);
    fields->addRow(QStringLiteral("期間"), periodRow);
    fields->addRow(QStringLiteral("内容"), description_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(OkCancelButtons(this));

    Show();
    auto changed = [this] {
        Read();
        Enable();
        ShowPeriodAndText();
    };
    connect(kind_, &QComboBox::currentIndexChanged, this, changed);
    connect(interval_, &QSpinBox::valueChanged, this, changed);
    connect(firstDay_, &QComboBox::currentIndexChanged, this, changed);
    connect(lastDay_, &QComboBox::currentIndexChanged, this, changed);
    connect(position_, &QCheckBox::toggled, this, changed);
    connect(week_, &QComboBox::currentIndexChanged, this, changed);
    connect(weekday_, &QComboBox::currentIndexChanged, this, changed);
    connect(month_, &QComboBox::currentIndexChanged, this, changed);
    connect(custom_, &QPushButton::clicked, this, &CRepeatDlg::Custom);
    connect(periodButton, &QPushButton::clicked, this, [this] { EditPeriod(); });
}

void CRepeatDlg::Show() {
    kind_->setCurrentIndex(std::clamp(form_.kind, 0, 5));
    interval_->setValue(std::max(form_.interval, 1));
    firstDay_->setCurrentIndex(DayIndex(form_.firstDay));
    lastDay_->setCurrentIndex(DayIndex(form_.lastDay));
    position_->setChecked(form_.position);
    week_->setCurrentIndex(std::clamp(form_.week, 0, 4));
    weekday_->setCurrentIndex(std::clamp(form_.weekday, 0, 6));
    month_->setCurrentIndex(std::clamp(form_.month, 1, 12) - 1);
    Enable();
    ShowPeriodAndText();
}

void CRepeatDlg::Read() {
    form_.kind = kind_->currentIndex();
    form_.interval = interval_->value();
    form_.firstDay = DayOfIndex(firstDay_->currentIndex());
    form_.lastDay = DayOfIndex(lastDay_->currentIndex());
    // Kind 5 takes its position switch from the custom dialog.
    if (form_.kind == RepeatMonths || form_.kind == RepeatYears) {
        form_.position = position_->isChecked();
    }
    form_.week = week_->currentIndex();
    form_.weekday = weekday_->currentIndex();
    form_.month = month_->currentIndex() + 1;
}

void CRepeatDlg::Enable() {
    const int kind = form_.kind;
    const bool byDayKinds = kind == RepeatMonths || kind == RepeatYears;
    interval_->setEnabled(form_.IntervalEnabled());
    intervalUnit_->setText(ToQ(kIntervalUnits[std::clamp(kind, 0, 5)]));
    const bool days = (byDayKinds || kind == RepeatChosenMonths) && !form_.position;
    firstDay_->setEnabled(days);
    lastDay_->setEnabled(days);
    position_->setEnabled(byDayKinds);
    {
        const QSignalBlocker blocker(position_);
        position_->setChecked(form_.position && kind != RepeatNone);
    }
    week_->setEnabled(byDayKinds && form_.position);
    // A weekly rule keeps to one weekday: its period starts on it.
    weekday_->setEnabled((byDayKinds && form_.position) || kind == RepeatWeeks);
    month_->setEnabled(kind == RepeatYears && form_.position);
    custom_->setEnabled(kind == RepeatChosenMonths);
}

void CRepeatDlg::ShowPeriodAndText() {
    period_->setText(ToQ(DateText(form_.periodStart) + " ～ " + DateText(form_.periodEnd)));
    // The description of what OK would store, whatever the period.
    RepeatForm preview = form_;
    preview.periodEnd = DateTime::FromDate(kMaxYear, 12, 31);
    CAlmxData rule;
    rule.start = form_.periodStart.IsValid() ? form_.periodStart : DateTime::FromDate(2000, 1, 1);
    rule.end = preview.periodEnd;
    if (preview.periodStart.IsValid() && preview.Ok() == RepeatForm::OkResult::Accepted) {
        preview.WriteTo(rule);
        description_->setText(ToQ(RepeatText(rule)));
    } else {
        description_->clear();
    }
}

bool CRepeatDlg::EditPeriod(bool tooShort) {
    Read();
    CSpanDlg dialog(SpanForm(DateText(form_.periodStart), DateText(form_.periodEnd), form_.kind),
                    prompter_, this);
    if (tooShort) {
        dialog.SetNote(
            QStringLiteral("この繰り返しには%1日以上の期間が必要です。期間を設定してください")
                .arg(RepeatForm::MinimumPeriodDays(form_.kind)));
    }
    if (dialog.exec() != QDialog::Accepted || !dialog.Period()) return false;
    form_.SetPeriod(dialog.Period()->first, dialog.Period()->second);
    ShowPeriodAndText();
    return true;
}

void CRepeatDlg::Custom() {
    Read();
    CRepeatCustomDlg dialog(RepeatCustomForm(form_), prompter_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.Form().WriteTo(form_);
    Enable();
    ShowPeriodAndText();
}

void CRepeatDlg::accept() {
    Read();
    // A custom rule that selects no day is refused as its own dialog refuses it.
    if (form_.kind == RepeatChosenMonths && !RepeatCustomForm(form_).Ok(prompter_)) return;
    if (const char* problem = form_.DayRangeProblem()) {
        prompter_.ShowMessage(problem, MessageKind::Warning);
        return;
    }
    while (form_.Ok() == RepeatForm::OkResult::PeriodTooShort) {
        if (!EditPeriod(true)) return;
    }
    QDialog::accept();
}

}  // namespace almx
