#include "core/display_settings.h"

#include <gtest/gtest.h>

#include "base/settings_store.h"

namespace almx {
namespace {

TEST(DisplaySettings, DefaultsWhenTheStoreIsEmptyAndNothingWrittenOnLoad) {
    MemorySettingsStore store;
    DisplaySettings d = DisplaySettings::Load(store);
    EXPECT_EQ(store.Size(), 0u);
    EXPECT_EQ(d.monthWeeks, 5);
    EXPECT_EQ(d.CellCount(), 35);
    EXPECT_TRUE(d.fileMarks);
    EXPECT_EQ(d.dayViewTime, 1);
    EXPECT_EQ(d.diaryIconColor, 33023u);
    EXPECT_EQ(d.otherColor, 14737632u);
    EXPECT_EQ(d.weekColors[0], 255u);
    EXPECT_EQ(d.weekColors[6], 16711680u);
    EXPECT_EQ(d.scheduleFont.faceName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(d.dateFont, (FontSpec{"Arial", -17, 400, 0, 0, 0}));
    EXPECT_STREQ(d.WeekdayName(0), "Sun.");
}

TEST(DisplaySettings, StoredValuesRoundTripWithColoursAsDecimalText) {
    MemorySettingsStore store;
    DisplaySettings d;
    d.monthWeeks = 6;
    d.startMonday = true;
    d.youbi = 1;
    d.holidayColor = 0x00FF00;
    d.weekColors[3] = 0x123456;
    d.customColors[15] = 7;
    d.dateFont.faceName = "Noto Sans CJK JP";
    d.todayLimit = 4;
    d.Store(store);
    EXPECT_EQ(store.GetString("View", "HolidayColor", ""), "65280");
    EXPECT_EQ(store.GetString("View", "WeekColor3", ""), "1193046");
    EXPECT_EQ(store.GetInt("View", "StartMonday", 0), 1);
    EXPECT_EQ(store.GetString("DFont", "FaceName", ""), "Noto Sans CJK JP");
    DisplaySettings back = DisplaySettings::Load(store);
    EXPECT_EQ(back.monthWeeks, 6);
    EXPECT_TRUE(back.startMonday);
    EXPECT_EQ(back.holidayColor, 0x00FF00u);
    EXPECT_EQ(back.weekColors[3], 0x123456u);
    EXPECT_EQ(back.customColors[15], 7u);
    EXPECT_EQ(back.dateFont.faceName, "Noto Sans CJK JP");
    EXPECT_EQ(back.todayLimit, 4);
    EXPECT_STREQ(back.WeekdayName(2), "火");
}

TEST(DisplaySettings, OutOfRangeAndGarbageValuesFallBack) {
    MemorySettingsStore store;
    store.SetInt("View", "MonthWeeks", 40);
    store.SetString("View", "BackColor", "not a number");
    store.SetInt("View", "Youbi", 7);
    DisplaySettings d = DisplaySettings::Load(store);
    EXPECT_EQ(d.monthWeeks, 5);
    EXPECT_EQ(d.backColor, 16777215u);
    EXPECT_STREQ(d.WeekdayName(1), "");
}

}  // namespace
}  // namespace almx
