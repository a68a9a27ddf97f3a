#include "core/multi_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/settings_store.h"
#include "core/record.h"
#include "core/record_list.h"
#include "core/record_sort.h"

namespace almx {
namespace {

CAlmxData Schedule(const char* title, const DateTime& start, const DateTime& end) {
    CAlmxData r;
    r.title = title;
    r.start = start;
    r.end = end;
    return r;
}

CAlmxData Todo(const char* title, int importance) {
    CAlmxData r;
    r.title = title;
    r.todoImportance = static_cast<std::uint16_t>(importance);
    r.Set(IsTodo);
    return r;
}

DateTime At(int y, int m, int d, int h = 0, int min = 0) {
    return DateTime::FromParts(y, m, d, h, min);
}

std::vector<std::string> Titles(SortListKind kind, const std::vector<CAlmxData>& records,
                                const SortKeyList& keys) {
    std::vector<const CAlmxData*> pointers;
    for (const CAlmxData& r : records) pointers.push_back(&r);
    std::vector<std::string> titles;
    for (const CAlmxData* r : SortForList(kind, pointers, keys)) titles.push_back(r->title);
    return titles;
}

SortKeyList Keys(std::array<int, 6> keys, std::array<int, 6> directions) {
    SortKeyList list;
    list.keys = keys;
    list.directions = directions;
    return list;
}

using Names = std::vector<std::string>;

TEST(MultiSortTest, ScheduleStartsLessThanADayApartFallThroughToTheNextKey) {
    const SortKeyList defaults;
    // Same day at 09:00 and 18:00: equal on start, then end (ascending) decides.
    std::vector<CAlmxData> sameDay = {
        Schedule("夕方", At(2024, 1, 1, 18), At(2024, 1, 3)),
        Schedule("朝", At(2024, 1, 1, 9), At(2024, 1, 2)),
    };
    EXPECT_EQ(Titles(SortListKind::Schedule, sameDay, defaults), (Names{"朝", "夕方"}));

    // 22:00 and 08:00 the next morning are within a day: still equal on start.
    std::vector<CAlmxData> overnight = {
        Schedule("翌朝", At(2024, 1, 2, 8), At(2024, 1, 5)),
        Schedule("夜", At(2024, 1, 1, 22), At(2024, 1, 4)),
    };
    EXPECT_EQ(Titles(SortListKind::Schedule, overnight, defaults), (Names{"夜", "翌朝"}));

    // By default the most recent start comes first.
    std::vector<CAlmxData> days = {
        Schedule("一月", At(2024, 1, 1), At(2024, 1, 1)),
        Schedule("三月", At(2024, 3, 1), At(2024, 3, 1)),
        Schedule("二月", At(2024, 2, 1), At(2024, 2, 1)),
    };
    EXPECT_EQ(Titles(SortListKind::Schedule, days, defaults), (Names{"三月", "二月", "一月"}));
}

TEST(MultiSortTest, KindDescendingListsTodosFirstAndTextsIgnoreAsciiCase) {
    std::vector<CAlmxData> records = {
        Schedule("b会議", At(2024, 1, 1), At(2024, 1, 1)),
        Todo("買い物", 0),
        Schedule("A会議", At(2024, 1, 1), At(2024, 1, 1)),
    };
    records[1].start = records[1].end = At(2024, 1, 1);
    const SortKeyList kindFirst = Keys({0, 4, 1, 2, 3, 5}, {1, 0, 0, 0, 0, 0});
    EXPECT_EQ(Titles(SortListKind::Schedule, records, kindFirst),
              (Names{"買い物", "A会議", "b会議"}));
    // Place, descending; an unknown key number is skipped.
    records[0].place = "z";
    records[2].place = "Y";
    const SortKeyList byPlace = Keys({9, 0, 5, 1, 2, 3}, {0, 0, 1, 0, 0, 0});
    EXPECT_EQ(Titles(SortListKind::Schedule, records, byPlace),
              (Names{"b会議", "A会議", "買い物"}));
}

TEST(MultiSortTest, TodosByDeadlineThenImportanceWithTodosWithoutDeadlineLast) {
    std::vector<CAlmxData> todos = {Todo("期限なしB", 2), Todo("五日C", 3), Todo("三日", 4),
                                    Todo("期限なし緊急", 0), Todo("五日A", 1)};
    todos[0].Set(TodoNoDeadline);
    todos[3].Set(TodoNoDeadline);
    todos[1].start = At(2024, 5, 5, 18);
    todos[4].start = At(2024, 5, 5, 9);
    todos[2].start = At(2024, 5, 3);
    const SortKeyList deadlineFirst = Keys({0, 2, 1, 3, 4, 5}, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Titles(SortListKind::Todo, todos, deadlineFirst),
              (Names{"三日", "五日A", "五日C", "期限なし緊急", "期限なしB"}));

    // Deadline descending: the ones without a deadline come first, importance still ascending.
    const SortKeyList deadlineLast = Keys({0, 2, 1, 3, 4, 5}, {1, 0, 0, 0, 0, 0});
    EXPECT_EQ(Titles(SortListKind::Todo, todos, deadlineLast),
              (Names{"期限なし緊急", "期限なしB", "五日A", "五日C", "三日"}));
}

TEST(MultiSortTest, DefaultTodoOrderIsOpenByImportanceThenMostRecentlyCompleted) {
    std::vector<CAlmxData> todos = {Todo("済・古", 0), Todo("B", 2),      Todo("済・新", 5),
                                    Todo("緊急", 0),   Todo("済・中", 1), Todo("A", 1)};
    for (int i : {0, 2, 4}) todos[static_cast<std::size_t>(i)].Set(TodoDone);
    todos[0].end = At(2024, 1, 1);
    todos[2].end = At(2024, 3, 1);
    todos[4].end = At(2024, 2, 1);
    EXPECT_EQ(Titles(SortListKind::Todo, todos, SortKeyList{}),
              (Names{"緊急", "A", "B", "済・新", "済・中", "済・古"}));
    // Key 5 alone (done ascending): open ones first, equal ones in heap sort's order.
    const SortKeyList doneOnly = Keys({5, 9, 9, 9, 9, 9}, {0, 0, 0, 0, 0, 0});
    std::vector<std::string> titles = Titles(SortListKind::Todo, todos, doneOnly);
    ASSERT_EQ(titles.size(), 6u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(titles[i].rfind("済", 0), std::string::npos);
}

TEST(MultiSortTest, HeapSortOrdersLikeASortAndPlacesEqualElementsItsOwnWay) {
    std::mt19937 random(7);
    std::vector<int> values(1000);
    for (int& v : values) v = static_cast<int>(random() % 100000);
    std::vector<int> expected = values;
    std::sort(expected.begin(), expected.end());
    auto compare = [](int a, int b) { return a < b ? -1 : a > b ? 1 : 0; };
    HeapSortInPlace(values, compare);
    EXPECT_EQ(values, expected);

    // Three equal elements come out as the second, third and first: what the 1-based heap
    // sort with its ">=" stop gives, not what a stable sort would.
    std::vector<std::pair<int, char>> equal = {{1, 'a'}, {1, 'b'}, {1, 'c'}};
    HeapSortInPlace(equal, [](auto& x, auto& y) { return x.first - y.first; });
    EXPECT_EQ(std::string({equal[0].second, equal[1].second, equal[2].second}), "bca");

    std::vector<int> empty;
    HeapSortInPlace(empty, compare);
    std::vector<int> one{5};
    HeapSortInPlace(one, compare);
    EXPECT_EQ(one, std::vector<int>{5});
}

TEST(MultiSortTest, KeyListsLoadDefaultsAndStoreUnderTheirSection) {
    MemorySettingsStore settings;
    EXPECT_EQ(SortKeyList::Load(settings, "TodoSort"), SortKeyList{});
    const SortKeyList changed = Keys({4, 3, 2, 1, 0, 5}, {1, 1, 0, 0, 1, 0});
    changed.Store(settings, "TodoSort");
    EXPECT_EQ(settings.GetInt("TodoSort", "Item0", -1), 4);
    EXPECT_EQ(settings.GetInt("TodoSort", "Mode4", -1), 1);
    EXPECT_FALSE(settings.Contains("SchSort", "Item0"));
    EXPECT_EQ(SortKeyList::Load(settings, "TodoSort"), changed);
    EXPECT_EQ(SortKeyList::Load(settings, "SchSort"), SortKeyList{});
}

TEST(MultiSortTest, FormMovesKeysWithTheirDirectionsAndNamesThem) {
    SortKeyList keys;
    MultiSortForm form(SortListKind::Schedule, keys);
    EXPECT_EQ(form.Items(), (Names{"開始（降順）", "終了（昇順）", "種別（昇順）",
                                   "ジャンル（降順）", "内容（降順）", "場所（昇順）"}));
    EXPECT_EQ(form.MoveUp(0), 0);
    EXPECT_EQ(keys, SortKeyList{});
    EXPECT_EQ(form.MoveDown(5), 5);
    EXPECT_EQ(keys, SortKeyList{});

    EXPECT_EQ(form.MoveDown(0), 1);
    EXPECT_EQ(keys.keys[0], 2);
    EXPECT_EQ(keys.directions[0], 0);
    EXPECT_EQ(keys.keys[1], 1);
    EXPECT_EQ(keys.directions[1], 1);
    EXPECT_EQ(form.MoveUp(3), 2);
    form.SetDirection(2, false);
    form.SetDirection(7, true);  // no such position
    EXPECT_EQ(keys, Keys({2, 1, 3, 0, 4, 5}, {0, 1, 0, 0, 1, 0}));

    SortKeyList todoKeys = Keys({0, 7, 1, 2, 3, 4}, {0, 1, 0, 0, 0, 0});
    MultiSortForm todoForm(SortListKind::Todo, todoKeys);
    EXPECT_EQ(todoForm.Items()[0], "期限（昇順）");
    EXPECT_EQ(todoForm.Items()[1], "7（降順）");
    EXPECT_EQ(todoForm.Items()[2], "完了日付（昇順）");
}

}  // namespace
}  // namespace almx

// The document's sort (CSortDlg) runs the lists' heap sort: records comparing equal come out in
// the order that algorithm gives, and every record is still there once.
namespace almx {
namespace {

// The heap sort as written out for the lists, 1-based, over indices.
std::vector<std::size_t> ReferenceHeapOrder(
    std::vector<std::size_t> items, const std::function<int(std::size_t, std::size_t)>& cmp) {
    const std::size_t n = items.size();
    auto at = [&](std::size_t i) -> std::size_t& { return items[i - 1]; };
    auto sift = [&](std::size_t e, std::size_t i, std::size_t k) {
        while (2 * i <= k) {
            std::size_t j = 2 * i;
            if (j < k && cmp(at(j), at(j + 1)) < 0) j = j + 1;
            if (cmp(e, at(j)) >= 0) break;
            at(i) = at(j);
            i = j;
        }
        at(i) = e;
    };
    for (std::size_t i = n / 2; i >= 1; --i) sift(at(i), i, n);
    for (std::size_t m = n; m >= 2; --m) {
        const std::size_t taken = at(m);
        at(m) = at(1);
        sift(taken, 1, m - 1);
    }
    return items;
}

TEST(DocumentSortOrder, APermutationInHeapSortOrderWithEqualKeys) {
    RecordList records;
    std::vector<int> genres;
    for (int i = 0; i < 23; ++i) {
        CAlmxData r;
        r.title = "同じ";
        r.memo = std::to_string(i);
        r.genre = i % 3;
        r.start = DateTime::FromParts(2024, 3, 1 + i % 4, i % 24, 0);
        r.end = r.start;
        records.push_back(r);
    }
    RecordList sorted = records;
    SortRecords(sorted, SortKey::Genre, SortOrder::Descending);
    std::vector<std::size_t> indices(records.size());
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = i;
    // Genre descending, then title (all equal).
    const auto expected = ReferenceHeapOrder(indices, [&](std::size_t a, std::size_t b) {
        return -(records[a].genre - records[b].genre);
    });
    ASSERT_EQ(sorted.size(), records.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(sorted[i].memo, records[expected[i]].memo) << "position " << i;
    }
}

}  // namespace
}  // namespace almx
