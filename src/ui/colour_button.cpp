#include "ui/colour_button.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

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
    // At the button's device-pixel ratio: a sharp edge on a screen of ratio 2.
    const qreal ratio = std::max<qreal>(1, devicePixelRatioF());
    QPixmap swatch(QSize(40, 14) * ratio);
    swatch.setDevicePixelRatio(ratio);
    swatch.fill(ToQColor(colour_));
    QPainter painter(&swatch);
    painter.setPen(QPen(Qt::darkGray, 0));
    painter.drawRect(QRectF(0.5, 0.5, 39, 13));
    painter.end();
    setIcon(QIcon(swatch));
    setIconSize(QSize(40, 14));
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
