#include "calendar/ui/entry_commands.h"

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/copy_form.h"
#include "calendar/day_count_form.h"
#include "calendar/record_insert.h"
#include "calendar/schedule_form.h"
#include "calendar/todo_form.h"
#include "calendar/ui/day_dialog.h"
#include "calendar/ui/period_dialogs.h"
#include "calendar/ui/schedule_dialog.h"
#include "document/document.h"
#include "links/ui/link_dialogs.h"
#include "ui/document_host.h"

namespace almx {

namespace {

constexpr const char* kAutomaticEntry = "Almanixが自動的に設定したスケジュールは編集できません";

bool SortByTime(const EntryEnvironment& env) {
    return env.settings.GetInt("System", "SchSort", 1) != 0;
}

DateTime TodayOf(const EntryEnvironment& env) {
    return Today(env.clock, env.settings.GetInt("System", "TodayLimit", 0));
}

EntryDialogContext DialogContext(DocumentHost& host, const EntryEnvironment& env) {
    const CAlmxDoc& document = host.Document();
    EntryDialogContext context{env.prompter, env.settings, env.clock,
                               document.Array().genres.Names(), document.IsReadOnly()};
    if (env.links) {
        context.editLink = [links = *env.links, path = document.Path()](
                               QWidget* parent, const std::string& title, const std::string& link) {
            return EditLink(parent, links, path, title, link);
        };
    }
    return context;
}

// The record's index in the container, or nothing for an entry computed for display.
std::optional<std::size_t> IndexOfRecord(const CAlmxDoc& document, const CAlmxData* record) {
    if (!record || !document.Array().Contains(record)) return std::nullopt;
    return document.Array().IndexOf(record);
}

}  // namespace

bool AddSchedule(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
                 const DateTime& day) {
    if (!day.IsValid() || day.Year() < kMinYear || day.Year() > kMaxYear) return false;
    CAlmxDoc& document = host.Document();
    const CAlmxData fresh = ScheduleForm::NewSchedule(
        ScheduleForm::NewScheduleDefaults(document.NewRecordDefaults(), env.settings), day,
        document.Array().genres, document.Array().DefaultScheduleGenre(),
        env.settings.GetInt("View", "ViewTime", 0));
    CSchInput dialog(fresh, DialogContext(host, env), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    return document.AddRecord(dialog.Record(), SortByTime(env)) != nullptr;
}

bool AddTodo(QWidget* parent, DocumentHost& host, const EntryEnvironment& env) {
    CAlmxDoc& document = host.Document();
    const CAlmxData fresh = TodoForm::NewTodo(document.NewRecordDefaults(), TodayOf(env),
                                              env.settings, document.Array().DefaultTodoGenre());
    CTodoInputDlg dialog(fresh, DialogContext(host, env), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    return document.AddRecord(dialog.Record(), SortByTime(env)) != nullptr;
}

bool EditRecord(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
                const CAlmxData* record) {
    CAlmxDoc& document = host.Document();
    const std::optional<std::size_t> index = IndexOfRecord(document, record);
    if (!index) {
        if (record) env.prompter.ShowMessage(kAutomaticEntry, MessageKind::Warning);
        return false;
    }
    const CAlmxData copy = *record;
    CAlmxData edited;
    if (copy.Has(IsTodo)) {
        CTodoInputDlg dialog(copy, DialogContext(host, env), parent);
        if (dialog.exec() != QDialog::Accepted) return false;
        edited = dialog.Record();
    } else {
        CSchInput dialog(copy, DialogContext(host, env), parent);
        if (dialog.exec() != QDialog::Accepted) return false;
        edited = dialog.Record();
    }
    // The dialogs ran the event loop: the record may have changed or gone meanwhile.
    if (document.Array().Contains(record) && *record == copy) {
        return document.ReplaceRecord(record, std::move(edited), SortByTime(env)) != nullptr;
    }
    return document.AddRecord(std::move(edited), SortByTime(env)) != nullptr;
}

bool OpenLink(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
              const CAlmxData* record) {
    if (!record || !env.links) return false;
    CAlmxDoc& document = host.Document();
    const std::optional<std::size_t> index = IndexOfRecord(document, record);
    // An entry computed for display has nowhere to keep a link.
    if (!index && record->linkFile.empty()) {
        env.prompter.ShowMessage(kAutomaticEntry, MessageKind::Warning);
        return false;
    }
    const CAlmxData before = *record;
    CAlmxData linked = before;
    const LinkPrompt prompt = LinkPromptFor(parent, *env.links, document.Path());
    if (!OpenRecordLink(*env.links, document.Path(), linked, prompt) || !index) return false;
    if (!document.Array().Contains(record) || !(*record == before)) return false;
    if (linked.linkFile == before.linkFile || !document.CanChange()) return false;
    document.Records()[document.Array().IndexOf(record)].linkFile = linked.linkFile;
    document.RecordsEdited();
    host.Changed();
    return true;
}

bool EditDay(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
             const DateTime& day) {
    if (!day.IsValid() || day.Year() < kMinYear || day.Year() > kMaxYear) return false;
    CDayDlg dialog(host, env, day, parent);
    dialog.exec();
    return dialog.Changed();
}

bool RepeatedCopy(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
                  const CAlmxData* record) {
    CAlmxDoc& document = host.Document();
    if (!IndexOfRecord(document, record)) {
        if (record) env.prompter.ShowMessage(kAutomaticEntry, MessageKind::Warning);
        return false;
    }
    if (!document.CanChange()) return false;
    const CAlmxData source = *record;
    CSchCopyDlg dialog(CopyForm{}, env.prompter, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    std::vector<CAlmxData> copies = dialog.Form().MakeCopies(source);
    if (copies.empty()) return false;
    return document.AddRecords(std::move(copies), SortByTime(env));
}

bool RepeatedCopyOnDay(QWidget* parent, DocumentHost& host, const EntryEnvironment& env,
                       const DateTime& day) {
    if (!day.IsValid() || day.Year() < kMinYear || day.Year() > kMaxYear) return false;
    CAlmxDoc& document = host.Document();
    DayCellSet cells(1);
    const DayCellSource source = document.FillSource();
    if (!cells.Fill(day.Date(), 1, source, DayCellSettings::FromSettings(env.settings), env.clock,
                    nullptr)) {
        return false;
    }
    std::vector<const CAlmxData*> own;
    for (const CAlmxData* entry : cells[0].entries) {
        if (document.Array().Contains(entry)) own.push_back(entry);
    }
    if (own.empty()) {
        env.prompter.ShowMessage("コピーするスケジュールがありません", MessageKind::Information);
        return false;
    }
    if (own.size() == 1) return RepeatedCopy(parent, host, env, own.front());
    return EditDay(parent, host, env, day);
}

void DaysFromToday(QWidget* parent, const EntryEnvironment& env, const DateTime& day) {
    const std::string target = day.IsValid() ? FormatDate(day) : std::string();
    CCalcDays dialog(DayCountForm(target, TodayOf(env)), parent);
    dialog.exec();
}

void InstallDayEntryCommands(const std::function<void(int, std::function<void()>)>& install,
                             QWidget* view, DocumentHost& host, const EntryEnvironment& env,
                             std::function<DateTime()> selectedDay) {
    DocumentHost* document = &host;
    install(kEditCommand,
            [view, document, env, selectedDay] { EditDay(view, *document, env, selectedDay()); });
    install(kAddScheduleCommand, [view, document, env, selectedDay] {
        AddSchedule(view, *document, env, selectedDay());
    });
    install(kAddTodoCommand, [view, document, env] { AddTodo(view, *document, env); });
    install(kRepeatedCopyCommand, [view, document, env, selectedDay] {
        RepeatedCopyOnDay(view, *document, env, selectedDay());
    });
    install(kDaysFromTodayCommand,
            [view, env, selectedDay] { DaysFromToday(view, env, selectedDay()); });
}

}  // namespace almx
