#include "core/ui/date_dialog.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace almx {

DateDialog::DateDialog(const QString& prompt, const DateTime& preset, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("年月日の指定"));
    edit_ = new QDateEdit;
    edit_->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    edit_->setCalendarPopup(true);
    edit_->setDateRange(QDate(kMinYear, 1, 1), QDate(kMaxYear, 12, 31));
    if (preset.IsValid()) edit_->setDate(QDate(preset.Year(), preset.Month(), preset.Day()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    if (!prompt.isEmpty()) layout->addWidget(new QLabel(prompt));
    layout->addWidget(edit_);
    layout->addWidget(buttons);
}

DateTime DateDialog::Date() const {
    const QDate date = edit_->date();
    return DateTime::FromDate(date.year(), date.month(), date.day());
}

std::optional<DateTime> AskDate(QWidget* parent, const QString& prompt, const DateTime& preset) {
    DateDialog dialog(prompt, preset, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Date();
}

}  // namespace almx
