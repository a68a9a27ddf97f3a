#include "core/record_sort.h"

#include <cstddef>
#include <string>
#include <utility>

#include "core/multi_sort.h"
#include "core/record_list.h"
#include "text/encoding.h"
#include "text/sjis_chars.h"

namespace almx {

namespace {

struct SortItem {
    double start;
    double end;
    int genre;
    std::string title;  // Shift_JIS, ASCII letters folded to lower case
    std::size_t index;
};

int CompareDays(double a, double b) {
    // Whole days of the difference, truncated toward zero: the same day counts as equal.
    auto days = static_cast<long long>(a - b);
    return days < 0 ? -1 : days > 0 ? 1 : 0;
}

int Compare(const SortItem& a, const SortItem& b, SortKey key) {
    int result = 0;
    switch (key) {
        case SortKey::Start:
            result = CompareDays(a.start, b.start);
            if (result != 0) return result;
            [[fallthrough]];
        case SortKey::End:
            result = CompareDays(a.end, b.end);
            if (result != 0) return result;
            [[fallthrough]];
        case SortKey::Genre:
            result = a.genre < b.genre ? -1 : a.genre > b.genre ? 1 : 0;
            if (result != 0) return result;
            [[fallthrough]];
        case SortKey::Title:
            result = a.title.compare(b.title);
            break;
    }
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

}  // namespace

void SortRecords(RecordList& records, SortKey key, SortOrder order) {
    std::vector<SortItem> items;
    items.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CAlmxData& r = records[i];
        // Every key falls through to the title.
        items.push_back(
            {r.start.Days(), r.end.Days(), r.genre, text::CaseFoldedShiftJis(r.title), i});
    }
    const int sign = order == SortOrder::Descending ? -1 : 1;
    // The lists' heap sort: it decides the order of records that compare equal.
    HeapSortInPlace(
        items, [&](const SortItem& a, const SortItem& b) { return sign * Compare(a, b, key); });
    std::vector<std::size_t> sorted;
    sorted.reserve(items.size());
    for (const SortItem& item : items) sorted.push_back(item.index);
    records.Reorder(sorted);
}

}  // namespace almx
