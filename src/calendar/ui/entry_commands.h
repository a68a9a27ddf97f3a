#pragma once
// The entry commands as the views call them: each opens its dialog and puts the result into
// the document (in time order with "System"/"SchSort"), marks it modified and refreshes every
// view. Each returns true when the document changed.

#include <QWidget>
#include <functional>
#include <optional>

#include "base/date_time.h"
#include "links/link_actions.h"

namespace almx {

class CAlmxData;
class Clock;
class DocumentHost;
class Prompter;
class SettingsStore;

struct EntryEnvironment {
    SettingsStore& settings;
    Prompter& prompter;
    const Clock& clock;
    // The link dialogs and the launcher; without them links cannot be edited or opened.
    std::optional<LinkServices> links = std::nullopt;
};

// 32781: a new schedule on the day.
bool AddSchedule(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
                 const DateTime& day);
// 32846: a new to-do (its deadline preset from today).
bool AddTodo(QWidget* parent, DocumentHost& host, const EntryEnvironment& env);
// Edit (Enter, double click on an entry): the schedule or to-do dialog on a copy of a record
// of the document; an entry computed for display is refused with a message.
bool EditRecord(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
                const CAlmxData* record);
// 32768 on a day (month view, double click): the day dialog with the day's entries.
bool EditDay(QWidget* parent, DocumentHost& host, const EntryEnvironment& env, const DateTime& day);
// 32836 on a record: the consecutive copy.
bool RepeatedCopy(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
                  const CAlmxData* record);
// 32836 on a day: the copy of its one entry, or the day dialog to choose among several.
bool RepeatedCopyOnDay(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
                       const DateTime& day);
// 32829 on a record: opens its linked file, asking for a link when it has none.
bool OpenLink(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
              const CAlmxData* record);
// 32902: the day-count dialog, starting with the day.
void DaysFromToday(QWidget* parent, const EntryEnvironment& env, const DateTime& day);

// Command ids of the entry commands.
enum EntryCommand : int {
    kEditCommand = 32768,
    kAddScheduleCommand = 32781,
    kRepeatedCopyCommand = 32836,
    kAddTodoCommand = 32846,
    kDaysFromTodayCommand = 32902,
};

// Gives a day-based view (the month and week views) its five entry commands: install(id,
// handler) registers each; selectedDay() is the day they act on.
void InstallDayEntryCommands(const std::function<void(int, std::function<void()>)>& install,
                             QWidget* view, DocumentHost& host, const EntryEnvironment& env,
                             std::function<DateTime()> selectedDay);

}  // namespace almx
