#pragma once
// The sort command (整列): a heap sort of the records by start, end, genre or title.

namespace almx {

class RecordList;

enum class SortKey : int { Start = 0, End = 1, Genre = 2, Title = 3 };
enum class SortOrder : int { Ascending = 0, Descending = 1 };

// Equal keys fall through to the later keys of start, end, genre, title. Dates compare by the
// whole days of their difference; titles by their Shift_JIS bytes without regard to ASCII
// case. Equal records do not keep their previous order.
void SortRecords(RecordList& records, SortKey key, SortOrder order);

}  // namespace almx
