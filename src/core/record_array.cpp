#include "core/record_array.h"

#include <algorithm>
#include <functional>

namespace almx {

void CAlmxArray::Clear() {
    records.clear();
    dayProperties.clear();
    genres.Clear();
    memoPages.clear();
}

bool CAlmxArray::Contains(const CAlmxData* record) const {
    return IndexOf(record) < records.size();
}

std::size_t CAlmxArray::IndexOf(const CAlmxData* record) const {
    if (record == nullptr || records.empty()) return records.size();
    // Pointers into other objects are not ordered with ours; std::less gives a total order.
    std::less<const CAlmxData*> before;
    const CAlmxData* first = records.data();
    const CAlmxData* last = first + records.size();
    if (before(record, first) || !before(record, last)) return records.size();
    return static_cast<std::size_t>(record - first);
}

std::size_t CAlmxArray::ScheduleCount() const {
    return records.size() - TodoCount();
}

std::size_t CAlmxArray::TodoCount() const {
    return static_cast<std::size_t>(std::count_if(
        records.begin(), records.end(), [](const CAlmxData& r) { return r.Has(IsTodo); }));
}

}  // namespace almx
