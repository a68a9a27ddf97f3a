#include "core/genre_multi_form.h"

#include <string_view>

#include "core/genre.h"
#include "core/prompter.h"
#include "core/record.h"

namespace almx {

namespace {

char FoldAscii(char c, bool caseSensitive) {
    if (!caseSensitive && c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
    return c;
}

// Plain byte matching with ASCII case folding. UTF-8 continuation bytes never equal a lead
// byte, so a hit always starts on a character.
bool SameAt(std::string_view field, std::size_t at, std::string_view text, bool caseSensitive) {
    if (at + text.size() > field.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (FoldAscii(field[at + i], caseSensitive) != FoldAscii(text[i], caseSensitive)) {
            return false;
        }
    }
    return true;
}

bool FieldPasses(std::string_view field, const GenreSearchCondition& condition) {
    const std::string_view text = condition.text;
    if (text.empty()) return true;
    const bool cs = condition.caseSensitive;
    switch (condition.mode) {
        case 0:
            for (std::size_t at = 0; at + text.size() <= field.size(); ++at) {
                if (SameAt(field, at, text, cs)) return true;
            }
            return false;
        case 1:
            return field.size() == text.size() && SameAt(field, 0, text, cs);
        case 2:
            return SameAt(field, 0, text, cs);
        case 3:
            return field.size() >= text.size() &&
                   SameAt(field, field.size() - text.size(), text, cs);
        default:
            return false;
    }
}

std::string DateAndTime(const DateTime& value, bool withTime) {
    if (!value.IsValid()) return {};
    return withTime ? FormatDate(value) + " " + FormatTime(value) : FormatDate(value);
}

std::string GenreName(const CAlmxFieldArray& genres, int index) {
    const CAlmxField* genre = genres.At(index);
    return genre ? genre->name : std::string();
}

}  // namespace

bool RecordMatches(const CAlmxData& record, const GenreSearchCondition& condition) {
    if ((condition.targets & 1) && FieldPasses(record.title, condition)) return true;
    if ((condition.targets & 2) && FieldPasses(record.place, condition)) return true;
    if ((condition.targets & 4) && FieldPasses(record.memo, condition)) return true;
    return false;
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

int SetGenreOnRecords(std::span<CAlmxData> records, const CAlmxFieldArray& genres,
                      const GenreSearchCondition& condition, int targetGenre, Prompter& prompter) {
    const CAlmxField* target = genres.At(targetGenre);
    int changed = 0;
    bool askEach = true;
    if (target) {
        for (auto& record : records) {
            if (!RecordMatches(record, condition)) continue;
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
