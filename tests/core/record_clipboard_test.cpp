// A record copied in one document and pasted into another, as two running programs share it
// through the clipboard's plain text.

#include "core/record_line.h"
#include "core/todo_list.h"
#include "document_fixture.h"

namespace almx {
namespace {

using testing::DocumentTest;

class RecordClipboardTest : public DocumentTest {
  protected:
    CAlmxData Rich() {
        CAlmxData r;
        r.title = "打ち合わせ, \"第2回\"";
        r.place = "会議室A";
        r.memo = "議題:\n" + std::string(3000, 'a') + "\n以上, 終わり";
        r.start = DateTime::FromParts(2025, 5, 7, 10, 30);
        r.end = DateTime::FromParts(2025, 5, 7, 12, 0);
        r.Set(StartTimeSet);
        r.Set(EndTimeSet);
        r.colour = 0x0080FF;
        r.genre = 0;
        r.textStyle = 3;
        r.alarmMinutes = 15;
        r.linkFile = "https://example.org/a,b";
        return r;
    }
};

TEST_F(RecordClipboardTest, ALongRecordPastesWholeIntoAnotherDocument) {
    CAlmxDoc source(Context());
    source.Records().push_back(Rich());
    // The clipboard holds the record line, longer than any fixed buffer.
    const std::string clipboard = RecordLine(source.Records()[0]);
    ASSERT_GT(clipboard.size(), 2047u);

    CAlmxDoc target(Context());
    ASSERT_TRUE(target.PasteOntoDate(clipboard, DateTime::FromDate(2025, 5, 7)));
    ASSERT_EQ(target.Records().size(), 1u);
    EXPECT_EQ(target.Records()[0], source.Records()[0]);
    EXPECT_TRUE(target.IsModified());

    // Onto another day the times stay and the date moves.
    ASSERT_TRUE(target.PasteOntoDate(clipboard, DateTime::FromDate(2025, 6, 1)));
    const CAlmxData& moved = target.Records()[1];
    EXPECT_EQ(moved.start, DateTime::FromParts(2025, 6, 1, 10, 30));
    EXPECT_EQ(moved.end, DateTime::FromParts(2025, 6, 1, 12, 0));
    EXPECT_EQ(moved.memo, source.Records()[0].memo);
    EXPECT_EQ(moved.title, source.Records()[0].title);
}

TEST_F(RecordClipboardTest, AToDoPastesIntoTheListOfAnotherDocumentAsItWas) {
    CAlmxData todo;
    todo.title = "買い物";
    todo.start = DateTime::FromDate(2025, 5, 10);
    todo.end = DateTime::FromDate(2025, 5, 9);
    todo.todoImportance = 4;
    todo.Set(IsTodo);
    todo.Set(TodoDone);
    todo.memo = std::string(2100, 'm');
    std::optional<CAlmxData> pasted =
        RecordFromClipboard(RecordLine(todo), CAlmxDoc(Context()).NewRecordDefaults());
    ASSERT_TRUE(pasted.has_value());
    EXPECT_EQ(*pasted, todo);
}

}  // namespace
}  // namespace almx
