#include "calendar/ui/exception_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "calendar/ui/entry_widgets.h"

namespace almx {

CNoSchAddDlg::CNoSchAddDlg(const std::string& day, Check check, QWidget* parent)
    : QDialog(parent), check_(std::move(check)), day_(new DateField(this)) {
    setWindowTitle(QStringLiteral("除外日の追加"));
    day_->SetText(day);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("除外する日"), day_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(OkCancelButtons(this));
}

void CNoSchAddDlg::accept() {
    if (check_(day_->Text())) QDialog::accept();
}

CNoSchSpanDlg::CNoSchSpanDlg(const std::string& first, const std::string& last, Check check,
                             QWidget* parent)
    : QDialog(parent),
      check_(std::move(check)),
      first_(new DateField(this)),
      last_(new DateField(this)) {
    setWindowTitle(QStringLiteral("除外期間の追加"));
    first_->SetText(first);
    last_->SetText(last);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("除外開始日"), first_);
    fields->addRow(QStringLiteral("除外終了日"), last_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(OkCancelButtons(this));
}

void CNoSchSpanDlg::accept() {
    if (check_(first_->Text(), last_->Text())) QDialog::accept();
}

CNoSchDlg::CNoSchDlg(const ExceptionForm& form, const std::string& suggestedDay, Prompter& prompter,
                     QWidget* parent)
    : QDialog(parent),
      form_(form),
      suggested_(suggestedDay),
      prompter_(prompter),
      list_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("除外日"));
    auto* addDay = new QPushButton(QStringLiteral("1日追加"), this);
    auto* addRange = new QPushButton(QStringLiteral("期間で追加"), this);
    auto* edit = new QPushButton(QStringLiteral("編集"), this);
    auto* remove = new QPushButton(QStringLiteral("削除"), this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(addDay);
    buttons->addWidget(addRange);
    buttons->addWidget(edit);
    buttons->addWidget(remove);
    buttons->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(list_, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(OkCancelButtons(this));

    connect(addDay, &QPushButton::clicked, this, &CNoSchDlg::AddDay);
    connect(addRange, &QPushButton::clicked, this, &CNoSchDlg::AddRange);
    connect(edit, &QPushButton::clicked, this, &CNoSchDlg::Edit);
    connect(remove, &QPushButton::clicked, this, &CNoSchDlg::Delete);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CNoSchDlg::Edit);
    Fill(0);
}

void CNoSchDlg::Fill(int select) {
    list_->clear();
    for (const std::string& row : form_.Rows()) list_->addItem(ToQ(row));
    if (list_->count() > 0) list_->setCurrentRow(std::clamp(select, 0, list_->count() - 1));
}

void CNoSchDlg::AddDay() {
    CNoSchAddDlg dialog(
        suggested_, [this](const std::string& day) { return form_.AddDay(day, prompter_); }, this);
    if (dialog.exec() == QDialog::Accepted) Fill(static_cast<int>(form_.Spans().size()) - 1);
}

void CNoSchDlg::AddRange() {
    CNoSchSpanDlg dialog(
        suggested_, suggested_,
        [this](const std::string& first, const std::string& last) {
            return form_.AddRange(first, last, prompter_);
        },
        this);
    if (dialog.exec() == QDialog::Accepted) Fill(static_cast<int>(form_.Spans().size()) - 1);
}

void CNoSchDlg::Edit() {
    const int row = list_->currentRow();
    if (row < 0) return;
    const auto index = static_cast<std::size_t>(row);
    if (form_.IsOneDay(index)) {
        CNoSchAddDlg dialog(
            form_.FirstText(index),
            [this, index](const std::string& day) { return form_.EditDay(index, day, prompter_); },
            this);
        if (dialog.exec() == QDialog::Accepted) Fill(row);
    } else {
        CNoSchSpanDlg dialog(
            form_.FirstText(index), form_.LastText(index),
            [this, index](const std::string& first, const std::string& last) {
                return form_.EditRange(index, first, last, prompter_);
            },
            this);
        if (dialog.exec() == QDialog::Accepted) Fill(row);
    }
}

void CNoSchDlg::Delete() {
    const int row = list_->currentRow();
    if (row < 0) return;
    if (form_.Delete(static_cast<std::size_t>(row), prompter_)) Fill(row);
}

}  // namespace almx
