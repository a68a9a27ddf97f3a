// How the document changes its records: records keep their addresses, every change of the
// container is told before anything else runs, and a read-only document refuses every change.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "calendar/entry_checks.h"
#include "core/record_line.h"
#include "document/schedule_file_writer.h"
#include "document_fixture.h"
#include "rich_document.h"

namespace almx::testing {
namespace {

CAlmxData OnDay(const std::string& title, int day, int genre = 0) {
    CAlmxData r;
    r.title = title;
    r.start = r.end = DateTime::FromDate(2025, 5, day);
    r.genre = genre;
    return r;
}

TEST(RecordList, AddressesSurviveInsertSortExchangeAndOtherRemovals) {
    RecordList list{OnDay("c", 3), OnDay("a", 1)};
    const CAlmxData* c = &list[0];
    const CAlmxData* a = &list[1];
    const std::uint64_t before = list.Generation();
    for (int i = 0; i < 1000; ++i) list.push_back(OnDay("x", 1 + i % 28));  // grows many times
    list.Insert(0, OnDay("b", 2));
    EXPECT_EQ(list.IndexOf(c), 1u);
    list.Swap(1, 2);
    EXPECT_EQ(&list[1], a);
    EXPECT_EQ(&list[2], c);
    std::unique_ptr<CAlmxData> b = list.Take(0);
    EXPECT_EQ(b->title, "b");
    EXPECT_FALSE(list.Contains(b.get()));
    list.TakeIf([](const CAlmxData& r) { return r.title == "x"; });
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(&list[0], a);
    EXPECT_EQ(c->title, "c");
    EXPECT_NE(list.Generation(), before);
    // A list made anew never takes up a value another list had.
    const std::uint64_t now = list.Generation();
    list = RecordList{OnDay("y", 4)};
    EXPECT_NE(list.Generation(), now);
    EXPECT_NE(list.Generation(), before);
}

class DocumentChangesTest : public DocumentTest {
  protected:
    void Listen(CAlmxDoc& doc) {
        doc.SetRecordsListener([this](const CAlmxData* removed) {
            told.push_back(removed ? removed->title : "*");
            shownWhenTold.push_back(prompter.Shown().size());
        });
    }

    std::vector<std::string> told;
    std::vector<std::size_t> shownWhenTold;
};

TEST_F(DocumentChangesTest, AFailedImportPutsBackAndTellsTheViewsBeforeItsMessage) {
    CAlmxArray other;
    other.genres = CAlmxFieldArray::General();
    other.records.push_back(OnDay("取込1", 4));
    other.records.push_back(OnDay("取込2", 5, 40));  // a genre the document does not define
    WriteBytes(PathOf("other.alx"), WriteScheduleFile(other).bytes);

    CAlmxDoc doc(Context());
    doc.Array().genres = CAlmxFieldArray::General();
    const CAlmxData* mine = doc.AddRecord(OnDay("mine", 1), true);
    Listen(doc);
    EXPECT_EQ(doc.ImportFile(PathOf("other.alx")), -1);
    ASSERT_EQ(doc.Records().size(), 1u);
    EXPECT_EQ(&doc.Records()[0], mine);
    // Told of the appended rows, then of their removal, both before the one message.
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(shownWhenTold.back(), 0u);
    ASSERT_EQ(prompter.Shown().size(), 1u);

    // A successful import is told before its count is shown.
    other.records.pop_back();
    WriteBytes(PathOf("other.alx"), WriteScheduleFile(other).bytes);
    told.clear();
    shownWhenTold.clear();
    EXPECT_EQ(doc.ImportFile(PathOf("other.alx")), 1);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(shownWhenTold[0], 1u);
    EXPECT_EQ(prompter.Shown().back(), "1個のデータを取り込みました");
    EXPECT_EQ(&doc.Records()[0], mine);
}

TEST_F(DocumentChangesTest, ARemovedRecordIsNamedWhileItStillLivesAndOthersKeepTheirPlace) {
    CAlmxDoc doc(Context());
    const CAlmxData* first = doc.AddRecord(OnDay("first", 1), true);
    const CAlmxData* second = doc.AddRecord(OnDay("second", 2), true);
    Listen(doc);
    prompter.Then(Answer::Yes);
    EXPECT_EQ(doc.DeleteRecord(first, first->start), DeleteOutcome::Deleted);
    EXPECT_EQ(told, std::vector<std::string>{"first"});
    EXPECT_EQ(&doc.Records()[0], second);
    // Sorting and deleting old schedules move and free records: the views hear of both.
    doc.AddRecord(OnDay("zeta", 9), false);
    told.clear();
    EXPECT_TRUE(doc.Sort(SortKey::Title, SortOrder::Descending));
    EXPECT_EQ(doc.DeleteOldSchedules(DateTime::FromDate(2025, 5, 2)), 1);
    EXPECT_EQ(told, (std::vector<std::string>{"*", "second"}));
    EXPECT_EQ(doc.Records()[0].title, "zeta");
}

TEST_F(DocumentChangesTest, AReadOnlyDocumentRefusesEveryChangeAndChangesNothing) {
    CAlmxArray file = RichDocument();
    file.password.clear();
    const std::string bytes = WriteScheduleFile(file).bytes;
    WriteBytes(PathOf("ro.alx"), bytes);
    WriteBytes(PathOf("other.alx"), bytes);
    ::chmod(PathOf("ro.alx").c_str(), 0444);
    CAlmxDoc doc(Context());
    ASSERT_TRUE(doc.Open(PathOf("ro.alx")));
    ASSERT_TRUE(doc.IsReadOnly());
    doc.SetModified(false);
    const RecordList before = doc.Records();
    const CAlmxData* some = &doc.Records()[0];
    const std::size_t shown = prompter.Shown().size();

    EXPECT_EQ(doc.AddRecord(OnDay("new", 1), true), nullptr);
    EXPECT_FALSE(doc.AddRecords({OnDay("new", 1)}, true));
    EXPECT_EQ(doc.ReplaceRecord(some, OnDay("edited", 2), true), nullptr);
    EXPECT_FALSE(doc.RemoveRecord(some));
    EXPECT_EQ(doc.DeleteRecord(some, some->start), DeleteOutcome::Refused);
    EXPECT_FALSE(doc.PasteOntoDate(RecordLine(*some), DateTime::FromDate(2025, 5, 1)));
    EXPECT_FALSE(doc.PasteOntoDate("plain text", DateTime::FromDate(2025, 5, 1)));
    EXPECT_FALSE(doc.Sort(SortKey::Title, SortOrder::Descending));
    EXPECT_EQ(doc.DeleteOldSchedules(DateTime::FromDate(9998, 1, 1)), -1);
    EXPECT_EQ(doc.ImportFile(PathOf("other.alx")), -1);
    EXPECT_FALSE(doc.ImportCommand());
    EXPECT_FALSE(doc.SetPasswordCommand());

    EXPECT_EQ(doc.Records(), before);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_EQ(prompter.Shown().size(), shown + 12);
    for (std::size_t i = shown; i < prompter.Shown().size(); ++i) {
        EXPECT_EQ(prompter.Shown()[i], kReadOnlyEditMessage);
    }
}

}  // namespace
}  // namespace almx::testing
