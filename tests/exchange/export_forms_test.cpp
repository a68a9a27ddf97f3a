// The export and text copy dialogs' checks and settings.

#include "exchange/export_forms.h"

#include <gtest/gtest.h>

#include "base/prompter.h"
#include "base/settings_store.h"

namespace almx {
namespace {

TEST(ExportCsvForm, PresetsFromTheSettingsAndChecksInOrder) {
    MemorySettingsStore settings;
    settings.SetInt("System", "ExportSpan", 30);
    settings.SetString("System", "ExportFile", "/tmp/x.csv");
    ScriptedPrompter prompter;
    CExportCsvForm form(settings, prompter);
    form.Preset(DateTime::FromParts(2025, 1, 20, 15, 0));
    EXPECT_EQ(form.startText, "2025/01/20");
    EXPECT_EQ(form.endText, "2025/02/19");
    EXPECT_EQ(form.fileName, "/tmp/x.csv");
    EXPECT_FALSE(form.includeHidden);

    form.startText = "2025/02/30";
    form.fileName.clear();
    EXPECT_FALSE(form.Accept());
    form.startText = "2025/03/01";
    EXPECT_FALSE(form.Accept());  // end before start
    form.endText = "2025/03/05";
    EXPECT_FALSE(form.Accept());
    EXPECT_EQ(prompter.Shown(), (std::vector<std::string>{"正しい開始日付を入力してください",
                                                          "正しい終了日付を入力してください",
                                                          "ファイル名が入力されていません"}));
    form.fileName = "/tmp/y.csv";
    form.includeHidden = true;
    ASSERT_TRUE(form.Accept());
    EXPECT_EQ(form.start, DateTime::FromDate(2025, 3, 1));
    EXPECT_EQ(form.end, DateTime::FromDate(2025, 3, 5));
    EXPECT_EQ(settings.GetString("System", "ExportFile", ""), "/tmp/y.csv");
    EXPECT_EQ(settings.GetInt("System", "ExportNoView", 0), 1);
    EXPECT_EQ(settings.GetInt("System", "ExportSpan", 0), 4);
}

TEST(ExportCsvForm, HugeSpanStaysInTheCalendar) {
    MemorySettingsStore settings;
    settings.SetInt("System", "ExportSpan", 2000000000);
    ScriptedPrompter prompter;
    CExportCsvForm form(settings, prompter);
    form.Preset(DateTime::FromParts(2025, 1, 20, 15, 0));
    EXPECT_EQ(form.endText, "9998/12/31");
}

TEST(TextCopyForm, ChecksTheRangeAndStoresTheBoxes) {
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    CTextCopyForm form(settings, prompter);
    form.Preset(DateTime::FromParts(2025, 1, 20, 15, 0));
    EXPECT_EQ(form.endText, "2025/02/03");
    EXPECT_FALSE(form.withYear);
    EXPECT_TRUE(form.withWeekday);
    EXPECT_EQ(form.Options(), 2);
    form.endText = "x";
    EXPECT_FALSE(form.Accept());
    EXPECT_EQ(prompter.Shown().back(), "正しい終了日付を入力してください");
    form.endText = "2025/1/27";
    form.withYear = true;
    form.withWeekday = false;
    ASSERT_TRUE(form.Accept());
    EXPECT_EQ(settings.GetInt("TextCopy", "Year", 0), 1);
    EXPECT_EQ(settings.GetInt("TextCopy", "Youbi", 1), 0);
    EXPECT_EQ(settings.GetInt("System", "TextCopySpan", 0), 7);
    EXPECT_EQ(DayTextCopyOptions(settings), 1);
    EXPECT_EQ(PickerDate("bad", DateTime::FromParts(2025, 1, 20, 15, 0)),
              DateTime::FromDate(2025, 1, 20));
}

}  // namespace
}  // namespace almx
