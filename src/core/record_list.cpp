#include "core/record_list.h"

#include <atomic>

namespace almx {

namespace {

// One counter for every list: a list made anew never repeats a value another list had.
std::atomic<std::uint64_t> generations{0};

}  // namespace

void RecordList::Touch() {
    generation_ = ++generations;
}

RecordList::RecordList(const RecordList& other) {
    slots_.reserve(other.size());
    for (const CAlmxData& record : other) slots_.push_back(std::make_unique<CAlmxData>(record));
    Touch();
}

RecordList& RecordList::operator=(const RecordList& other) {
    if (this != &other) *this = RecordList(other);
    return *this;
}

RecordList::RecordList(std::vector<CAlmxData> records) {
    slots_.reserve(records.size());
    for (CAlmxData& record : records) {
        slots_.push_back(std::make_unique<CAlmxData>(std::move(record)));
    }
    Touch();
}

CAlmxData& RecordList::Insert(std::size_t index, CAlmxData record) {
    return Put(index, std::make_unique<CAlmxData>(std::move(record)));
}

CAlmxData& RecordList::Put(std::size_t index, std::unique_ptr<CAlmxData> record) {
    CAlmxData& inserted = *record;
    slots_.insert(slots_.begin() + static_cast<std::ptrdiff_t>(index), std::move(record));
    Touch();
    return inserted;
}

std::unique_ptr<CAlmxData> RecordList::Take(std::size_t index) {
    std::unique_ptr<CAlmxData> taken = std::move(slots_[index]);
    slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(index));
    Touch();
    return taken;
}

std::vector<std::unique_ptr<CAlmxData>> RecordList::TakeFrom(std::size_t index) {
    std::vector<std::unique_ptr<CAlmxData>> taken;
    if (index >= slots_.size()) return taken;
    const auto first = slots_.begin() + static_cast<std::ptrdiff_t>(index);
    taken.assign(std::make_move_iterator(first), std::make_move_iterator(slots_.end()));
    slots_.erase(first, slots_.end());
    Touch();
    return taken;
}

void RecordList::Reorder(const std::vector<std::size_t>& order) {
    Slots reordered;
    reordered.reserve(slots_.size());
    for (std::size_t index : order) reordered.push_back(std::move(slots_[index]));
    slots_ = std::move(reordered);
    Touch();
}

std::size_t RecordList::IndexOf(const CAlmxData* record) const {
    if (record == nullptr) return slots_.size();
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].get() == record) return i;
    }
    return slots_.size();
}

bool operator==(const RecordList& a, const RecordList& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!(a[i] == b[i])) return false;
    }
    return true;
}

}  // namespace almx
