#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/settings_store.h"
#include "core/genre_multi_form.h"
#include "core/record.h"
#include "core/search_condition.h"
#include "text/encoding.h"
#include "text/matcher.h"

namespace almx {
namespace {

CAlmxData Record(std::string title, std::string place = "", std::string memo = "") {
    CAlmxData record;
    record.title = std::move(title);
    record.place = std::move(place);
    record.memo = std::move(memo);
    return record;
}

SearchCondition Condition(std::string text, int mode, bool ignoreWidth = false,
                          int targets = kTargetAll, bool ignoreCase = true) {
    SearchCondition c;
    c.text = std::move(text);
    c.mode = mode;
    c.ignoreCase = ignoreCase;
    c.ignoreWidth = ignoreWidth;
    c.targets = targets;
    return c;
}

TEST(SearchConditionTest, SettingsRoundTripUnderItsOwnSectionWithTheDefaults) {
    MemorySettingsStore settings;
    const SearchCondition fresh = SearchCondition::Load(settings, "SchFind");
    EXPECT_EQ(fresh.text, "");
    EXPECT_EQ(fresh.mode, 0);
    EXPECT_TRUE(fresh.ignoreCase);
    EXPECT_FALSE(fresh.ignoreWidth);
    EXPECT_EQ(fresh.targets, 7);
    EXPECT_EQ(settings.Size(), 0u);  // reading writes nothing

    SearchCondition edited = Condition("会議", 3, true, kTargetPlace, false);
    edited.section = "SchFind";
    edited.Store(settings);
    EXPECT_EQ(settings.GetString("SchFind", "FindStr", ""), "会議");
    EXPECT_EQ(settings.GetInt("SchFind", "ISearch", -1), 0);
    EXPECT_EQ(settings.GetInt("SchFind", "ZSearch", -1), 1);
    EXPECT_FALSE(settings.Contains("System", "FindStr"));
    EXPECT_EQ(SearchCondition::Load(settings, "SchFind"), edited);
}

TEST(SearchConditionTest, ModesTargetsAndFoldingsOfTheSearch) {
    EXPECT_TRUE(MatchesCondition(Record("会議会議"), Condition("会議", kSearchEndsWith)));
    EXPECT_FALSE(MatchesCondition(Record("会議室"), Condition("会議", kSearchEndsWith)));
    EXPECT_TRUE(MatchesCondition(Record("会議室"), Condition("会議", kSearchStartsWith)));
    EXPECT_FALSE(MatchesCondition(Record("定例会議"), Condition("会議", kSearchStartsWith)));
    EXPECT_TRUE(MatchesCondition(Record("meeting"), Condition("MEETING", kSearchEquals)));
    EXPECT_FALSE(MatchesCondition(Record("meeting"),
                                  Condition("MEETING", kSearchEquals, false, kTargetAll, false)));
    EXPECT_FALSE(MatchesCondition(Record("meetings"), Condition("meeting", kSearchEquals)));
    EXPECT_TRUE(MatchesCondition(Record("ｶﾞｲﾄﾞ"), Condition("ガ", kSearchContains, true)));
    EXPECT_FALSE(MatchesCondition(Record("ｶﾞｲﾄﾞ"), Condition("ガ", kSearchContains, false)));
    EXPECT_FALSE(MatchesCondition(Record("abc"), Condition("abc", 4)));  // unknown mode

    // An empty text matches every record with a target; no target, nothing.
    EXPECT_TRUE(MatchesCondition(Record(""), Condition("", kSearchEquals)));
    EXPECT_FALSE(MatchesCondition(Record("x"), Condition("", kSearchContains, false, 0)));

    const CAlmxData record = Record("打合せ", "東京", "資料を持参");
    EXPECT_TRUE(MatchesCondition(record, Condition("東京", 0, false, kTargetPlace)));
    EXPECT_FALSE(MatchesCondition(record, Condition("東京", 0, false, kTargetTitle | kTargetMemo)));
    EXPECT_TRUE(MatchesCondition(record, Condition("資料", 2, false, kTargetMemo)));
    // A character Shift_JIS cannot hold is in no record.
    EXPECT_FALSE(MatchesCondition(Record("😀"), Condition("😀", kSearchContains)));
}

// Mends of the ends-with test: no byte-length refusal, and no test at a byte offset counted back
// from the end (which would land on the trail byte "A" of "ア").
TEST(SearchConditionTest, EndsWithComparesCharactersNotBytes) {
    EXPECT_TRUE(MatchesCondition(Record("xABC"), Condition("ＡＢＣ", kSearchEndsWith, true)));
    EXPECT_TRUE(MatchesCondition(Record("ｶﾞ"), Condition("ガ", kSearchEndsWith, true)));
    EXPECT_FALSE(MatchesCondition(Record("ア"), Condition("A", kSearchEndsWith, true)));
    EXPECT_FALSE(MatchesCondition(Record("xア"), Condition("A", kSearchEndsWith)));
    EXPECT_FALSE(MatchesCondition(Record("ソ"), Condition("\\", kSearchEndsWith)));
    EXPECT_TRUE(MatchesCondition(Record("アA"), Condition("a", kSearchEndsWith)));
}

TEST(SearchConditionTest, TheGenreDialogUsesTheSameTest) {
    GenreSearchCondition genre{"ＡＢＣ", 3, false, false, 1};
    const SearchCondition search = ToSearchCondition(genre);
    EXPECT_TRUE(search.ignoreCase);
    EXPECT_TRUE(search.ignoreWidth);
    EXPECT_TRUE(RecordMatches(Record("xabc"), genre));
    genre.widthSensitive = true;
    EXPECT_FALSE(RecordMatches(Record("xabc"), genre));
}

// The reference: both texts read into folded character codes, compared as sequences.
std::vector<unsigned> FoldedChars(const std::string& sjis, unsigned flags) {
    std::vector<unsigned> codes;
    for (std::size_t pos = 0; pos < sjis.size();) {
        const text::CharRead read = text::NextChar(sjis, pos, flags);
        if (read.code == 0 || read.next <= pos) break;
        codes.push_back(text::Fold(read.code, flags));
        pos = read.next;
    }
    return codes;
}

bool Reference(const std::string& fieldUtf8, const std::string& patternUtf8, int mode,
               unsigned flags) {
    const auto field = FoldedChars(text::ToShiftJis(fieldUtf8), flags);
    const auto pattern = FoldedChars(text::ToShiftJis(patternUtf8), flags);
    if (mode == kSearchEquals) return field == pattern;
    if (pattern.empty() || field.empty()) return false;
    for (std::size_t i = 0; i + pattern.size() <= field.size(); ++i) {
        if (!std::equal(pattern.begin(), pattern.end(), field.begin() + i)) continue;
        if (mode == kSearchContains) return true;
        if (mode == kSearchStartsWith) return i == 0;
        if (mode == kSearchEndsWith && i + pattern.size() == field.size()) return true;
    }
    return false;
}

TEST(SearchConditionTest, AgreesWithAReferenceOverRandomTexts) {
    // Letters in both widths and cases, kana that combine, and double-byte characters whose
    // trail byte is an ASCII character ("ア" ends in "A", "ソ" in "\", "　" in "@").
    const std::vector<std::string> alphabet{"a",  "A",  "Ａ", "ａ", "ｶ",  "ﾞ",  "カ",
                                            "ガ", "ア", "@",  "　", "ソ", "\\", "ｱ"};
    std::mt19937 random(20261208);
    auto randomText = [&](int maxLength) {
        std::string text;
        const int length = static_cast<int>(random() % (maxLength + 1));
        for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        return text;
    };
    int hits = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::string field = randomText(6);
        const std::string pattern = randomText(3);
        const bool ignoreCase = random() % 2;
        const bool ignoreWidth = random() % 2;
        for (int mode = 0; mode < 4; ++mode) {
            const SearchCondition c =
                Condition(pattern, mode, ignoreWidth, kTargetTitle, ignoreCase);
            const bool expected = pattern.empty() || Reference(field, pattern, mode, c.Flags());
            const bool got = MatchesCondition(Record(field), c);
            hits += got;
            ASSERT_EQ(got, expected)
                << "field \"" << field << "\" pattern \"" << pattern << "\" mode " << mode
                << " case " << ignoreCase << " width " << ignoreWidth;
        }
    }
    EXPECT_GT(hits, 1000);  // the alphabet is small enough for many hits
}

}  // namespace
}  // namespace almx
