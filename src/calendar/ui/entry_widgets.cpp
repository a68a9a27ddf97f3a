#include "calendar/ui/entry_widgets.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPixmap>
#include <QVBoxLayout>

#include "calendar/entry_checks.h"
#include "ui/calendar_ctrl.h"

namespace almx {

QColor ColourToQ(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

std::uint32_t ColourFromQ(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) |
           (static_cast<std::uint32_t>(colour.green()) << 8) |
           (static_cast<std::uint32_t>(colour.blue()) << 16);
}

std::optional<DateTime> PickDate(QWidget* parent, const DateTime& initial) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("カレンダー"));
    auto* calendar = new CVeltaCalenderCtrl(&dialog, QRect(0, 0, 224, 200), 400);
    calendar->setObjectName(QStringLiteral("pickCalendar"));
    calendar->setFixedSize(224, 200);
    calendar->SetRows(6);  // every day of every month can be picked
    if (initial.IsValid()) calendar->SetDate(initial);
    QObject::connect(calendar, &CVeltaCalenderCtrl::DoubleClicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(calendar);
    layout->addWidget(OkCancelButtons(&dialog));
    calendar->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return calendar->Date();
}

DateField::DateField(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QPushButton("カレンダー", this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit_, 1);
    layout->addWidget(button_);
    edit_->setMinimumWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00")) +
                           16);
    connect(edit_, &QLineEdit::textEdited, this, &DateField::Edited);
    connect(button_, &QPushButton::clicked, this, [this] {
        std::optional<DateTime> current = ParseDate(Text());
        if (auto picked = PickDate(this, current ? *current : DateTime::Invalid())) {
            SetText(FormatDate(*picked));
            emit Edited();
        }
    });
}

TimeCombo::TimeCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& time : HalfHourTimes()) addItem(ToQ(time));
    setMaxVisibleItems(12);
    setEditText(QString());
}

EntryColourButton::EntryColourButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    connect(this, &QPushButton::clicked, this, &EntryColourButton::Choose);
    SetColour(0);
}

void EntryColourButton::SetColour(std::uint32_t colour) {
    colour_ = colour & 0xFFFFFF;
    QPixmap swatch(14, 14);
    swatch.fill(ColourToQ(colour_));
    setIcon(QIcon(swatch));
}

void EntryColourButton::Choose() {
    QColor chosen = QColorDialog::getColor(ColourToQ(colour_), this, QStringLiteral("色の設定"));
    if (!chosen.isValid()) return;
    SetColour(ColourFromQ(chosen));
    emit ColourChanged(colour_);
}

QDialogButtonBox* OkCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace almx
