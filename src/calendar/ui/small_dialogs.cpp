#include "calendar/ui/small_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "calendar/ui/entry_widgets.h"

namespace almx {

CTimeInputDlg::CTimeInputDlg(const TimeForm& form, QWidget* parent)
    : QDialog(parent),
      form_(form),
      hour_(new QScrollBar(Qt::Horizontal, this)),
      minute_(new QScrollBar(Qt::Horizontal, this)),
      text_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("時間の入力"));
    hour_->setRange(0, 23);
    hour_->setSingleStep(1);
    hour_->setPageStep(TimeForm::kHourPageStep);
    minute_->setRange(0, 59);
    minute_->setSingleStep(1);
    minute_->setPageStep(TimeForm::kMinutePageStep);
    hour_->setValue(form_.hour);
    minute_->setValue(form_.minute);
    hour_->setMinimumWidth(240);
    QFont big = text_->font();
    big.setPointSize(big.pointSize() * 2);
    text_->setFont(big);
    text_->setAlignment(Qt::AlignCenter);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("時"), this), 0, 0);
    grid->addWidget(hour_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("分"), this), 1, 0);
    grid->addWidget(minute_, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(grid);
    layout->addWidget(OkCancelButtons(this));

    connect(hour_, &QScrollBar::valueChanged, this, [this](int value) {
        form_.hour = value;
        Show();
    });
    connect(minute_, &QScrollBar::valueChanged, this, [this](int value) {
        form_.minute = value;
        Show();
    });
    Show();
}

void CTimeInputDlg::Show() {
    text_->setText(ToQ(form_.Text()));
}

CKaihiDlg::CKaihiDlg(const AvoidDaysForm& form, QWidget* parent)
    : QDialog(parent),
      form_(form),
      saturday_(new QCheckBox(QStringLiteral("土曜"), this)),
      sunday_(new QCheckBox(QStringLiteral("日曜"), this)),
      holiday_(new QCheckBox(QStringLiteral("祝日"), this)),
      dayBefore_(new QCheckBox(QStringLiteral("回避した前日に表示する"), this)) {
    setWindowTitle(QStringLiteral("回避日設定"));
    saturday_->setChecked(form_.saturday);
    sunday_->setChecked(form_.sunday);
    holiday_->setChecked(form_.holiday);
    dayBefore_->setChecked(form_.dayBefore);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("次の日に当たる予定を移動します"), this));
    auto* days = new QHBoxLayout;
    days->addWidget(saturday_);
    days->addWidget(sunday_);
    days->addWidget(holiday_);
    layout->addLayout(days);
    layout->addWidget(dayBefore_);
    layout->addWidget(OkCancelButtons(this));
}

void CKaihiDlg::accept() {
    form_.saturday = saturday_->isChecked();
    form_.sunday = sunday_->isChecked();
    form_.holiday = holiday_->isChecked();
    form_.dayBefore = dayBefore_->isChecked();
    QDialog::accept();
}

CTimerDlg::CTimerDlg(const TimerForm& form, QWidget* parent)
    : QDialog(parent),
      form_(form),
      minutes_(new QSpinBox(this)),
      choice_(new QComboBox(this)),
      openLink_(new QCheckBox(QStringLiteral("リンクファイルを開く(&L)"), this)) {
    setWindowTitle(QStringLiteral("通知設定"));
    minutes_->setRange(0, std::max(TimerForm::kMaxMinutes, form_.minutes));
    minutes_->setValue(form_.minutes);
    for (const char* text : TimerForm::kChoices) choice_->addItem(ToQ(text));
    choice_->setCurrentIndex(form_.choice);
    openLink_->setChecked(form_.openLink);

    auto* lead = new QHBoxLayout;
    lead->addWidget(minutes_);
    lead->addWidget(new QLabel(QStringLiteral("分前に通知"), this));
    lead->addStretch();
    auto* fields = new QFormLayout;
    fields->addRow(lead);
    auto* label = new QLabel(QStringLiteral("通知方法(&A):"), this);
    label->setBuddy(choice_);
    fields->addRow(label, choice_);
    fields->addRow(openLink_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(OkCancelButtons(this));
}

void CTimerDlg::accept() {
    form_.minutes = minutes_->value();
    form_.choice = choice_->currentIndex();
    form_.openLink = openLink_->isChecked();
    QDialog::accept();
}

}  // namespace almx
