#pragma once
// Putting a new or edited record into the document's container. With "System"/"SchSort" on a
// schedule goes where time order puts it; to-dos and everything with the setting off go last.

#include <cstddef>
#include "core/record_list.h"

namespace almx {

// Inserts the record and returns its index: a schedule, when sortByTime, before the first
// schedule that starts later (untimed starts count as 00:00, equal starts keep their order);
// otherwise at the end.
std::size_t InsertRecord(RecordList& records, CAlmxData record, bool sortByTime);

// Puts the edited record in place of the one at index and returns its index afterwards. A
// schedule whose start changed moves to its place in time order when sortByTime; otherwise
// the record keeps its place (and the order the user gave it). Either way it keeps its address.
std::size_t ReplaceRecord(RecordList& records, std::size_t index, CAlmxData edited,
                          bool sortByTime);

}  // namespace almx
