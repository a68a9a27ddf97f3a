#include "calendar/record_date_index.h"

#include <algorithm>
#include <cmath>

#include "core/genre.h"

namespace almx {

namespace {

// Spans up to this long (in days, margins included) are found by their start; the few longer
// ones are checked one by one.
constexpr double kShortDays = 64.0;
// A shift rule moves an occurrence back over at most this many days (the marker's longest run of
// avoided days and the day of an early start time, rounded up).
constexpr double kLongestShift = 64.0;

void Mark(std::vector<std::uint64_t>& bits, std::uint32_t position) {
    bits[position >> 6] |= std::uint64_t{1} << (position & 63);
}

}  // namespace

RecordFacts RecordFacts::Of(const CAlmxData& record) {
    RecordFacts facts;
    facts.startDays = record.start.Days();
    facts.endDays = record.end.Days();
    facts.startValid = record.start.IsValid();
    facts.endValid = record.end.IsValid();
    facts.startDay = record.start.DayNumber();
    facts.endDay = record.end.DayNumber();
    facts.startSecond = record.start.SecondsOfDay();
    facts.endSecond = record.end.SecondsOfDay();
    facts.genre = static_cast<std::int32_t>(record.genre);
    facts.todoLeadDays = static_cast<std::int32_t>(record.todoLeadDays);
    facts.repeatType = static_cast<std::int32_t>(record.repeatType);
    facts.repeatInterval = static_cast<std::int32_t>(record.repeatInterval);
    facts.timeDisplay = static_cast<std::int32_t>(record.timeDisplay);
    facts.flags = static_cast<std::uint8_t>(record.flags);
    facts.plain = record.shiftRule == 0 && record.exceptions.empty();
    return facts;
}

void RecordDateIndex::Build(const RecordList& records) {
    list_ = &records;
    generation_ = records.Generation();
    size_ = records.size();
    short_.clear();
    long_.clear();
    always_.clear();
    genreSteps_.clear();
    facts_.clear();
    facts_.reserve(records.size());

    int highestGenre = -1;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CAlmxData& record = records[i];
        const auto position = static_cast<std::uint32_t>(i);
        facts_.push_back(RecordFacts::Of(record));
        if (IsExtendableGenreIndex(record.genre) && record.genre > highestGenre) {
            highestGenre = record.genre;
            genreSteps_.push_back({position, record.genre});
        }
        if (record.Has(IsTodo) || !record.start.IsValid() || !record.end.IsValid()) {
            always_.push_back(position);
            continue;
        }
        const double shift = record.shiftRule != 0 ? kLongestShift : 0.0;
        const Span span{record.start.Days() - 2.0 - shift, record.end.Days() + 2.0, position};
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
