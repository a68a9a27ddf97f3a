#include <gtest/gtest.h>

#include "calendar/record_insert.h"
#include "recurrence_fixture.h"

namespace almx {
namespace {

CAlmxData Named(const char* title, const char* start) {
    CAlmxData record = testing::MakeRecord({0, start, start, 1, 1, 1, "0", "", 0, ""});
    record.title = title;
    return record;
}

CAlmxData Todo(const char* title) {
    CAlmxData todo = Named(title, "2000/01/01");
    todo.Set(IsTodo);
    return todo;
}

std::string Titles(const RecordList& records) {
    std::string titles;
    for (const CAlmxData& record : records) titles += record.title;
    return titles;
}

RecordList Sample() {
    return {Named("a", "2008/01/10 09:00"), Todo("T"), Named("b", "2008/01/10 12:00"),
            Named("c", "2008/01/11")};
}

TEST(RecordInsert, TimeOrderWithSchSort) {
    struct Case {
        CAlmxData record;
        std::size_t index;
        const char* titles;
    };
    const Case cases[] = {
        {Named("n", "2008/01/10 10:00"), 2, "aTnbc"},
        // Untimed starts count as midnight: before the timed ones of the day.
        {Named("n", "2008/01/10"), 0, "naTbc"},
        // Equal starts keep the order they came in.
        {Named("n", "2008/01/10 12:00"), 3, "aTbnc"},
        {Named("n", "2008/02/01"), 4, "aTbcn"},
        // To-dos neither take part nor move: they go last.
        {Todo("n"), 4, "aTbcn"},
    };
    for (const Case& c : cases) {
        RecordList records = Sample();
        EXPECT_EQ(InsertRecord(records, c.record, true), c.index);
        EXPECT_EQ(Titles(records), c.titles);
    }
    RecordList unsorted = Sample();
    EXPECT_EQ(InsertRecord(unsorted, Named("n", "2008/01/01"), false), 4u);
    EXPECT_EQ(Titles(unsorted), "aTbcn");
}

TEST(RecordInsert, ReplaceMovesOnlyWhenTheStartChanged) {
    RecordList records = Sample();
    CAlmxData retitled = records[0];
    retitled.title = "A";
    EXPECT_EQ(ReplaceRecord(records, 0, retitled, true), 0u);
    EXPECT_EQ(Titles(records), "ATbc");

    CAlmxData later = Named("A", "2008/01/10 13:00");
    EXPECT_EQ(ReplaceRecord(records, 0, later, true), 2u);
    EXPECT_EQ(Titles(records), "TbAc");

    EXPECT_EQ(ReplaceRecord(records, 3, Named("C", "2000/01/01"), false), 3u);
    EXPECT_EQ(Titles(records), "TbAC");
}

}  // namespace
}  // namespace almx
