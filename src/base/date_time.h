#pragma once
// The one date-time representation: days since 1899/12/30 00:00 as a double (the fraction is
// the time of day) plus a validity status. Values are kept to whole seconds. Calendar parts are
// on the proleptic Gregorian calendar; negative values are plain days before the epoch.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace almx {

constexpr int kMinYear = 1583;
constexpr int kMaxYear = 9998;

bool IsLeapYear(int year);

// Days since 1970/01/01 of a proleptic Gregorian date and back, for code that steps through
// days as plain numbers.
struct CivilDate {
    int year, month, day;
    int Key() const { return year * 10000 + month * 100 + day; }  // yyyymmdd
};
long DaysFromCivil(int year, int month, int day);
CivilDate CivilFromDays(long days);
// 0 Sunday .. 6 Saturday of a day counted as DaysFromCivil counts.
int WeekdayFromDays(long days);
// DateTime's day numbers (DayNumber) start 25569 days before DaysFromCivil's.
inline constexpr long kEpochToUnixDays = 25569;  // 1899/12/30 .. 1970/01/01
int DaysInMonth(int year, int month);
// Year 1 to 9999, month 1 to 12, day 1 to the month's length: a date DateTime can hold.
bool DateExists(int year, int month, int day);
// Year 1583 to 9998, month 1 to 12, day 1 to the month's length.
bool IsValidDate(int year, int month, int day);

class DateTime {
  public:
    constexpr DateTime() = default;  // the epoch, valid

    static DateTime FromDays(double days);
    // Invalid when the month or day does not exist, the year is outside 1..9999, or the time
    // of day is out of range.
    static DateTime FromDate(int year, int month, int day);
    static DateTime FromParts(int year, int month, int day, int hour, int minute, int second = 0);
    static DateTime Invalid();

    double Days() const { return days_; }
    bool IsValid() const { return valid_; }

    int Year() const;
    int Month() const;
    int Day() const;
    int Hour() const;
    int Minute() const;
    int Second() const;
    int DayOfWeek() const;   // 0 Sunday .. 6 Saturday
    long DayNumber() const;  // whole days since the epoch (floor)
    int SecondsOfDay() const;

    DateTime Date() const;  // the same day at 00:00
    DateTime WithTime(int hour, int minute, int second = 0) const;
    DateTime WithTimeOf(const DateTime& other) const;
    DateTime PlusDays(long days) const;
    DateTime PlusSeconds(long long seconds) const;
    DateTime PlusMinutes(long long minutes) const { return PlusSeconds(minutes * 60); }

    friend bool operator==(const DateTime& a, const DateTime& b) {
        return a.valid_ == b.valid_ && a.days_ == b.days_;
    }
    friend std::partial_ordering operator<=>(const DateTime& a, const DateTime& b) {
        return a.days_ <=> b.days_;
    }

  private:
    DateTime(long long totalSeconds, bool valid);
    long long TotalSeconds() const;

    double days_ = 0.0;
    bool valid_ = true;
};

// Day span from a to b in days with fraction (b - a).
double DaySpan(const DateTime& a, const DateTime& b);
// Whole days from a to b, truncated toward zero.
long WholeDays(const DateTime& a, const DateTime& b);
// Calendar days from a's date to b's date.
long DateDifference(const DateTime& a, const DateTime& b);

// "%d/%02d/%02d" and "%02d:%02d".
std::string FormatDate(const DateTime& value);
std::string FormatTime(const DateTime& value);

// Date texts such as 2008/1/5 or 08/01/05; nullopt when the text is not a valid date.
std::optional<DateTime> ParseDate(std::string_view text);
// A date text and a time text ("9", "0930", "9:5", "9:05:30") to a date-time.
std::optional<DateTime> ParseTime(std::string_view dateText, std::string_view timeText);

struct HourMinute {
    int hour = 0;
    int minute = 0;
};
// "h:m" with 0 <= h <= 23 and 0 <= m < 60.
std::optional<HourMinute> ParseHourMinute(std::string_view text);

// The year replaced; month, day, hour and minute kept, seconds 0 (invalid on a lost Feb 29).
DateTime ReplaceYear(const DateTime& value, int year);
// Any of year, month, day replaced where the given value is not 0.
DateTime ReplaceDateParts(const DateTime& value, int year, int month, int day);

// The day a date-time belongs to when the day changes at todayLimit o'clock: the date of
// (value - todayLimit hours), at 00:00.
DateTime LogicalDate(const DateTime& value, int todayLimit);
// The same for a date and an hour: the date itself unless the hour is before todayLimit.
DateTime LogicalDate(const DateTime& date, int hour, int todayLimit);

// Forward 0 to 6 days to the given weekday.
DateTime AlignForwardToWeekday(const DateTime& date, int weekday);
// Month and year stepping; the day is capped at the target month's length.
DateTime AddMonths(const DateTime& value, int months);
DateTime AddYears(const DateTime& value, int years);

extern const char* const kWeekdayNames[7];  // 日 月 火 水 木 金 土

}  // namespace almx
