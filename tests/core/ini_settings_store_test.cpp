#include "base/ini_settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "document_fixture.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

TEST(IniSettingsStore, ReadsSectionsQuotedValuesAndEscapesAsQSettingsWritesThem) {
    IniSettingsStore store = IniSettingsStore::FromText(
        "; written by the program\n"
        "TopLevel=1\n"
        "[System]\r\n"
        "TodayLimit=4\r\n"
        "DefaultFile=/home/u/予定.alx\n"
        "  SharedFile = true  \n"
        "Alerm=abc\n"
        "[Diary]\n"
        "Dir=\"  C:\\\\Users\\\\u ; not a comment \"\n"
        "Title=\"say \\\"hi\\\"\\tthen\\nbreak\" ; a comment\n"
        "Kana=\\x3042\\x3044\n"
        "Placement=\"0,0,100,200\"\n"
        "Empty=\n"
        "[View]\n"
        "TodoLeftDraw=0\n"
        "broken line without equals\n");
    EXPECT_EQ(store.GetInt("General", "TopLevel", 0), 1);
    EXPECT_EQ(store.GetInt("System", "TodayLimit", 0), 4);
    EXPECT_EQ(store.GetString("System", "DefaultFile", ""), "/home/u/予定.alx");
    EXPECT_EQ(store.GetInt("System", "SharedFile", 0), 1);
    EXPECT_EQ(store.GetInt("System", "Alerm", 9), 9);
    EXPECT_EQ(store.GetString("Diary", "Dir", ""), "  C:\\Users\\u ; not a comment ");
    EXPECT_EQ(store.GetString("Diary", "Title", ""), "say \"hi\"\tthen\nbreak");
    EXPECT_EQ(store.GetString("Diary", "Kana", ""), "あい");
    EXPECT_EQ(store.GetString("Diary", "Placement", ""), "0,0,100,200");
    EXPECT_EQ(store.GetString("Diary", "Empty", "default"), "");
    EXPECT_EQ(store.GetInt("View", "TodoLeftDraw", 1), 0);
    // Keys and sections are case-sensitive, and a missing key gives the default.
    EXPECT_EQ(store.GetInt("system", "TodayLimit", -1), -1);
    EXPECT_EQ(store.GetString("View", "Missing", "dflt"), "dflt");
}

class IniFileTest : public testing::DocumentTest {};

TEST_F(IniFileTest, TheFileIsFoundAtTheXdgPlaceAndOnlyWrittenWhenASectionIsWritten) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    EXPECT_EQ(IniSettingsStore::DefaultPath(), (dir / "Korvanta" / "Almanix.ini").string());
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(IniSettingsStore::DefaultPath(),
              std::string(std::getenv("HOME")) + "/.config/Korvanta/Almanix.ini");
    if (saved) ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1);

    std::filesystem::create_directories(dir / "Korvanta");
    const std::string path = (dir / "Korvanta" / "Almanix.ini").string();
    const std::string text = "[System]\nHolidayChangeFlag1=0\n";
    testing::WriteBytes(path, text);
    IniSettingsStore store(path);
    EXPECT_TRUE(store.Loaded());
    store.SetInt("System", "HolidayChangeFlag1", 1);
    store.SetString("System", "DefaultFile", "/x.alx");
    EXPECT_EQ(store.GetInt("System", "HolidayChangeFlag1", 0), 1);
    EXPECT_EQ(store.GetString("System", "DefaultFile", ""), "/x.alx");
    EXPECT_EQ(testing::ReadBytes(path), text);

    IniSettingsStore missing((dir / "none.ini").string());
    EXPECT_FALSE(missing.Loaded());
    EXPECT_EQ(missing.GetInt("System", "TodayLimit", 3), 3);
}

TEST_F(IniFileTest, WritingASectionKeepsEveryOtherLineAndReadsBack) {
    const std::string path = (dir / "Almanix.ini").string();
    testing::WriteBytes(path,
                        "[System]\r\nTodayLimit=4\r\n\r\n"
                        "[HtmlMonthOut]\nFolder=/old\nNavi=1\n\n"
                        "[View]\nPlacement=\"0,0,100,200\"\n");
    IniSettingsStore store(path);
    store.SetString("HtmlMonthOut", "Folder", "/home/u/公開 ページ");
    store.SetInt("HtmlMonthOut", "StartYear", 2023);
    store.SetString("HtmlMonthOut", "TopName", " a,b;c=\"d\"\\e ");
    store.SetString("HtmlMonthOut", "BackUrl",
                    "@http://x/\n\x01"
                    "9");
    store.SetInt("System", "TodayLimit", 7);  // another section: not written
    ASSERT_TRUE(store.WriteSection(path, "HtmlMonthOut"));
    // Replaced in place, new keys after the section's last one, the rest untouched.
    EXPECT_EQ(testing::ReadBytes(path),
              "[System]\r\nTodayLimit=4\r\n\r\n"
              "[HtmlMonthOut]\nFolder=/home/u/公開 ページ\nNavi=1\n"
              "BackUrl=@@http://x/\\n\\x1\\x39\n"
              "StartYear=2023\n"
              "TopName=\" a,b;c=\\\"d\\\"\\\\e \"\n\n"
              "[View]\nPlacement=\"0,0,100,200\"\n");
    const IniSettingsStore back(path);
    EXPECT_EQ(back.GetString("HtmlMonthOut", "Folder", ""), "/home/u/公開 ページ");
    EXPECT_EQ(back.GetInt("HtmlMonthOut", "StartYear", 0), 2023);
    EXPECT_EQ(back.GetString("HtmlMonthOut", "TopName", ""), " a,b;c=\"d\"\\e ");
    EXPECT_EQ(back.GetInt("System", "TodayLimit", 0), 4);

    // A missing section is added at the end, a missing file is created.
    IniSettingsStore more(path);
    more.SetInt("HtmlDiary", "Navi", 0);
    ASSERT_TRUE(more.WriteSection(path, "HtmlDiary"));
    EXPECT_TRUE(testing::ReadBytes(path).ends_with("\"0,0,100,200\"\n\n[HtmlDiary]\nNavi=0\n"))
        << testing::ReadBytes(path);
    const std::string fresh = (dir / "new" / "Almanix.ini").string();
    IniSettingsStore created(fresh);
    created.SetString("HtmlMonthOut", "FileName", "sch");
    ASSERT_TRUE(created.WriteSection(fresh, "HtmlMonthOut"));
    EXPECT_EQ(testing::ReadBytes(fresh), "[HtmlMonthOut]\nFileName=sch\n");
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNeverReplaced) {
    // A folder where the file should be: unreadable, and not to be overwritten by a few keys.
    const fs::path path = dir / "Almanix.ini";
    fs::create_directories(path / "inside");
    IniSettingsStore store(path.string());
    store.SetString("HtmlMonthOut", "Folder", "/x");
    EXPECT_FALSE(store.WriteSection(path.string(), "HtmlMonthOut"));
    EXPECT_TRUE(fs::is_directory(path / "inside"));
}

}  // namespace
}  // namespace almx
