#include "views/calendar_view_base.h"

#include <QFileDialog>
#include <QMenu>
#include <QWheelEvent>
#include <algorithm>

#include "calendar/month_grid.h"

#include "views/day_commands.h"
#include "views/list_support.h"
#include "views/view_dialogs.h"

namespace almx {

CalendarViewBase::CalendarViewBase(DocumentHost& host, DisplaySettings& display,
                                   SettingsStore& settings, Prompter& prompter, const Clock& clock,
                                   QWidget* parent)
    : ViewBase(host, parent),
      display_(display),
      settings_(settings),
      prompter_(prompter),
      clock_(clock) {}

void CalendarViewBase::SetCommandHandler(int id, std::function<void()> handler) {
    if (handler) {
        handlers_[id] = std::move(handler);
    } else {
        handlers_.erase(id);
    }
}

bool CalendarViewBase::HoldsDate(const DateTime& date) {
    return date.IsValid() && date != DateTime() && InCalendarRange(date);
}

bool CalendarViewBase::IsOneOf(int id, std::span<const int> ids) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool CalendarViewBase::RunHandler(int id) {
    const auto handler = handlers_.find(id);
    if (handler == handlers_.end()) return false;
    handler->second();
    return true;
}

void CalendarViewBase::AddMenuItems(QMenu& menu, std::span<const ContextMenuItem> items) {
    for (const ContextMenuItem& item : items)
        AddCommandItem(menu, item.id, QString::fromUtf8(item.label));
}

std::optional<std::uint32_t> CalendarViewBase::ChooseColour(std::uint32_t initial) {
    return AskColour(this, initial);
}

std::optional<FontSpec> CalendarViewBase::ChooseFont(const FontSpec& current) {
    return AskFont(this, current);
}

std::optional<DateTime> CalendarViewBase::AskDate(const DateTime& initial) {
    return AskGoToDate(this, initial, prompter_);
}

std::optional<int> CalendarViewBase::AskDaySpan() {
    return AskDaysToMove(this);
}

std::optional<std::string> CalendarViewBase::ChoosePicture(const std::string& current) {
    const QString path = QFileDialog::getOpenFileName(this, QString::fromUtf8(kPictureCaption),
                                                      QString::fromStdString(current),
                                                      QString::fromUtf8(kPictureFilter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

void CalendarViewBase::RunContextMenu(QMenu& menu, const QPoint& globalPos) {
    menu.exec(globalPos);
}

void CalendarViewBase::StepByWheel(QWheelEvent* event, int nextCommand, int previousCommand) {
    wheelDelta_ += event->angleDelta().y();
    while (wheelDelta_ <= -120) {
        wheelDelta_ += 120;
        OnCommand(nextCommand);
    }
    while (wheelDelta_ >= 120) {
        wheelDelta_ -= 120;
        OnCommand(previousCommand);
    }
    event->accept();
}

}  // namespace almx
