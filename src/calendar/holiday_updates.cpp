#include "calendar/holiday_updates.h"

#include <algorithm>
#include <string_view>

#include "calendar/holidays.h"

namespace almx {

namespace {

constexpr int kLastYearlyKey = 99981231;

DateTime FromKey(int key) {
    key = std::min(key, kLastYearlyKey);
    return DateTime::FromDate(key / 10000, key / 100 % 100, key % 100);
}

bool IsHolidayRecord(const CAlmxData& r, std::string_view title) {
    return r.Has(HolidayMark) && !r.Has(IsTodo) && r.title == title;
}

bool StartsOn(const CAlmxData& r, int month, int day) {
    return r.start.Month() == month && r.start.Day() == day;
}

bool IsOneDay(const HolidayRule& rule) {
    return rule.kind == HolidayRuleKind::FixedDay && rule.first == rule.last;
}

bool IsComputed(const HolidayRule& rule) {
    return rule.kind == HolidayRuleKind::VernalEquinox ||
           rule.kind == HolidayRuleKind::AutumnalEquinox;
}

// Shortens a record to end on cut; an earlier end stays.
void EndBy(CAlmxData& r, const DateTime& cut) {
    if (r.end > cut) r.end = cut;
}

bool HasExceptionOn(const CAlmxData& r, const DateTime& day) {
    return std::any_of(r.exceptions.begin(), r.exceptions.end(), [&](const CDaySpan& span) {
        return span.First().IsValid() && span.Last().IsValid() && span.First() <= day &&
               day <= span.Last();
    });
}

template <typename Records>
bool HasOneDayHolidayOn(const Records& records, const DateTime& day) {
    return std::any_of(records.begin(), records.end(), [&](const CAlmxData& r) {
        return r.Has(HolidayMark) && !r.Has(IsTodo) && !r.IsRecurring() &&
               r.start.Date() == day.Date();
    });
}

// The one-day holidays of the law and the days between two holidays they create.
std::vector<CAlmxData> OneDayRecords(const RecordDefaults& defaults) {
    std::vector<CAlmxData> records;
    for (const HolidayRule& rule : HolidayRules()) {
        if (!IsOneDay(rule)) continue;
        const DateTime day = FromKey(rule.first);
        records.push_back(OneDayHolidayRecord(rule.name, day, defaults));
        for (int side : {-1, 1}) {
            const DateTime next = day.PlusDays(side);
            if (HolidayName(next.Year(), next.Month(), next.Day()) == "国民の休日" &&
                !HasOneDayHolidayOn(records, next)) {
                records.push_back(OneDayHolidayRecord("国民の休日", next, defaults));
            }
        }
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const CAlmxData& a, const CAlmxData& b) { return a.start < b.start; });
    return records;
}

}  // namespace

CAlmxData YearlyHolidayRecord(const char* title, const DateTime& start, const DateTime& end,
                              int day, const RecordDefaults& defaults) {
    CAlmxData r(defaults);
    r.title = title;
    r.start = start.Date();
    r.end = end.Date();
    r.Set(HolidayMark);
    r.repeatType = RepeatYears;
    r.repeatInterval = 1;
    r.repeatFirstDay = day;
    r.repeatLastDay = day;
    return r;
}

CAlmxData YearlyMondayHolidayRecord(const char* title, const DateTime& start, const DateTime& end,
                                    int month, int week, int day, const RecordDefaults& defaults) {
    CAlmxData r = YearlyHolidayRecord(title, start, end, day, defaults);
    r.positionMode = 1;
    r.validWeeks.fill(0);
    r.validWeekdays.fill(0);
    r.validMonths.fill(0);
    if (week >= 1 && week <= 5) r.validWeeks[static_cast<std::size_t>(week - 1)] = 1;
    r.validWeekdays[1] = 1;
    if (month >= 1 && month <= 12) r.validMonths[static_cast<std::size_t>(month - 1)] = 1;
    return r;
}

CAlmxData OneDayHolidayRecord(const char* title, const DateTime& day,
                              const RecordDefaults& defaults) {
    CAlmxData r(defaults);
    r.title = title;
    r.start = day.Date();
    r.end = day.Date();
    r.Set(HolidayMark);
    return r;
}

CAlmxData RecordFromRule(const HolidayRule& rule, const RecordDefaults& defaults) {
    const DateTime first = FromKey(rule.first);
    const DateTime last = FromKey(rule.last);
    if (IsOneDay(rule)) return OneDayHolidayRecord(rule.name, first, defaults);
    CAlmxData r = rule.kind == HolidayRuleKind::NthMonday
                      ? YearlyMondayHolidayRecord(rule.name, first, last, rule.month, rule.week,
                                                  rule.day, defaults)
                      : YearlyHolidayRecord(rule.name, first, last, rule.day, defaults);
    for (int key : rule.exceptions) {
        if (key != 0) r.exceptions.push_back(CDaySpan::FromDates(FromKey(key), FromKey(key)));
    }
    return r;
}

std::vector<CAlmxData> HolidayLawRecords(const RecordDefaults& defaults) {
    std::vector<CAlmxData> records;
    for (const HolidayRule& rule : HolidayRules()) {
        if (!IsComputed(rule) && !IsOneDay(rule)) records.push_back(RecordFromRule(rule, defaults));
    }
    for (CAlmxData& r : OneDayRecords(defaults)) records.push_back(std::move(r));
    return records;
}

bool HolidayUpdate2003(RecordList& records, const RecordDefaults& defaults) {
    const bool done = std::any_of(records.begin(), records.end(), [](const CAlmxData& r) {
        return r.title == "敬老の日" && r.repeatType == RepeatYears && r.validWeeks[2];
    });
    if (done) return false;
    const DateTime cut = DateTime::FromDate(2002, 12, 31);
    int matched = 0;
    for (CAlmxData& r : records) {
        if ((IsHolidayRecord(r, "敬老の日") && StartsOn(r, 9, 15)) ||
            (IsHolidayRecord(r, "海の日") && StartsOn(r, 7, 20))) {
            EndBy(r, cut);
            ++matched;
        }
    }
    if (matched == 0) return false;
    const DateTime from = DateTime::FromDate(2003, 1, 1);
    const DateTime to = DateTime::FromDate(kMaxYear, 12, 31);
    records.push_back(YearlyMondayHolidayRecord("敬老の日", from, to, 9, 3, 15, defaults));
    records.push_back(YearlyMondayHolidayRecord("海の日", from, to, 7, 3, 20, defaults));
    return true;
}

bool HolidayUpdate2007(RecordList& records, const RecordDefaults& defaults) {
    const bool done = std::any_of(records.begin(), records.end(), [](const CAlmxData& r) {
        return IsHolidayRecord(r, "昭和の日") && StartsOn(r, 4, 29);
    });
    if (done) return false;
    const DateTime cut = DateTime::FromDate(2006, 12, 31);
    int matched = 0;
    for (CAlmxData& r : records) {
        if (r.repeatType != RepeatYears) continue;
        if ((IsHolidayRecord(r, "みどりの日") && StartsOn(r, 4, 29)) ||
            (IsHolidayRecord(r, "国民の休日") && StartsOn(r, 5, 4))) {
            EndBy(r, cut);
            ++matched;
        }
    }
    if (matched == 0) return false;
    const DateTime to = DateTime::FromDate(kMaxYear, 12, 31);
    records.push_back(
        YearlyHolidayRecord("昭和の日", DateTime::FromDate(2007, 4, 29), to, 29, defaults));
    records.push_back(
        YearlyHolidayRecord("みどりの日", DateTime::FromDate(2007, 5, 4), to, 4, defaults));
    return true;
}

bool HolidayUpdate2016(RecordList& records, const RecordDefaults& defaults) {
    const bool present = std::any_of(records.begin(), records.end(), [](const CAlmxData& r) {
        return IsHolidayRecord(r, "山の日");
    });
    if (present) return false;
    records.push_back(YearlyHolidayRecord("山の日", DateTime::FromDate(2016, 8, 11),
                                          DateTime::FromDate(kMaxYear, 12, 31), 11, defaults));
    return true;
}

bool HolidayUpdate2020(RecordList& records, const RecordDefaults& defaults) {
    const bool done = std::any_of(records.begin(), records.end(), [](const CAlmxData& r) {
        return IsHolidayRecord(r, "スポーツの日");
    });
    if (done) return false;
    const DateTime birthdayCut = DateTime::FromDate(2018, 12, 31);
    const DateTime sportsCut = DateTime::FromDate(2019, 12, 31);
    auto oldBirthday = [&](const CAlmxData& r) {
        return IsHolidayRecord(r, "天皇誕生日") && r.IsRecurring() && StartsOn(r, 12, 23) &&
               r.end > birthdayCut;
    };
    auto oldSports = [&](const CAlmxData& r) {
        return IsHolidayRecord(r, "体育の日") && r.IsRecurring() && r.end > sportsCut;
    };
    const bool oldLaw = std::any_of(records.begin(), records.end(), [&](const CAlmxData& r) {
        return oldBirthday(r) || oldSports(r);
    });
    if (!oldLaw) return false;

    for (CAlmxData& r : records) {
        if (oldBirthday(r)) EndBy(r, birthdayCut);
        if (oldSports(r)) EndBy(r, sportsCut);
    }
    // The moved days leave the yearly records that cover them.
    for (const HolidayRule& rule : HolidayRules()) {
        for (int key : rule.exceptions) {
            if (key == 0) continue;
            const DateTime day = FromKey(key);
            for (CAlmxData& r : records) {
                if (IsHolidayRecord(r, rule.name) && r.IsRecurring() && r.start <= day &&
                    day <= r.end && !HasExceptionOn(r, day)) {
                    r.exceptions.push_back(CDaySpan::FromDates(day, day));
                }
            }
        }
    }
    // Yearly holidays of the current law that older files lack.
    for (const HolidayRule& rule : HolidayRules()) {
        if (IsComputed(rule) || IsOneDay(rule) || rule.first < 20190101) continue;
        const bool present = std::any_of(records.begin(), records.end(), [&](const CAlmxData& r) {
            return IsHolidayRecord(r, rule.name) && r.IsRecurring() &&
                   r.start.Month() == rule.month && r.end >= FromKey(rule.first);
        });
        if (!present) records.push_back(RecordFromRule(rule, defaults));
    }
    for (CAlmxData& r : OneDayRecords(defaults)) {
        if (!HasOneDayHolidayOn(records, r.start)) records.push_back(std::move(r));
    }
    return true;
}

}  // namespace almx
