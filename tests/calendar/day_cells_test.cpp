#include "calendar/day_cells.h"

#include <gtest/gtest.h>

#include <random>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/recurrence.h"
#include "core/genre.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

CAlmxData Schedule(const char* title, const DateTime& start, const DateTime& end) {
    CAlmxData r;
    r.title = title;
    r.start = start;
    r.end = end;
    return r;
}

CAlmxData OnDay(const char* title, int y, int m, int d) {
    return Schedule(title, D(y, m, d), D(y, m, d));
}

CAlmxData Timed(const char* title, int y, int m, int d, int h, int min, int eh, int emin) {
    CAlmxData r = Schedule(title, DateTime::FromParts(y, m, d, h, min),
                           DateTime::FromParts(y, m, d, eh, emin));
    r.Set(StartTimeSet);
    r.Set(EndTimeSet);
    return r;
}

CAlmxData Todo(const char* title, const DateTime& deadline) {
    CAlmxData r;
    r.title = title;
    r.start = deadline;
    r.Set(IsTodo);
    return r;
}

CAlmxData Yearly(const char* title, int y, int m, int d) {
    CAlmxData r = OnDay(title, y, m, d);
    r.end = D(9998, 12, 31);
    r.repeatType = RepeatYears;
    r.repeatFirstDay = r.repeatLastDay = d;
    r.Set(HolidayMark);
    return r;
}

class DayCellsTest : public ::testing::Test {
  protected:
    DayCellsTest() {
        genres_.Append(CAlmxField("一般"));
        genres_.Append(CAlmxField("仕事"));
        genres_.Append(CAlmxField("秘密", 0, 0));
        settings_.holidays.equinoxAndBetween = false;
        settings_.holidays.substitute = false;
    }

    bool Fill(const DateTime& start, int count) {
        return cells_.Fill(start, count, {records_, &genres_, &properties_}, settings_, clock_,
                           &prompter_);
    }

    std::vector<std::string> Titles(const DateTime& day) const {
        std::vector<std::string> titles;
        const int index = cells_.IndexOf(day);
        if (index < 0) return {"<not in set>"};
        for (const CAlmxData* entry : cells_[index].entries) titles.push_back(entry->title);
        return titles;
    }

    RecordList records_;
    CAlmxFieldArray genres_;
    DayPropertyMap properties_;
    DayCellSettings settings_;
    ManualClock clock_{DateTime::FromParts(2025, 5, 3, 10, 0)};
    ScriptedPrompter prompter_;
    DayCellSet cells_;
};

TEST_F(DayCellsTest, HolidaysFirstThenUntimedThenTimePrefixOrder) {
    CAlmxData late = Timed("23時", 2025, 5, 3, 23, 0, 23, 30);
    CAlmxData endOnly = Timed("終了のみ", 2025, 5, 3, 8, 0, 9, 0);
    endOnly.timeDisplay = 2;  // prefix "～09:00 "
    CAlmxData overnight = Schedule("前日から", DateTime::FromParts(2025, 5, 2, 22, 0),
                                   DateTime::FromParts(2025, 5, 3, 6, 0));
    overnight.Set(StartTimeSet);
    overnight.Set(EndTimeSet);
    CAlmxData early = Timed("朝", 2025, 5, 3, 7, 0, 8, 0);
    CAlmxData sameTime = Timed("朝2", 2025, 5, 3, 7, 0, 8, 0);
    records_ = {late,  endOnly,  OnDay("終日", 2025, 5, 3),       overnight,
                early, sameTime, Yearly("憲法記念日", 1949, 5, 3)};
    ASSERT_TRUE(Fill(D(2025, 5, 3), 1));
    EXPECT_EQ(Titles(D(2025, 5, 3)), (std::vector<std::string>{"憲法記念日", "終日", "前日から",
                                                               "終了のみ", "朝", "朝2", "23時"}));

    settings_.sortByTime = false;
    ASSERT_TRUE(Fill(D(2025, 5, 3), 1));
    EXPECT_EQ(Titles(D(2025, 5, 3)), (std::vector<std::string>{"憲法記念日", "23時", "終了のみ",
                                                               "終日", "前日から", "朝", "朝2"}));
}

// A filled day lists its entries as if each had been inserted in container order.
TEST_F(DayCellsTest, FilledOrderEqualsInsertingOneByOne) {
    std::mt19937 random(5);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const DateTime day = D(2025, 5, 3);
    for (int round = 0; round < 300; ++round) {
        records_.clear();
        const bool timedHolidays = round % 3 == 0;
        for (int i = 0, n = 1 + pick(12); i < n; ++i) {
            const DateTime start = day.PlusDays(-pick(2)).WithTime(pick(24), 15 * pick(4));
            CAlmxData r = Schedule("", start, day.PlusDays(pick(2)).WithTime(pick(24), 0));
            r.title = std::to_string(i);
            r.Set(StartTimeSet, pick(3) != 0);
            r.Set(EndTimeSet, pick(2) != 0);
            r.timeDisplay = pick(4);
            if (pick(5) == 0) {
                r.Set(HolidayMark);
                if (!timedHolidays) r.Set(StartTimeSet, false);
            }
            records_.push_back(r);
        }
        settings_.sortByTime = round % 4 != 1;
        settings_.todayLimit = round % 5 == 0 ? 4 : 0;
        ASSERT_TRUE(Fill(day, 1));
        std::vector<const CAlmxData*> expected;
        OccurrenceContext context;
        context.todayLimit = settings_.todayLimit;
        for (const CAlmxData& record : records_) {
            const auto mask = OccurrenceMask(record, day, day, context);
            if (mask[0]) {
                InsertEntry(expected, &record, day, settings_.sortByTime, settings_.todayLimit);
            }
        }
        ASSERT_EQ(cells_[0].entries, expected) << "round " << round;
    }
}

TEST_F(DayCellsTest, DayChangeHourMovesEarlyEntriesBackAndSortsThemLast) {
    settings_.todayLimit = 4;
    records_ = {Timed("深夜", 2025, 5, 10, 1, 30, 2, 0), Timed("夜", 2025, 5, 9, 23, 0, 23, 30)};
    ASSERT_TRUE(Fill(D(2025, 5, 8), 3));
    EXPECT_EQ(Titles(D(2025, 5, 9)), (std::vector<std::string>{"夜", "深夜"}));
    EXPECT_TRUE(Titles(D(2025, 5, 10)).empty());
}

TEST_F(DayCellsTest, TodoPlacementByStateLeadDaysAndTodoPos) {
    CAlmxData done = Todo("済", D(2025, 5, 1));
    done.Set(TodoDone);
    done.end = D(2025, 5, 2);
    CAlmxData open = Todo("期限なし", D(2020, 1, 1));
    open.Set(TodoNoDeadline);
    CAlmxData plain = Todo("期限5日", D(2025, 5, 5));
    CAlmxData leadNotYet = Todo("3日前から7日", D(2025, 5, 7));
    leadNotYet.todoLeadDays = 3;
    CAlmxData leadDue = Todo("3日前から6日", D(2025, 5, 6));
    leadDue.todoLeadDays = 3;
    CAlmxData overdue = Todo("超過", D(2025, 4, 1));
    overdue.todoLeadDays = 0;
    CAlmxData hidden = Todo("非表示", D(2025, 5, 3));
    hidden.Set(HideInViews);
    records_ = {done, open, plain, leadNotYet, leadDue, overdue, hidden};

    ASSERT_TRUE(Fill(D(2025, 4, 27), 14));
    EXPECT_EQ(Titles(D(2025, 5, 2)), (std::vector<std::string>{"済"}));
    EXPECT_EQ(Titles(D(2025, 5, 3)),
              (std::vector<std::string>{"期限なし", "期限5日", "3日前から6日", "超過"}));
    EXPECT_TRUE(Titles(D(2025, 5, 5)).empty());

    settings_.todoOnDeadline = true;
    ASSERT_TRUE(Fill(D(2025, 4, 27), 14));
    EXPECT_EQ(Titles(D(2025, 5, 3)),
              (std::vector<std::string>{"期限なし", "3日前から6日", "超過"}));
    EXPECT_EQ(Titles(D(2025, 5, 5)), (std::vector<std::string>{"期限5日"}));

    // One minute before the lead period opens, the to-do is not shown anywhere.
    clock_.Set(DateTime::FromParts(2025, 5, 2, 23, 59));
    ASSERT_TRUE(Fill(D(2025, 4, 27), 14));
    EXPECT_EQ(Titles(D(2025, 5, 2)), (std::vector<std::string>{"済", "期限なし", "超過"}));
}

TEST_F(DayCellsTest, HiddenGenresAreLeftOutAndHideInViewsSchedulesListedButNotDrawn) {
    CAlmxData secret = OnDay("秘密の予定", 2025, 5, 3);
    secret.genre = 2;
    CAlmxData secretTodo = Todo("秘密のToDo", D(2025, 5, 3));
    secretTodo.genre = 2;
    CAlmxData notDrawn = OnDay("非表示の予定", 2025, 5, 3);
    notDrawn.Set(HideInViews);
    records_ = {secret, secretTodo, notDrawn, OnDay("仕事", 2025, 5, 3)};
    records_.back().genre = 1;
    ASSERT_TRUE(Fill(D(2025, 5, 3), 1));
    EXPECT_EQ(Titles(D(2025, 5, 3)), (std::vector<std::string>{"非表示の予定", "仕事"}));
    EXPECT_FALSE(DrawnInViews(*cells_[0].entries[0]));
    EXPECT_TRUE(DrawnInViews(*cells_[0].entries[1]));
}

TEST_F(DayCellsTest, UndefinedGenresExtendTheListOnceAndOnlyWithinTheBound) {
    CAlmxData seven = OnDay("七", 2025, 5, 3);
    seven.genre = 7;
    CAlmxData five = OnDay("五", 2025, 5, 3);
    five.genre = 5;
    CAlmxData negative = OnDay("負", 2025, 5, 3);
    negative.genre = -1;
    CAlmxData huge = OnDay("巨大", 2025, 5, 3);
    huge.genre = 2000000000;
    records_ = {seven, five, negative, huge};
    ASSERT_TRUE(Fill(D(2025, 5, 3), 1));
    EXPECT_EQ(prompter_.Shown(),
              (std::vector<std::string>{"定義されていないジャンルを持つスケジュールがあります"}));
    EXPECT_TRUE(cells_.GenresExtended());
    EXPECT_EQ(genres_.Names(),
              (std::vector<std::string>{"一般", "仕事", "秘密", "ジャンル4", "ジャンル5",
                                        "ジャンル6", "ジャンル7", "ジャンル8"}));
    EXPECT_EQ(Titles(D(2025, 5, 3)), (std::vector<std::string>{"七", "五", "負", "巨大"}));
    EXPECT_EQ(records_[3].genre, 2000000000);

    // Numbers beyond the bound follow genre 0.
    genres_.At(0)->shown = 0;
    ASSERT_TRUE(Fill(D(2025, 5, 3), 1));
    EXPECT_FALSE(cells_.GenresExtended());
    EXPECT_EQ(Titles(D(2025, 5, 3)), (std::vector<std::string>{"七", "五"}));
    EXPECT_EQ(prompter_.Shown().size(), 1u);
}

TEST_F(DayCellsTest, ComputedHolidaysComeFirstAndSeeRecordsBeforeTheRange) {
    settings_.holidays.equinoxAndBetween = true;
    settings_.holidays.substitute = true;
    records_ = {OnDay("予定", 2008, 3, 20), Yearly("記念日", 2000, 3, 20),
                Yearly("憲法記念日", 1949, 5, 3), Yearly("みどりの日", 2007, 5, 4),
                Yearly("こどもの日", 1949, 5, 5)};
    ASSERT_TRUE(Fill(D(2008, 3, 16), 7));
    EXPECT_EQ(Titles(D(2008, 3, 20)), (std::vector<std::string>{"春分の日", "記念日", "予定"}));
    EXPECT_TRUE(cells_[4].HasHolidayEntry());
    EXPECT_FALSE(cells_[3].HasHolidayEntry());

    // 2009/05/03 was a Sunday: the substitute falls on Wednesday 05/06, also when the set
    // begins on that day.
    ASSERT_TRUE(Fill(D(2009, 5, 6), 1));
    EXPECT_EQ(Titles(D(2009, 5, 6)), (std::vector<std::string>{"振替休日"}));
    EXPECT_TRUE(cells_[0].entries[0]->Has(HolidayMark));

    settings_.holidays.substitute = false;
    ASSERT_TRUE(Fill(D(2009, 5, 6), 1));
    EXPECT_TRUE(Titles(D(2009, 5, 6)).empty());
}

TEST_F(DayCellsTest, DayColoursPicturesAndOtherMonthColouring) {
    settings_.backColour = 0xFFFFFF;
    settings_.otherColour = 0xE0E0E0;
    properties_["2025/04/30"] = {0x0000FF, "red.png"};
    properties_["2025/05/01"] = {0x00FF00, ""};
    properties_["2025/5/2"] = {0x00FFFF, ""};
    properties_["2025/06/01"] = {0xFFFFFF, "plain.png"};
    ASSERT_TRUE(Fill(D(2025, 4, 27), 42));
    EXPECT_EQ(cells_[3].colour, 0x0000FFu);
    EXPECT_EQ(cells_[3].picture, "red.png");
    EXPECT_EQ(cells_[5].colour, 0xFFFFFFu);  // the unpadded key names no day

    cells_.ColourOtherMonths(2025, 5, settings_);
    EXPECT_EQ(cells_[0].colour, 0xE0E0E0u);
    EXPECT_EQ(cells_[3].colour, 0x0000FFu);
    EXPECT_EQ(cells_[4].colour, 0x00FF00u);
    EXPECT_EQ(cells_[35].colour, 0xE0E0E0u);  // 06/01: a property in the plain colour

    settings_.otherMonthKeepsDayColours = false;
    ASSERT_TRUE(Fill(D(2025, 4, 27), 42));
    cells_.ColourOtherMonths(2025, 5, settings_);
    EXPECT_EQ(cells_[3].colour, 0xE0E0E0u);
    EXPECT_EQ(cells_[4].colour, 0x00FF00u);
}

TEST_F(DayCellsTest, RemovingARecordAndBadRanges) {
    CAlmxData span = Schedule("三日間", D(2025, 5, 1), D(2025, 5, 3));
    records_ = {span, OnDay("一日", 2025, 5, 2)};
    ASSERT_TRUE(Fill(D(2025, 4, 30), 5));
    EXPECT_EQ(Titles(D(2025, 5, 2)), (std::vector<std::string>{"三日間", "一日"}));
    cells_.RemoveRecord(&records_[0]);
    EXPECT_EQ(Titles(D(2025, 5, 2)), (std::vector<std::string>{"一日"}));
    EXPECT_TRUE(Titles(D(2025, 5, 1)).empty());

    EXPECT_FALSE(Fill(D(2025, 5, 1), 0));
    EXPECT_EQ(cells_.Count(), 0);
    EXPECT_FALSE(Fill(D(2025, 5, 1), kMaxDayCells + 1));
    EXPECT_FALSE(Fill(D(9999, 12, 31), 2));
    EXPECT_FALSE(Fill(DateTime::Invalid(), 1));
    EXPECT_TRUE(Fill(D(9998, 12, 27), 42));  // the grid of December 9998
}

TEST(DayCellSettingsTest, ReadsColoursAsDecimalTexts) {
    MemorySettingsStore store;
    store.SetString("View", "BackColor", "255");
    store.SetString("View", "OtherColor", "junk");
    store.SetInt("System", "SchSort", 0);
    store.SetInt("View", "TodoPos", 1);
    store.SetInt("Holiday", "Hurikae", 0);
    DayCellSettings s = DayCellSettings::FromSettings(store);
    EXPECT_EQ(s.backColour, 255u);
    EXPECT_EQ(s.otherColour, 14737632u);
    EXPECT_FALSE(s.sortByTime);
    EXPECT_TRUE(s.todoOnDeadline);
    EXPECT_TRUE(s.otherMonthKeepsDayColours);
    EXPECT_FALSE(s.holidays.substitute);
    EXPECT_TRUE(s.holidays.equinoxAndBetween);
}

// A day lists the same entries whichever range it is filled in.
TEST_F(DayCellsTest, EveryDayIsTheSameInAnyRange) {
    settings_.holidays.equinoxAndBetween = true;
    settings_.holidays.substitute = true;
    std::mt19937 random(11);
    for (int i = 0; i < 300; ++i) {
        const DateTime start = D(2009, 4, 1).PlusDays(static_cast<long>(random() % 90));
        CAlmxData r = Schedule("", start, start.PlusDays(static_cast<long>(random() % 3)));
        r.title = "r" + std::to_string(i);
        if (i % 4 == 0) {
            r.repeatType = 1 + static_cast<int>(random() % 2);
            r.repeatInterval = 1 + static_cast<int>(random() % 3);
            r.end = D(2010, 12, 31);
            if (i % 8 == 0) r.shiftRule = 2 | 4 | 8;
        }
        if (i % 5 == 0) {
            r = Timed(r.title.c_str(), start.Year(), start.Month(), start.Day(),
                      static_cast<int>(random() % 24), 0, 23, 59);
        }
        records_.push_back(r);
    }
    records_.push_back(Yearly("憲法記念日", 1949, 5, 3));
    records_.push_back(Yearly("みどりの日", 2007, 5, 4));
    records_.push_back(Yearly("こどもの日", 1949, 5, 5));

    ASSERT_TRUE(Fill(D(2009, 4, 26), 42));
    std::vector<std::vector<std::string>> whole;
    for (int i = 0; i < 42; ++i) whole.push_back(Titles(D(2009, 4, 26).PlusDays(i)));
    for (int i = 0; i < 42; ++i) {
        const DateTime day = D(2009, 4, 26).PlusDays(i);
        ASSERT_TRUE(Fill(day, 1));
        EXPECT_EQ(Titles(day), whole[static_cast<std::size_t>(i)]) << FormatDate(day);
    }
    ASSERT_FALSE(whole[10].empty());
    EXPECT_EQ(whole[10][0], "振替休日");  // 2009/05/06
}

}  // namespace
}  // namespace almx
