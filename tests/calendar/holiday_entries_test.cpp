#include "calendar/holiday_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/settings_store.h"
#include "calendar/holiday_days.h"
#include "calendar/holiday_updates.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

// Holiday records on the given days only.
HolidayRecordQuery Days(std::set<long> days) {
    return
        [days = std::move(days)](const DateTime& day) { return days.count(day.DayNumber()) != 0; };
}

// "yyyy/mm/dd title" of every entry of the range.
std::vector<std::string> Titles(const std::vector<std::optional<CAlmxData>>& entries) {
    std::vector<std::string> out;
    for (const auto& entry : entries) {
        if (entry) out.push_back(FormatDate(entry->start) + " " + entry->title);
    }
    return out;
}

std::vector<std::string> LawRecordEntries(const DateTime& first, int count,
                                          const HolidayDisplaySettings& display) {
    static const std::vector<CAlmxData> records = HolidayLawRecords();
    HolidayRecordDays days(records, first.PlusDays(-kHolidayLookBack), first.PlusDays(count));
    return Titles(ComputedHolidayEntries(first, count, days.Query(), display));
}

TEST(ComputedHolidayEntries, EntriesAreHolidayRecordsOnTheirDay) {
    MemorySettingsStore settings;
    settings.SetInt("System", "Alerm", 15);
    const HolidayRecordQuery sunday = Days({D(2013, 11, 3).DayNumber()});
    const auto entries =
        ComputedHolidayEntries(D(2013, 11, 3).PlusSeconds(3600), 2, sunday, settings);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(entries[0]);
    ASSERT_TRUE(entries[1]);
    const CAlmxData& e = *entries[1];
    EXPECT_EQ(e.title, "振替休日");
    EXPECT_EQ(e.start, D(2013, 11, 4));
    EXPECT_EQ(e.end, D(2013, 11, 4));
    EXPECT_EQ(e.flags, HolidayMark);
    EXPECT_EQ(e.alarmMinutes, 15);
    EXPECT_FALSE(e.IsRecurring());
}

TEST(ComputedHolidayEntries, RangeStartingOnTheDayItselfKeepsTheEntry) {
    // A week starting on Monday 2013/09/23 (秋分の日) and a day range on a substitute Monday.
    EXPECT_EQ(LawRecordEntries(D(2013, 9, 23), 7, {}),
              std::vector<std::string>{"2013/09/23 秋分の日"});
    EXPECT_EQ(LawRecordEntries(D(2013, 11, 4), 1, {}),
              std::vector<std::string>{"2013/11/04 振替休日"});
    EXPECT_EQ(LawRecordEntries(D(2009, 9, 22), 1, {}),
              std::vector<std::string>{"2009/09/22 国民の休日"});
}

TEST(ComputedHolidayEntries, SettingsSwitchEachKind) {
    // 2010/03/21 a Sunday equinox, 2015/09/22 between two holidays, 2019/05/05 a Sunday record.
    const DateTime first = D(2010, 1, 1);
    const int count = static_cast<int>(DateDifference(first, D(2019, 12, 31)) + 1);
    const std::vector<std::string> days = {"2010/03/21 春分の日", "2010/03/22 振替休日",
                                           "2015/09/22 国民の休日", "2019/05/06 振替休日"};
    auto shown = [&](bool equinox, bool substitute) {
        std::vector<bool> out;
        const auto titles = LawRecordEntries(first, count, {equinox, substitute});
        for (const std::string& day : days) {
            out.push_back(std::find(titles.begin(), titles.end(), day) != titles.end());
        }
        return out;
    };
    EXPECT_EQ(shown(true, true), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(shown(true, false), (std::vector<bool>{true, false, true, false}));
    // Without its equinox entry the Sunday carries nothing to move.
    EXPECT_EQ(shown(false, true), (std::vector<bool>{false, false, false, true}));
    EXPECT_TRUE(LawRecordEntries(first, count, {false, false}).empty());

    MemorySettingsStore settings;
    settings.SetInt("Holiday", "Hurikae", 0);
    EXPECT_EQ(Titles(ComputedHolidayEntries(D(2010, 3, 21), 2, {}, settings)),
              std::vector<std::string>{"2010/03/21 春分の日"});
    settings.SetInt("Holiday", "Shunbun", 0);
    EXPECT_TRUE(Titles(ComputedHolidayEntries(D(2010, 3, 21), 2, {}, settings)).empty());
}

// The entry of one day when holiday records lie on the given days of the same month.
std::string EntryWithRecords(int y, int m, int d, std::initializer_list<int> recordDays) {
    std::set<long> days;
    for (int day : recordDays) days.insert(D(y, m, day).DayNumber());
    const auto titles = Titles(ComputedHolidayEntries(D(y, m, d), 1, Days(days), {}));
    return titles.empty() ? "" : titles[0].substr(11);
}

TEST(ComputedHolidayEntries, SubstitutesFollowTheRecordsOnSundays) {
    // A holiday record on a Sunday that is no national holiday still gives the Monday off ...
    EXPECT_EQ(EntryWithRecords(2030, 6, 3, {2}), "振替休日");
    EXPECT_EQ(EntryWithRecords(2030, 6, 3, {2, 3}), "");  // ... unless the Monday has one
    EXPECT_EQ(EntryWithRecords(1973, 2, 12, {11}), "");   // not before 1973/04/12
    EXPECT_EQ(EntryWithRecords(2009, 5, 6, {3, 4, 5}), "振替休日");  // past national holidays
    EXPECT_EQ(EntryWithRecords(2030, 6, 4, {2, 3}), "");             // not past other days off
    EXPECT_EQ(EntryWithRecords(1997, 5, 6, {3, 4, 5}), "");          // before 2007 only the Monday
}

TEST(ComputedHolidayEntries, ADayGetsTheSameEntryInEveryRange) {
    const HolidayDisplaySettings variants[] = {{true, true}, {true, false}, {false, true}};
    std::mt19937 random(20240601);
    for (const HolidayDisplaySettings& display : variants) {
        const DateTime first = D(1970, 1, 1);
        const int count = static_cast<int>(DateDifference(first, D(2035, 12, 31)) + 1);
        const auto whole = LawRecordEntries(first, count, display);
        const std::set<std::string> reference(whole.begin(), whole.end());
        for (int trial = 0; trial < 400; ++trial) {
            const DateTime start =
                first.PlusDays(std::uniform_int_distribution<int>(0, count - 60)(random));
            const int length = std::uniform_int_distribution<int>(1, 45)(random);
            const auto part = LawRecordEntries(start, length, display);
            std::vector<std::string> expected;
            for (int i = 0; i < length; ++i) {
                const std::string date = FormatDate(start.PlusDays(i));
                for (auto it = reference.lower_bound(date);
                     it != reference.end() && it->compare(0, date.size(), date) == 0; ++it) {
                    expected.push_back(*it);
                }
            }
            ASSERT_EQ(part, expected) << FormatDate(start) << " +" << length;
        }
    }
}

TEST(ComputedHolidayEntries, BadRangesGiveNothing) {
    const HolidayDisplaySettings on;
    EXPECT_TRUE(ComputedHolidayEntries(D(2020, 1, 1), 0, {}, on).empty());
    EXPECT_TRUE(ComputedHolidayEntries(D(2020, 1, 1), -5, {}, on).empty());
    EXPECT_TRUE(ComputedHolidayEntries(DateTime::Invalid(), 10, {}, on).empty());
    // A range running past the last valid year stops there.
    const auto end = ComputedHolidayEntries(D(9998, 12, 1), 90, {}, on);
    EXPECT_EQ(end.size(), 90u);
    EXPECT_TRUE(std::none_of(end.begin() + 31, end.end(), [](const auto& e) { return e; }));
}

}  // namespace
}  // namespace almx
