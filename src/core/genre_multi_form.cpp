#include "core/genre_multi_form.h"

#include <string_view>

#include "base/prompter.h"
#include "core/genre.h"
#include "core/record.h"
#include "core/record_list.h"
#include "text/encoding.h"
#include "text/matcher.h"

namespace almx {

namespace {

// The matcher's folding for the dialog's options (the schedule search's rule).
unsigned FoldFlags(const GenreSearchCondition& condition) {
    unsigned flags = text::kFoldExact;
    if (!condition.caseSensitive) flags |= text::kFoldCase;
    if (!condition.widthSensitive) flags |= text::kFoldWidth;
    return flags;
}

// The field test on the Shift_JIS forms, as the matcher defines positions and lengths.
bool FieldPasses(std::string_view fieldUtf8, std::string_view patternSjis, int mode,
                 unsigned flags) {
    const std::string field = text::Utf8ToShiftJis(fieldUtf8).bytes;
    switch (mode) {
        case 0:
            return text::Find(field, patternSjis, flags).has_value();
        case 1:
            return text::Compare(field, patternSjis, flags) == 0;
        case 2: {
            const auto hit = text::Find(field, patternSjis, flags);
            return hit && hit->offset == 0;
        }
        case 3: {
            if (field.size() < patternSjis.size()) return false;
            // Each hit starts later than the one before, so this ends.
            for (auto hit = text::Find(field, patternSjis, flags); hit;
                 hit = text::Find(field, patternSjis, flags, hit->offset + 1)) {
                if (hit->offset + hit->length == field.size()) return true;
            }
            return false;
        }
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
    const bool title = condition.targets & 1;
    const bool place = condition.targets & 2;
    const bool memo = condition.targets & 4;
    if (condition.text.empty()) return title || place || memo;
    const text::SjisEncoding pattern = text::Utf8ToShiftJis(condition.text);
    // A character Shift_JIS cannot hold is in no record of a schedule file.
    if (!pattern.Complete()) return false;
    const unsigned flags = FoldFlags(condition);
    return (title && FieldPasses(record.title, pattern.bytes, condition.mode, flags)) ||
           (place && FieldPasses(record.place, pattern.bytes, condition.mode, flags)) ||
           (memo && FieldPasses(record.memo, pattern.bytes, condition.mode, flags));
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
