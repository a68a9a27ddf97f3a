#include "calendar/holidays.h"

#include "base/date_time.h"

namespace almx {

namespace {

using Kind = HolidayRuleKind;

constexpr int kForever = 99991231;
constexpr int kEquinoxLast = 21501231;

constexpr HolidayRule kRules[] = {
    {"元日", Kind::FixedDay, 1, 1, 0, 19490101, kForever, {}},
    {"成人の日", Kind::FixedDay, 1, 15, 0, 19490115, 19991231, {}},
    {"成人の日", Kind::NthMonday, 1, 15, 2, 20000101, kForever, {}},
    {"建国記念の日", Kind::FixedDay, 2, 11, 0, 19670211, kForever, {}},
    {"天皇誕生日", Kind::FixedDay, 2, 23, 0, 20200223, kForever, {}},
    {"春分の日", Kind::VernalEquinox, 3, 0, 0, kHolidayLawStart, kEquinoxLast, {}},
    {"天皇誕生日", Kind::FixedDay, 4, 29, 0, 19490429, 19881231, {}},
    {"みどりの日", Kind::FixedDay, 4, 29, 0, 19890429, 20061231, {}},
    {"昭和の日", Kind::FixedDay, 4, 29, 0, 20070429, kForever, {}},
    {"憲法記念日", Kind::FixedDay, 5, 3, 0, 19490503, kForever, {}},
    {"みどりの日", Kind::FixedDay, 5, 4, 0, 20070504, kForever, {}},
    {"こどもの日", Kind::FixedDay, 5, 5, 0, 19490505, kForever, {}},
    {"海の日", Kind::FixedDay, 7, 20, 0, 19960720, 20021231, {}},
    {"海の日", Kind::NthMonday, 7, 20, 3, 20030101, kForever, {20200720, 20210719}},
    {"山の日", Kind::FixedDay, 8, 11, 0, 20160811, kForever, {20200811, 20210811}},
    {"敬老の日", Kind::FixedDay, 9, 15, 0, 19660915, 20021231, {}},
    {"敬老の日", Kind::NthMonday, 9, 15, 3, 20030101, kForever, {}},
    {"秋分の日", Kind::AutumnalEquinox, 9, 0, 0, kHolidayLawStart, kEquinoxLast, {}},
    {"体育の日", Kind::FixedDay, 10, 10, 0, 19661010, 19991231, {}},
    {"体育の日", Kind::NthMonday, 10, 10, 2, 20000101, 20191231, {}},
    {"スポーツの日", Kind::NthMonday, 10, 10, 2, 20200101, kForever, {20201012, 20211011}},
    {"文化の日", Kind::FixedDay, 11, 3, 0, 19481103, kForever, {}},
    {"勤労感謝の日", Kind::FixedDay, 11, 23, 0, 19481123, kForever, {}},
    {"天皇誕生日", Kind::FixedDay, 12, 23, 0, 19891223, 20181231, {}},
    // One-off days.
    {"結婚の儀", Kind::FixedDay, 4, 10, 0, 19590410, 19590410, {}},
    {"大喪の礼", Kind::FixedDay, 2, 24, 0, 19890224, 19890224, {}},
    {"即位礼正殿の儀", Kind::FixedDay, 11, 12, 0, 19901112, 19901112, {}},
    {"結婚の儀", Kind::FixedDay, 6, 9, 0, 19930609, 19930609, {}},
    {"即位の日", Kind::FixedDay, 5, 1, 0, 20190501, 20190501, {}},
    {"即位礼正殿の儀", Kind::FixedDay, 10, 22, 0, 20191022, 20191022, {}},
    // The Olympic years move three holidays.
    {"海の日", Kind::FixedDay, 7, 23, 0, 20200723, 20200723, {}},
    {"スポーツの日", Kind::FixedDay, 7, 24, 0, 20200724, 20200724, {}},
    {"山の日", Kind::FixedDay, 8, 10, 0, 20200810, 20200810, {}},
    {"海の日", Kind::FixedDay, 7, 22, 0, 20210722, 20210722, {}},
    {"スポーツの日", Kind::FixedDay, 7, 23, 0, 20210723, 20210723, {}},
    {"山の日", Kind::FixedDay, 8, 8, 0, 20210808, 20210808, {}},
};

using Civil = CivilDate;

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Day of the month of an equinox: the day part of base + 0.242194 (y - 1980) - leap days,
// in millionths. Before 1980 the leap days are counted from 1983 and truncated toward zero;
// that is what reproduces the official days of 1955-1979.
int EquinoxDay(int y, long long before1980, long long before2100, long long from2100) {
    if (y < 1900 || y > 2150) return 0;
    const long long years = y - 1980;
    if (y < 1980) {
        const long long b = 242194 * years - 1000000LL * ((y - 1983) / 4);
        return static_cast<int>(FloorDiv(b + before1980, 1000000));
    }
    const long long b = 242194 * years - 1000000LL * FloorDiv(years, 4);
    return static_cast<int>(FloorDiv(b + (y < 2100 ? before2100 : from2100), 1000000));
}

bool RuleHolds(const HolidayRule& rule, const Civil& c, int weekday) {
    if (rule.month != c.month) return false;
    const int key = c.Key();
    if (key < rule.first || key > rule.last) return false;
    if (key == rule.exceptions[0] || key == rule.exceptions[1]) return false;
    switch (rule.kind) {
        case Kind::FixedDay:
            return c.day == rule.day;
        case Kind::NthMonday:
            return weekday == 1 && (c.day - 1) / 7 == rule.week - 1;
        case Kind::VernalEquinox:
            return c.day == VernalEquinoxDay(c.year);
        case Kind::AutumnalEquinox:
            return c.day == AutumnalEquinoxDay(c.year);
    }
    return false;
}

const char* NamedOn(long z) {
    const Civil c = CivilFromDays(z);
    const int weekday = WeekdayFromDays(z);
    for (const auto& rule : HolidayRules()) {
        if (RuleHolds(rule, c, weekday)) return rule.name;
    }
    return nullptr;
}

// A Sunday holiday gives the next day off; from 2007 the first later day that is no national
// holiday. The chain of holidays after a Sunday is at most a few days long.
bool IsSubstituteOn(long z) {
    constexpr int kLongestChain = 7;
    for (int k = 1; k <= kLongestChain; ++k) {
        const long p = z - k;
        if (!NamedOn(p)) return false;
        if (WeekdayFromDays(p) == 0) {
            const int key = CivilFromDays(p).Key();
            return key >= kSubstituteStart && (k == 1 || key >= kSubstituteChainStart);
        }
    }
    return false;
}

bool IsBetweenHolidaysOn(long z) {
    return CivilFromDays(z).Key() >= kBetweenHolidaysStart && WeekdayFromDays(z) != 0 &&
           NamedOn(z - 1) && NamedOn(z + 1);
}

}  // namespace

std::span<const HolidayRule> HolidayRules() {
    return kRules;
}

int VernalEquinoxDay(int year) {
    return EquinoxDay(year, 20835700, 20843100, 21851000);
}

int AutumnalEquinoxDay(int year) {
    return EquinoxDay(year, 23258800, 23248800, 24248800);
}

std::string_view NationalHolidayName(int year, int month, int day) {
    if (!DateExists(year, month, day)) return {};
    const char* name = NamedOn(DaysFromCivil(year, month, day));
    return name ? std::string_view(name) : std::string_view();
}

std::string_view HolidayName(int year, int month, int day) {
    if (!DateExists(year, month, day)) return {};
    const long z = DaysFromCivil(year, month, day);
    if (const char* name = NamedOn(z)) return name;
    if (IsSubstituteOn(z)) return "振替休日";
    if (IsBetweenHolidaysOn(z)) return "国民の休日";
    return {};
}

bool IsHoliday(int year, int month, int day, bool sundayCounts) {
    if (!DateExists(year, month, day)) return false;
    if (sundayCounts && WeekdayFromDays(DaysFromCivil(year, month, day)) == 0) return true;
    return !HolidayName(year, month, day).empty();
}

}  // namespace almx
