#include "core/search_history.h"

#include <gtest/gtest.h>

#include "base/settings_store.h"

namespace almx {
namespace {

using Words = std::vector<std::string>;

TEST(SearchHistoryTest, LoadKeepsOneOfEachTextAndTheBoxShowsTheNonEmptyOnes) {
    MemorySettingsStore settings;
    settings.SetString("FindList", "str00", "会議");
    settings.SetString("FindList", "str01", "東京");
    settings.SetString("FindList", "str02", "会議");
    settings.SetString("FindList", "str05", "夕食");
    const SearchHistory history = SearchHistory::Load(settings);
    // str03 and str04 are empty: one empty entry stays, its place kept.
    EXPECT_EQ(history.Entries(), (Words{"会議", "東京", "", "夕食"}));
    EXPECT_EQ(history.BoxItems(), (Words{"会議", "東京", "夕食"}));
    EXPECT_EQ(history.BoxText(), "会議");
    EXPECT_EQ(SearchHistory::Load(MemorySettingsStore()).BoxText(), "");
}

TEST(SearchHistoryTest, AWordMovesToTheFrontAndTheTwentyFirstNewWordDropsTheOldest) {
    MemorySettingsStore settings;
    SearchHistory history;
    for (int i = 0; i < 20; ++i) history.Add("w" + std::to_string(i));
    EXPECT_EQ(history.Entries().front(), "w19");
    history.Add("w17");  // third: to the front, the rest keep their order
    EXPECT_EQ(history.Entries()[0], "w17");
    EXPECT_EQ(history.Entries()[1], "w19");
    EXPECT_EQ(history.Entries()[2], "w18");
    EXPECT_EQ(history.Entries().size(), 20u);
    history.Add("w17");  // already first: nothing moves
    EXPECT_EQ(history.Entries()[1], "w19");
    history.Add("new");
    ASSERT_EQ(history.Entries().size(), 20u);
    EXPECT_EQ(history.Entries()[0], "new");
    EXPECT_EQ(history.Entries().back(), "w1");  // w0 dropped
    history.Save(settings);
    EXPECT_EQ(settings.GetString("FindList", "str00", ""), "new");
    EXPECT_EQ(settings.GetString("FindList", "str19", ""), "w1");
    EXPECT_EQ(SearchHistory::Load(settings).Entries(), history.Entries());
}

}  // namespace
}  // namespace almx
