#include "calendar/schedule_list.h"

#include "calendar/recurrence.h"
#include "core/genre.h"
#include "core/record.h"
#include "core/record_list.h"

namespace almx {

const std::array<const char*, kScheduleColumnCount>& ScheduleColumnHeadings() {
    static const std::array<const char*, kScheduleColumnCount> headings{
        "種別", "開始", "終了", "内容", "場所", "繰り返し", "ジャンル"};
    return headings;
}

ScheduleRowTexts ScheduleRow(const CAlmxData& record, const CAlmxFieldArray& genres) {
    ScheduleRowTexts row;
    const bool todo = record.Has(IsTodo);
    const bool done = record.Has(TodoDone);
    row[0] = todo ? "Todo" : "";
    if (!todo || done || !record.Has(TodoNoDeadline)) row[1] = FormatDate(record.start);
    row[2] = !todo || done ? FormatDate(record.end) : "未完了";
    row[3] = record.title;
    row[4] = record.place;
    if (!todo && record.IsRecurring()) row[5] = RepeatText(record);
    if (const CAlmxField* genre = genres.At(record.genre)) row[6] = genre->name;
    return row;
}

std::vector<const CAlmxData*> ScheduleRows(const RecordList& records,
                                           const SearchCondition& condition,
                                           const SortKeyList& keys) {
    const SearchMatcher matcher(condition);
    std::vector<const CAlmxData*> hits;
    for (const CAlmxData& record : records) {
        if (matcher.Matches(record)) hits.push_back(&record);
    }
    return SortForList(SortListKind::Schedule, hits, keys);
}

}  // namespace almx
