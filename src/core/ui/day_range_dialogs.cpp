#include "core/ui/day_range_dialogs.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/font_colour.h"

namespace almx {

CDayColorSpanDlg::CDayColorSpanDlg(DayPropertyMap& properties, const DayRangeFields& preset,
                                   Prompter& prompter, QWidget* parent)
    : CDayColorSpanDlg(properties, preset, prompter, true, parent) {}

CDayColorSpanDlg::CDayColorSpanDlg(DayPropertyMap& properties, const DayRangeFields& preset,
                                   Prompter& prompter, bool withColour, QWidget* parent)
    : QDialog(parent), properties_(properties), prompter_(prompter), colour_(preset.colour) {
    setWindowTitle(withColour ? QStringLiteral("範囲指定して色の変更")
                              : QStringLiteral("範囲指定で色指定の解除"));
    first_ = new QLineEdit(QString::fromStdString(preset.first), this);
    last_ = new QLineEdit(QString::fromStdString(preset.last), this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("開始日"), first_);
    form->addRow(QStringLiteral("終了日"), last_);
    if (withColour) {
        colourButton_ = new QPushButton(QStringLiteral("色..."), this);
        connect(colourButton_, &QPushButton::clicked, this, [this] {
            const QColor chosen = QColorDialog::getColor(ToQColor(colour_), this);
            if (chosen.isValid()) SetColour(FromQColor(chosen));
        });
        form->addRow(QStringLiteral("色"), colourButton_);
        SetColour(colour_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CDayColorSpanDlg::SetColour(std::uint32_t colour) {
    colour_ = colour;
    if (!colourButton_) return;
    const QColor c = ToQColor(colour);
    colourButton_->setStyleSheet(QStringLiteral("background-color: %1; color: %2")
                                     .arg(c.name(), c.lightness() < 128 ? QStringLiteral("white")
                                                                        : QStringLiteral("black")));
}

DayRangeFields CDayColorSpanDlg::Fields() const {
    return {first_->text().toStdString(), last_->text().toStdString(), colour_};
}

void CDayColorSpanDlg::accept() {
    if (ConfirmColourRange(properties_, Fields(), prompter_)) QDialog::accept();
}

CDayColorSpanDelDlg::CDayColorSpanDelDlg(DayPropertyMap& properties, const DayRangeFields& preset,
                                         Prompter& prompter, QWidget* parent)
    : CDayColorSpanDlg(properties, preset, prompter, false, parent) {}

void CDayColorSpanDelDlg::accept() {
    if (ConfirmRemoveRange(properties_, Fields(), prompter_)) QDialog::accept();
}

}  // namespace almx
