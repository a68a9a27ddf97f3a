#include "calendar/record_date_index.h"

#include <algorithm>
#include <cmath>

#include "core/genre.h"

namespace almx {

namespace {

// Spans up to this long (in days, margins included) are found by their start; the few longer
// ones are checked one by one.
constexpr double kShortDays = 64.0;

void Mark(std::vector<std::uint64_t>& bits, std::uint32_t position) {
    bits[position >> 6] |= std::uint64_t{1} << (position & 63);
}

}  // namespace

void RecordDateIndex::Build(const RecordList& records) {
    list_ = &records;
    generation_ = records.Generation();
    size_ = records.size();
    short_.clear();
    long_.clear();
    always_.clear();
    genreSteps_.clear();

    int highestGenre = -1;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CAlmxData& record = records[i];
        const auto position = static_cast<std::uint32_t>(i);
        if (IsExtendableGenreIndex(record.genre) && record.genre > highestGenre) {
            highestGenre = record.genre;
            genreSteps_.push_back({position, record.genre});
        }
        if (record.Has(IsTodo) || record.shiftRule != 0 || !record.start.IsValid() ||
            !record.end.IsValid()) {
            always_.push_back(position);
            continue;
        }
        const Span span{record.start.Days() - 2.0, record.end.Days() + 2.0, position};
        if (!std::isfinite(span.lo) || !std::isfinite(span.hi)) {
            always_.push_back(position);
        } else if (span.hi - span.lo <= kShortDays) {
            short_.push_back(span);
        } else {
            long_.push_back(span);
        }
    }
    std::stable_sort(short_.begin(), short_.end(),
                     [](const Span& a, const Span& b) { return a.lo < b.lo; });
}

void RecordDateIndex::MarkCandidates(double first, double last,
                                     std::vector<std::uint64_t>& candidates) const {
    candidates.assign((size_ + 63) / 64, 0);
    for (std::uint32_t position : always_) Mark(candidates, position);
    for (const Span& span : long_) {
        if (!(span.lo > last || span.hi < first)) Mark(candidates, span.position);
    }
    // A short span reaching first starts at most kShortDays before it (a day more for the
    // rounding of the subtraction).
    const double earliest = first - kShortDays - 1.0;
    auto it = std::lower_bound(short_.begin(), short_.end(), earliest,
                               [](const Span& span, double value) { return span.lo < value; });
    for (; it != short_.end() && !(it->lo > last); ++it) {
        if (!(it->hi < first)) Mark(candidates, it->position);
    }
}

}  // namespace almx
