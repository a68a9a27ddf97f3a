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
#include "core/display_settings.h"
#include "views/view_base.h"

class QMenu;
class QPoint;
class QWheelEvent;

namespace almx {

class Clock;
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

  protected:
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
    std::map<int, std::function<void()>> handlers_;
};

}  // namespace almx
