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

std::size_t InsertionIndex(const RecordList& records, const CAlmxData& record, bool sortByTime) {
    if (!sortByTime || record.Has(IsTodo)) return records.size();
    const DateTime key = SortKey(record);
    const auto place = std::find_if(records.begin(), records.end(), [&](const CAlmxData& other) {
        return StartsAfter(other, key);
    });
    return static_cast<std::size_t>(place - records.begin());
}

}  // namespace

std::size_t InsertRecord(RecordList& records, CAlmxData record, bool sortByTime) {
    const std::size_t index = InsertionIndex(records, record, sortByTime);
    records.Insert(index, std::move(record));
    return index;
}

std::size_t ReplaceRecord(RecordList& records, std::size_t index, CAlmxData edited,
                          bool sortByTime) {
    if (index >= records.size()) return InsertRecord(records, std::move(edited), sortByTime);
    CAlmxData& old = records[index];
    const bool moved = SortKey(old) != SortKey(edited) || old.Has(IsTodo) != edited.Has(IsTodo);
    old = std::move(edited);
    if (!sortByTime || old.Has(IsTodo) || !moved) return index;
    // The edited record keeps its identity while it moves to its place in time order.
    std::unique_ptr<CAlmxData> taken = records.Take(index);
    const std::size_t place = InsertionIndex(records, *taken, sortByTime);
    records.Put(place, std::move(taken));
    return place;
}

}  // namespace almx
