#include "core/genre_multi_form.h"

#include <string_view>

#include "base/prompter.h"
#include "core/genre.h"
#include "core/record.h"
#include "core/record_list.h"

namespace almx {

namespace {

std::string DateAndTime(const DateTime& value, bool withTime) {
    if (!value.IsValid()) return {};
    return withTime ? FormatDate(value) + " " + FormatTime(value) : FormatDate(value);
}

std::string GenreName(const CAlmxFieldArray& genres, int index) {
    const CAlmxField* genre = genres.At(index);
    return genre ? genre->name : std::string();
}

}  // namespace

SearchCondition ToSearchCondition(const GenreSearchCondition& condition) {
    SearchCondition search;
    search.text = condition.text;
    search.mode = condition.mode;
    search.ignoreCase = !condition.caseSensitive;
    search.ignoreWidth = !condition.widthSensitive;
    search.targets = condition.targets;
    return search;
}

bool RecordMatches(const CAlmxData& record, const GenreSearchCondition& condition) {
    return MatchesCondition(record, ToSearchCondition(condition));
}

const std::vector<std::string>& GenreChangeButtons() {
    static const std::vector<std::string> buttons{"はい", "いいえ", "全て変更", "中止"};
    return buttons;
}

std::string GenreChangeQuestion(const CAlmxData& record, const CAlmxFieldArray& genres,
                                int targetGenre) {
    return "開始：" + DateAndTime(record.start, record.Has(StartTimeSet)) + "\n終了：" +
           DateAndTime(record.end, record.Has(EndTimeSet)) + "\n内容：" + record.title +
           "\n現在のジャンル：" + GenreName(genres, record.genre) + "\n新しいジャンル：" +
           GenreName(genres, targetGenre);
}

int SetGenreOnRecords(RecordList& records, const CAlmxFieldArray& genres,
                      const GenreSearchCondition& condition, int targetGenre, Prompter& prompter) {
    const CAlmxField* target = genres.At(targetGenre);
    int changed = 0;
    bool askEach = true;
    if (target) {
        const SearchMatcher matcher(ToSearchCondition(condition));
        for (auto& record : records) {
            if (!matcher.Matches(record)) continue;
            if (askEach) {
                const int answer = prompter.AskButtons(
                    kGenreChangeCaption, GenreChangeQuestion(record, genres, targetGenre),
                    GenreChangeButtons());
                if (answer == SkipThis) continue;
                if (answer != ChangeThis && answer != ChangeAll) break;
                if (answer == ChangeAll) askEach = false;
            }
            record.genre = targetGenre;
            record.colour = target->colour;
            ++changed;
        }
    }
    prompter.ShowMessage(std::to_string(changed) + "個のデータのジャンルを変更しました");
    return changed;
}

}  // namespace almx
