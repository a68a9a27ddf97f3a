#include "core/search_condition.h"

#include <utility>

#include "base/settings_store.h"
#include "core/record.h"
#include "text/encoding.h"
#include "text/matcher.h"

namespace almx {

SearchCondition SearchCondition::Load(const SettingsStore& settings, std::string section) {
    SearchCondition c;
    c.text = settings.GetString(section, "FindStr", "");
    c.mode = settings.GetInt(section, "FindMode", kSearchContains);
    c.ignoreCase = settings.GetInt(section, "ISearch", 1) != 0;
    c.ignoreWidth = settings.GetInt(section, "ZSearch", 0) != 0;
    c.targets = settings.GetInt(section, "FindTarget", kTargetAll);
    c.section = std::move(section);
    return c;
}

void SearchCondition::Store(SettingsStore& settings) const {
    settings.SetString(section, "FindStr", text);
    settings.SetInt(section, "FindMode", mode);
    settings.SetInt(section, "ISearch", ignoreCase ? 1 : 0);
    settings.SetInt(section, "ZSearch", ignoreWidth ? 1 : 0);
    settings.SetInt(section, "FindTarget", targets);
}

unsigned SearchCondition::Flags() const {
    unsigned flags = extraFolding;
    if (ignoreCase) flags |= text::kFoldCase;
    if (ignoreWidth) flags |= text::kFoldWidth;
    return flags;
}

bool FieldPasses(std::string_view field, std::string_view pattern, int mode, unsigned flags) {
    switch (mode) {
        case kSearchContains:
            return text::Find(field, pattern, flags).has_value();
        case kSearchEquals:
            return text::Compare(field, pattern, flags) == 0;
        case kSearchStartsWith: {
            const auto hit = text::Find(field, pattern, flags);
            return hit && hit->offset == 0;
        }
        case kSearchEndsWith:
            // Matches start at character positions only; no byte count is compared, as a
            // half-width field can match a longer full-width text. Each hit starts later than
            // the one before, so this ends.
            for (auto hit = text::Find(field, pattern, flags); hit;
                 hit = text::Find(field, pattern, flags, hit->offset + 1)) {
                if (hit->offset + hit->length == field.size()) return true;
            }
            return false;
        default:
            return false;
    }
}

SearchMatcher::SearchMatcher(const SearchCondition& condition)
    : mode_(condition.mode),
      targets_(condition.targets),
      flags_(condition.Flags()),
      empty_(condition.text.empty()),
      impossible_(false) {
    if (empty_) return;
    text::SjisEncoding pattern = text::Utf8ToShiftJis(condition.text);
    // A character Shift_JIS cannot hold is in no record of a schedule file.
    impossible_ = !pattern.Complete();
    pattern_ = std::move(pattern.bytes);
}

bool SearchMatcher::FieldMatches(const std::string& fieldUtf8) const {
    if (empty_) return true;
    if (impossible_) return false;
    return FieldPasses(text::ToShiftJis(fieldUtf8), pattern_, mode_, flags_);
}

bool SearchMatcher::Matches(const CAlmxData& record) const {
    return ((targets_ & kTargetTitle) && FieldMatches(record.title)) ||
           ((targets_ & kTargetPlace) && FieldMatches(record.place)) ||
           ((targets_ & kTargetMemo) && FieldMatches(record.memo));
}

bool MatchesCondition(const CAlmxData& record, const SearchCondition& condition) {
    return SearchMatcher(condition).Matches(record);
}

}  // namespace almx
