#pragma once
// Find, find next and find previous as a calendar view runs them (57636, 32822, 32823): the
// dialog, the document's search, and the day to show. The month view calls it; the week view
// is to call it the same way.

#include <functional>
#include <optional>

#include "base/date_time.h"

namespace almx {

class CAlmxData;
class CAlmxDoc;
class Prompter;
class SettingsStore;
struct SearchCondition;

inline constexpr int kFindCommand = 57636;
inline constexpr int kFindNextCommand = 32822;
inline constexpr int kFindPreviousCommand = 32823;
inline constexpr const char* kNotFoundMessage = "見つかりません";

// The find dialog's write-back on "開始": no target ticked means the title; the condition is
// stored under its section.
void ConfirmFindCondition(SearchCondition& condition, SettingsStore& settings);

// Edits the condition in place; false when cancelled.
using AskFindCondition = std::function<bool(SearchCondition& condition)>;

// The day a hit is shown on: its start's logical date with the day change hour.
DateTime SearchHitDay(const CAlmxData& record, int todayLimit);

// Runs one of the three commands. The hit, or nullptr when the dialog was cancelled or nothing
// was found ("見つかりません" said then).
const CAlmxData* RunScheduleFind(CAlmxDoc& document, int command, SettingsStore& settings,
                                 Prompter& prompter, const AskFindCondition& ask);

}  // namespace almx
