#include "reminders/diary_folder_form.h"

#include <gtest/gtest.h>

#include "base/prompter.h"
#include "core/record_array.h"
#include "core/text_entry_check.h"

namespace almx {
namespace {

TEST(DiaryFolderForm, AFolderTheFileCannotHoldIsRefusedAndTheDocumentKeepsItsOwn) {
    CAlmxArray document;
    document.diaryFolder = "/home/u/日記";
    DiaryFolderForm form(document);
    EXPECT_EQ(form.folder, "/home/u/日記");

    ScriptedPrompter prompter;
    form.folder = "/home/u/journal-ñ";
    EXPECT_FALSE(form.Ok(prompter));
    EXPECT_EQ(prompter.Shown(),
              std::vector<std::string>{UnrepresentableMessage("日記フォルダ", "ñ")});
    EXPECT_EQ(document.diaryFolder, "/home/u/日記");

    form.folder = "/home/u/日誌";
    EXPECT_TRUE(form.Ok(prompter));
    EXPECT_TRUE(form.WriteTo(document));
    EXPECT_EQ(document.diaryFolder, "/home/u/日誌");
    EXPECT_FALSE(form.WriteTo(document));
}

}  // namespace
}  // namespace almx
