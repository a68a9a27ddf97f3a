#include "calendar/holiday_entries.h"

#include <string_view>

#include "base/settings_store.h"
#include "calendar/holidays.h"

namespace almx {

namespace {

constexpr int kMaxRangeDays = 4000000;  // more than 1583..9998

int Key(const DateTime& day) {
    return day.Year() * 10000 + day.Month() * 100 + day.Day();
}

bool IsNamed(const DateTime& day) {
    return !NationalHolidayName(day.Year(), day.Month(), day.Day()).empty();
}

const char* EquinoxName(const DateTime& day) {
    const int year = day.Year();
    if (Key(day) < kHolidayLawStart) return nullptr;
    if (day.Month() == 3 && day.Day() == VernalEquinoxDay(year)) return "春分の日";
    if (day.Month() == 9 && day.Day() == AutumnalEquinoxDay(year)) return "秋分の日";
    return nullptr;
}

class Calculator {
  public:
    Calculator(const HolidayRecordQuery& query, const HolidayDisplaySettings& display)
        : query_(query), display_(display) {}

    // The name of the computed entry of a day, or nullptr.
    const char* EntryOn(const DateTime& day) const {
        if (!day.IsValid()) return nullptr;
        if (display_.equinoxAndBetween) {
            if (const char* name = EquinoxName(day)) return name;
        }
        if (HasRecord(day)) return nullptr;
        if (display_.substitute && IsSubstitute(day)) return "振替休日";
        if (display_.equinoxAndBetween && IsBetweenHolidays(day)) return "国民の休日";
        return nullptr;
    }

  private:
    bool HasRecord(const DateTime& day) const { return query_ && query_(day); }

    // A record's holiday entry or a computed equinox entry.
    bool HasBaseEntry(const DateTime& day) const {
        return HasRecord(day) || (display_.equinoxAndBetween && EquinoxName(day) != nullptr);
    }

    // A Sunday carrying a holiday entry gives the next day off; from 2007 the first later day
    // that is neither a national holiday with its entry nor a day with an entry.
    bool IsSubstitute(const DateTime& day) const {
        for (int k = 1; k <= kHolidayLookBack; ++k) {
            const DateTime before = day.PlusDays(-k);
            if (!before.IsValid() || !HasBaseEntry(before)) return false;
            if (before.DayOfWeek() == 0) {
                const int key = Key(before);
                return key >= kSubstituteStart && (k == 1 || key >= kSubstituteChainStart);
            }
            if (!IsNamed(before)) return false;
        }
        return false;
    }

    // As the law decides it: the days around are national holidays, the day itself is none.
    static bool IsBetweenHolidays(const DateTime& day) {
        return Key(day) >= kBetweenHolidaysStart && day.DayOfWeek() != 0 && !IsNamed(day) &&
               IsNamed(day.PlusDays(-1)) && IsNamed(day.PlusDays(1));
    }

    const HolidayRecordQuery& query_;
    const HolidayDisplaySettings& display_;
};

}  // namespace

HolidayDisplaySettings HolidayDisplaySettings::FromSettings(const SettingsStore& settings) {
    HolidayDisplaySettings display;
    display.equinoxAndBetween = settings.GetInt("Holiday", "Shunbun", 1) != 0;
    display.substitute = settings.GetInt("Holiday", "Hurikae", 1) != 0;
    return display;
}

CAlmxData HolidayEntry(const DateTime& day, const char* title, const RecordDefaults& defaults) {
    CAlmxData entry(defaults);
    entry.title = title;
    entry.start = day.Date();
    entry.end = day.Date();
    entry.Set(HolidayMark);
    return entry;
}

std::vector<std::optional<CAlmxData>> ComputedHolidayEntries(
    const DateTime& firstDay, int dayCount, const HolidayRecordQuery& hasHolidayRecord,
    const HolidayDisplaySettings& display, const RecordDefaults& defaults) {
    std::vector<std::optional<CAlmxData>> entries;
    if (dayCount <= 0 || dayCount > kMaxRangeDays || !firstDay.IsValid()) return entries;
    entries.resize(static_cast<std::size_t>(dayCount));
    const Calculator calculator(hasHolidayRecord, display);
    const DateTime first = firstDay.Date();
    for (int i = 0; i < dayCount; ++i) {
        const DateTime day = first.PlusDays(i);
        if (!day.IsValid() || day.Year() > kMaxYear) break;
        if (const char* name = calculator.EntryOn(day)) {
            entries[static_cast<std::size_t>(i)] = HolidayEntry(day, name, defaults);
        }
    }
    return entries;
}

std::vector<std::optional<CAlmxData>> ComputedHolidayEntries(
    const DateTime& firstDay, int dayCount, const HolidayRecordQuery& hasHolidayRecord,
    const SettingsStore& settings) {
    return ComputedHolidayEntries(firstDay, dayCount, hasHolidayRecord,
                                  HolidayDisplaySettings::FromSettings(settings),
                                  RecordDefaults::FromSettings(settings));
}

}  // namespace almx
