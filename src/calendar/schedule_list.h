#pragma once
// What the schedule list (検索リスト) shows, without the window: the records matching its
// condition in the order of its keys, and the texts of a row's seven cells.

#include <array>
#include <string>
#include <vector>

#include "core/multi_sort.h"
#include "core/search_condition.h"

namespace almx {

class CAlmxData;
class CAlmxFieldArray;
class RecordList;

inline constexpr int kScheduleColumnCount = 7;
// "種別", "開始", "終了", "内容", "場所", "繰り返し", "ジャンル".
const std::array<const char*, kScheduleColumnCount>& ScheduleColumnHeadings();

using ScheduleRowTexts = std::array<std::string, kScheduleColumnCount>;
ScheduleRowTexts ScheduleRow(const CAlmxData& record, const CAlmxFieldArray& genres);

// Every record matching the condition, in container order, then sorted by the keys.
std::vector<const CAlmxData*> ScheduleRows(const RecordList& records,
                                           const SearchCondition& condition,
                                           const SortKeyList& keys);

}  // namespace almx
