#pragma once
// Japanese public holidays as law: a pure function of the date.

#include <span>
#include <string_view>

namespace almx {

// True for a national holiday, a substitute holiday or a day between two holidays; with
// sundayCounts also for every Sunday.
bool IsHoliday(int year, int month, int day, bool sundayCounts);

// Day of March / September of the equinox days of a year; 0 outside 1900..2150, where the
// formulas are not known to hold.
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);

// The national holiday (祝日) named by the law on that day, the one-off holidays included;
// empty for every other day. Substitute holidays and days between two holidays have no name
// here: they follow from the named days.
std::string_view NationalHolidayName(int year, int month, int day);

// The holiday of IsHoliday with its name: the national holiday's name, "振替休日" or
// "国民の休日"; empty when the day is no holiday.
std::string_view HolidayName(int year, int month, int day);

// The holiday law as data, shared by IsHoliday and the holiday template.
enum class HolidayRuleKind {
    FixedDay,         // month/day every year from first to last (one day when they are equal)
    NthMonday,        // the week-th Monday of the month
    VernalEquinox,    // in March
    AutumnalEquinox,  // in September
};

struct HolidayRule {
    const char* name;
    HolidayRuleKind kind;
    int month;
    int day;            // the fixed day; for NthMonday the former fixed day, kept in the records
    int week;           // NthMonday: 1..4
    int first;          // yyyymmdd: the rule holds from this day ...
    int last;           // ... through this day
    int exceptions[2];  // yyyymmdd days on which the rule gives no holiday; 0 = none
};

std::span<const HolidayRule> HolidayRules();

// The law's dates in yyyymmdd form.
constexpr int kHolidayLawStart = 19480720;       // the holiday law in force
constexpr int kSubstituteStart = 19730412;       // substitute holidays
constexpr int kBetweenHolidaysStart = 19851227;  // a day between two holidays is a holiday
constexpr int kSubstituteChainStart = 20070101;  // a Sunday holiday moves past later holidays

}  // namespace almx
