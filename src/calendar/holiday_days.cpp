#include "calendar/holiday_days.h"

#include <algorithm>

namespace almx {

HolidayRecordDays::HolidayRecordDays(const RecordList& records, const DateTime& first,
                                     const DateTime& last, const OccurrenceContext& context)
    : first_(first.Date()) {
    if (!first.IsValid() || !last.IsValid() || last.Date() < first_) return;
    const DateTime end = last.Date();
    days_.assign(static_cast<std::size_t>(DateDifference(first_, end) + 1), 0);
    std::vector<std::uint8_t> mask(days_.size());
    for (const CAlmxData& record : records) {
        if (!record.Has(HolidayMark) || record.Has(IsTodo) || record.Has(HideInViews)) continue;
        OccurrenceMask(record, first_, end, mask, context);
        for (std::size_t i = 0; i < mask.size(); ++i) {
            if (!mask[i]) continue;
            days_[i] = 1;
            hits_.push_back({static_cast<long>(i), &record});
        }
    }
    std::stable_sort(hits_.begin(), hits_.end(),
                     [](const Hit& a, const Hit& b) { return a.offset < b.offset; });
}

bool HolidayRecordDays::Has(const DateTime& day) const {
    if (!day.IsValid() || days_.empty()) return false;
    const long offset = DateDifference(first_, day);
    return offset >= 0 && offset < static_cast<long>(days_.size()) &&
           days_[static_cast<std::size_t>(offset)] != 0;
}

HolidayRecordQuery HolidayRecordDays::Query() const {
    return [this](const DateTime& day) { return Has(day); };
}

std::vector<ShownHoliday> ShownHolidays(const RecordList& records, const DateTime& first,
                                        const DateTime& last, const HolidayDisplaySettings& display,
                                        const OccurrenceContext& context) {
    std::vector<ShownHoliday> shown;
    if (!first.IsValid() || !last.IsValid() || last.Date() < first.Date()) return shown;
    const DateTime from = first.Date();
    const DateTime lookBack = from.PlusDays(-kHolidayLookBack);
    const HolidayRecordDays recordDays(records, lookBack, last, context);
    const long count = DateDifference(from, last.Date()) + 1;
    const auto computed =
        ComputedHolidayEntries(from, static_cast<int>(count), recordDays.Query(), display);
    auto hit = recordDays.Hits().begin();
    for (long i = 0; i < count; ++i) {
        const DateTime day = from.PlusDays(i);
        const long offset = i + kHolidayLookBack;
        while (hit != recordDays.Hits().end() && hit->offset < offset) ++hit;
        for (; hit != recordDays.Hits().end() && hit->offset == offset; ++hit) {
            shown.push_back({day, hit->record->title, false});
        }
        if (static_cast<std::size_t>(i) < computed.size() &&
            computed[static_cast<std::size_t>(i)]) {
            shown.push_back({day, computed[static_cast<std::size_t>(i)]->title, true});
        }
    }
    return shown;
}

}  // namespace almx
