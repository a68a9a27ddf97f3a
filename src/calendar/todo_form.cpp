#include "calendar/todo_form.h"

#include <algorithm>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/record.h"

namespace almx {

namespace {
constexpr const char* kBadDate = "正しい日付を入力してください";
}

CAlmxData TodoForm::NewTodo(const RecordDefaults& defaults, const DateTime& today,
                            const SettingsStore& settings, int defaultGenre) {
    CAlmxData todo(defaults);
    todo.Set(IsTodo);
    todo.genre = defaultGenre;
    todo.start = today.Date();
    todo.end = todo.start;
    if (settings.GetInt("Todo", "DefaultKigen", 1) != 0) {
        const DateTime due = todo.start.PlusDays(settings.GetInt("Todo", "DefaultDays", 7));
        if (due.IsValid() && due.Year() >= kMinYear && due.Year() <= kMaxYear) todo.start = due;
    } else {
        todo.Set(TodoNoDeadline);
    }
    return todo;
}

TodoForm::TodoForm(const CAlmxData& record)
    : done(record.Has(TodoDone)),
      deadline(record.Has(TodoNoDeadline) ? std::string() : FormatDate(record.start)),
      leadPeriod(record.todoLeadDays >= 0),
      leadDays(std::max(record.todoLeadDays, 0)),
      completion(record.Has(TodoDone) ? FormatDate(record.end) : std::string()),
      hideInViews(record.Has(HideInViews)),
      importance(record.todoImportance),
      title(record.title),
      place(record.place),
      memo(record.memo),
      colour(record.colour),
      bold((record.textStyle & 1) != 0),
      struck((record.textStyle & 2) != 0),
      genre(record.genre),
      linkFile(record.linkFile) {}

EntryResult TodoForm::Ok(Prompter& prompter, bool readOnly, const DateTime& now,
                         CAlmxData& record) const {
    if (readOnly) {
        prompter.ShowMessage(kReadOnlyEditMessage, MessageKind::Warning);
        return EntryResult::Closed;
    }
    const std::string completionText = completion.empty() ? deadline : completion;
    std::optional<DateTime> due;
    if (!deadline.empty()) {
        due = ParseDate(deadline);
        if (!due) {
            prompter.ShowMessage(kBadDate, MessageKind::Warning);
            return EntryResult::Stay;
        }
    }
    std::optional<DateTime> doneOn;
    if (done) {
        doneOn = ParseDate(completionText);
        if (!doneOn) {
            prompter.ShowMessage(kBadDate, MessageKind::Warning);
            return EntryResult::Stay;
        }
    }
    if (!CheckRepresentable(
            prompter,
            {{"内容", title}, {"場所", place}, {"詳細", memo}, {"リンクファイル", linkFile}})) {
        return EntryResult::Stay;
    }

    record.Set(TodoNoDeadline, !due);
    record.start = due ? *due : now;
    if (doneOn) record.end = *doneOn;
    record.todoLeadDays = leadPeriod ? std::max(leadDays, 0) : -1;
    record.title = title;
    record.todoImportance = static_cast<std::uint16_t>(std::clamp(importance, 0, 0xFFFF));
    record.Set(HideInViews, hideInViews);
    record.Set(TodoDone, done);
    record.Set(IsTodo);
    record.colour = colour;
    record.linkFile = linkFile;
    record.genre = genre;
    record.place = place;
    record.textStyle = (record.textStyle & ~3) | (bold ? 1 : 0) | (struck ? 2 : 0);
    record.memo = memo;
    return EntryResult::Accepted;
}

}  // namespace almx
