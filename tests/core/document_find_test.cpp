// The schedule search of the document: find, find next and find previous, across removals and
// sorts and before any find.

#include <gtest/gtest.h>

#include "core/search_condition.h"
#include "document/schedule_find.h"
#include "document_fixture.h"

namespace almx::testing {
namespace {

CAlmxData Titled(const std::string& title, int day) {
    CAlmxData r;
    r.title = title;
    r.start = r.end = DateTime::FromDate(2025, 5, day);
    return r;
}

class DocumentFindTest : public DocumentTest {
  protected:
    void SetUp() override {
        DocumentTest::SetUp();
        settings.SetString("System", "FindStr", "会議");
        document = std::make_unique<CAlmxDoc>(Context());
        // Hits at 1, 3 and 4.
        for (auto [title, day] : std::vector<std::pair<std::string, int>>{
                 {"買物", 9}, {"会議A", 8}, {"散歩", 7}, {"会議B", 6}, {"定例会議", 5}}) {
            ASSERT_NE(document->AddRecord(Titled(title, day), false), nullptr);
        }
    }
    std::string Title(const CAlmxData* hit) { return hit ? hit->title : "(none)"; }

    std::unique_ptr<CAlmxDoc> document;
};

TEST_F(DocumentFindTest, TheConditionComesFromSystemAndFindWalksBothWays) {
    EXPECT_EQ(document->FindCondition().text, "会議");
    EXPECT_EQ(document->FindCondition().section, "System");
    EXPECT_EQ(Title(document->Find()), "会議A");
    EXPECT_EQ(Title(document->FindNext()), "会議B");
    EXPECT_EQ(Title(document->FindNext()), "定例会議");
    // Nothing further: the record is cleared, the index kept.
    EXPECT_EQ(document->FindNext(), nullptr);
    EXPECT_EQ(document->FindHit(), nullptr);
    EXPECT_EQ(document->FindIndex(), 4u);
    EXPECT_EQ(Title(document->FindPrevious()), "会議B");
    EXPECT_EQ(Title(document->FindPrevious()), "会議A");
    EXPECT_EQ(document->FindPrevious(), nullptr);
    EXPECT_EQ(document->FindIndex(), 1u);
}

TEST_F(DocumentFindTest, BeforeAnyFindNextStartsAtTheFirstRecordAndPreviousAtTheLast) {
    document->FindCondition().text.clear();  // every record is a hit
    EXPECT_EQ(Title(document->FindNext()), "買物");
    auto fresh = std::make_unique<CAlmxDoc>(Context());
    fresh->AddRecord(Titled("会議X", 1), false);
    fresh->AddRecord(Titled("会議Y", 2), false);
    EXPECT_EQ(Title(fresh->FindPrevious()), "会議Y");
    EXPECT_EQ(Title(fresh->FindPrevious()), "会議X");
    CAlmxDoc empty(Context());
    EXPECT_EQ(empty.FindPrevious(), nullptr);
    EXPECT_EQ(empty.FindNext(), nullptr);
}

TEST_F(DocumentFindTest, RemovalsLeaveNoDanglingHitAndPreviousStaysInTheContainer) {
    document->Find();
    document->FindNext();
    document->FindNext();  // 定例会議 at index 4
    const CAlmxData* hit = document->FindHit();
    ASSERT_NE(hit, nullptr);
    ASSERT_TRUE(document->RemoveRecord(hit));
    EXPECT_EQ(document->FindHit(), nullptr);
    // Remove two more: the remembered index 4 is past the end of three records.
    ASSERT_TRUE(document->RemoveRecord(&document->Records()[0]));
    ASSERT_TRUE(document->RemoveRecord(&document->Records()[0]));
    ASSERT_EQ(document->Records().size(), 2u);  // 散歩, 会議B
    EXPECT_EQ(document->FindNext(), nullptr);
    EXPECT_EQ(Title(document->FindPrevious()), "会議B");
    EXPECT_EQ(document->FindIndex(), 1u);
}

TEST_F(DocumentFindTest, AfterASortTheIndexIsKeptAndTheHitIsStillTheRecord) {
    EXPECT_EQ(Title(document->Find()), "会議A");  // index 1
    ASSERT_TRUE(document->Sort(SortKey::Start, SortOrder::Ascending));
    // 定例会議 5, 会議B 6, 散歩 7, 会議A 8, 買物 9
    EXPECT_EQ(Title(document->FindHit()), "会議A");
    EXPECT_EQ(Title(document->FindNext()), "会議A");
    EXPECT_EQ(document->FindIndex(), 3u);
    EXPECT_EQ(Title(document->FindPrevious()), "会議B");
}

TEST_F(DocumentFindTest, OpeningAnotherFileForgetsTheHit) {
    document->Find();
    document->Clear();
    EXPECT_EQ(document->FindHit(), nullptr);
}

TEST_F(DocumentFindTest, TheCommandsAskThenSearchAndSayWhenNothingIsFound) {
    int asked = 0;
    AskFindCondition cancel = [&](SearchCondition&) {
        ++asked;
        return false;
    };
    EXPECT_EQ(RunScheduleFind(*document, kFindCommand, settings, prompter, cancel), nullptr);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(prompter.Shown().empty());  // cancelling changes nothing and says nothing
    EXPECT_FALSE(settings.Contains("System", "FindTarget"));

    AskFindCondition noTarget = [](SearchCondition& c) {
        c.text = "散歩";
        c.targets = 0;
        return true;
    };
    const CAlmxData* hit = RunScheduleFind(*document, kFindCommand, settings, prompter, noTarget);
    EXPECT_EQ(Title(hit), "散歩");
    EXPECT_EQ(document->FindCondition().targets, kTargetTitle);
    EXPECT_EQ(settings.GetInt("System", "FindTarget", -1), 1);
    EXPECT_EQ(settings.GetString("System", "FindStr", ""), "散歩");
    EXPECT_EQ(RunScheduleFind(*document, kFindNextCommand, settings, prompter, nullptr), nullptr);
    EXPECT_EQ(prompter.Shown(), std::vector<std::string>{"見つかりません"});
}

TEST(SearchHitDayTest, TheDayIsTheStartsLogicalDate) {
    CAlmxData r;
    r.start = DateTime::FromParts(2025, 5, 10, 2, 30);
    r.end = r.start;
    r.Set(StartTimeSet);
    EXPECT_EQ(SearchHitDay(r, 0), DateTime::FromDate(2025, 5, 10));
    EXPECT_EQ(SearchHitDay(r, 4), DateTime::FromDate(2025, 5, 9));
}

}  // namespace
}  // namespace almx::testing
