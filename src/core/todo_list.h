#pragma once
// What the to-do list shows and does, without the window: its rows in order, the texts of its
// cells, the exchange of one up / one down, marking a to-do done, and pasting a record line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"
#include "core/multi_sort.h"

namespace almx {

class CAlmxArray;
class CAlmxData;
class Prompter;
class RecordList;
struct RecordDefaults;

// "緊急", "A" .. "E"; an importance outside them is shown as its number.
std::string ImportanceName(int importance);

// Deadline display modes ("Todo"/"KigenMode").
enum TodoDeadlineMode : int { TodoShowDaysLeft = 0, TodoShowDeadline = 1 };

// "あと%2d日" for a deadline today or later (whole days, truncated), "期限over" before today.
std::string DaysLeftText(const DateTime& deadline, const DateTime& today);

// The five cells of a row: 完了, 重要度, 期限, 完了日付, 内容.
struct TodoRowTexts {
    std::string done;
    std::string importance;
    std::string deadline;
    std::string completion;
    std::string title;
};
TodoRowTexts TodoRow(const CAlmxData& todo, int deadlineMode, const DateTime& today);

// Every to-do of the container, in container order, then sorted by the keys.
std::vector<const CAlmxData*> TodoRows(const RecordList& records, const SortKeyList& keys);

// Exchanges two records' places in the container. The record now at the other's place, or
// nullptr when either is not a record of the container.
const CAlmxData* ExchangeRecords(CAlmxArray& array, const CAlmxData* a, const CAlmxData* b);

// Marks a to-do done (completed today) or open again; false when it is no to-do of the
// container or already in that state.
bool SetTodoDone(CAlmxArray& array, const CAlmxData* todo, bool done, const DateTime& today);

// A record from the clipboard's whole text: when it holds a comma and splits into exactly 26
// cells that read as a record line. Anything else gives nothing.
std::optional<CAlmxData> RecordFromClipboard(std::string_view text, const RecordDefaults& defaults);

// The to-do list's paste: RecordFromClipboard, refused (the field named) when a text of the
// record has a character the schedule file cannot hold.
std::optional<CAlmxData> RecordToPaste(std::string_view text, const RecordDefaults& defaults,
                                       Prompter& prompter);

}  // namespace almx
