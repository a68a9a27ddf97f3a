#pragma once
// What the month, week and diary views share: the settings they read, the dialogs they ask
// (one seam each, so tests answer them), and the wheel that steps their date.

#include <cstdint>
#include <optional>
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

class CalendarViewBase : public ViewBase {
    Q_OBJECT
  public:
    CalendarViewBase(DocumentHost& host, DisplaySettings& display, SettingsStore& settings,
                     Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);

  protected:
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
};

}  // namespace almx
