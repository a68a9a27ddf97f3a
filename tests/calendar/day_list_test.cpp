#include "calendar/day_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/clock.h"
#include "calendar/day_cells.h"
#include "core/genre.h"
#include "core/record_array.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

CAlmxData OnDay(const char* title, const DateTime& day) {
    CAlmxData r;
    r.title = title;
    r.start = r.end = day;
    return r;
}

CAlmxData Timed(const char* title, const DateTime& day, int hour) {
    CAlmxData r = OnDay(title, day.WithTime(hour, 0));
    r.end = day.WithTime(hour + 1, 0);
    r.Set(StartTimeSet);
    r.Set(EndTimeSet);
    return r;
}

class DayListTest : public ::testing::Test {
  protected:
    DayListTest() {
        array_.genres.Append(CAlmxField("一般"));
        settings_.holidays.equinoxAndBetween = false;
        settings_.holidays.substitute = true;
    }

    // The day's rows as the day list shows them.
    std::vector<const CAlmxData*> Rows(const DateTime& day) {
        EXPECT_TRUE(cells_.Fill(day, 1, {array_.records, &array_.genres, &array_.dayProperties},
                                settings_, clock_, nullptr));
        return cells_.Count() == 1 ? cells_[0].entries : std::vector<const CAlmxData*>{};
    }

    std::vector<std::string> Titles(const DateTime& day) {
        std::vector<std::string> titles;
        for (const CAlmxData* r : Rows(day)) titles.push_back(r->title);
        return titles;
    }

    CAlmxArray array_;
    DayCellSettings settings_;
    ManualClock clock_{DateTime::FromParts(2009, 5, 1, 10, 0)};
    DayCellSet cells_;
};

using Names = std::vector<std::string>;

TEST_F(DayListTest, TheComputedSubstituteHolidayCannotBeMoved) {
    // 2024/02/11 was a Sunday: 02/12 gets the computed "振替休日" first.
    CAlmxData foundation = OnDay("建国記念の日", D(1967, 2, 11));
    foundation.end = D(9998, 12, 31);
    foundation.repeatType = RepeatYears;
    foundation.repeatFirstDay = foundation.repeatLastDay = 11;
    foundation.Set(HolidayMark);
    const DateTime day = D(2024, 2, 12);
    array_.records = {foundation, OnDay("掃除", day), OnDay("洗濯", day)};
    ASSERT_EQ(Titles(day), (Names{"振替休日", "掃除", "洗濯"}));

    std::vector<const CAlmxData*> rows = Rows(day);
    EXPECT_EQ(MoveDayEntry(array_, rows, 0, 1).result, DayMoveResult::Automatic);
    EXPECT_EQ(MoveDayEntry(array_, rows, 1, -1).result, DayMoveResult::Automatic);
    EXPECT_EQ(Titles(day), (Names{"振替休日", "掃除", "洗濯"}));

    DayMove move = MoveDayEntry(array_, rows, 1, 1);
    ASSERT_EQ(move.result, DayMoveResult::Moved);
    EXPECT_EQ(move.moved->title, "掃除");
    EXPECT_EQ(Titles(day), (Names{"振替休日", "洗濯", "掃除"}));
    rows = Rows(day);
    EXPECT_EQ(RowOfEntry(rows, move.moved), 2);
}

TEST_F(DayListTest, TheEndsDoNotMoveAndNeitherDoesAMissingRow) {
    const DateTime day = D(2025, 5, 13);
    array_.records = {OnDay("一", day), OnDay("二", day), OnDay("三", day)};
    std::vector<const CAlmxData*> rows = Rows(day);
    EXPECT_EQ(MoveDayEntry(array_, rows, 0, -1).result, DayMoveResult::Unmoved);
    EXPECT_EQ(MoveDayEntry(array_, rows, 2, 1).result, DayMoveResult::Unmoved);
    EXPECT_EQ(MoveDayEntry(array_, rows, -1, 1).result, DayMoveResult::Unmoved);
    EXPECT_EQ(MoveDayEntry(array_, rows, 3, -1).result, DayMoveResult::Unmoved);
    EXPECT_EQ(MoveDayEntry(array_, rows, 1, 2).result, DayMoveResult::Unmoved);
    EXPECT_EQ(MoveDayEntry(array_, {}, 0, 1).result, DayMoveResult::Unmoved);
    EXPECT_EQ(Titles(day), (Names{"一", "二", "三"}));

    EXPECT_EQ(MoveDayEntry(array_, rows, 2, -1).result, DayMoveResult::Moved);
    EXPECT_EQ(Titles(day), (Names{"一", "三", "二"}));
    rows = Rows(day);
    EXPECT_EQ(MoveDayEntry(array_, rows, 1, -1).result, DayMoveResult::Moved);
    EXPECT_EQ(Titles(day), (Names{"三", "一", "二"}));
}

TEST_F(DayListTest, OnATimeOrderedDayOnlyEntriesOfEqualPlaceChangeTheirOrder) {
    const DateTime day = D(2025, 5, 13);
    // Container order: 18時, 終日, 9時, 9時b, and a schedule of another day between them.
    array_.records = {Timed("18時", day, 18), OnDay("終日", day), OnDay("別の日", D(2025, 5, 14)),
                      Timed("9時", day, 9), Timed("9時b", day, 9)};
    ASSERT_EQ(Titles(day), (Names{"終日", "9時", "9時b", "18時"}));

    // The untimed entry exchanges its place with 9時 in the container, but time order keeps
    // the rows as they were; the moved record is found again.
    std::vector<const CAlmxData*> rows = Rows(day);
    DayMove move = MoveDayEntry(array_, rows, 0, 1);
    ASSERT_EQ(move.result, DayMoveResult::Moved);
    EXPECT_EQ(move.moved->title, "終日");
    EXPECT_EQ(array_.records[3].title, "終日");
    EXPECT_EQ(Titles(day), (Names{"終日", "9時", "9時b", "18時"}));
    EXPECT_EQ(RowOfEntry(Rows(day), move.moved), 0);

    // Equal time prefixes keep container order, so exchanging them shows.
    rows = Rows(day);
    move = MoveDayEntry(array_, rows, 2, -1);
    ASSERT_EQ(move.result, DayMoveResult::Moved);
    EXPECT_EQ(Titles(day), (Names{"終日", "9時b", "9時", "18時"}));
    EXPECT_EQ(RowOfEntry(Rows(day), move.moved), 1);

    // Without time order the day follows the container.
    settings_.sortByTime = false;
    ASSERT_EQ(Titles(day), (Names{"18時", "9時b", "終日", "9時"}));
    rows = Rows(day);
    ASSERT_EQ(MoveDayEntry(array_, rows, 3, -1).result, DayMoveResult::Moved);
    EXPECT_EQ(Titles(day), (Names{"18時", "9時b", "9時", "終日"}));
}

}  // namespace
}  // namespace almx
