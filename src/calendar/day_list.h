#pragma once
// What the day list does with the entries of the selected day, without the window: one up and
// one down, which exchange records in the document's container.

#include <span>

namespace almx {

class CAlmxArray;
class CAlmxData;

inline constexpr const char* kAutomaticEntryMessage =
    "Almanixが自動的に設定したスケジュールは移動できません";

enum class DayMoveResult {
    Moved,
    Unmoved,    // no row, the first row up or the last row down: nothing to do
    Automatic,  // a holiday entry computed for display: say kAutomaticEntryMessage
};

struct DayMove {
    DayMoveResult result = DayMoveResult::Unmoved;
    // The moved record at its new place in the container, when moved.
    const CAlmxData* moved = nullptr;
};

// Exchanges the entry of the row with its neighbour above (step -1) or below (step 1) in the
// container. The day's order changes only where it depends on the container's order.
DayMove MoveDayEntry(CAlmxArray& array, std::span<const CAlmxData* const> rows, int row, int step);

// The row showing the record, or -1.
int RowOfEntry(std::span<const CAlmxData* const> rows, const CAlmxData* record);

}  // namespace almx
