#include "core/record_sort.h"

#include <cstddef>
#include <string>
#include <utility>

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

// Classic heap sort with explicit bounds, so a comparison that is not a strict weak order
// (dates within a day of each other) can reorder but never run off the array.
template <typename Less>
void HeapSort(std::vector<SortItem>& items, Less less) {
    const std::size_t n = items.size();
    auto siftDown = [&](std::size_t root, std::size_t size) {
        while (true) {
            std::size_t child = 2 * root + 1;
            if (child >= size) return;
            if (child + 1 < size && less(items[child], items[child + 1])) ++child;
            if (!less(items[root], items[child])) return;
            std::swap(items[root], items[child]);
            root = child;
        }
    };
    for (std::size_t i = n / 2; i-- > 0;) siftDown(i, n);
    for (std::size_t end = n; end > 1; --end) {
        std::swap(items[0], items[end - 1]);
        siftDown(0, end - 1);
    }
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
    HeapSort(items,
             [&](const SortItem& a, const SortItem& b) { return sign * Compare(a, b, key) < 0; });
    std::vector<std::size_t> sorted;
    sorted.reserve(items.size());
    for (const SortItem& item : items) sorted.push_back(item.index);
    records.Reorder(sorted);
}

}  // namespace almx
