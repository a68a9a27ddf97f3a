#pragma once
// An index of a document's records by the days they can be shown on, so that a fill of a few
// weeks looks at the records near those weeks instead of every record of a long file.
//
// The index holds positions into the record list it was built from and, side by side in one
// array, what a fill reads of each record, so that a fill decides most records without touching
// them. It knows when the list gained, lost or moved records (the list's generation), but not
// when a record was edited in place: whoever owns the records rebuilds it after every edit (the
// document keys it on its change counter).

#include <cstdint>
#include <span>
#include <vector>

#include "core/record_list.h"

namespace almx {

// What a fill reads of a record, copied out of it. Day numbers and seconds of the day are those
// of DateTime; the raw day counts are kept for the tests written against them.
struct RecordFacts {
    double startDays = 0.0;
    double endDays = 0.0;
    std::int64_t startDay = 0;
    std::int64_t endDay = 0;
    std::int32_t startSecond = 0;
    std::int32_t endSecond = 0;
    std::int32_t genre = 0;
    std::int32_t todoLeadDays = -1;
    std::int32_t repeatType = 0;
    std::int32_t repeatInterval = 1;
    std::int32_t timeDisplay = 0;
    std::uint8_t flags = 0;
    bool startValid = false;
    bool endValid = false;
    bool plain = false;  // no shift rule and no exceptions

    static RecordFacts Of(const CAlmxData& record);
    bool Has(RecordFlag flag) const { return (flags & flag) != 0; }
};

class RecordDateIndex {
  public:
    // A record whose genre number is beyond every earlier record's: the fills extend the genre
    // list for such records, in document order.
    struct GenreStep {
        std::uint32_t position;
        int genre;
    };

    RecordDateIndex() = default;
    explicit RecordDateIndex(const RecordList& records) { Build(records); }

    void Build(const RecordList& records);

    // Whether the index was built from this list and no record was added, removed or moved
    // since. (Edits in place are not seen.)
    bool Matches(const RecordList& records) const {
        return list_ == &records && generation_ == records.Generation() && size_ == records.size();
    }

    // Marks in candidates (one bit per position, resized here) every record a fill must look
    // at when its window runs over the raw day counts first to last: every to-do, every record
    // that has no valid dates, and every other record unless it starts more than two days (with
    // a shift rule, the longest move more) after last or ends more than two days before first.
    void MarkCandidates(double first, double last, std::vector<std::uint64_t>& candidates) const;

    std::span<const GenreStep> GenreSteps() const { return genreSteps_; }
    // The facts of every record, by position.
    std::span<const RecordFacts> Facts() const { return facts_; }
    std::size_t Size() const { return size_; }

  private:
    struct Span {
        double lo;  // start less two days
        double hi;  // end plus two days
        std::uint32_t position;
    };

    const RecordList* list_ = nullptr;
    std::uint64_t generation_ = 0;
    std::size_t size_ = 0;
    std::vector<Span> short_;            // spans of at most kShortDays, by lo
    std::vector<Span> long_;             // longer spans (most recurring records), in order
    std::vector<std::uint32_t> always_;  // to-dos and invalid dates; in order
    std::vector<RecordFacts> facts_;
    std::vector<GenreStep> genreSteps_;
};

}  // namespace almx
