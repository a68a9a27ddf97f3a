#pragma once
// The document's records, each owned on its own: views, day cells, lists and dialogs keep
// `const CAlmxData*` to them, and inserting, appending, sorting or exchanging records never
// moves one. Only removing a record frees it, and only that record.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/record.h"

namespace almx {

class RecordList {
    using Slots = std::vector<std::unique_ptr<CAlmxData>>;

    // Walks the records in order, giving the records themselves rather than their owners.
    template <typename Value, typename Base>
    class Iterator {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = CAlmxData;
        using difference_type = std::ptrdiff_t;
        using pointer = Value*;
        using reference = Value&;

        Iterator() = default;
        explicit Iterator(Base at) : at_(at) {}
        // A mutable iterator converts to a read-only one.
        template <typename V>
        requires std::is_const_v<Value> Iterator(const Iterator<V, Base>& other)
            : at_(other.Base_()) {}

        reference operator*() const { return **at_; }
        pointer operator->() const { return at_->get(); }
        reference operator[](difference_type n) const { return *at_[n]; }
        Iterator& operator++() {
            ++at_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator old = *this;
            ++at_;
            return old;
        }
        Iterator& operator--() {
            --at_;
            return *this;
        }
        Iterator operator--(int) {
            Iterator old = *this;
            --at_;
            return old;
        }
        Iterator& operator+=(difference_type n) {
            at_ += n;
            return *this;
        }
        Iterator& operator-=(difference_type n) {
            at_ -= n;
            return *this;
        }
        friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
        friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
        friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const Iterator& a, const Iterator& b) {
            return a.at_ - b.at_;
        }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.at_ == b.at_; }
        friend auto operator<=>(const Iterator& a, const Iterator& b) { return a.at_ <=> b.at_; }

        const Base& Base_() const { return at_; }

      private:
        Base at_{};
    };

  public:
    using value_type = CAlmxData;
    using iterator = Iterator<CAlmxData, Slots::const_iterator>;
    using const_iterator = Iterator<const CAlmxData, Slots::const_iterator>;

    RecordList() = default;
    RecordList(RecordList&& other) noexcept : slots_(std::move(other.slots_)) { other.Touch(); }
    RecordList& operator=(RecordList&& other) noexcept {
        slots_ = std::move(other.slots_);
        other.Touch();
        Touch();
        return *this;
    }
    // A copy holds copies of the records (new identities).
    RecordList(const RecordList& other);
    RecordList& operator=(const RecordList& other);
    RecordList(std::vector<CAlmxData> records);  // NOLINT: a vector of records converts
    RecordList(std::initializer_list<CAlmxData> records)
        : RecordList(std::vector<CAlmxData>(records)) {}
    RecordList& operator=(std::initializer_list<CAlmxData> records) {
        return *this = RecordList(records);
    }

    std::size_t size() const { return slots_.size(); }
    bool empty() const { return slots_.empty(); }
    void reserve(std::size_t count) { slots_.reserve(count); }
    void clear() {
        slots_.clear();
        Touch();
    }
    void shrink_to_fit() { slots_.shrink_to_fit(); }

    // Changes whenever a record is added, removed or moved, and never comes back to a value
    // any list had: a view that kept the value of its last fill knows whether it is stale.
    std::uint64_t Generation() const { return generation_; }

    CAlmxData& operator[](std::size_t index) { return *slots_[index]; }
    const CAlmxData& operator[](std::size_t index) const { return *slots_[index]; }
    CAlmxData& front() { return *slots_.front(); }
    const CAlmxData& front() const { return *slots_.front(); }
    CAlmxData& back() { return *slots_.back(); }
    const CAlmxData& back() const { return *slots_.back(); }

    iterator begin() { return iterator(slots_.cbegin()); }
    iterator end() { return iterator(slots_.cend()); }
    const_iterator begin() const { return const_iterator(slots_.cbegin()); }
    const_iterator end() const { return const_iterator(slots_.cend()); }

    CAlmxData& push_back(CAlmxData record) { return Insert(slots_.size(), std::move(record)); }
    template <typename... Args>
    CAlmxData& emplace_back(Args&&... args) {
        slots_.push_back(std::make_unique<CAlmxData>(std::forward<Args>(args)...));
        Touch();
        return *slots_.back();
    }
    // Puts the record at index (0 to size()); the records after it keep their addresses.
    CAlmxData& Insert(std::size_t index, CAlmxData record);

    // Puts a record taken out before back at index, with its address.
    CAlmxData& Put(std::size_t index, std::unique_ptr<CAlmxData> record);

    // Takes the record at index out of the list; it lives as long as the caller keeps it.
    std::unique_ptr<CAlmxData> Take(std::size_t index);
    void pop_back() {
        slots_.pop_back();
        Touch();
    }
    // Takes the records from index on out of the list.
    std::vector<std::unique_ptr<CAlmxData>> TakeFrom(std::size_t index);
    // Takes every record the predicate picks out of the list, in their order.
    template <typename Predicate>
    std::vector<std::unique_ptr<CAlmxData>> TakeIf(Predicate picks) {
        std::vector<std::unique_ptr<CAlmxData>> taken;
        std::size_t kept = 0;
        for (std::unique_ptr<CAlmxData>& slot : slots_) {
            if (picks(std::as_const(*slot))) {
                taken.push_back(std::move(slot));
            } else {
                slots_[kept++] = std::move(slot);
            }
        }
        slots_.resize(kept);
        Touch();
        return taken;
    }

    // Exchanges the places of two records; both keep their addresses.
    void Swap(std::size_t a, std::size_t b) {
        slots_[a].swap(slots_[b]);
        Touch();
    }
    // Puts the records in the order of the indices given (a permutation of 0 to size()-1).
    void Reorder(const std::vector<std::size_t>& order);

    // The index of the record, or size() when it is none of the list's (an entry computed
    // for display, or a record since removed).
    std::size_t IndexOf(const CAlmxData* record) const;
    bool Contains(const CAlmxData* record) const { return IndexOf(record) < size(); }

    friend bool operator==(const RecordList& a, const RecordList& b);

  private:
    void Touch();

    Slots slots_;
    std::uint64_t generation_ = 0;
};

}  // namespace almx
