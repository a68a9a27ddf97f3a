#include "core/todo_list.h"

#include <gtest/gtest.h>

#include "core/record.h"
#include "core/record_array.h"
#include "core/record_line.h"

namespace almx {
namespace {

DateTime At(int y, int m, int d, int h = 0, int min = 0) {
    return DateTime::FromParts(y, m, d, h, min);
}

CAlmxData Todo(const char* title, const DateTime& deadline) {
    CAlmxData r;
    r.title = title;
    r.start = deadline;
    r.Set(IsTodo);
    return r;
}

TEST(TodoListTest, DaysLeftCountsWholeDaysFromTodayAndSaysOverAfterTheDeadline) {
    const DateTime today = At(2024, 6, 10);
    EXPECT_EQ(DaysLeftText(At(2024, 6, 10, 18), today), "あと 0日");
    EXPECT_EQ(DaysLeftText(At(2024, 6, 10), today), "あと 0日");
    EXPECT_EQ(DaysLeftText(At(2024, 6, 11, 23, 59), today), "あと 1日");
    EXPECT_EQ(DaysLeftText(At(2024, 6, 22), today), "あと12日");
    EXPECT_EQ(DaysLeftText(At(2027, 6, 10), today), "あと1095日");
    EXPECT_EQ(DaysLeftText(At(2024, 6, 9), today), "期限over");
    EXPECT_EQ(DaysLeftText(At(2024, 6, 9, 23, 59), today), "期限over");
    // A today given with its time counts from its midnight.
    EXPECT_EQ(DaysLeftText(At(2024, 6, 11), At(2024, 6, 10, 20)), "あと 1日");
}

TEST(TodoListTest, RowTextsFollowTheDeadlineModeAndTheDoneState) {
    const DateTime today = At(2024, 6, 10, 9);
    CAlmxData open = Todo("報告書", At(2024, 6, 13));
    open.todoImportance = 2;
    TodoRowTexts row = TodoRow(open, TodoShowDaysLeft, today);
    EXPECT_EQ(row.done, "");
    EXPECT_EQ(row.importance, "[B]");
    EXPECT_EQ(row.deadline, "あと 3日");
    EXPECT_EQ(row.completion, "未完了");
    EXPECT_EQ(row.title, "報告書");
    EXPECT_EQ(TodoRow(open, TodoShowDeadline, today).deadline, "2024/06/13");

    CAlmxData done = open;
    done.Set(TodoDone);
    done.end = At(2024, 6, 12);
    row = TodoRow(done, TodoShowDaysLeft, today);
    EXPECT_EQ(row.done, "*");
    EXPECT_EQ(row.deadline, "2024/06/13");
    EXPECT_EQ(row.completion, "2024/06/12");

    CAlmxData none = open;
    none.Set(TodoNoDeadline);
    EXPECT_EQ(TodoRow(none, TodoShowDaysLeft, today).deadline, "");
    EXPECT_EQ(TodoRow(none, TodoShowDeadline, today).deadline, "");

    open.todoImportance = 0;
    EXPECT_EQ(TodoRow(open, 0, today).importance, "[緊急]");
    open.todoImportance = 5;
    EXPECT_EQ(TodoRow(open, 0, today).importance, "[E]");
    open.todoImportance = 9;  // from a file: no name, its number
    EXPECT_EQ(TodoRow(open, 0, today).importance, "[9]");
    EXPECT_EQ(ImportanceName(-1), "-1");
}

TEST(TodoListTest, RowsAreTheTodosOnlyInKeyOrder) {
    RecordList records;
    records.push_back(Todo("遅い", At(2024, 7, 1)));
    CAlmxData schedule;
    schedule.title = "会議";
    records.push_back(schedule);
    records.push_back(Todo("早い", At(2024, 6, 1)));
    SortKeyList byDeadline;
    byDeadline.keys = {0, 1, 2, 3, 4, 5};
    byDeadline.directions = {0, 0, 0, 0, 0, 0};
    std::vector<const CAlmxData*> rows = TodoRows(records, byDeadline);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], &records[2]);
    EXPECT_EQ(rows[1], &records[0]);
}

TEST(TodoListTest, ExchangeAndDoneActOnlyOnRecordsOfTheContainer) {
    CAlmxArray array;
    array.records = {Todo("一", At(2024, 6, 1)), Todo("二", At(2024, 6, 2)),
                     Todo("三", At(2024, 6, 3))};
    const CAlmxData* moved = ExchangeRecords(array, &array.records[0], &array.records[2]);
    ASSERT_EQ(moved, &array.records[2]);
    EXPECT_EQ(array.records[2].title, "一");
    EXPECT_EQ(array.records[0].title, "三");
    CAlmxData outside = Todo("外", At(2024, 6, 1));
    EXPECT_EQ(ExchangeRecords(array, &outside, &array.records[0]), nullptr);
    EXPECT_EQ(array.records[0].title, "三");

    EXPECT_TRUE(SetTodoDone(array, &array.records[1], true, At(2024, 6, 20)));
    EXPECT_TRUE(array.records[1].Has(TodoDone));
    EXPECT_EQ(array.records[1].end, At(2024, 6, 20));
    EXPECT_FALSE(SetTodoDone(array, &array.records[1], true, At(2024, 6, 21)));
    EXPECT_EQ(array.records[1].end, At(2024, 6, 20));
    EXPECT_TRUE(SetTodoDone(array, &array.records[1], false, At(2024, 6, 21)));
    EXPECT_FALSE(array.records[1].Has(TodoDone));
    EXPECT_FALSE(SetTodoDone(array, &outside, true, At(2024, 6, 21)));
    array.records[0].Set(IsTodo, false);
    EXPECT_FALSE(SetTodoDone(array, &array.records[0], true, At(2024, 6, 21)));
}

TEST(TodoListTest, ClipboardTextIsARecordOnlyAsOneWholeRecordLine) {
    CAlmxData todo = Todo("買い物, \"牛乳\"", At(2024, 6, 1));
    todo.memo = std::string(5000, 'x') + "\n二行目";
    todo.todoImportance = 3;
    const std::string line = RecordLine(todo);
    ASSERT_GT(line.size(), 2047u);
    std::optional<CAlmxData> pasted = RecordFromClipboard(line, RecordDefaults{});
    ASSERT_TRUE(pasted.has_value());
    EXPECT_EQ(pasted->title, todo.title);
    EXPECT_EQ(pasted->memo, todo.memo);
    EXPECT_TRUE(pasted->Has(IsTodo));
    EXPECT_EQ(pasted->todoImportance, 3);
    // The same line with CR LF, as another program may put it.
    std::string crlf = line;
    crlf.insert(crlf.size() - 1, "\r");
    EXPECT_TRUE(RecordFromClipboard(crlf, RecordDefaults{}).has_value());

    EXPECT_FALSE(RecordFromClipboard("買い物", RecordDefaults{}).has_value());
    EXPECT_FALSE(RecordFromClipboard("a,b,c\n", RecordDefaults{}).has_value());
    EXPECT_FALSE(RecordFromClipboard("", RecordDefaults{}).has_value());
}

}  // namespace
}  // namespace almx
