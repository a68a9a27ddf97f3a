#include "core/multi_sort.h"

#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/settings_store.h"
#include "core/record.h"
#include "text/encoding.h"
#include "text/sjis_chars.h"

namespace almx {

namespace {

constexpr const char* kScheduleKeyNames[kSortKeyCount] = {"種別",     "開始", "終了",
                                                          "ジャンル", "内容", "場所"};
constexpr const char* kTodoKeyNames[kSortKeyCount] = {"期限",     "完了日付", "重要度",
                                                      "ジャンル", "内容",     "完了"};

std::string KeyName(const char* format, int index) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, index);
    return buffer;
}

int Sign(long long value) {
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

// The difference a - b in days, truncated toward zero: less than a whole day is equal.
long long DayDifference(double a, double b) {
    return static_cast<long long>(a - b);
}

int CompareBytes(std::string_view a, std::string_view b) {
    // std::string compares as unsigned bytes (char_traits<char>::compare uses memcmp).
    return Sign(a.compare(b));
}

int Flag(const CAlmxData& r, RecordFlag flag) {
    return r.Has(flag) ? 1 : 0;
}

// One key of the schedule list; 0 moves on to the next key.
long long ScheduleKey(int key, const SortEntry& a, const SortEntry& b) {
    const CAlmxData& ra = *a.record;
    const CAlmxData& rb = *b.record;
    switch (key) {
        case 0:
            return Flag(ra, IsTodo) - Flag(rb, IsTodo);
        case 1:
            return DayDifference(ra.start.Days(), rb.start.Days());
        case 2:
            return DayDifference(ra.end.Days(), rb.end.Days());
        case 3:
            return static_cast<long long>(ra.genre) - rb.genre;
        case 4:
            return CompareBytes(a.title, b.title);
        case 5:
            return CompareBytes(a.place, b.place);
        default:
            return 0;
    }
}

// One key of the to-do list; the direction is applied by the caller.
long long TodoKey(int key, const SortEntry& a, const SortEntry& b) {
    const CAlmxData& ra = *a.record;
    const CAlmxData& rb = *b.record;
    switch (key) {
        case 0: {
            const int noneA = Flag(ra, TodoNoDeadline);
            const int noneB = Flag(rb, TodoNoDeadline);
            if (noneA != noneB) return noneA - noneB;
            if (noneA) return 0;
            return DayDifference(ra.start.Days(), rb.start.Days());
        }
        case 1: {
            const int doneA = Flag(ra, TodoDone);
            const int doneB = Flag(rb, TodoDone);
            if (doneA != doneB) return -(doneA - doneB);
            if (!doneA) return 0;
            return DayDifference(ra.end.Days(), rb.end.Days());
        }
        case 2:
            return static_cast<long long>(ra.todoImportance) - rb.todoImportance;
        case 3:
            return static_cast<long long>(ra.genre) - rb.genre;
        case 4:
            return CompareBytes(a.title, b.title);
        case 5:
            return Flag(ra, TodoDone) - Flag(rb, TodoDone);
        default:
            return 0;
    }
}

}  // namespace

SortKeyList SortKeyList::Load(const SettingsStore& settings, const char* section) {
    SortKeyList list;
    for (int i = 0; i < kSortKeyCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        list.keys[index] = settings.GetInt(section, KeyName("Item%d", i), list.keys[index]);
        list.directions[index] =
            settings.GetInt(section, KeyName("Mode%d", i), list.directions[index]);
    }
    return list;
}

void SortKeyList::Store(SettingsStore& settings, const char* section) const {
    for (int i = 0; i < kSortKeyCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        settings.SetInt(section, KeyName("Item%d", i), keys[index]);
        settings.SetInt(section, KeyName("Mode%d", i), directions[index]);
    }
}

std::string SortKeyName(SortListKind kind, int key) {
    if (key < 0 || key >= kSortKeyCount) return std::to_string(key);
    const auto index = static_cast<std::size_t>(key);
    return kind == SortListKind::Todo ? kTodoKeyNames[index] : kScheduleKeyNames[index];
}

int CompareForList(SortListKind kind, const SortEntry& a, const SortEntry& b,
                   const SortKeyList& keys) {
    for (std::size_t p = 0; p < keys.keys.size(); ++p) {
        const long long d = keys.directions[p] == 1 ? -1 : 1;
        const long long result = kind == SortListKind::Todo ? TodoKey(keys.keys[p], a, b)
                                                            : ScheduleKey(keys.keys[p], a, b);
        if (result != 0) return Sign(result * d);
    }
    return 0;
}

std::vector<const CAlmxData*> SortForList(SortListKind kind,
                                          std::span<const CAlmxData* const> records,
                                          const SortKeyList& keys) {
    std::vector<SortEntry> entries;
    entries.reserve(records.size());
    // Titles and places repeat (routine entries): each text is converted once.
    std::unordered_map<std::string_view, std::string> folded;
    auto fold = [&](const std::string& text) -> const std::string& {
        auto [at, added] = folded.try_emplace(text);
        if (added) at->second = text::CaseFoldedShiftJis(text);
        return at->second;
    };
    for (const CAlmxData* record : records) {
        entries.push_back({record, fold(record->title), fold(record->place)});
    }
    HeapSortInPlace(entries, [&](const SortEntry& a, const SortEntry& b) {
        return CompareForList(kind, a, b, keys);
    });
    std::vector<const CAlmxData*> sorted;
    sorted.reserve(entries.size());
    for (const SortEntry& entry : entries) sorted.push_back(entry.record);
    return sorted;
}

std::vector<std::string> MultiSortForm::Items() const {
    std::vector<std::string> items;
    for (std::size_t p = 0; p < keys_.keys.size(); ++p) {
        items.push_back(SortKeyName(kind_, keys_.keys[p]) +
                        (keys_.directions[p] == 1 ? "（降順）" : "（昇順）"));
    }
    return items;
}

int MultiSortForm::MoveUp(int position) {
    if (position < 1 || position >= kSortKeyCount) return position;
    const auto p = static_cast<std::size_t>(position);
    std::swap(keys_.keys[p], keys_.keys[p - 1]);
    std::swap(keys_.directions[p], keys_.directions[p - 1]);
    return position - 1;
}

int MultiSortForm::MoveDown(int position) {
    if (position < 0 || position >= kSortKeyCount - 1) return position;
    const auto p = static_cast<std::size_t>(position);
    std::swap(keys_.keys[p], keys_.keys[p + 1]);
    std::swap(keys_.directions[p], keys_.directions[p + 1]);
    return position + 1;
}

void MultiSortForm::SetDirection(int position, bool descending) {
    if (position < 0 || position >= kSortKeyCount) return;
    keys_.directions[static_cast<std::size_t>(position)] = descending ? 1 : 0;
}

}  // namespace almx
