#include "reminders/memo_book.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <map>

#include "calendar/entry_checks.h"
#include "core/document_fixture.h"
#include "document/schedule_file_writer.h"

namespace almx::testing {
namespace {

// The editors of the view: a text per page, edited through Type.
class MemoBookTest : public DocumentTest {
  protected:
    void SetUp() override {
        DocumentTest::SetUp();
        doc = std::make_unique<CAlmxDoc>(Context());
    }
    MemoBook& Book() {
        if (!book) {
            book = std::make_unique<MemoBook>(*doc, prompter);
            book->SetBodyReader([this](std::size_t page) { return editors.at(page); });
            book->Build();
        }
        return *book;
    }
    void Type(std::size_t page, std::string body) {
        editors[page] = std::move(body);
        Book().MarkEdited(page);
    }
    // The pages' editors after a (re)build, as the view fills them.
    void FillEditors() {
        editors.clear();
        for (std::size_t i = 0; i < Book().PageCount(); ++i) editors[i] = Book().StoredBody(i);
    }
    std::vector<CMemoData>& List() { return doc->Array().memoPages; }
    void OpenReadOnly(const CAlmxArray& content) {
        WriteBytes(PathOf("ro.alx"), WriteScheduleFile(content).bytes);
        ::chmod(PathOf("ro.alx").c_str(), 0444);
        ASSERT_TRUE(doc->Open(PathOf("ro.alx")));
        ASSERT_TRUE(doc->IsReadOnly());
    }

    std::unique_ptr<CAlmxDoc> doc;
    std::unique_ptr<MemoBook> book;
    std::map<std::size_t, std::string> editors;
};

TEST_F(MemoBookTest, TheDefaultPageBecomesAMemoOnlyWhenItHoldsSomething) {
    ASSERT_EQ(Book().PageCount(), 1u);
    EXPECT_EQ(Book().Title(0), "メモ");
    EXPECT_TRUE(Book().Synchronise());
    EXPECT_TRUE(List().empty());
    EXPECT_FALSE(doc->IsModified());

    Type(0, "買い物\nパン");
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(Book().Synchronise());
    ASSERT_EQ(List().size(), 1u);
    EXPECT_EQ(List()[0], (CMemoData{"メモ", "買い物\nパン"}));
}

TEST_F(MemoBookTest, ARenamedEmptyDefaultPageKeepsItsTitle) {
    prompter.ThenText("予定");
    ASSERT_TRUE(Book().RenameCommand());
    ASSERT_TRUE(Book().Synchronise());
    ASSERT_EQ(List().size(), 1u);
    EXPECT_EQ(List()[0].title, "予定");
}

TEST_F(MemoBookTest, TheStoredIndexPicksThePageAndSurvivesADocumentWhosePagesNeverShowed) {
    List() = {{"a", "1"}, {"b", "2"}};
    doc->Array().extraNumber = 7;
    EXPECT_EQ(Book().Current(), 1u);  // beyond the last page: the last page
    ASSERT_TRUE(doc->SaveTo(PathOf("never.alx")));

    CAlmxDoc reread(Context());
    ASSERT_TRUE(reread.Open(PathOf("never.alx")));
    EXPECT_EQ(reread.Array().extraNumber, 7);

    // Negative reads as the first page; a synchronisation stores the page shown.
    reread.Array().extraNumber = -3;
    MemoBook shown(reread, prompter);
    shown.Build();
    EXPECT_EQ(shown.Current(), 0u);
    shown.SetCurrent(1);
    ASSERT_TRUE(reread.SaveTo(PathOf("never.alx")));  // no hook: the index is as it was
    EXPECT_EQ(reread.Array().extraNumber, -3);
    reread.commitMemos = [&] { return shown.Synchronise(); };
    reread.SetModified();
    ASSERT_TRUE(reread.SaveTo(PathOf("shown.alx")));
    CAlmxDoc again(Context());
    ASSERT_TRUE(again.Open(PathOf("shown.alx")));
    EXPECT_EQ(again.Array().extraNumber, 1);
}

TEST_F(MemoBookTest, AddCommitsUnsavedEditsAndGivesTheEmptyDefaultPageARecord) {
    prompter.ThenText("first");
    ASSERT_TRUE(Book().AddCommand());
    EXPECT_TRUE(prompter.Saw("メモのタイトルを入力してください"));
    ASSERT_EQ(List().size(), 2u);
    EXPECT_EQ(List()[0].title, "メモ");
    EXPECT_EQ(List()[1], (CMemoData{"first", ""}));
    EXPECT_EQ(Book().Current(), 1u);

    Type(1, "edited but not synchronised");
    prompter.ThenText("second");
    ASSERT_TRUE(Book().AddCommand());
    ASSERT_EQ(List().size(), 3u);
    EXPECT_EQ(List()[1].text, "edited but not synchronised");
    EXPECT_EQ(Book().PageCount(), 3u);
    EXPECT_EQ(Book().Current(), 2u);

    prompter.ThenText(std::nullopt);  // cancelled: nothing
    EXPECT_FALSE(Book().AddCommand());
    EXPECT_EQ(List().size(), 3u);
}

TEST_F(MemoBookTest, DeleteIsRefusedForTheLastPageAndRemovesTheCurrentMemoOtherwise) {
    EXPECT_FALSE(Book().DeleteCommand());
    EXPECT_TRUE(prompter.Saw("１つしかメモがない場合には削除できません。"));

    book.reset();
    List() = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
    doc->Array().extraNumber = 1;
    FillEditors();
    Type(2, "3 edited");
    prompter.Then(Answer::No);
    EXPECT_FALSE(Book().DeleteCommand());
    EXPECT_TRUE(prompter.Saw("bを削除しますか？"));
    EXPECT_EQ(List().size(), 3u);

    prompter.Then(Answer::Yes);
    ASSERT_TRUE(Book().DeleteCommand());
    EXPECT_EQ(List(), (std::vector<CMemoData>{{"a", "1"}, {"c", "3"}}));
    // The edit of the page after the deleted one is still that page's.
    editors = {{0, "1"}, {1, "3 edited"}};
    ASSERT_TRUE(Book().Synchronise());
    EXPECT_EQ(List()[1], (CMemoData{"c", "3 edited"}));
}

TEST_F(MemoBookTest, SortWorksOnACopyAndRebuildsOnlyOnOk) {
    List() = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
    FillEditors();
    Type(0, "1 edited");
    std::optional<MemoSortForm> form = Book().BeginSort();
    ASSERT_TRUE(form);
    EXPECT_EQ(List()[0].text, "1 edited");  // synchronised before the dialog
    form->Up();                             // at the top: nothing
    EXPECT_EQ(form->Memos()[0].title, "a");
    form->Down();
    form->Down();
    EXPECT_EQ(form->Selected(), 2);
    form->Down();  // at the bottom: nothing
    EXPECT_EQ(form->Selected(), 2);
    EXPECT_EQ(List()[0].title, "a");  // the document waits for OK
    doc->SetModified(false);
    Book().SetCurrent(2);
    Book().ApplySort(*form);
    EXPECT_EQ(List()[2], (CMemoData{"a", "1 edited"}));
    EXPECT_EQ(Book().Title(0), "b");
    EXPECT_EQ(Book().Current(), 0u);
    EXPECT_FALSE(Book().IsEdited(2));
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(MemoBookTest, AnImportCommitsEditsFirstAndTheListChangeIsSeen) {
    CAlmxArray other;
    other.memoPages = {{"imported", "x"}};
    WriteBytes(PathOf("other.alx"), WriteScheduleFile(other).bytes);
    Type(0, "typed before the import");
    doc->commitMemos = [this] { return Book().Synchronise(); };
    EXPECT_FALSE(Book().ListChangedOutside());
    ASSERT_GE(doc->ImportFile(PathOf("other.alx")), 0);
    EXPECT_EQ(List(),
              (std::vector<CMemoData>{{"メモ", "typed before the import"}, {"imported", "x"}}));
    EXPECT_TRUE(Book().ListChangedOutside());
    Book().Build();
    EXPECT_EQ(Book().PageCount(), 2u);
    EXPECT_FALSE(Book().ListChangedOutside());
}

// The pages keep no copy of the list: what they last wrote or read is told from their own
// texts and titles, through renames, edits, adds and deletes.
TEST_F(MemoBookTest, OnlyChangesMadeOutsideThePagesCountAsListChanges) {
    EXPECT_FALSE(Book().ListChangedOutside());  // the default page and an empty list
    List() = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
    EXPECT_TRUE(Book().ListChangedOutside());
    book.reset();
    FillEditors();
    EXPECT_FALSE(Book().ListChangedOutside());

    prompter.ThenText("renamed");
    ASSERT_TRUE(Book().RenameCommand());
    Type(1, "2 edited");
    EXPECT_FALSE(Book().ListChangedOutside());  // not written yet: the list is as it was
    ASSERT_TRUE(Book().Synchronise());
    EXPECT_FALSE(Book().ListChangedOutside());
    prompter.ThenText("d");
    ASSERT_TRUE(Book().AddCommand());
    EXPECT_FALSE(Book().ListChangedOutside());
    prompter.Then(Answer::Yes);
    ASSERT_TRUE(Book().DeleteCommand());  // the new last page
    EXPECT_FALSE(Book().ListChangedOutside());

    const std::vector<CMemoData> written = List();
    for (auto change : std::vector<std::function<void(std::vector<CMemoData>&)>>{
             [](auto& list) { list[1].text = "2 changed outside"; },
             [](auto& list) { list[1].title = "b2"; }, [](auto& list) { list.pop_back(); },
             [](auto& list) {
                 list.push_back({"e", ""});
             },
             [](auto& list) { list.clear(); }}) {
        List() = written;
        change(List());
        EXPECT_TRUE(Book().ListChangedOutside());
    }
    List() = written;
    EXPECT_FALSE(Book().ListChangedOutside());
}

TEST_F(MemoBookTest, TextTheFileCannotHoldStopsTheSaveAndChangesNothing) {
    List() = {{"a", "1"}, {"b", "2"}};
    FillEditors();
    doc->commitMemos = [this] { return Book().Synchronise(); };
    Type(0, "fine");
    Type(1, "smile 😀");
    EXPECT_FALSE(doc->SaveTo(PathOf("refused.alx")));
    EXPECT_FALSE(fs::exists(PathOf("refused.alx")));
    EXPECT_TRUE(prompter.Saw(UnrepresentableMessage("メモの内容", "😀")));
    EXPECT_EQ(Book().RefusedPage(), 1u);
    EXPECT_EQ(List()[0].text, "1");  // not even the good page was copied
    EXPECT_TRUE(Book().IsEdited(0));

    Type(1, "smile");
    ASSERT_TRUE(doc->SaveTo(PathOf("refused.alx")));
    CAlmxDoc reread(Context());
    ASSERT_TRUE(reread.Open(PathOf("refused.alx")));
    EXPECT_EQ(reread.Array().memoPages, (std::vector<CMemoData>{{"a", "fine"}, {"b", "smile"}}));
}

TEST_F(MemoBookTest, AReadOnlyDocumentRefusesEveryChange) {
    CAlmxArray content;
    content.memoPages = {{"a", "abc"}, {"b", "2"}};
    OpenReadOnly(content);
    const std::size_t before = prompter.Shown().size();
    EXPECT_FALSE(Book().AddCommand());
    EXPECT_FALSE(Book().RenameCommand());
    EXPECT_FALSE(Book().DeleteCommand());
    EXPECT_FALSE(Book().BeginSort());
    Book().findState.what = "abc";
    MemoBook::ReplaceResult replaced = Book().Replace("abc", {0, 3});
    EXPECT_TRUE(replaced.refused);
    EXPECT_TRUE(Book().ReplaceAll("abc", {0, 0}).empty());
    ASSERT_EQ(prompter.Shown().size(), before + 6);
    for (std::size_t i = before; i < prompter.Shown().size(); ++i) {
        EXPECT_EQ(prompter.Shown()[i], kReadOnlyEditMessage);
    }
    EXPECT_EQ(List(), content.memoPages);
    EXPECT_EQ(prompter.RepliesLeft(), 0u);
}

TEST_F(MemoBookTest, SearchAllSynchronisesFirstAndNamesEveryHit) {
    List() = {{"a", "会議の準備"}, {"b", "買い物"}, {"c", "カイギ"}};
    FillEditors();
    Type(1, "明日の会議");
    std::optional<std::vector<MemoHit>> hits = Book().SearchAll("会議", {});
    ASSERT_TRUE(hits);
    ASSERT_EQ(hits->size(), 2u);
    EXPECT_EQ((*hits)[1].title, "b");
    EXPECT_EQ((*hits)[1].index, 1);
    EXPECT_EQ((*hits)[1].text, "明日の会議");

    hits = Book().SearchAll("nothing here", {});
    ASSERT_TRUE(hits);
    EXPECT_TRUE(hits->empty());
    EXPECT_TRUE(prompter.Saw("見つかりませんでした"));
}

TEST_F(MemoBookTest, SearchAllSeesEveryChangeOfTheMemosSinceTheSearchBefore) {
    List() = {{"a", "会議の準備"}, {"b", "買い物"}, {"c", "カイギ"}};
    FillEditors();
    auto titles = [this](std::string_view word) {
        std::vector<std::string> found;
        if (auto hits = Book().SearchAll(word, {})) {
            for (const MemoHit& hit : *hits) found.push_back(hit.title);
        }
        return found;
    };
    EXPECT_EQ(titles("会議"), std::vector<std::string>{"a"});
    // Typed in the editors since.
    Type(0, "準備だけ");
    Type(2, "会議室");
    EXPECT_EQ(titles("会議"), std::vector<std::string>{"c"});
    // Changed behind the pages (an import), and a memo the same length but other text.
    List()[1].text = "会議費";
    List()[2].text = "会議室";
    List()[0].text = "準備だけ";
    Book().Build();
    FillEditors();
    EXPECT_EQ(titles("会議"), (std::vector<std::string>{"b", "c"}));
    List()[1].text = "会計費";
    Book().Build();
    FillEditors();
    EXPECT_EQ(titles("会議"), std::vector<std::string>{"c"});
    // Fewer memos than the search before.
    List().resize(1);
    Book().Build();
    FillEditors();
    EXPECT_TRUE(titles("会議").empty());
    EXPECT_EQ(titles("準備"), std::vector<std::string>{"a"});
}

TEST(MemoFindTest, FindsInBothDirectionsWithAndWithoutCase) {
    const std::string text = "abc ABC abc";
    EXPECT_EQ(FindInText(text, {0, 0}, "ABC", true, true), (TextRange{4, 7}));
    EXPECT_EQ(FindInText(text, {0, 0}, "ABC", true, false), (TextRange{0, 3}));
    EXPECT_EQ(FindInText(text, {4, 7}, "abc", true, true), (TextRange{8, 11}));
    // Upwards: the hit ending nearest before the selection start.
    EXPECT_EQ(FindInText(text, {8, 11}, "abc", false, false), (TextRange{4, 7}));
    EXPECT_EQ(FindInText(text, {8, 11}, "abc", false, true), (TextRange{0, 3}));
    EXPECT_EQ(FindInText(text, {0, 3}, "abc", false, false), std::nullopt);
    EXPECT_EQ(FindInText(text, {11, 11}, "abc", true, false), std::nullopt);
    EXPECT_EQ(FindInText(text, {0, 0}, "", true, false), std::nullopt);
    // A hit may not cross the selection start when searching upwards.
    EXPECT_EQ(FindInText("aaa", {2, 3}, "aa", false, true), (TextRange{0, 2}));
    // Offsets are UTF-8 bytes of the text, multibyte characters whole.
    const std::string japanese = "今日は会議、明日も会議";
    EXPECT_EQ(FindInText(japanese, {0, 0}, "会議", true, true), (TextRange{9, 15}));
    EXPECT_EQ(FindInText(japanese, {9, 15}, "会議", true, true), (TextRange{27, 33}));
    EXPECT_EQ(FindInText(japanese, {27, 33}, "会議", false, true), (TextRange{9, 15}));
}

TEST_F(MemoBookTest, ReplaceReplacesOnlyAHitAndThenFindsTheNext) {
    Book().findState = {"cat", "dog", true, true};
    // The selection is no hit: nothing replaced, the next hit selected.
    MemoBook::ReplaceResult step = Book().Replace("a cat, a cat", {0, 1});
    EXPECT_FALSE(step.replaced);
    EXPECT_EQ(step.newText, "a cat, a cat");
    EXPECT_EQ(step.next, (TextRange{2, 5}));

    step = Book().Replace(step.newText, *step.next);
    EXPECT_EQ(step.replaced, (TextRange{2, 5}));
    EXPECT_EQ(step.newText, "a dog, a cat");
    EXPECT_EQ(step.next, (TextRange{9, 12}));

    step = Book().Replace(step.newText, *step.next);
    EXPECT_EQ(step.newText, "a dog, a dog");
    EXPECT_FALSE(step.next);
    EXPECT_TRUE(prompter.Saw("該当文字列が見つかりません"));

    // Upwards the next hit is before the replaced text.
    Book().findState = {"cat", "kitten", false, true};
    step = Book().Replace("cat cat", {4, 7});
    EXPECT_EQ(step.newText, "cat kitten");
    EXPECT_EQ(step.next, (TextRange{0, 3}));
}

TEST_F(MemoBookTest, ReplaceAllEndsEvenWhenTheReplacementHoldsTheSearchText) {
    Book().findState = {"a", "aa", true, true};
    EXPECT_EQ(Book().ReplaceAll("a-a-a", {0, 0}), (std::vector<TextRange>{{0, 1}, {2, 3}, {4, 5}}));
    // From a selection that is no hit: only what follows it.
    EXPECT_EQ(Book().ReplaceAll("a-a-a", {1, 2}), (std::vector<TextRange>{{2, 3}, {4, 5}}));
    // Upwards from a selected hit: it and everything before it.
    Book().findState = {"A", "b", false, false};
    EXPECT_EQ(Book().ReplaceAll("a-a-a", {2, 3}), (std::vector<TextRange>{{0, 1}, {2, 3}}));
    // Overlapping hits upwards do not overlap in what is replaced.
    Book().findState = {"aa", "b", false, true};
    EXPECT_EQ(Book().ReplaceAll("aaa", {3, 3}), (std::vector<TextRange>{{1, 3}}));

    const std::size_t shown = prompter.Shown().size();
    Book().findState = {"zzz", "b", true, true};
    EXPECT_TRUE(Book().ReplaceAll("a-a-a", {0, 0}).empty());
    ASSERT_EQ(prompter.Shown().size(), shown + 1);
    EXPECT_EQ(prompter.Shown().back(), "該当文字列が見つかりません");
}

}  // namespace
}  // namespace almx::testing
