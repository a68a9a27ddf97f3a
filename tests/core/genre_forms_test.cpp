#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/genre.h"
#include "core/genre_list_form.h"
#include "core/genre_multi_form.h"
#include "core/record.h"
#include "core/record_list.h"

namespace almx {
namespace {

CAlmxFieldArray Genres() {
    CAlmxFieldArray genres;
    genres.Append(CAlmxField("一般", 0x000011));
    genres.Append(CAlmxField("仕事", 0x000022));
    genres.Append(CAlmxField("趣味", 0x000033, 0));
    genres.Append(CAlmxField("家族", 0x000044));
    return genres;
}

CAlmxData Record(const char* title, int genre, std::uint32_t colour = 0xABCDEF) {
    CAlmxData record;
    record.title = title;
    record.genre = genre;
    record.colour = colour;
    record.start = DateTime::FromParts(2008, 1, 5, 9, 30);
    record.end = DateTime::FromParts(2008, 1, 6, 10, 0);
    record.Set(StartTimeSet);
    return record;
}

std::vector<int> GenresOf(const RecordList& records) {
    std::vector<int> genres;
    for (const auto& record : records) genres.push_back(record.genre);
    return genres;
}

class GenreListFormTest : public ::testing::Test {
  protected:
    CAlmxFieldArray genres_ = Genres();
    RecordList records_{Record("a", 1), Record("b", 2), Record("c", 3), Record("d", 2, 0x000033)};
    ScriptedPrompter prompter_;
    GenreListForm form_{genres_, records_, prompter_};
};

TEST_F(GenreListFormTest, RowsMarkHiddenGenresAndTheButtonFollows) {
    EXPECT_EQ(form_.Rows(), (std::vector<std::string>{"一般", "仕事", "[非表示]趣味", "家族"}));
    EXPECT_EQ(form_.HideButtonText(1), "非表示(&V)");
    EXPECT_EQ(form_.HideButtonText(2), "表示(&V)");
    EXPECT_TRUE(form_.ToggleShown(2));
    EXPECT_TRUE(form_.ToggleShown(1));
    EXPECT_EQ(form_.Rows(), (std::vector<std::string>{"一般", "[非表示]仕事", "趣味", "家族"}));
    EXPECT_EQ(form_.HideButtonText(1), "表示(&V)");
}

TEST_F(GenreListFormTest, DeleteRefusesTheGeneralGenreAndAsksForOthers) {
    EXPECT_FALSE(form_.Delete(0));
    EXPECT_EQ(prompter_.Shown(), (std::vector<std::string>{"一般フィールドは削除できません"}));
    EXPECT_EQ(prompter_.RepliesLeft(), 0u);

    prompter_.Then(Answer::No).Then(Answer::Yes);
    EXPECT_FALSE(form_.Delete(2));
    EXPECT_EQ(genres_.Count(), 4u);
    EXPECT_TRUE(form_.Delete(2));
    EXPECT_EQ(prompter_.Shown().back(), "趣味 を削除しますか？");
    EXPECT_EQ(genres_.Names(), (std::vector<std::string>{"一般", "仕事", "家族"}));
    EXPECT_EQ(GenresOf(records_), (std::vector<int>{1, 0, 2, 0}));
    EXPECT_EQ(records_[1].colour, 0x000011u);
}

TEST_F(GenreListFormTest, TheGeneralGenreNeverMovesAndEndsStayPut) {
    EXPECT_EQ(form_.MoveUp(1), 1);
    EXPECT_EQ(form_.MoveDown(0), 0);
    EXPECT_EQ(form_.MoveDown(3), 3);
    EXPECT_EQ(form_.MoveUp(0), 0);
    EXPECT_EQ(genres_, Genres());
    EXPECT_EQ(GenresOf(records_), (std::vector<int>{1, 2, 3, 2}));

    EXPECT_EQ(form_.MoveUp(2), 1);
    EXPECT_EQ(genres_.Names(), (std::vector<std::string>{"一般", "趣味", "仕事", "家族"}));
    EXPECT_EQ(GenresOf(records_), (std::vector<int>{2, 1, 3, 1}));
    EXPECT_EQ(form_.MoveDown(2), 3);
    EXPECT_EQ(genres_.Names(), (std::vector<std::string>{"一般", "趣味", "家族", "仕事"}));
    EXPECT_EQ(GenresOf(records_), (std::vector<int>{3, 1, 2, 1}));
}

TEST_F(GenreListFormTest, ModifyRecoloursOnlyRecordsStillShowingTheOldColour) {
    CAlmxField edited("遊び", 0x0000FF, 1);
    EXPECT_TRUE(form_.Modify(2, edited));
    EXPECT_EQ(genres_.At(2)->name, "遊び");
    EXPECT_TRUE(genres_.At(2)->IsShown());
    EXPECT_EQ(records_[1].colour, 0xABCDEFu);
    EXPECT_EQ(records_[3].colour, 0x0000FFu);
    EXPECT_EQ(records_[0].colour, 0xABCDEFu);

    EXPECT_EQ(form_.Add(CAlmxField("新規", 0x00FF00)), 4);
    EXPECT_EQ(genres_.At(4)->name, "新規");
}

TEST_F(GenreListFormTest, UnifyColoursAsksByNameThenColoursEveryRecordOfTheGenre) {
    prompter_.Then(Answer::No).Then(Answer::Yes);
    EXPECT_FALSE(form_.UnifyColours(2));
    EXPECT_EQ(records_[1].colour, 0xABCDEFu);
    EXPECT_TRUE(form_.UnifyColours(2));
    EXPECT_EQ(prompter_.Shown().back(),
              "趣味 のスケジュール全ての色をジャンルで指定した色に統一しますか？");
    EXPECT_EQ(records_[1].colour, 0x000033u);
    EXPECT_EQ(records_[3].colour, 0x000033u);
    EXPECT_EQ(records_[0].colour, 0xABCDEFu);
}

TEST(GenreFileDialog, StoresThePathAndReloadsOnlyAReadableExistingFile) {
    const auto folder = std::filesystem::temp_directory_path() / "almx_genre_file_dialog";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    CAlmxFieldArray defaults = Genres();

    const auto missing = (folder / "none.dat").string();
    EXPECT_FALSE(ApplyGenreFile(missing, settings, folder, defaults, prompter));
    EXPECT_EQ(settings.GetString("Field", "File", ""), missing);
    EXPECT_EQ(defaults, Genres());

    const auto broken = (folder / "broken.dat").string();
    std::ofstream(broken, std::ios::binary) << "\x02";
    EXPECT_FALSE(ApplyGenreFile(broken, settings, folder, defaults, prompter));
    EXPECT_EQ(prompter.Shown(), (std::vector<std::string>{"ジャンルファイルが途中で切れています"}));
    EXPECT_EQ(defaults, Genres());

    const auto empty = (folder / "empty.dat").string();
    std::ofstream(empty, std::ios::binary) << "";
    EXPECT_TRUE(ApplyGenreFile(empty, settings, folder, defaults, prompter));
    EXPECT_EQ(defaults, CAlmxFieldArray::General());
    std::filesystem::remove_all(folder);
}

TEST(GenreSearch, ModesCaseAndTargets) {
    CAlmxData record = Record("会議会議", 0);
    record.place = "Tokyo";
    auto matches = [&](const char* text, int mode, bool caseSensitive = false, int targets = 7) {
        return RecordMatches(record, {text, mode, caseSensitive, false, targets});
    };
    EXPECT_TRUE(matches("", 1));
    EXPECT_TRUE(matches("議会", 0));
    EXPECT_TRUE(matches("会議", 3));
    EXPECT_TRUE(matches("会議", 2));
    EXPECT_FALSE(matches("会議", 1));
    EXPECT_TRUE(matches("会議会議", 1));
    EXPECT_TRUE(matches("TOKYO", 1));
    EXPECT_FALSE(matches("TOKYO", 1, true));
    EXPECT_FALSE(matches("Tokyo", 0, false, 1));
    EXPECT_FALSE(matches("会議", 4));
    record.title = "会議室";
    EXPECT_FALSE(matches("会議", 3, false, 1));
    EXPECT_FALSE(matches("", 0, false, 0));

    // The Japanese matcher: width folds unless width-sensitive, case unless case-sensitive.
    record.title = "ｶﾞｲﾄﾞ ｂｏｏｋ";
    EXPECT_TRUE(RecordMatches(record, {"ガイド", 2, false, false, 1}));
    EXPECT_FALSE(RecordMatches(record, {"ガイド", 2, false, true, 1}));
    EXPECT_TRUE(RecordMatches(record, {"BOOK", 3, false, false, 1}));
    EXPECT_FALSE(RecordMatches(record, {"BOOK", 3, true, false, 1}));
    EXPECT_FALSE(RecordMatches(record, {"😀", 0, false, false, 7}));
}

class SetGenreOnRecordsTest : public ::testing::Test {
  protected:
    CAlmxFieldArray genres_ = Genres();
    RecordList records_{Record("会議A", 0), Record("昼食", 0), Record("会議B", 1),
                        Record("会議C", 0), Record("会議D", 3)};
    ScriptedPrompter prompter_;
    GenreSearchCondition condition_{"会議", 0, false, false, 7};
};

TEST_F(SetGenreOnRecordsTest, YesNoAndChangeAllInContainerOrder) {
    prompter_.ThenButton(ChangeThis).ThenButton(SkipThis).ThenButton(ChangeAll);
    EXPECT_EQ(SetGenreOnRecords(records_, genres_, condition_, 2, prompter_), 3);
    EXPECT_EQ(GenresOf(records_), (std::vector<int>{2, 0, 1, 2, 2}));
    EXPECT_EQ(records_[0].colour, 0x000033u);
    EXPECT_EQ(records_[2].colour, 0xABCDEFu);
    EXPECT_EQ(records_[4].colour, 0x000033u);
    // Three questions, no fourth after 全て変更, then the report.
    ASSERT_EQ(prompter_.Shown().size(), 4u);
    EXPECT_EQ(prompter_.Shown()[0],
              "開始：2008/01/05 09:30\n終了：2008/01/06\n内容：会議A\n"
              "現在のジャンル：一般\n新しいジャンル：趣味");
    EXPECT_NE(prompter_.Shown()[1].find("内容：会議B"), std::string::npos);
    EXPECT_NE(prompter_.Shown()[1].find("現在のジャンル：仕事"), std::string::npos);
    EXPECT_EQ(prompter_.Shown()[3], "3個のデータのジャンルを変更しました");
}

TEST_F(SetGenreOnRecordsTest, StopOrClosingEndsTheRunAndStillReports) {
    prompter_.ThenButton(ChangeThis).ThenButton(StopChanging);
    EXPECT_EQ(SetGenreOnRecords(records_, genres_, condition_, 3, prompter_), 1);
    EXPECT_EQ(GenresOf(records_), (std::vector<int>{3, 0, 1, 0, 3}));
    EXPECT_EQ(prompter_.Shown().back(), "1個のデータのジャンルを変更しました");

    ScriptedPrompter closing;  // an empty script closes the question
    EXPECT_EQ(SetGenreOnRecords(records_, genres_, condition_, 1, closing), 0);
    EXPECT_EQ(closing.Shown().size(), 2u);
    EXPECT_EQ(closing.Shown().back(), "0個のデータのジャンルを変更しました");
    EXPECT_EQ(GenresOf(records_), (std::vector<int>{3, 0, 1, 0, 3}));
}

}  // namespace
}  // namespace almx
