#include "views/placeholder_view.h"

#include <QPainter>

namespace almx {

namespace {
constexpr int kTakeDocumentDate = 32931;
}  // namespace

PlaceholderView::PlaceholderView(DocumentHost& host, QString caption, QWidget* parent)
    : ViewBase(host, parent), caption_(std::move(caption)), date_(host.SharedDate()) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

bool PlaceholderView::OnCommand(int id) {
    if (id != kTakeDocumentDate) return false;
    date_ = Host().SharedDate();
    update();
    return true;
}

std::optional<CommandState> PlaceholderView::CommandStatus(int id) const {
    if (id == kTakeDocumentDate) return CommandState{};
    return std::nullopt;
}

void PlaceholderView::OnUpdate(QObject*, int, const CAlmxData*) {
    update();
}

void PlaceholderView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect(), Qt::AlignCenter,
                     caption_ + QLatin1Char('\n') + QString::fromStdString(FormatDate(date_)));
}

}  // namespace almx
