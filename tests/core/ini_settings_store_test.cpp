#include "base/ini_settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "document_fixture.h"

namespace almx {
namespace {

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

TEST_F(IniFileTest, TheFileIsFoundAtTheXdgPlaceAndNeverWritten) {
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

}  // namespace
}  // namespace almx
