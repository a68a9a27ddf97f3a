#pragma once
// The schedule search's condition (検索) and its record test, shared by find, the search list,
// the genre dialog's record selection and almx: the text, the match mode, the two foldings and
// the target fields, kept in a settings section.

#include <string>
#include <string_view>

namespace almx {

class CAlmxData;
class SettingsStore;

enum SearchMode : int {
    kSearchContains = 0,    // を含む
    kSearchEquals = 1,      // と一致する
    kSearchStartsWith = 2,  // が最初にある
    kSearchEndsWith = 3,    // が最後にある
};

enum SearchTarget : int {
    kTargetTitle = 1,  // 内容
    kTargetPlace = 2,  // 場所
    kTargetMemo = 4,   // 詳細
    kTargetAll = 7,
};

struct SearchCondition {
    std::string text;  // empty: every record matches
    int mode = kSearchContains;
    bool ignoreCase = true;
    bool ignoreWidth = false;
    int targets = kTargetAll;
    std::string section = "System";  // "System" for the document's, "SchFind" for the list's
    // Further matcher foldings (almx's --kana); not kept in the settings.
    unsigned extraFolding = 0;

    bool operator==(const SearchCondition&) const = default;

    // "FindStr", "FindMode", "ISearch", "ZSearch", "FindTarget" of the section.
    static SearchCondition Load(const SettingsStore& settings, std::string section);
    void Store(SettingsStore& settings) const;
    // The matcher's folding flags of the two options.
    unsigned Flags() const;
};

// The field test on Shift_JIS texts, for one mode.
bool FieldPasses(std::string_view fieldSjis, std::string_view patternSjis, int mode,
                 unsigned flags);

// A condition ready for many records: the pattern is converted once.
class SearchMatcher {
  public:
    explicit SearchMatcher(const SearchCondition& condition);
    // Whether a ticked target field passes, tried in the order title, place, memo.
    bool Matches(const CAlmxData& record) const;

  private:
    bool FieldMatches(const std::string& fieldUtf8) const;

    std::string pattern_;  // Shift_JIS
    int mode_;
    int targets_;
    unsigned flags_;
    bool empty_;
    bool impossible_;  // the text holds a character Shift_JIS cannot hold
};

// One record against a condition (converts the pattern each call: SearchMatcher for many).
bool MatchesCondition(const CAlmxData& record, const SearchCondition& condition);

}  // namespace almx
