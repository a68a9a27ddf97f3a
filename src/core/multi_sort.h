#pragma once
// The multi-key order of the schedule list and the to-do list: six key numbers with their
// directions, the record comparison of each list, the heap sort that decides the order of
// records comparing equal, and the form behind the sort order dialog (整列).

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace almx {

class CAlmxData;
class SettingsStore;

inline constexpr int kSortKeyCount = 6;

// Which list a key list orders: the numbers mean different fields in each.
enum class SortListKind { Schedule, Todo };

// Schedule list keys: 0 kind, 1 start, 2 end, 3 genre, 4 title, 5 place.
// To-do list keys: 0 deadline, 1 completion, 2 importance, 3 genre, 4 title, 5 done.
struct SortKeyList {
    std::array<int, kSortKeyCount> keys{1, 2, 0, 3, 4, 5};
    std::array<int, kSortKeyCount> directions{1, 0, 0, 1, 1, 0};  // 1 descending

    bool operator==(const SortKeyList&) const = default;

    // "Item%d" and "Mode%d" of the section ("SchSort", "TodoSort"); defaults when missing.
    static SortKeyList Load(const SettingsStore& settings, const char* section);
    void Store(SettingsStore& settings, const char* section) const;
};

// The name of a key in the dialog; the number itself for a key the list does not know.
std::string SortKeyName(SortListKind kind, int key);

// Precomputed keys of one record, so a sort of many records converts each text once. The
// texts belong to the sort that made the entry.
struct SortEntry {
    const CAlmxData* record = nullptr;
    std::string_view title;  // Shift_JIS, ASCII letters folded to lower case
    std::string_view place;
};

// Negative, zero or positive: a sorts before, with, or after b.
int CompareForList(SortListKind kind, const SortEntry& a, const SortEntry& b,
                   const SortKeyList& keys);

// Heap sort with 1-based positions and the sift-down that stops on "greater or equal": the
// order of equal elements is the one this algorithm gives, as both lists show it.
template <typename T, typename Compare>
void HeapSortInPlace(std::vector<T>& items, Compare compare) {
    const std::size_t n = items.size();
    if (n < 2) return;
    // at(i) is 1-based.
    auto at = [&](std::size_t i) -> T& { return items[i - 1]; };
    auto siftDown = [&](T element, std::size_t i, std::size_t k) {
        while (2 * i <= k) {
            std::size_t j = 2 * i;
            if (j < k && compare(at(j), at(j + 1)) < 0) ++j;
            if (compare(element, at(j)) >= 0) break;
            at(i) = std::move(at(j));
            i = j;
        }
        at(i) = std::move(element);
    };
    for (std::size_t i = n / 2; i >= 1; --i) siftDown(std::move(at(i)), i, n);
    for (std::size_t m = n; m >= 2; --m) {
        T taken = std::move(at(m));
        at(m) = std::move(at(1));
        siftDown(std::move(taken), 1, m - 1);
    }
}

// The records in the list's order.
std::vector<const CAlmxData*> SortForList(SortListKind kind,
                                          std::span<const CAlmxData* const> records,
                                          const SortKeyList& keys);

// The sort order dialog: the list of key positions, moving a key with its direction, and
// setting a direction. Every change acts on the list it was given at once.
class MultiSortForm {
  public:
    MultiSortForm(SortListKind kind, SortKeyList& keys) : kind_(kind), keys_(keys) {}

    // Each position as the key's name followed by "（昇順）" or "（降順）".
    std::vector<std::string> Items() const;
    // The position selected afterwards; the first cannot move up, the last not down.
    int MoveUp(int position);
    int MoveDown(int position);
    void SetDirection(int position, bool descending);

  private:
    SortListKind kind_;
    SortKeyList& keys_;
};

}  // namespace almx
