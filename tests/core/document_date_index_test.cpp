// The document's date index follows every change of the records: after each way of editing,
// the next fill through the document lists what the records now say, never what the index
// saw before.

#include <gtest/gtest.h>

#include "calendar/day_cells.h"
#include "core/record_line.h"
#include "core/todo_list.h"
#include "document/schedule_file_writer.h"
#include "document_fixture.h"

namespace almx::testing {
namespace {

DateTime May(int day) {
    return DateTime::FromDate(2025, 5, day);
}

CAlmxData OnDay(const std::string& title, int day) {
    CAlmxData r;
    r.title = title;
    r.start = r.end = May(day);
    return r;
}

class DocumentDateIndexTest : public DocumentTest {
  protected:
    // The titles listed on each day of 1 to 10 May, filled through the document's index.
    std::vector<std::string> Days(CAlmxDoc& doc) {
        DayCellSet set(10);
        std::vector<std::string> days;
        if (!set.Fill(May(1), 10, doc.FillSource(), DayCellSettings(), clock, nullptr)) {
            return days;
        }
        for (const DayCell& cell : set.Cells()) {
            std::string titles;
            for (const CAlmxData* entry : cell.entries) titles += entry->title + ";";
            days.push_back(titles);
        }
        return days;
    }
    // The titles listed on one day of May, filled alone: a record moved away from the days
    // the index last saw it near is found only through an index built anew.
    std::string Day(CAlmxDoc& doc, int day) {
        DayCellSet set(1);
        std::string titles;
        if (!set.Fill(May(day), 1, doc.FillSource(), DayCellSettings(), clock, nullptr)) {
            return "<none>";
        }
        for (const CAlmxData* entry : set[0].entries) titles += entry->title + ";";
        return titles;
    }
};

TEST_F(DocumentDateIndexTest, AddingReplacingAndRemovingShowAtTheNextFill) {
    CAlmxDoc doc(Context());
    const CAlmxData* a = doc.AddRecord(OnDay("a", 2), false);
    EXPECT_EQ(Day(doc, 2), "a;");

    doc.AddRecord(OnDay("b", 2), false);
    EXPECT_EQ(Day(doc, 2), "a;b;");

    doc.AddRecords({OnDay("c", 4), OnDay("d", 4)}, false);
    EXPECT_EQ(Day(doc, 4), "c;d;");

    // Edited in place: the record keeps its address and the list its generation.
    const std::uint64_t generation = doc.Records().Generation();
    CAlmxData moved = *a;
    moved.start = moved.end = May(26);
    EXPECT_EQ(doc.ReplaceRecord(a, moved, false), a);
    EXPECT_EQ(doc.Records().Generation(), generation);
    EXPECT_EQ(Day(doc, 2), "b;");
    EXPECT_EQ(Day(doc, 26), "a;");

    EXPECT_TRUE(doc.RemoveRecord(a));
    EXPECT_EQ(Day(doc, 26), "");
}

TEST_F(DocumentDateIndexTest, DeletingAllOrOneDayOfARecurringRecordShowsAtTheNextFill) {
    CAlmxDoc doc(Context());
    CAlmxData daily = OnDay("毎日", 1);
    daily.end = May(31);
    daily.repeatType = RepeatDays;
    daily.repeatInterval = 1;
    const CAlmxData* record = doc.AddRecord(daily, false);
    EXPECT_EQ(Day(doc, 3), "毎日;");

    prompter.ThenButton(0);  // this day only: an exception added in place
    EXPECT_EQ(doc.DeleteRecord(record, May(3)), DeleteOutcome::DayExcepted);
    EXPECT_EQ(Day(doc, 3), "");
    EXPECT_EQ(Day(doc, 4), "毎日;");

    prompter.ThenButton(1).Then(Answer::Yes);
    EXPECT_EQ(doc.DeleteRecord(record, May(4)), DeleteOutcome::Deleted);
    EXPECT_EQ(Day(doc, 4), "");
}

TEST_F(DocumentDateIndexTest, PastingSortingAndDeletingOldSchedulesShowAtTheNextFill) {
    CAlmxDoc doc(Context());
    doc.AddRecord(OnDay("b", 5), false);
    doc.AddRecord(OnDay("a", 5), false);
    EXPECT_EQ(Day(doc, 5), "b;a;");

    EXPECT_TRUE(doc.PasteOntoDate(RecordLine(OnDay("貼付", 1)), May(7)));
    EXPECT_EQ(Day(doc, 7), "貼付;");

    EXPECT_TRUE(doc.Sort(SortKey::Title, SortOrder::Ascending));
    EXPECT_EQ(Day(doc, 5), "a;b;");

    EXPECT_EQ(doc.DeleteOldSchedules(May(6)), 2);
    EXPECT_EQ(Day(doc, 5), "");
    EXPECT_EQ(Day(doc, 7), "貼付;");
}

TEST_F(DocumentDateIndexTest, ImportingOpeningAndClearingShowAtTheNextFill) {
    CAlmxArray other;
    other.genres = CAlmxFieldArray::General();
    other.records.push_back(OnDay("取込", 8));
    WriteBytes(PathOf("other.alx"), WriteScheduleFile(other).bytes);

    CAlmxDoc doc(Context());
    doc.Array().genres = CAlmxFieldArray::General();
    doc.AddRecord(OnDay("mine", 8), false);
    EXPECT_EQ(Day(doc, 8), "mine;");
    EXPECT_EQ(doc.ImportFile(PathOf("other.alx")), 1);
    EXPECT_EQ(Day(doc, 8), "mine;取込;");

    // An import taken back (a genre the document lacks) leaves the fill as it was.
    other.records.push_back(OnDay("未定義", 8));
    other.records.back().genre = 40;
    WriteBytes(PathOf("bad.alx"), WriteScheduleFile(other).bytes);
    EXPECT_EQ(doc.ImportFile(PathOf("bad.alx")), -1);
    EXPECT_EQ(Day(doc, 8), "mine;取込;");

    other.records.pop_back();
    other.records.push_back(OnDay("別", 9));
    WriteBytes(PathOf("open.alx"), WriteScheduleFile(other).bytes);
    ASSERT_TRUE(doc.Open(PathOf("open.alx")));
    EXPECT_EQ(Day(doc, 8), "取込;");
    EXPECT_EQ(Day(doc, 9), "別;");

    doc.Clear();
    EXPECT_EQ(Days(doc), std::vector<std::string>(10));
}

// The index keeps what a fill reads of each record: an edit that leaves a record on the same
// days but changes its time, its genre or its rule must still show.
TEST_F(DocumentDateIndexTest, AnEditThatKeepsARecordsDaysShowsAtTheNextFill) {
    CAlmxDoc doc(Context());
    doc.Array().genres = CAlmxFieldArray::General();
    doc.Array().genres.Append(CAlmxField("隠す", 0xFF0000, 0));
    auto at = [](const std::string& title, int hour) {
        CAlmxData r = OnDay(title, 5);
        r.start = r.end = May(5).WithTime(hour, 0);
        r.Set(StartTimeSet);
        return r;
    };
    const CAlmxData* late = doc.AddRecord(at("遅", 15), false);
    const CAlmxData* early = doc.AddRecord(at("早", 10), false);
    EXPECT_EQ(Day(doc, 5), "早;遅;");

    EXPECT_EQ(doc.ReplaceRecord(early, at("早", 18), false), early);
    EXPECT_EQ(Day(doc, 5), "遅;早;");

    doc.Records()[0].start = doc.Records()[0].end = May(5).WithTime(20, 0);
    doc.RecordsEdited();
    EXPECT_EQ(Day(doc, 5), "早;遅;");

    CAlmxData hidden = *late;
    hidden.genre = 1;
    EXPECT_EQ(doc.ReplaceRecord(late, hidden, false), late);
    EXPECT_EQ(Day(doc, 5), "早;");

    // Made a weekly rule in place: listed a week on.
    CAlmxData weekly = *early;
    weekly.end = May(31).WithTime(19, 0);
    weekly.repeatType = RepeatWeeks;
    EXPECT_EQ(doc.ReplaceRecord(early, weekly, false), early);
    EXPECT_EQ(Day(doc, 12), "早;");
}

TEST_F(DocumentDateIndexTest, AnEditInPlaceOutsideTheDocumentShowsOnceItIsCounted) {
    CAlmxDoc doc(Context());
    doc.AddRecord(OnDay("外", 2), false);
    EXPECT_EQ(Day(doc, 2), "外;");
    const std::uint64_t before = doc.Changes();
    doc.Records()[0].start = doc.Records()[0].end = May(28);
    doc.RecordsEdited();
    EXPECT_NE(doc.Changes(), before);
    EXPECT_EQ(Day(doc, 2), "");
    EXPECT_EQ(Day(doc, 28), "外;");

    // A to-do ticked done is shown on the day it was done.
    CAlmxData todo = OnDay("宿題", 10);
    todo.Set(IsTodo);
    todo.todoLeadDays = -1;
    const CAlmxData* added = doc.AddRecord(todo, false);
    EXPECT_EQ(Day(doc, 3), "宿題;");  // today
    ASSERT_TRUE(SetTodoDone(doc.Array(), added, true, May(1)));
    doc.RecordsEdited();
    EXPECT_EQ(Day(doc, 1), "宿題;");
    EXPECT_EQ(Day(doc, 3), "");
}

}  // namespace
}  // namespace almx::testing
