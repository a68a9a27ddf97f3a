#include "calendar/schedule_list.h"

#include <gtest/gtest.h>

#include "core/genre.h"
#include "core/record.h"
#include "core/record_list.h"

namespace almx {
namespace {

CAlmxData Schedule(const std::string& title, int day, int hour = 9) {
    CAlmxData r;
    r.title = title;
    r.start = DateTime::FromParts(2024, 1, day, hour, 0);
    r.end = r.start;
    r.Set(StartTimeSet);
    return r;
}

CAlmxData Todo(const std::string& title, int day, bool done, bool noDeadline) {
    CAlmxData r = Schedule(title, day);
    r.Set(IsTodo);
    if (done) r.Set(TodoDone);
    if (noDeadline) r.Set(TodoNoDeadline);
    r.end = DateTime::FromDate(2024, 2, 1);
    return r;
}

TEST(ScheduleListTest, RowTextsOfSchedulesAndToDos) {
    CAlmxFieldArray genres = CAlmxFieldArray::General();
    genres.Append(CAlmxField("仕事", 0x0000FF));
    CAlmxData meeting = Schedule("会議", 5);
    meeting.place = "東京";
    meeting.genre = 1;
    meeting.repeatType = RepeatWeeks;
    EXPECT_EQ(ScheduleRow(meeting, genres),
              (ScheduleRowTexts{"", "2024/01/05", "2024/01/05", "会議", "東京",
                                ScheduleRow(meeting, genres)[5], "仕事"}));
    EXPECT_FALSE(ScheduleRow(meeting, genres)[5].empty());
    EXPECT_TRUE(ScheduleRow(Schedule("x", 1), genres)[5].empty());

    EXPECT_EQ(ScheduleRow(Todo("a", 3, false, false), genres)[0], "Todo");
    EXPECT_EQ(ScheduleRow(Todo("a", 3, false, false), genres)[1], "2024/01/03");
    EXPECT_EQ(ScheduleRow(Todo("a", 3, false, false), genres)[2], "未完了");
    EXPECT_EQ(ScheduleRow(Todo("b", 3, false, true), genres)[1], "");
    EXPECT_EQ(ScheduleRow(Todo("c", 3, true, true), genres)[1], "2024/01/03");
    EXPECT_EQ(ScheduleRow(Todo("c", 3, true, true), genres)[2], "2024/02/01");
    // A genre the list does not hold has no name.
    CAlmxData lost = Schedule("y", 2);
    lost.genre = 9;
    EXPECT_EQ(ScheduleRow(lost, genres)[6], "");
}

TEST(ScheduleListTest, RowsAreTheHitsInTheKeysOrder) {
    RecordList records{Schedule("会議 朝", 5, 9), Schedule("散歩", 6), Schedule("会議 夜", 5, 18),
                       Todo("会議の資料", 1, false, false), Schedule("会議 翌日", 7, 8)};
    SearchCondition condition;
    condition.text = "会議";
    auto titles = [&](const SortKeyList& keys) {
        std::vector<std::string> out;
        for (const CAlmxData* r : ScheduleRows(records, condition, keys)) out.push_back(r->title);
        return out;
    };
    // Default keys: start descending first; the 9:00 and 18:00 of one day compare equal on
    // start and end (less than a day apart), kind and genre, and go by title descending.
    EXPECT_EQ(titles(SortKeyList{}),
              (std::vector<std::string>{"会議 翌日", "会議 夜", "会議 朝", "会議の資料"}));
    SortKeyList kindFirst;
    kindFirst.keys = {0, 1, 2, 3, 4, 5};
    kindFirst.directions = {1, 0, 0, 0, 0, 0};  // to-dos before schedules
    EXPECT_EQ(titles(kindFirst).front(), "会議の資料");
    condition.text.clear();
    EXPECT_EQ(ScheduleRows(records, condition, SortKeyList{}).size(), records.size());
}

}  // namespace
}  // namespace almx
