#pragma once
// What the month, week and diary views share: the settings they read, the dialogs they ask
// (one seam each, so tests answer them), and the wheel that steps their date.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "base/date_time.h"
#include "calendar/month_grid.h"
#include "core/display_settings.h"
#include "views/view_base.h"

class QMenu;
class QPoint;
class QWheelEvent;

namespace almx {

class Clock;
struct DayCellSettings;
class Prompter;
class SettingsStore;

// One item of a context menu: its command and label.
struct ContextMenuItem {
    int id;
    const char* label;
};

class CalendarViewBase : public ViewBase {
    Q_OBJECT
  public:
    CalendarViewBase(DocumentHost& host, DisplaySettings& display, SettingsStore& settings,
                     Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);

    // Commands whose dialogs come with other parts of the program: the application sets their
    // handlers; an empty handler removes one.
    void SetCommandHandler(int id, std::function<void()> handler);

    // The text last given to the status bar.
    const QString& StatusText() const { return status_; }

  signals:
    void StatusTextChanged(const QString& text);

  protected:
    DateTime Today() const;
    // The date the document holds for its views, taken once (the host then holds none).
    std::optional<DateTime> TakeHeldDate();
    // The held date, else today.
    DateTime TakeSharedDate() { return TakeHeldDate().value_or(Today()); }
    DayCellSettings CellSettings() const;

    void SetStatus(const QString& text);
    // Today's date and weekday in the status bar.
    void UpdateStatus();
    virtual const char* StatusWeekdayName(int weekday) const;

    // A digit without modifiers adds to the date being typed (shown in the status bar); a
    // finished date goes to GoToTypedDate. False for any other key.
    bool TakeDigitKey(int key, Qt::KeyboardModifiers modifiers);
    virtual void GoToTypedDate(const DateTime&) {}
    bool TypingDate() const { return digits_.Active(); }
    // Ends a date entry in progress, the status bar showing today again.
    void CancelDigits();

    // The document host starts without a shared date: its default value (the epoch) means none.
    static bool HoldsDate(const DateTime& date);
    static bool IsOneOf(int id, std::span<const int> ids);

    bool HasHandler(int id) const { return handlers_.count(id) != 0; }
    // Runs the handler set for the command; false when there is none.
    bool RunHandler(int id);
    void AddMenuItems(QMenu& menu, std::span<const ContextMenuItem> items);

    virtual std::optional<std::uint32_t> ChooseColour(std::uint32_t initial);
    virtual std::optional<FontSpec> ChooseFont(const FontSpec& current);
    virtual std::optional<DateTime> AskDate(const DateTime& initial);
    virtual std::optional<int> AskDaySpan();
    virtual std::optional<std::string> ChoosePicture(const std::string& current);
    virtual void RunContextMenu(QMenu& menu, const QPoint& globalPos);

    // Runs a command per whole notch of the wheel: towards the user is the next step.
    void StepByWheel(QWheelEvent* event, int nextCommand, int previousCommand);

    DisplaySettings& display_;
    SettingsStore& settings_;
    Prompter& prompter_;
    const Clock& clock_;

  private:
    int wheelDelta_ = 0;
    QString status_;
    DigitDateEntry digits_;
    std::map<int, std::function<void()>> handlers_;
};

}  // namespace almx
