#include "calendar/holidays.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "official_holidays.h"

namespace almx {
namespace {

using testing::KeyText;

TEST(IsHoliday, AgreesWithTheOfficialListEveryDay1955To2027) {
    const std::set<int> official = testing::OfficialHolidayKeys();
    ASSERT_GT(official.size(), 1000u);
    std::vector<std::string> missing, extra;
    for (int y = testing::kOfficialFirstYear; y <= testing::kOfficialLastYear; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInMonth(y, m); ++d) {
                const int key = y * 10000 + m * 100 + d;
                const bool listed = official.count(key) != 0;
                const bool holiday = IsHoliday(y, m, d, false);
                if (listed && !holiday) missing.push_back(KeyText(key));
                if (!listed && holiday) extra.push_back(KeyText(key));
                // The Sunday switch adds exactly the Sundays.
                const bool sunday = DateTime::FromDate(y, m, d).DayOfWeek() == 0;
                EXPECT_EQ(IsHoliday(y, m, d, true), listed || sunday) << KeyText(key);
            }
        }
    }
    EXPECT_EQ(missing, std::vector<std::string>{});
    EXPECT_EQ(extra, std::vector<std::string>{});
}

// One line per date: each change of the law and each one-off day, with the name the calendar
// gives the day ("" = no holiday).
TEST(HolidayName, LawChangesAndOneOffDays) {
    struct Case {
        int y, m, d;
        const char* name;
    } cases[] = {
        {1948, 5, 5, ""},  // before the law was in force
        {1948, 9, 23, "秋分の日"},
        {1949, 1, 1, "元日"},
        {1959, 4, 10, "結婚の儀"},
        {1965, 9, 15, ""},
        {1966, 9, 15, "敬老の日"},
        {1965, 10, 10, ""},
        {1966, 10, 10, "体育の日"},
        {1966, 2, 11, ""},  // 建国記念の日 from 1967
        {1967, 2, 11, "建国記念の日"},
        {1973, 2, 12, ""},  // Sunday 2/11 before substitute holidays began
        {1973, 4, 30, "振替休日"},
        {1978, 1, 2, "振替休日"},
        {1985, 5, 4, ""},  // Saturday before days between holidays
        {1986, 5, 4, ""},  // a Sunday stays a Sunday
        {1988, 5, 4, "国民の休日"},
        {1987, 5, 4, "振替休日"},
        {1988, 4, 29, "天皇誕生日"},
        {1988, 12, 23, ""},
        {1989, 2, 24, "大喪の礼"},
        {1989, 4, 29, "みどりの日"},
        {1989, 12, 23, "天皇誕生日"},
        {1990, 11, 12, "即位礼正殿の儀"},
        {1993, 6, 9, "結婚の儀"},
        {1995, 7, 20, ""},
        {1996, 7, 20, "海の日"},
        {1999, 1, 15, "成人の日"},
        {1999, 10, 10, "体育の日"},
        {2000, 1, 15, ""},
        {2000, 1, 10, "成人の日"},
        {2000, 10, 10, ""},
        {2000, 10, 9, "体育の日"},
        {2003, 7, 20, ""},
        {2003, 7, 21, "海の日"},
        {2004, 9, 15, ""},
        {2004, 9, 20, "敬老の日"},
        {2006, 5, 4, "国民の休日"},
        {2006, 5, 6, ""},
        {2007, 4, 29, "昭和の日"},
        {2007, 5, 4, "みどりの日"},
        {2008, 5, 6, "振替休日"},  // Sunday 5/4 moves past 5/5
        {2009, 5, 6, "振替休日"},  // Sunday 5/3 moves past 5/4 and 5/5
        {2009, 9, 22, "国民の休日"},
        {2015, 8, 11, ""},
        {2016, 8, 11, "山の日"},
        {2018, 12, 23, "天皇誕生日"},
        {2018, 12, 24, "振替休日"},
        {2019, 2, 23, ""},
        {2019, 4, 30, "国民の休日"},
        {2019, 5, 1, "即位の日"},
        {2019, 5, 2, "国民の休日"},
        {2019, 5, 6, "振替休日"},
        {2019, 10, 14, "体育の日"},
        {2019, 10, 22, "即位礼正殿の儀"},
        {2019, 12, 23, ""},
        {2020, 2, 23, "天皇誕生日"},
        {2020, 2, 24, "振替休日"},
        {2020, 7, 20, ""},
        {2020, 7, 23, "海の日"},
        {2020, 7, 24, "スポーツの日"},
        {2020, 8, 10, "山の日"},
        {2020, 8, 11, ""},
        {2020, 10, 12, ""},
        {2021, 7, 19, ""},
        {2021, 7, 22, "海の日"},
        {2021, 7, 23, "スポーツの日"},
        {2021, 8, 8, "山の日"},
        {2021, 8, 9, "振替休日"},
        {2021, 8, 11, ""},
        {2021, 10, 11, ""},
        {2022, 10, 10, "スポーツの日"},
        {2026, 9, 22, "国民の休日"},
        {2150, 3, 21, "春分の日"},
        {2151, 3, 21, ""},  // no equinox formula beyond 2150
    };
    for (const Case& c : cases) {
        const std::string where =
            std::to_string(c.y) + "/" + std::to_string(c.m) + "/" + std::to_string(c.d);
        EXPECT_EQ(HolidayName(c.y, c.m, c.d), c.name) << where;
        EXPECT_EQ(IsHoliday(c.y, c.m, c.d, false), *c.name != '\0') << where;
    }
}

TEST(EquinoxDays, IntegerFormsMatchTheFormulaOver1900To2150) {
    // The published formula in floating point; before 1980 the leap days count from 1983,
    // truncated toward zero.
    auto formula = [](int y, double c1, double c2, double c3) {
        const double base = y < 1980 ? c1 : y < 2100 ? c2 : c3;
        const double leaps = y < 1980 ? std::trunc((y - 1983) / 4.0) : std::floor((y - 1980) / 4.0);
        return static_cast<int>(std::floor(base + 0.242194 * (y - 1980) - leaps));
    };
    for (int y = 1900; y <= 2150; ++y) {
        EXPECT_EQ(VernalEquinoxDay(y), formula(y, 20.8357, 20.8431, 21.8510)) << y;
        EXPECT_EQ(AutumnalEquinoxDay(y), formula(y, 23.2588, 23.2488, 24.2488)) << y;
    }
    for (int y : {1899, 2151, 9998, -7}) {
        EXPECT_EQ(VernalEquinoxDay(y), 0) << y;
        EXPECT_EQ(AutumnalEquinoxDay(y), 0) << y;
    }
}

TEST(IsHoliday, ImpossibleDatesAreNoHolidays) {
    for (auto [y, m, d] : {std::array{2021, 2, 29},
                           {2020, 13, 1},
                           {2020, 0, 1},
                           {2020, 1, 32},
                           {0, 1, 1},
                           {-2000, 1, 1},
                           {10000, 1, 1},
                           {2147483647, 12, 31}}) {
        EXPECT_FALSE(IsHoliday(y, m, d, true)) << y << "/" << m << "/" << d;
        EXPECT_TRUE(HolidayName(y, m, d).empty());
    }
    EXPECT_TRUE(IsHoliday(1583, 1, 2, true));  // a Sunday far from the law
}

}  // namespace
}  // namespace almx
