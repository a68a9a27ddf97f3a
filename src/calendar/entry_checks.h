#pragma once
// What every entry dialog shares: the read-only refusal, the cancel question, the time texts
// of the combo boxes, full-width time texts, and the refusal of text the schedule file cannot
// hold.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_entry_check.h"

namespace almx {

class Prompter;
class SettingsStore;

inline constexpr const char* kReadOnlyEditMessage =
    "読み取り専用ファイルのため、変更は反映されません";
inline constexpr const char* kCancelQuestion = "画面を閉じます";

// How an entry dialog's OK ended.
enum class EntryResult {
    Accepted,  // the record was written; close the dialog
    Stay,      // a check failed and said why; the dialog stays open
    Closed,    // read-only document: the dialog closes without changes
};

// "%02d:00" and "%02d:30" for the hours 0 to 23: the 48 entries of the time combo boxes.
std::vector<std::string> HalfHourTimes();

// A time text with full-width digits, colon and the like turned into their half-width forms.
std::string TimeTextToHalfWidth(std::string_view text);

// Cancel of an entry dialog: with "Edit"/"Cancel" on, asks "画面を閉じます"; only No keeps the
// dialog open. True when the dialog may close.
bool ConfirmCancel(Prompter& prompter, const SettingsStore& settings);

}  // namespace almx
