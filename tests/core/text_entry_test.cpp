// Text the schedule file cannot hold is refused where it enters the document, naming the field;
// a save that still meets some (from bytes a file could not decode) says how many became "?".

#include "core/memo_page.h"
#include "core/record_line.h"
#include "core/text_entry_check.h"
#include "core/todo_list.h"
#include "document/document_messages.h"
#include "document/schedule_file_writer.h"
#include "document_fixture.h"

namespace almx {
namespace {

namespace msg = doc_messages;
using testing::DocumentTest;
using testing::kHeaderLine;
using testing::ReadBytes;
using testing::SjisFile;
using testing::WriteBytes;

class TextEntryTest : public DocumentTest {
  protected:
    CAlmxDoc& Opened(std::string_view bytes) {
        WriteBytes(PathOf("doc.alx"), bytes);
        doc = std::make_unique<CAlmxDoc>(Context());
        EXPECT_TRUE(doc->Open(PathOf("doc.alx")));
        return *doc;
    }
    std::unique_ptr<CAlmxDoc> doc;
};

TEST_F(TextEntryTest, ANewPasswordTheFileCannotHoldIsRefusedAndTheOldOneStays) {
    CAlmxDoc& d = Opened(WriteScheduleFile(CAlmxArray()).bytes);
    for (const char* password : {"café", "key🔑"}) {
        prompter.ThenText(password);
        EXPECT_FALSE(d.SetPasswordCommand()) << password;
        EXPECT_EQ(d.Array().password, "");
        EXPECT_FALSE(d.IsModified());
    }
    EXPECT_EQ(prompter.Shown().back(), UnrepresentableMessage("パスワード", "🔑"));

    // The owner can still set one the file keeps, and unlock the file with it.
    prompter.ThenText("カフェ1");
    ASSERT_TRUE(d.SetPasswordCommand());
    ASSERT_TRUE(d.SaveTo(d.Path()));
    CAlmxDoc reopened(Context());
    prompter.ThenText("カフェ1");
    ASSERT_TRUE(reopened.Open(d.Path()));
    EXPECT_EQ(reopened.Array().password, "カフェ1");
}

TEST_F(TextEntryTest, AnEnteredPasswordTheFileCannotHoldIsNamedNotCalledWrong) {
    CAlmxArray content;
    content.password = "abc";
    WriteBytes(PathOf("doc.alx"), WriteScheduleFile(content).bytes);
    CAlmxDoc again(Context());
    prompter.ThenText("abé").ThenText("abc");
    ASSERT_TRUE(again.Open(PathOf("doc.alx")));
    EXPECT_TRUE(prompter.Saw(UnrepresentableMessage("パスワード", "é")));
    EXPECT_FALSE(prompter.Saw(msg::kWrongPassword));

    // The old password of the password command too.
    prompter.ThenText("abé");
    EXPECT_FALSE(again.SetPasswordCommand());
    EXPECT_EQ(prompter.Shown().back(), UnrepresentableMessage("パスワード", "é"));
    EXPECT_EQ(again.Array().password, "abc");
}

TEST_F(TextEntryTest, ASaveThatWritesQuestionMarksSaysHowManyOnce) {
    // 0xFD and 0xFE are no Shift_JIS bytes: read as U+FFFD, they can only be written as "?".
    std::string line = SjisFile("\"0\",\"2008/01/05\",\"00:00\",\"2008/01/05\",\"00:00\",\"A");
    line += "\xFD\xFE";
    line += SjisFile("\"\n");
    CAlmxDoc& d = Opened(SjisFile(kHeaderLine) + line);
    ASSERT_EQ(d.Records().size(), 1u);
    const std::size_t before = prompter.Shown().size();
    ASSERT_TRUE(d.SaveTo(d.Path()));
    const std::vector<std::string> shown(prompter.Shown().begin() + before, prompter.Shown().end());
    EXPECT_EQ(shown, std::vector<std::string>{SavedAsQuestionMarksMessage(2)});
    EXPECT_EQ(SavedAsQuestionMarksMessage(2),
              "Shift_JISで保存できない文字が 2 文字あったため、「?」に置き換えて保存しました");
    EXPECT_NE(ReadBytes(d.Path()).find("\"A??\""), std::string::npos);
    // Saved again (the automatic save), nothing new to tell.
    d.SetModified();
    ASSERT_TRUE(d.SaveTo(d.Path()));
    EXPECT_EQ(prompter.Shown().size(), before + 1);

    // Once saved, the "?" are ordinary text: the next save has nothing to say.
    CAlmxDoc clean(Context());
    ASSERT_TRUE(clean.Open(d.Path()));
    const std::size_t after = prompter.Shown().size();
    ASSERT_TRUE(clean.SaveTo(clean.Path()));
    EXPECT_EQ(prompter.Shown().size(), after);
}

TEST_F(TextEntryTest, AToDoPastedWithCharactersTheFileCannotHoldIsRefused) {
    CAlmxData todo;
    todo.Set(IsTodo);
    todo.title = "買い物";
    todo.place = "駅前🏪";
    const RecordDefaults defaults;
    EXPECT_FALSE(RecordToPaste(RecordLine(todo), defaults, prompter));
    EXPECT_EQ(prompter.Shown().back(), UnrepresentableMessage("場所", "🏪"));

    todo.place = "駅前";
    std::optional<CAlmxData> pasted = RecordToPaste(RecordLine(todo), defaults, prompter);
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->place, "駅前");
    EXPECT_FALSE(RecordToPaste("no record", defaults, prompter));
}

TEST_F(TextEntryTest, RecordAndMemoChecksNameTheFieldAsTheirDialogsDo) {
    CAlmxData schedule;
    schedule.memo = "ok";
    schedule.linkFile = "/home/ü.txt";
    EXPECT_FALSE(CheckRecordRepresentable(prompter, schedule));
    EXPECT_EQ(prompter.Shown().back(), UnrepresentableMessage("リンク", "ü"));
    schedule.linkFile.clear();
    EXPECT_TRUE(CheckRecordRepresentable(prompter, schedule));

    CMemoData page{"題", "本文 ½"};
    EXPECT_FALSE(CheckMemoPageRepresentable(prompter, page.title, page.text));
    EXPECT_EQ(prompter.Shown().back(), UnrepresentableMessage("メモの内容", "½"));
    page.text = "本文";
    EXPECT_TRUE(CheckMemoPageRepresentable(prompter, page.title, page.text));
}

}  // namespace
}  // namespace almx
