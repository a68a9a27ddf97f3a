#include "core/day_property.h"

#include <gtest/gtest.h>

#include "base/prompter.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

std::vector<std::string> Keys(const DayPropertyMap& properties) {
    std::vector<std::string> keys;
    for (const auto& [key, property] : properties) keys.push_back(key);
    return keys;
}

TEST(DayProperty, RangeColourCrossesTheMonthEndAndKeepsPictures) {
    DayPropertyMap properties;
    properties["2008/01/31"] = {0x123456, "a.png"};
    EXPECT_EQ(ColourRange(properties, D(2008, 1, 30), D(2008, 2, 2), 0x0000FF), 4);
    EXPECT_EQ(Keys(properties),
              (std::vector<std::string>{"2008/01/30", "2008/01/31", "2008/02/01", "2008/02/02"}));
    for (const auto& [key, property] : properties) EXPECT_EQ(property.colour, 0x0000FFu) << key;
    EXPECT_EQ(properties["2008/01/31"].text, "a.png");

    EXPECT_EQ(ColourRange(properties, D(2008, 3, 2), D(2008, 3, 1), 0), 0);
    EXPECT_EQ(properties.size(), 4u);
}

TEST(DayProperty, RemoveRangeTouchesOnlyDaysWithAProperty) {
    DayPropertyMap properties;
    properties["2008/02/27"] = {1, ""};
    properties["2008/02/29"] = {2, "b.png"};
    properties["2008/03/01"] = {3, ""};
    properties["2008/03/05"] = {4, ""};
    EXPECT_EQ(RemoveRange(properties, D(2008, 2, 28), D(2008, 3, 4)), 2);
    EXPECT_EQ(Keys(properties), (std::vector<std::string>{"2008/02/27", "2008/03/05"}));
}

TEST(DayProperty, PictureOnAPlainDayTakesTheNormalBackground) {
    DayPropertyMap properties;
    SetDayPicture(properties, D(2008, 1, 5), "/home/a/pic.png", 0xFFFFFF);
    EXPECT_EQ(properties.at("2008/01/05"), (CDateProp{0xFFFFFF, "/home/a/pic.png"}));
    SetDayColour(properties, D(2008, 1, 5), 0x00FF00);
    SetDayPicture(properties, D(2008, 1, 5), "", 0xFFFFFF);
    EXPECT_EQ(properties.at("2008/01/05"), (CDateProp{0x00FF00, ""}));

    EXPECT_EQ(DayColourToEdit(properties, D(2008, 1, 5), 0xEEEEEE), 0x00FF00u);
    EXPECT_EQ(DayColourToEdit(properties, D(2008, 1, 6), 0xEEEEEE), 0xEEEEEEu);
    SetDayColour(properties, D(2008, 1, 6), 0x0000FF);
    EXPECT_EQ(properties.at("2008/01/06"), (CDateProp{0x0000FF, ""}));
    EXPECT_TRUE(ClearDay(properties, D(2008, 1, 6)));
    EXPECT_FALSE(ClearDay(properties, D(2008, 1, 6)));
}

TEST(DayProperty, AnUnpaddedKeyFromAFileNeverMatchesThePaddedDay) {
    DayPropertyMap properties;
    properties["2008/1/5"] = {0x0000FF, "old.png"};
    EXPECT_EQ(FindDayProperty(properties, D(2008, 1, 5)), nullptr);
    EXPECT_EQ(DayPictureToEdit(properties, D(2008, 1, 5)), "");
    SetDayColour(properties, D(2008, 1, 5), 0x00FF00);
    EXPECT_EQ(RemoveRange(properties, D(2008, 1, 1), D(2008, 1, 31)), 1);
    EXPECT_EQ(Keys(properties), (std::vector<std::string>{"2008/1/5"}));
}

TEST(DayRangeDialog, PresetsFollowTheRunOfEqualColour) {
    DayPropertyMap properties;
    properties["2008/01/30"] = {0x0000FF, ""};
    properties["2008/01/31"] = {0x0000FF, "x.png"};
    properties["2008/02/01"] = {0x0000FF, ""};
    properties["2008/02/02"] = {0x00FF00, ""};
    properties["2008/2/3"] = {0x00FF00, ""};

    DayRangeFields preset = DayRangePreset(properties, D(2008, 1, 30));
    EXPECT_EQ(preset.first, "2008/01/30");
    EXPECT_EQ(preset.last, "2008/02/01");
    EXPECT_EQ(preset.colour, 0x0000FFu);

    preset = DayRangePreset(properties, D(2008, 2, 2));
    EXPECT_EQ(preset.last, "2008/02/02");  // the unpadded key ends the run

    preset = DayRangePreset(properties, D(2008, 1, 29));
    EXPECT_EQ(preset.first, "2008/01/29");
    EXPECT_EQ(preset.last, "2008/01/30");
    EXPECT_EQ(preset.colour, 0xFFFFFFu);

    DayPropertyMap lastDay;
    lastDay["9998/12/31"] = {1, ""};
    EXPECT_EQ(RunOfEqualColourEnd(lastDay, D(9998, 12, 31)), D(9998, 12, 31));
}

TEST(DayRangeDialog, BothDatesAreCheckedBeforeAnythingChanges) {
    DayPropertyMap properties;
    ScriptedPrompter prompter;
    EXPECT_FALSE(ConfirmColourRange(properties, {"2008/02/30", "2008/03/01", 1}, prompter));
    EXPECT_FALSE(ConfirmColourRange(properties, {"2008/02/01", "", 1}, prompter));
    EXPECT_FALSE(ConfirmRemoveRange(properties, {"x", "y", 1}, prompter));
    EXPECT_EQ(prompter.Shown(), (std::vector<std::string>{"正しい開始日付を入力してください",
                                                          "正しい終了日付を入力してください",
                                                          "正しい開始日付を入力してください"}));
    EXPECT_TRUE(properties.empty());

    EXPECT_TRUE(ConfirmColourRange(properties, {"08/2/28", "2008/3/1", 0x00FFFF}, prompter));
    EXPECT_EQ(Keys(properties),
              (std::vector<std::string>{"2008/02/28", "2008/02/29", "2008/03/01"}));
    EXPECT_TRUE(ConfirmRemoveRange(properties, {"2008/02/29", "2008/02/29", 0}, prompter));
    EXPECT_EQ(Keys(properties), (std::vector<std::string>{"2008/02/28", "2008/03/01"}));
}

TEST(DayRangeDialog, AReversedRangeIsRefusedAndAHugeOneAsksFirst) {
    DayPropertyMap properties;
    ScriptedPrompter prompter;
    const std::string reversed = "終了日付には開始日付以降の日付を入力してください";
    EXPECT_FALSE(ConfirmColourRange(properties, {"2008/03/01", "2008/02/28", 1}, prompter));
    properties["2008/02/29"] = {5, ""};
    EXPECT_FALSE(ConfirmRemoveRange(properties, {"2008/03/01", "2008/02/28", 1}, prompter));
    EXPECT_EQ(prompter.Shown(), (std::vector<std::string>{reversed, reversed}));
    EXPECT_EQ(Keys(properties), std::vector<std::string>{"2008/02/29"});

    // 10,000 days pass without a question; one more asks, and No changes nothing.
    properties.clear();
    ScriptedPrompter asked;
    EXPECT_TRUE(ConfirmColourRange(properties, {"2000/01/01", "2027/05/18", 1}, asked));
    EXPECT_EQ(properties.size(), 10000u);
    EXPECT_TRUE(asked.Shown().empty());
    properties.clear();
    asked.Then(Answer::No);
    EXPECT_FALSE(ConfirmColourRange(properties, {"1583/01/01", "9998/12/31", 1}, asked));
    EXPECT_TRUE(properties.empty());
    ASSERT_EQ(asked.Shown().size(), 1u);
    EXPECT_EQ(asked.Shown()[0],
              "3073881日分の日付に色を設定します。ファイルが大きくなりますがよろしいですか？");
    asked.Then(Answer::Yes);
    EXPECT_TRUE(ConfirmColourRange(properties, {"2000/01/01", "2027/05/19", 2}, asked));
    EXPECT_EQ(properties.size(), 10001u);
}

}  // namespace
}  // namespace almx
