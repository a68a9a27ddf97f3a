#include "ui/colour_button.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include "ui/qt_colour.h"

namespace almx {

ColourButton::ColourButton(std::uint32_t colour, QWidget* parent)
    : QPushButton(parent), colour_(colour) {
    setMinimumWidth(64);
    SetColour(colour);
    connect(this, &QPushButton::clicked, this, &ColourButton::Choose);
}

void ColourButton::SetColour(std::uint32_t colour) {
    colour_ = colour & 0xFFFFFFu;
    QPixmap swatch(40, 14);
    swatch.fill(ToQColor(colour_));
    QPainter painter(&swatch);
    painter.setPen(Qt::darkGray);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    setIcon(QIcon(swatch));
    setIconSize(swatch.size());
}

void ColourButton::Choose() {
    std::uint32_t colour = colour_;
    if (!ChooseColour(this, QStringLiteral("色の設定"), colour)) return;
    SetColour(colour);
    emit ColourChanged(colour_);
}

bool ChooseColour(QWidget* parent, const QString& caption, std::uint32_t& colour) {
    QColor chosen = QColorDialog::getColor(ToQColor(colour), parent, caption);
    if (!chosen.isValid()) return false;
    colour = FromQColor(chosen);
    return true;
}

}  // namespace almx
