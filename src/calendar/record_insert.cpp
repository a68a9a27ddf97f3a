#include "calendar/record_insert.h"

#include <algorithm>

namespace almx {

namespace {

DateTime SortKey(const CAlmxData& record) {
    return record.Has(StartTimeSet) ? record.start : record.start.Date();
}

bool StartsAfter(const CAlmxData& record, const DateTime& key) {
    return !record.Has(IsTodo) && key < SortKey(record);
}

}  // namespace

std::size_t InsertRecord(std::vector<CAlmxData>& records, CAlmxData record, bool sortByTime) {
    auto place = records.end();
    if (sortByTime && !record.Has(IsTodo)) {
        const DateTime key = SortKey(record);
        place = std::find_if(records.begin(), records.end(),
                             [&](const CAlmxData& other) { return StartsAfter(other, key); });
    }
    place = records.insert(place, std::move(record));
    return static_cast<std::size_t>(place - records.begin());
}

std::size_t ReplaceRecord(std::vector<CAlmxData>& records, std::size_t index, CAlmxData edited,
                          bool sortByTime) {
    if (index >= records.size()) return InsertRecord(records, std::move(edited), sortByTime);
    CAlmxData& old = records[index];
    const bool moved = SortKey(old) != SortKey(edited) || old.Has(IsTodo) != edited.Has(IsTodo);
    if (!sortByTime || edited.Has(IsTodo) || !moved) {
        old = std::move(edited);
        return index;
    }
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(index));
    return InsertRecord(records, std::move(edited), sortByTime);
}

}  // namespace almx
