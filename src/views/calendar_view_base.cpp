#include "views/calendar_view_base.h"

#include <QFileDialog>
#include <QMenu>
#include <QWheelEvent>
#include <algorithm>

#include "base/clock.h"
#include "calendar/day_cells.h"

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

DateTime CalendarViewBase::Today() const {
    return almx::Today(clock_, display_.todayLimit);
}

std::optional<DateTime> CalendarViewBase::TakeHeldDate() {
    const DateTime shared = Host().SharedDate();
    if (!HoldsDate(shared)) return std::nullopt;
    Host().SetSharedDate(DateTime::Invalid());
    return shared;
}

void CalendarViewBase::SetStatus(const QString& text) {
    status_ = text;
    emit StatusTextChanged(text);
}

void CalendarViewBase::UpdateStatus() {
    const DateTime today = Today();
    SetStatus(QString::fromStdString(StatusDateText(today, StatusWeekdayName(today.DayOfWeek()))));
}

const char* CalendarViewBase::StatusWeekdayName(int weekday) const {
    return display_.WeekdayName(weekday);
}

bool CalendarViewBase::TakeDigitKey(int key, Qt::KeyboardModifiers modifiers) {
    if (key < Qt::Key_0 || key > Qt::Key_9 || modifiers != Qt::NoModifier) return false;
    const DigitDateEntry::Step step = digits_.Add(key - Qt::Key_0, Today());
    if (!step.finished) {
        SetStatus(QString::fromStdString(digits_.StatusText()));
    } else if (step.date) {
        GoToTypedDate(*step.date);
    } else {
        UpdateStatus();
    }
    return true;
}

void CalendarViewBase::CancelDigits() {
    if (!digits_.Active()) return;
    digits_.Cancel();
    UpdateStatus();
}

DayCellSettings CalendarViewBase::CellSettings() const {
    DayCellSettings s;
    s.todayLimit = display_.todayLimit;
    s.sortByTime = display_.schSort;
    s.todoOnDeadline = display_.todoPos == 1;
    s.backColour = display_.backColor;
    s.otherColour = display_.otherColor;
    s.otherMonthKeepsDayColours = display_.otherMonthDayColor;
    s.holidays.equinoxAndBetween = display_.shunbun;
    s.holidays.substitute = display_.hurikae;
    s.recordDefaults.alarmMinutes = display_.alarmMinutes;
    s.recordDefaults.alarmMode = display_.alarmMode;
    return s;
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
