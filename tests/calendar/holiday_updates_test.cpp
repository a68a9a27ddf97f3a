#include "calendar/holiday_updates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/csv_card.h"
#include "calendar/holiday_days.h"
#include "core/record_line.h"
#include "official_holidays.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}
const DateTime kForever = D(9998, 12, 31);

std::set<int> ShownKeys(const RecordList& records, int firstYear, int lastYear) {
    std::set<int> keys;
    for (const ShownHoliday& h :
         ShownHolidays(records, D(firstYear, 1, 1), D(lastYear, 12, 31), {})) {
        keys.insert(h.day.Year() * 10000 + h.day.Month() * 100 + h.day.Day());
    }
    return keys;
}

std::vector<std::string> Difference(const std::set<int>& a, const std::set<int>& b) {
    std::vector<std::string> out;
    for (int key : a) {
        if (!b.count(key)) out.push_back(testing::KeyText(key));
    }
    return out;
}

int CountTitled(const RecordList& records, const std::string& title) {
    int n = 0;
    for (const CAlmxData& r : records) n += r.title == title;
    return n;
}

// A file seeded before 2003 by an older template: the law of 2000, 天皇誕生日 on 12/23 and
// 体育の日 on the second Monday of October for ever.
RecordList OldTemplate() {
    return {
        YearlyHolidayRecord("元日", D(1949, 1, 1), kForever, 1),
        YearlyHolidayRecord("成人の日", D(1949, 1, 15), D(1999, 1, 15), 15),
        YearlyMondayHolidayRecord("成人の日", D(2000, 1, 1), kForever, 1, 2, 15),
        YearlyHolidayRecord("建国記念の日", D(1967, 2, 11), kForever, 11),
        YearlyHolidayRecord("天皇誕生日", D(1949, 4, 29), D(1988, 12, 31), 29),
        YearlyHolidayRecord("みどりの日", D(1989, 4, 29), kForever, 29),
        YearlyHolidayRecord("憲法記念日", D(1949, 5, 3), kForever, 3),
        YearlyHolidayRecord("国民の休日", D(1986, 5, 4), kForever, 4),
        YearlyHolidayRecord("こどもの日", D(1949, 5, 5), kForever, 5),
        YearlyHolidayRecord("海の日", D(1996, 7, 20), kForever, 20),
        YearlyHolidayRecord("敬老の日", D(1966, 9, 15), kForever, 15),
        YearlyHolidayRecord("体育の日", D(1966, 10, 10), D(1999, 10, 10), 10),
        YearlyMondayHolidayRecord("体育の日", D(2000, 1, 1), kForever, 10, 2, 10),
        YearlyHolidayRecord("文化の日", D(1948, 11, 3), kForever, 3),
        YearlyHolidayRecord("勤労感謝の日", D(1948, 11, 23), kForever, 23),
        YearlyHolidayRecord("天皇誕生日", D(1989, 12, 23), kForever, 23),
    };
}

bool RunAll(RecordList& records) {
    bool changed = HolidayUpdate2003(records);
    changed |= HolidayUpdate2007(records);
    changed |= HolidayUpdate2016(records);
    changed |= HolidayUpdate2020(records);
    return changed;
}

// Written out and read back as a program that knows nothing of the records would.
RecordList SavedAndReopened(const RecordList& records) {
    RecordList out;
    for (const CAlmxData& r : records) {
        TCard cells;
        EXPECT_TRUE(cells.Parse(RecordLine(r)));
        CAlmxData back;
        EXPECT_TRUE(ParseRecordLine(cells, back));
        out.push_back(back);
    }
    return out;
}

TEST(HolidayUpdate2003, MovesRespectForTheAgedAndMarineDayOnce) {
    RecordList records = OldTemplate();
    ASSERT_TRUE(HolidayUpdate2003(records));
    EXPECT_EQ(records[9].end, D(2002, 12, 31));   // 海の日 7/20
    EXPECT_EQ(records[10].end, D(2002, 12, 31));  // 敬老の日 9/15
    ASSERT_EQ(records.size(), OldTemplate().size() + 2);
    const CAlmxData& aged = records[records.size() - 2];
    EXPECT_EQ(aged.title + FormatDate(aged.start) + FormatDate(aged.end) + PositionText(aged) +
                  MonthText(aged),
              "敬老の日2003/01/019998/12/313M9");
    EXPECT_EQ(records.back().title + PositionText(records.back()) + MonthText(records.back()),
              "海の日3M7");
    const auto once = records;
    EXPECT_FALSE(HolidayUpdate2003(records));
    EXPECT_EQ(records, once);
    RecordList nothingToMove = {OldTemplate()[0]};
    EXPECT_FALSE(HolidayUpdate2003(nothingToMove));
    EXPECT_EQ(nothingToMove.size(), 1u);
}

TEST(HolidayUpdate2007, ShowaDayAndGreeneryDayOnMay4Once) {
    RecordList records = {
        YearlyHolidayRecord("みどりの日", D(1989, 4, 29), kForever, 29),
        YearlyHolidayRecord("国民の休日", D(1986, 5, 4), D(2005, 12, 31), 4),
    };
    ASSERT_TRUE(HolidayUpdate2007(records));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].end, D(2006, 12, 31));
    EXPECT_EQ(records[1].end, D(2005, 12, 31));  // an earlier end is not pushed later
    EXPECT_EQ(records[2].title, "昭和の日");
    EXPECT_EQ(records[2].start, D(2007, 4, 29));
    EXPECT_EQ(records[2].repeatFirstDay, 29);
    EXPECT_EQ(records[3].title, "みどりの日");
    EXPECT_EQ(records[3].start, D(2007, 5, 4));
    EXPECT_EQ(records[3].end, kForever);
    const auto once = records;
    EXPECT_FALSE(HolidayUpdate2007(records));
    EXPECT_EQ(records, once);
}

TEST(HolidayUpdate2016, MountainDayOnlyWhenMissing) {
    RecordList records;
    ASSERT_TRUE(HolidayUpdate2016(records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].title, "山の日");
    EXPECT_EQ(records[0].start, D(2016, 8, 11));
    EXPECT_EQ(records[0].repeatType, RepeatYears);
    EXPECT_FALSE(HolidayUpdate2016(records));
    EXPECT_EQ(records.size(), 1u);
}

TEST(HolidayUpdate2020, BringsAnOldFileToTheCurrentLaw) {
    RecordList records = OldTemplate();
    ASSERT_TRUE(HolidayUpdate2003(records));
    ASSERT_TRUE(HolidayUpdate2007(records));
    ASSERT_TRUE(HolidayUpdate2016(records));
    const std::set<int> official = testing::OfficialHolidayKeys();
    const std::set<int> before = ShownKeys(records, 1955, 2027);
    EXPECT_TRUE(Difference(official, before).size() > 10);

    ASSERT_TRUE(HolidayUpdate2020(records));
    const std::set<int> after = ShownKeys(records, 1955, 2027);
    EXPECT_EQ(Difference(official, after), std::vector<std::string>{});
    // The old template's May 4 record also shows on three Sundays; the update leaves it.
    EXPECT_EQ(Difference(after, official),
              (std::vector<std::string>{"1986/05/04", "1997/05/04", "2003/05/04"}));
    // Later years follow the current law too.
    EXPECT_EQ(ShownKeys(records, 2028, 2060), ShownKeys(HolidayLawRecords(), 2028, 2060));
}

TEST(HolidayUpdate2020, RunsOnceAndNeverDuplicates) {
    RecordList records = OldTemplate();
    // A one-off day the file already has under its own title.
    records.push_back(OneDayHolidayRecord("即位礼正殿の儀の行われる日", D(2019, 10, 22)));
    ASSERT_TRUE(RunAll(records));
    EXPECT_EQ(std::count_if(records.begin(), records.end(),
                            [](const CAlmxData& r) { return r.start == D(2019, 10, 22); }),
              1);
    const auto once = records;
    EXPECT_FALSE(RunAll(records));
    EXPECT_EQ(records, once);
    // Saved again by an older program and opened here again.
    RecordList reopened = SavedAndReopened(records);
    EXPECT_FALSE(RunAll(reopened));
    EXPECT_EQ(reopened.size(), once.size());
    EXPECT_EQ(CountTitled(reopened, "スポーツの日"), 3);
    for (const CAlmxData& r : reopened) {
        if (r.title == "山の日" && r.IsRecurring()) {
            EXPECT_EQ(r.exceptions.size(), 2u);
        }
    }
}

TEST(HolidayUpdate2020, LeavesFilesWithoutOldLawRecordsAlone) {
    RecordList empty;
    EXPECT_FALSE(HolidayUpdate2020(empty));
    EXPECT_TRUE(empty.empty());
    // Not a holiday record: a plain schedule titled 天皇誕生日.
    RecordList plain = {YearlyHolidayRecord("天皇誕生日", D(1989, 12, 23), kForever, 23)};
    plain[0].Set(HolidayMark, false);
    EXPECT_FALSE(HolidayUpdate2020(plain));
    // The current law's records are left as they are.
    RecordList current = HolidayLawRecords();
    EXPECT_FALSE(RunAll(current));
    EXPECT_EQ(current, HolidayLawRecords());
}

}  // namespace
}  // namespace almx
