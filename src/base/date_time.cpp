#include "base/date_time.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "text/numbers.h"

namespace almx {

namespace {

constexpr long long kSecondsPerDay = 86400;

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

}  // namespace

// H. Hinnant's algorithms.
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

CivilDate CivilFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

int WeekdayFromDays(long days) {
    const long w = (days + 4) % 7;  // 1970/01/01 was a Thursday
    return static_cast<int>(w < 0 ? w + 7 : w);
}

const char* const kWeekdayNames[7] = {"日", "月", "火", "水", "木", "金", "土"};

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : lengths[month - 1];
}

bool DateExists(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

bool IsValidDate(int year, int month, int day) {
    return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

DateTime::DateTime(long long totalSeconds, bool valid)
    : days_(static_cast<double>(totalSeconds) / kSecondsPerDay), valid_(valid) {}

DateTime DateTime::FromDays(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 4.0e6) return Invalid();
    return DateTime(std::llround(days * kSecondsPerDay), true);
}

DateTime DateTime::FromDate(int year, int month, int day) {
    return FromParts(year, month, day, 0, 0, 0);
}

DateTime DateTime::FromParts(int year, int month, int day, int hour, int minute, int second) {
    if (!DateExists(year, month, day) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59) {
        return Invalid();
    }
    long long days = DaysFromCivil(year, month, day) + kEpochToUnixDays;
    return DateTime(days * kSecondsPerDay + hour * 3600LL + minute * 60LL + second, true);
}

DateTime DateTime::Invalid() {
    DateTime value;
    value.valid_ = false;
    return value;
}

long long DateTime::TotalSeconds() const {
    return std::llround(days_ * kSecondsPerDay);
}

long DateTime::DayNumber() const {
    return static_cast<long>(FloorDiv(TotalSeconds(), kSecondsPerDay));
}

int DateTime::SecondsOfDay() const {
    return static_cast<int>(TotalSeconds() - static_cast<long long>(DayNumber()) * kSecondsPerDay);
}

int DateTime::Year() const {
    return CivilFromDays(DayNumber() - kEpochToUnixDays).year;
}
int DateTime::Month() const {
    return CivilFromDays(DayNumber() - kEpochToUnixDays).month;
}
int DateTime::Day() const {
    return CivilFromDays(DayNumber() - kEpochToUnixDays).day;
}
int DateTime::Hour() const {
    return SecondsOfDay() / 3600;
}
int DateTime::Minute() const {
    return SecondsOfDay() / 60 % 60;
}
int DateTime::Second() const {
    return SecondsOfDay() % 60;
}

int DateTime::DayOfWeek() const {
    return WeekdayFromDays(DayNumber() - kEpochToUnixDays);
}

DateTime DateTime::Date() const {
    return DateTime(static_cast<long long>(DayNumber()) * kSecondsPerDay, valid_);
}

DateTime DateTime::WithTime(int hour, int minute, int second) const {
    return DateTime(static_cast<long long>(DayNumber()) * kSecondsPerDay + hour * 3600LL +
                        minute * 60LL + second,
                    valid_);
}

DateTime DateTime::WithTimeOf(const DateTime& other) const {
    return DateTime(static_cast<long long>(DayNumber()) * kSecondsPerDay + other.SecondsOfDay(),
                    valid_ && other.valid_);
}

DateTime DateTime::PlusDays(long days) const {
    return DateTime(TotalSeconds() + static_cast<long long>(days) * kSecondsPerDay, valid_);
}

DateTime DateTime::PlusSeconds(long long seconds) const {
    return DateTime(TotalSeconds() + seconds, valid_);
}

double DaySpan(const DateTime& a, const DateTime& b) {
    return b.Days() - a.Days();
}

long WholeDays(const DateTime& a, const DateTime& b) {
    // Through seconds, so that 23:59:59 spans never round up to a whole day.
    long long seconds =
        std::llround(b.Days() * kSecondsPerDay) - std::llround(a.Days() * kSecondsPerDay);
    return static_cast<long>(seconds / kSecondsPerDay);
}

long DateDifference(const DateTime& a, const DateTime& b) {
    return b.DayNumber() - a.DayNumber();
}

std::string FormatDate(const DateTime& value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d/%02d/%02d", value.Year(), value.Month(), value.Day());
    return buffer;
}

std::string FormatTime(const DateTime& value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", value.Hour(), value.Minute());
    return buffer;
}

std::optional<DateTime> ParseDate(std::string_view text) {
    std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    int year = text::LeadingInt(text.substr(0, slash));
    if (year >= 0 && year < 100) {
        if (year >= 70) {
            year += 1900;
        } else if (year <= 38) {
            year += 2000;
        }
    }
    std::string_view rest = text.substr(slash + 1);
    std::size_t second = rest.find('/');
    if (second == std::string_view::npos) return std::nullopt;
    int month = text::LeadingInt(rest.substr(0, second));
    int day = text::LeadingInt(rest.substr(second + 1));
    if (!IsValidDate(year, month, day)) return std::nullopt;
    return DateTime::FromDate(year, month, day);
}

std::optional<DateTime> ParseTime(std::string_view dateText, std::string_view timeText) {
    std::optional<DateTime> date = ParseDate(dateText);
    if (!date) return std::nullopt;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if ((timeText.size() == 1 || timeText.size() == 2) && text::AllDigits(timeText)) {
        hour = text::LeadingInt(timeText);
    } else if (timeText.size() == 4 && text::AllDigits(timeText)) {
        hour = text::LeadingInt(timeText.substr(0, 2));
        minute = text::LeadingInt(timeText.substr(2, 2));
    } else {
        std::size_t colon = timeText.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        hour = text::LeadingInt(timeText.substr(0, colon));
        std::string_view rest = timeText.substr(colon + 1);
        std::size_t colon2 = rest.find(':');
        if (colon2 == std::string_view::npos) {
            minute = text::LeadingInt(rest);
        } else {
            minute = text::LeadingInt(rest.substr(0, colon2));
            second = text::LeadingInt(rest.substr(colon2 + 1));
        }
    }
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return std::nullopt;
    }
    return date->WithTime(hour, minute, second);
}

std::optional<HourMinute> ParseHourMinute(std::string_view text) {
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    int hour = text::LeadingInt(text.substr(0, colon));
    int minute = text::LeadingInt(text.substr(colon + 1));
    if (hour < 0 || hour > 23 || minute < 0 || minute >= 60) return std::nullopt;
    return HourMinute{hour, minute};
}

DateTime ReplaceYear(const DateTime& value, int year) {
    if (!value.IsValid()) return value;
    return DateTime::FromParts(year, value.Month(), value.Day(), value.Hour(), value.Minute(), 0);
}

DateTime ReplaceDateParts(const DateTime& value, int year, int month, int day) {
    if (!value.IsValid()) return value;
    return DateTime::FromParts(year != 0 ? year : value.Year(), month != 0 ? month : value.Month(),
                               day != 0 ? day : value.Day(), value.Hour(), value.Minute(),
                               value.Second());
}

DateTime LogicalDate(const DateTime& value, int todayLimit) {
    return value.PlusSeconds(-3600LL * todayLimit).Date();
}

DateTime LogicalDate(const DateTime& date, int hour, int todayLimit) {
    return hour < todayLimit ? date.Date().PlusDays(-1) : date.Date();
}

DateTime AlignForwardToWeekday(const DateTime& date, int weekday) {
    return date.PlusDays((weekday - date.DayOfWeek() + 7) % 7);
}

DateTime AddMonths(const DateTime& value, int months) {
    if (!value.IsValid()) return value;
    long index = value.Year() * 12L + (value.Month() - 1) + months;
    int year = static_cast<int>(index / 12);
    int month = static_cast<int>(index % 12) + 1;
    int day = std::min(value.Day(), DaysInMonth(year, month));
    return DateTime::FromParts(year, month, day, value.Hour(), value.Minute(), value.Second());
}

DateTime AddYears(const DateTime& value, int years) {
    return AddMonths(value, years * 12);
}

}  // namespace almx
