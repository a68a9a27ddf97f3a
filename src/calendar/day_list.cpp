#include "calendar/day_list.h"

#include <cstddef>
#include <utility>

#include "core/record_array.h"

namespace almx {

DayMove MoveDayEntry(CAlmxArray& array, std::span<const CAlmxData* const> rows, int row, int step) {
    const long count = static_cast<long>(rows.size());
    const long other = static_cast<long>(row) + step;
    if ((step != -1 && step != 1) || row < 0 || row >= count || other < 0 || other >= count) {
        return {};
    }
    const CAlmxData* selected = rows[static_cast<std::size_t>(row)];
    const CAlmxData* neighbour = rows[static_cast<std::size_t>(other)];
    if (!array.Contains(selected) || !array.Contains(neighbour)) {
        return {DayMoveResult::Automatic, nullptr};
    }
    const std::size_t from = array.IndexOf(selected);
    const std::size_t to = array.IndexOf(neighbour);
    array.records.Swap(from, to);
    return {DayMoveResult::Moved, &array.records[to]};
}

int RowOfEntry(std::span<const CAlmxData* const> rows, const CAlmxData* record) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == record) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace almx
