#include "calendar/ui/period_dialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "calendar/ui/entry_widgets.h"

namespace almx {

CSpanDlg::CSpanDlg(const SpanForm& form, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      form_(form),
      prompter_(prompter),
      note_(new QLabel(this)),
      start_(new DateField(this)),
      end_(new DateField(this)) {
    setWindowTitle(QStringLiteral("期間の設定"));
    note_->setWordWrap(true);
    note_->hide();
    note_->setObjectName(QStringLiteral("note"));
    start_->Edit()->setObjectName(QStringLiteral("spanStart"));
    end_->Edit()->setObjectName(QStringLiteral("spanEnd"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("開始日"), start_);
    fields->addRow(QStringLiteral("終了日"), end_);

    auto* presets = new QGroupBox(QStringLiteral("簡単設定"), this);
    auto* grid = new QGridLayout(presets);
    auto button = [this](const char* caption, auto action) {
        auto* b = new QPushButton(ToQ(caption), this);
        connect(b, &QPushButton::clicked, this, [this, action] {
            Read();
            action();
            Show();
        });
        return b;
    };
    grid->addWidget(button("全期間", [this] { form_.WholeCalendar(); }), 0, 0);
    grid->addWidget(button("開始日を含む年度", [this] { form_.FiscalYear(prompter_); }), 0, 1);
    grid->addWidget(button("開始日を含む年", [this] { form_.CalendarYear(prompter_); }), 0, 2);
    struct Count {
        const char* caption;
        SpanForm::Unit unit;
    };
    const Count counts[] = {{"年間", SpanForm::Unit::Years},
                            {"ヶ月間", SpanForm::Unit::Months},
                            {"週間", SpanForm::Unit::Weeks},
                            {"日間", SpanForm::Unit::Days}};
    int row = 1;
    for (const Count& count : counts) {
        auto* number = new QSpinBox(this);
        number->setRange(1, 9999);
        number->setValue(1);
        grid->addWidget(new QLabel(QStringLiteral("開始日から"), this), row, 0, Qt::AlignRight);
        grid->addWidget(number, row, 1);
        const SpanForm::Unit unit = count.unit;
        grid->addWidget(
            button(count.caption,
                   [this, unit, number] { form_.FromStart(unit, number->value(), prompter_); }),
            row, 2);
        ++row;
    }
    grid->addWidget(button("最初から", [this] { form_.FromBeginning(); }), row, 0);
    grid->addWidget(button("最後まで", [this] { form_.ToEnd(); }), row, 1);
    grid->addWidget(button("初期設定", [this] { form_.Initial(); }), row, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note_);
    layout->addLayout(fields);
    layout->addWidget(presets);
    layout->addWidget(OkCancelButtons(this));
    Show();
}

void CSpanDlg::SetNote(const QString& note) {
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

void CSpanDlg::Read() {
    form_.startText = start_->Text();
    form_.endText = end_->Text();
}

void CSpanDlg::Show() {
    start_->SetText(form_.startText);
    end_->SetText(form_.endText);
}

void CSpanDlg::accept() {
    Read();
    period_ = form_.Ok(prompter_);
    if (period_) QDialog::accept();
}

CCalcDays::CCalcDays(const DayCountForm& form, QWidget* parent)
    : QDialog(parent),
      form_(form),
      target_(new DateField(this)),
      days_(new QLabel(this)),
      weeks_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("今日から何日？"));
    target_->SetText(form_.target);
    auto* again = new QPushButton(QStringLiteral("再計算"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    auto* fields = new QFormLayout;
    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(target_, 1);
    targetRow->addWidget(again);
    fields->addRow(QStringLiteral("日付"), targetRow);
    fields->addRow(days_);
    fields->addRow(weeks_);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(closeRow);
    connect(again, &QPushButton::clicked, this, &CCalcDays::Recalculate);
    connect(target_->Edit(), &QLineEdit::returnPressed, this, &CCalcDays::Recalculate);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    again->setAutoDefault(false);
    close->setAutoDefault(false);
    Recalculate();
}

void CCalcDays::Recalculate() {
    form_.target = target_->Text();
    form_.Recalculate();
    days_->setText(ToQ(form_.DaysText()));
    weeks_->setText(ToQ(form_.WeeksText()));
}

CSchCopyDlg::CSchCopyDlg(const CopyForm& form, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      form_(form),
      prompter_(prompter),
      unit_(new QComboBox(this)),
      interval_(new QSpinBox(this)),
      unitEcho_(new QLabel(this)),
      count_(new QSpinBox(this)) {
    setWindowTitle(QStringLiteral("連続コピー"));
    unit_->setObjectName(QStringLiteral("unit"));
    interval_->setObjectName(QStringLiteral("interval"));
    count_->setObjectName(QStringLiteral("count"));
    for (const char* text : CopyForm::kUnitTexts) unit_->addItem(ToQ(text));
    unit_->setCurrentIndex(form_.unit);
    // The range lets a wrong value through to the form's check, which says what is allowed.
    interval_->setRange(0, CopyForm::kMaxInterval);
    interval_->setValue(form_.interval);
    count_->setRange(0, CopyForm::kMaxCount);
    count_->setValue(form_.count);
    unitEcho_->setText(ToQ(form_.UnitText()));
    connect(unit_, &QComboBox::currentIndexChanged, this, [this](int index) {
        form_.unit = index;
        unitEcho_->setText(ToQ(form_.UnitText()));
    });
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(interval_);
    intervalRow->addWidget(unitEcho_);
    intervalRow->addStretch();
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(count_);
    countRow->addWidget(new QLabel(QStringLiteral("回"), this));
    countRow->addStretch();
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("単位"), unit_);
    fields->addRow(QStringLiteral("間隔"), intervalRow);
    fields->addRow(QStringLiteral("回数"), countRow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(OkCancelButtons(this));
}

void CSchCopyDlg::accept() {
    form_.unit = unit_->currentIndex();
    form_.interval = interval_->value();
    form_.count = count_->value();
    if (form_.Ok(prompter_)) QDialog::accept();
}

}  // namespace almx
