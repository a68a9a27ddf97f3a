#include "core/record_array.h"

#include <algorithm>

namespace almx {

void CAlmxArray::Clear() {
    records.clear();
    dayProperties.clear();
    genres.Clear();
    memoPages.clear();
}

std::size_t CAlmxArray::ScheduleCount() const {
    return records.size() - TodoCount();
}

std::size_t CAlmxArray::TodoCount() const {
    return static_cast<std::size_t>(std::count_if(
        records.begin(), records.end(), [](const CAlmxData& r) { return r.Has(IsTodo); }));
}

}  // namespace almx
