#include "calendar/ui/schedule_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "base/clock.h"
#include "calendar/exception_form.h"
#include "calendar/ui/exception_dialogs.h"
#include "calendar/ui/repeat_dialogs.h"
#include "calendar/ui/small_dialogs.h"

namespace almx {

namespace {

// The link dialog on the link field, for the schedule text of the title field.
void EditLinkIn(QWidget* dialog, const EntryDialogContext& context, const QLineEdit* title,
                QLineEdit* link) {
    if (!context.editLink) return;
    if (auto edited = context.editLink(dialog, FromQ(title->text()), FromQ(link->text()))) {
        link->setText(ToQ(*edited));
    }
}

QString AlarmSummary(int minutes, int mode) {
    if (minutes < 0 || mode == 0) return QStringLiteral("通知しない");
    TimerForm form(minutes, mode);
    QString text = form.choice == 0
                       ? QString()
                       : ToQ(TimerForm::kChoices[static_cast<std::size_t>(form.choice)]);
    if (form.openLink)
        text += text.isEmpty() ? QStringLiteral("リンクを開く") : QStringLiteral("・リンクを開く");
    return minutes == 0 ? QStringLiteral("開始時刻に %1").arg(text)
                        : QStringLiteral("%1分前に %2").arg(minutes).arg(text);
}

QPushButton* SmallButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

void FillGenres(QComboBox* box, const std::vector<std::string>& names, int genre) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        box->addItem(ToQ(names[i]), static_cast<int>(i));
    }
    int index = box->findData(genre);
    if (index < 0) {
        box->addItem(QStringLiteral("ジャンル%1").arg(genre + 1), genre);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

CSchInput::CSchInput(const CAlmxData& record, EntryDialogContext context, QWidget* parent)
    : QDialog(parent),
      record_(record),
      form_(record),
      context_(std::move(context)),
      startDate_(new DateField(this)),
      endDate_(new DateField(this)),
      startTime_(new TimeCombo(this)),
      endTime_(new TimeCombo(this)),
      title_(new QLineEdit(this)),
      place_(new QLineEdit(this)),
      memo_(new QPlainTextEdit(this)),
      rule_(new QLabel(this)),
      hide_(new QCheckBox(QStringLiteral("スケジュール画面非表示"), this)),
      holiday_(new QCheckBox(QStringLiteral("休日"), this)),
      bold_(new QCheckBox(QStringLiteral("太字"), this)),
      struck_(new QCheckBox(QStringLiteral("取消線"), this)),
      timeDisplay_(new QComboBox(this)),
      genre_(new QComboBox(this)),
      colour_(new EntryColourButton(QStringLiteral("色..."), this)),
      link_(new QLineEdit(this)),
      alarm_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("スケジュールの入力"));
    startDate_->Edit()->setObjectName(QStringLiteral("startDate"));
    endDate_->Edit()->setObjectName(QStringLiteral("endDate"));
    startTime_->setObjectName(QStringLiteral("startTime"));
    endTime_->setObjectName(QStringLiteral("endTime"));
    title_->setObjectName(QStringLiteral("title"));
    place_->setObjectName(QStringLiteral("place"));
    memo_->setObjectName(QStringLiteral("memo"));
    rule_->setObjectName(QStringLiteral("rule"));
    link_->setObjectName(QStringLiteral("link"));

    auto* startClock = SmallButton(QStringLiteral("時刻"), this);
    auto* endClock = SmallButton(QStringLiteral("時刻"), this);
    auto* when = new QGridLayout;
    when->addWidget(new QLabel(QStringLiteral("開始日付"), this), 0, 0);
    when->addWidget(startDate_, 0, 1);
    when->addWidget(new QLabel(QStringLiteral("開始時刻"), this), 0, 2);
    when->addWidget(startTime_, 0, 3);
    when->addWidget(startClock, 0, 4);
    when->addWidget(new QLabel(QStringLiteral("終了日付"), this), 1, 0);
    when->addWidget(endDate_, 1, 1);
    when->addWidget(new QLabel(QStringLiteral("終了時刻"), this), 1, 2);
    when->addWidget(endTime_, 1, 3);
    when->addWidget(endClock, 1, 4);

    auto* texts = new QFormLayout;
    texts->addRow(QStringLiteral("スケジュール内容"), title_);
    texts->addRow(QStringLiteral("場所"), place_);
    texts->addRow(QStringLiteral("詳細"), memo_);
    memo_->setTabChangesFocus(true);
    memo_->setMinimumHeight(memo_->fontMetrics().lineSpacing() * 4);

    auto* repeat = SmallButton(QStringLiteral("繰り返し..."), this);
    auto* exceptions = SmallButton(QStringLiteral("除外日..."), this);
    auto* avoid = SmallButton(QStringLiteral("回避日..."), this);
    auto* rules = new QHBoxLayout;
    rules->addWidget(repeat);
    rules->addWidget(exceptions);
    rules->addWidget(avoid);
    rules->addWidget(rule_, 1);

    auto* flags = new QHBoxLayout;
    flags->addWidget(hide_);
    flags->addWidget(holiday_);
    flags->addWidget(bold_);
    flags->addWidget(struck_);
    flags->addStretch();

    for (const char* name : ScheduleForm::kTimeDisplayNames) timeDisplay_->addItem(ToQ(name));
    FillGenres(genre_, context_.genres, form_.genre);
    colour_->setAutoDefault(false);
    auto* looks = new QHBoxLayout;
    looks->addWidget(new QLabel(QStringLiteral("時刻表示"), this));
    looks->addWidget(timeDisplay_);
    looks->addSpacing(12);
    looks->addWidget(new QLabel(QStringLiteral("ジャンル"), this));
    looks->addWidget(genre_, 1);
    looks->addWidget(colour_);

    auto* linkButton = SmallButton(QStringLiteral("リンク..."), this);
    linkButton->setObjectName(QStringLiteral("linkButton"));
    auto* timer = SmallButton(QStringLiteral("通知..."), this);
    auto* extras = new QHBoxLayout;
    extras->addWidget(linkButton);
    extras->addWidget(link_, 1);
    extras->addWidget(timer);
    extras->addWidget(alarm_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(when);
    layout->addLayout(texts);
    layout->addLayout(rules);
    layout->addLayout(flags);
    layout->addLayout(looks);
    layout->addLayout(extras);
    layout->addWidget(OkCancelButtons(this));

    ShowDates();
    startTime_->SetText(form_.startTime);
    endTime_->SetText(form_.endTime);
    title_->setText(ToQ(form_.title));
    place_->setText(ToQ(form_.place));
    memo_->setPlainText(ToQ(form_.memo));
    hide_->setChecked(form_.hideInViews);
    holiday_->setChecked(form_.holidayMark);
    bold_->setChecked(form_.bold);
    struck_->setChecked(form_.struck);
    timeDisplay_->setCurrentIndex(std::clamp(form_.timeDisplay, 0, 3));
    colour_->SetColour(form_.colour);
    link_->setText(ToQ(form_.linkFile));
    alarm_->setText(AlarmSummary(form_.alarmMinutes, form_.alarmMode));
    ShowRule();

    connect(startClock, &QPushButton::clicked, this, [this] { PickTime(startTime_, endTime_); });
    connect(endClock, &QPushButton::clicked, this, [this] { PickTime(endTime_, startTime_); });
    connect(startDate_, &DateField::Edited, this, [this] {
        Read();
        ShowRule();
    });
    connect(repeat, &QPushButton::clicked, this, &CSchInput::Repeat);
    connect(exceptions, &QPushButton::clicked, this, &CSchInput::Exceptions);
    connect(avoid, &QPushButton::clicked, this, &CSchInput::AvoidDays);
    connect(timer, &QPushButton::clicked, this, &CSchInput::Timer);
    connect(linkButton, &QPushButton::clicked, this, &CSchInput::Link);
    linkButton->setEnabled(static_cast<bool>(context_.editLink));
    title_->setFocus();
}

void CSchInput::Read() {
    form_.startDate = startDate_->Text();
    form_.endDate = endDate_->Text();
    form_.startTime = startTime_->Text();
    form_.endTime = endTime_->Text();
    form_.title = FromQ(title_->text());
    form_.place = FromQ(place_->text());
    form_.memo = FromQ(memo_->toPlainText());
    form_.hideInViews = hide_->isChecked();
    form_.holidayMark = holiday_->isChecked();
    form_.bold = bold_->isChecked();
    form_.struck = struck_->isChecked();
    form_.timeDisplay = timeDisplay_->currentIndex();
    form_.genre = genre_->currentData().toInt();
    form_.colour = colour_->Colour();
    form_.linkFile = FromQ(link_->text());
}

void CSchInput::ShowDates() {
    startDate_->SetText(form_.startDate);
    endDate_->SetText(form_.endDate);
}

void CSchInput::ShowRule() {
    QString text = ToQ(form_.RepeatDescription());
    if (!form_.Exceptions().empty()) {
        text += QStringLiteral("（除外日 %1件）").arg(form_.Exceptions().size());
    }
    rule_->setText(text);
}

void CSchInput::PickTime(TimeCombo* field, TimeCombo* other) {
    CTimeInputDlg dialog(TimeForm(field->Text(), other->Text(), context_.clock.Now()), this);
    if (dialog.exec() == QDialog::Accepted) field->SetText(dialog.Form().Text());
}

void CSchInput::Repeat() {
    Read();
    CRepeatDlg dialog(form_.OpenRepeat(), context_.prompter, this);
    if (dialog.exec() != QDialog::Accepted) return;
    form_.TakeRepeat(dialog.Form());
    ShowDates();
    ShowRule();
}

void CSchInput::Exceptions() {
    Read();
    CNoSchDlg dialog(ExceptionForm(form_.Exceptions()), form_.startDate, context_.prompter, this);
    if (dialog.exec() != QDialog::Accepted) return;
    form_.Exceptions() = dialog.Form().Spans();
    ShowRule();
}

void CSchInput::AvoidDays() {
    CKaihiDlg dialog(AvoidDaysForm(form_.ShiftRule()), this);
    if (dialog.exec() == QDialog::Accepted)
        form_.ShiftRule() = dialog.Form().Apply(form_.ShiftRule());
}

void CSchInput::Timer() {
    CTimerDlg dialog(TimerForm(form_.alarmMinutes, form_.alarmMode), this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.Form().WriteTo(form_.alarmMinutes, form_.alarmMode);
    alarm_->setText(AlarmSummary(form_.alarmMinutes, form_.alarmMode));
}

void CSchInput::Link() {
    EditLinkIn(this, context_, title_, link_);
}

void CSchInput::accept() {
    Read();
    switch (form_.Ok(context_.prompter, context_.readOnly, record_)) {
        case EntryResult::Accepted:
            QDialog::accept();
            break;
        case EntryResult::Closed:
            QDialog::reject();
            break;
        case EntryResult::Stay:
            break;
    }
}

void CSchInput::reject() {
    if (ConfirmCancel(context_.prompter, context_.settings)) QDialog::reject();
}

CTodoInputDlg::CTodoInputDlg(const CAlmxData& record, EntryDialogContext context, QWidget* parent)
    : QDialog(parent),
      record_(record),
      form_(record),
      context_(std::move(context)),
      done_(new QCheckBox(QStringLiteral("完了チェック"), this)),
      deadline_(new DateField(this)),
      lead_(new QCheckBox(QStringLiteral("期間指定"), this)),
      leadDays_(new QSpinBox(this)),
      completion_(new DateField(this)),
      hide_(new QCheckBox(QStringLiteral("スケジュール画面非表示"), this)),
      importance_(new QComboBox(this)),
      title_(new QLineEdit(this)),
      place_(new QLineEdit(this)),
      memo_(new QPlainTextEdit(this)),
      colour_(new EntryColourButton(QStringLiteral("色..."), this)),
      bold_(new QCheckBox(QStringLiteral("太字"), this)),
      struck_(new QCheckBox(QStringLiteral("取消線"), this)),
      genre_(new QComboBox(this)),
      link_(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Todoの入力"));
    deadline_->Edit()->setObjectName(QStringLiteral("deadline"));
    completion_->Edit()->setObjectName(QStringLiteral("completion"));
    title_->setObjectName(QStringLiteral("title"));
    leadDays_->setRange(0, 9999);
    for (const char* name : TodoForm::kImportanceNames) importance_->addItem(ToQ(name));
    FillGenres(genre_, context_.genres, form_.genre);
    colour_->setAutoDefault(false);
    auto* linkButton = SmallButton(QStringLiteral("ﾘﾝｸﾌｧｲﾙ..."), this);

    auto* leadRow = new QHBoxLayout;
    leadRow->addWidget(lead_);
    leadRow->addWidget(leadDays_);
    leadRow->addWidget(new QLabel(QStringLiteral("日前から表示"), this));
    leadRow->addStretch();
    auto* doneRow = new QHBoxLayout;
    doneRow->addWidget(done_);
    doneRow->addWidget(new QLabel(QStringLiteral("完了日付"), this));
    doneRow->addWidget(completion_, 1);
    auto* flagRow = new QHBoxLayout;
    flagRow->addWidget(hide_);
    flagRow->addStretch();
    flagRow->addWidget(new QLabel(QStringLiteral("重要度"), this));
    flagRow->addWidget(importance_);
    auto* looks = new QHBoxLayout;
    looks->addWidget(colour_);
    looks->addWidget(bold_);
    looks->addWidget(struck_);
    looks->addSpacing(12);
    looks->addWidget(new QLabel(QStringLiteral("ジャンル"), this));
    looks->addWidget(genre_, 1);
    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(linkButton);
    linkRow->addWidget(link_, 1);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("終了期限"), deadline_);
    fields->addRow(leadRow);
    fields->addRow(doneRow);
    fields->addRow(flagRow);
    fields->addRow(QStringLiteral("内容"), title_);
    fields->addRow(QStringLiteral("場所"), place_);
    fields->addRow(QStringLiteral("詳細"), memo_);
    memo_->setTabChangesFocus(true);
    memo_->setMinimumHeight(memo_->fontMetrics().lineSpacing() * 4);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(looks);
    layout->addLayout(linkRow);
    layout->addWidget(OkCancelButtons(this));

    done_->setChecked(form_.done);
    deadline_->SetText(form_.deadline);
    lead_->setChecked(form_.leadPeriod);
    leadDays_->setValue(form_.leadDays);
    completion_->SetText(form_.completion);
    hide_->setChecked(form_.hideInViews);
    // A value beyond the six names (an imported file) is offered as its number, so that OK
    // keeps it.
    const int names = importance_->count();
    if (form_.importance >= 0 && form_.importance < names) {
        importance_->setCurrentIndex(form_.importance);
    } else {
        importance_->addItem(QString::number(form_.importance), form_.importance);
        importance_->setCurrentIndex(names);
    }
    title_->setText(ToQ(form_.title));
    place_->setText(ToQ(form_.place));
    memo_->setPlainText(ToQ(form_.memo));
    colour_->SetColour(form_.colour);
    bold_->setChecked(form_.bold);
    struck_->setChecked(form_.struck);
    link_->setText(ToQ(form_.linkFile));
    Enable();

    connect(done_, &QCheckBox::toggled, this, [this](bool on) {
        // Without deadline an empty completion date has nothing to fall back on: offer today.
        if (on && completion_->Text().empty() && deadline_->Text().empty()) {
            completion_->SetText(FormatDate(context_.clock.Now()));
        }
        Enable();
    });
    connect(lead_, &QCheckBox::toggled, this, &CTodoInputDlg::Enable);
    connect(linkButton, &QPushButton::clicked, this,
            [this] { EditLinkIn(this, context_, title_, link_); });
    linkButton->setEnabled(static_cast<bool>(context_.editLink));
    title_->setFocus();
}

void CTodoInputDlg::Enable() {
    completion_->setEnabled(done_->isChecked());
    leadDays_->setEnabled(lead_->isChecked());
}

void CTodoInputDlg::Read() {
    form_.done = done_->isChecked();
    form_.deadline = deadline_->Text();
    form_.leadPeriod = lead_->isChecked();
    form_.leadDays = leadDays_->value();
    form_.completion = completion_->Text();
    form_.hideInViews = hide_->isChecked();
    const QVariant stored = importance_->currentData();
    form_.importance = stored.isValid() ? stored.toInt() : importance_->currentIndex();
    form_.title = FromQ(title_->text());
    form_.place = FromQ(place_->text());
    form_.memo = FromQ(memo_->toPlainText());
    form_.colour = colour_->Colour();
    form_.bold = bold_->isChecked();
    form_.struck = struck_->isChecked();
    form_.genre = genre_->currentData().toInt();
    form_.linkFile = FromQ(link_->text());
}

void CTodoInputDlg::accept() {
    Read();
    switch (form_.Ok(context_.prompter, context_.readOnly, context_.clock.Now(), record_)) {
        case EntryResult::Accepted:
            QDialog::accept();
            break;
        case EntryResult::Closed:
            QDialog::reject();
            break;
        case EntryResult::Stay:
            break;
    }
}

}  // namespace almx
