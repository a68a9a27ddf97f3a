#include "app/view_factory.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>

#include "app/app_context.h"
#include "app/calendar_commands.h"
#include "base/clock.h"
#include "base/file_io.h"
#include "base/settings_store.h"
#include "calendar/schedule_form.h"
#include "calendar/timer_form.h"
#include "calendar/ui/entry_commands.h"
#include "calendar/ui/small_dialogs.h"
#include "core/record.h"
#include "exchange/html_calendar.h"
#include "exchange/ui/html_dialogs.h"
#include "links/file_launcher.h"
#include "reminders/diary_html.h"
#include "views/day_view.h"
#include "views/diary_view.h"
#include "views/memo_view.h"
#include "views/month_view.h"
#include "views/month_view_commands.h"
#include "views/placeholder_view.h"
#include "views/print_support.h"
#include "views/sch_view.h"
#include "views/todo_view.h"
#include "views/week_view.h"

namespace almx {

namespace {

// The entry dialogs as the list views call them.
EntryActions ListEntryActions(QWidget* view, DocumentHost& host, const EntryEnvironment& env) {
    DocumentHost* document = &host;
    EntryActions actions;
    actions.edit = [view, document, env](const CAlmxData* record) {
        return EditRecord(view, *document, env, record);
    };
    actions.addSchedule = [view, document, env](const DateTime& day) {
        return AddSchedule(view, *document, env, day);
    };
    actions.addTodo = [view, document, env] { return AddTodo(view, *document, env); };
    actions.repeatedCopy = [view, document, env](const CAlmxData* record) {
        return RepeatedCopy(view, *document, env, record);
    };
    actions.openLink = [view, document, env](const CAlmxData* record) {
        return OpenLink(view, *document, env, record);
    };
    return actions;
}

// 57607, 57609 and 32786 on a calendar view: its own drawing on paper.
template <typename View>
void InstallPrintCommands(View* view, DocumentHost& host, AppContext& context) {
    SettingsStore* settings = context.settings;
    Prompter* prompter = context.prompter;
    DocumentHost* document = &host;
    auto draw = [view](QPainter& painter) { view->DrawForPrint(painter); };
    view->SetCommandHandler(57607, [view, document, settings, draw] {
        PrintView(view, QString::fromStdString(document->Document().Path()), *settings, draw);
    });
    view->SetCommandHandler(57609, [view, settings, draw] { PreviewView(view, *settings, draw); });
    view->SetCommandHandler(
        32786, [view, settings, prompter] { RunPrintForm(view, *settings, *prompter); });
}

// The diary marks of a calendar view's cells and 32791, the selected day's diary in the editor.
template <typename View>
void InstallDiaryCommands(View* view, DocumentHost& host) {
    DocumentHost* document = &host;
    view->SetDiaryQuery([document](const DateTime& day) {
        return document->Diary() && document->Diary()->HasDiary(day);
    });
    view->SetCommandHandler(month_cmd::kEditDiary, [view, document] {
        if (document->Diary()) document->Diary()->OpenInEditor(view->Selected());
    });
}

// 32958 on a calendar view: every entry listed on the selected day as one iCalendar file.
template <typename View>
void InstallICalendarDayCommand(View* view, DocumentHost& host, AppContext& context) {
    DocumentHost* document = &host;
    AppContext* app = &context;
    view->SetCommandHandler(calendar_cmd::kICalendar, [view, document, app] {
        SaveDayAsICalendar(document->Document(), view->Selected(), *app, view);
    });
}

// 32824: the notification lead and way a new schedule starts with ("System"/"TimerDelay").
void EditNewScheduleTimer(QWidget* parent, SettingsStore& settings) {
    const RecordDefaults defaults =
        ScheduleForm::NewScheduleDefaults(RecordDefaults::FromSettings(settings), settings);
    CTimerDlg dialog(TimerForm(defaults.alarmMinutes, defaults.alarmMode), parent);
    if (dialog.exec() != QDialog::Accepted) return;
    int minutes = defaults.alarmMinutes;
    int mode = defaults.alarmMode;
    dialog.Form().WriteTo(minutes, mode);
    settings.SetInt("System", "TimerDelay", minutes);
}

}  // namespace

ViewBase* CreateMonthView(DocumentHost& host, AppContext& context, QWidget* parent) {
    auto* view = new CAlmxView(host, context.display, *context.settings, *context.prompter,
                               *context.clock, parent);
    view->SetStartupPopupAllowed(context.todayAtStart);
    InstallDayEntryCommands(
        [view](int id, std::function<void()> handler) {
            view->SetCommandHandler(id, std::move(handler));
        },
        view, host, context.ForEntries(), [view] { return view->Selected(); });
    InstallDiaryCommands(view, host);
    DocumentHost* document = &host;
    view->SetCommandHandler(month_cmd::kRemoveDiary, [view, document] {
        if (document->Diary()) document->Diary()->Remove(view->Selected());
    });
    InstallPrintCommands(view, host, context);
    InstallICalendarDayCommand(view, host, context);
    {
        DocumentHost* document = &host;
        AppContext* app = &context;
        view->SetCommandHandler(calendar_cmd::kICalendarRange, [view, document, app] {
            SaveRangeAsICalendar(document->Document(), view->Selected(), *app, view);
        });
    }
    // The status bar's message pane shows the view's texts (the date, a date being typed).
    QObject::connect(view, &CAlmxView::StatusTextChanged, view, [view](const QString& text) {
        if (auto* message = view->window()->findChild<QLabel*>(QStringLiteral("message")))
            message->setText(text);
    });
    return view;
}

ViewBase* CreateDayListView(DocumentHost& host, AppContext& context, QWidget* parent) {
    auto* view = new CDayView(host, *context.settings, *context.prompter, *context.clock, parent);
    view->SetEntryActions(ListEntryActions(view, host, context.ForEntries()));
    view->List().SetMarks({context.marks.file, context.marks.url, context.marks.memo});
    view->SetCalendarActions(ProgramCalendarActions(context, view));
    return view;
}

void LinkDayList(ViewBase* month, ViewBase* dayList) {
    auto* monthView = qobject_cast<CAlmxView*>(month);
    auto* dayView = qobject_cast<CDayView*>(dayList);
    if (monthView == nullptr || dayView == nullptr) return;
    QPointer<CAlmxView> guarded(monthView);
    dayView->SetMonthLink(
        {[guarded]() -> std::optional<DateTime> {
             if (!guarded) return std::nullopt;
             return guarded->Selected();
         },
         monthView, monthView,
         [guarded]() -> const CAlmxData* { return guarded ? guarded->TakeSearchHit() : nullptr; }});
    QObject::connect(monthView, &CAlmxView::SelectionChanged, dayView,
                     [dayView] { dayView->OnCommand(32825); });
    QObject::connect(monthView, &CAlmxView::DayListColoursChanged, dayView, &CDayView::ReloadLook);
    QObject::connect(monthView, &CAlmxView::FocusDayListRequested, dayView,
                     [dayView] { dayView->setFocus(Qt::OtherFocusReason); });
}

ViewBase* CreateWeekView(DocumentHost& host, AppContext& context, QWidget* parent) {
    auto* view = new CWeekView(host, context.display, *context.settings, *context.prompter,
                               *context.clock, parent);
    InstallDayEntryCommands(
        [view](int id, std::function<void()> handler) {
            view->SetCommandHandler(id, std::move(handler));
        },
        view, host, context.ForEntries(), [view] { return view->Selected(); });
    InstallDiaryCommands(view, host);
    InstallPrintCommands(view, host, context);
    InstallICalendarDayCommand(view, host, context);
    SettingsStore* settings = context.settings;
    view->SetCommandHandler(32824, [view, settings] { EditNewScheduleTimer(view, *settings); });
    QObject::connect(view, &CWeekView::StatusTextChanged, view, [view](const QString& text) {
        if (auto* message = view->window()->findChild<QLabel*>(QStringLiteral("message")))
            message->setText(text);
    });
    return view;
}

ViewBase* CreateTodoView(DocumentHost& host, AppContext& context, QWidget* parent) {
    auto* view = new CTodoView(host, *context.settings, *context.prompter, *context.clock, parent);
    view->SetEntryActions(ListEntryActions(view, host, context.ForEntries()));
    return view;
}

ViewBase* CreateDiaryView(DocumentHost& host, AppContext& context, QWidget* parent) {
    auto* view = new CDiaryView(host, context.display, *context.settings, *context.prompter,
                                *context.clock, parent);
    view->SetEntryActions(ListEntryActions(view, host, context.ForEntries()));
    view->DayList().List().SetMarks({context.marks.file, context.marks.url, context.marks.memo});
    DocumentHost* document = &host;
    const EntryEnvironment env = context.ForEntries();
    view->editDay = [view, document, env](const DateTime& day) {
        EditDay(view, *document, env, day);
    };
    AppContext* app = &context;
    view->htmlPages = [view, document, app] {
        DiaryStore* store = document->Diary();
        if (!store) return;
        HtmlMonthOutSettings request = HtmlMonthOutSettings::Load(*app->settings, "HtmlDiary");
        request.PresetRange(Today(*app->clock, app->display.todayLimit));
        CHtmlOutDlg dialog(request, *app->settings, view, "HtmlDiary");
        if (dialog.exec() != QDialog::Accepted) return;
        DiaryPageStyle style;
        style.backColour = app->display.backColor;
        style.weekdayColours = app->display.weekColors;
        style.startMonday = app->display.startMonday;
        for (int day = 0; day < 7; ++day) style.weekdayNames[day] = app->display.WeekdayName(day);
        FileWriter writer;
        const auto first = WriteDiaryPages(*store, request, style, *app->prompter, writer);
        if (first && dialog.Preview() && app->launcher) app->launcher->Open(*first, "");
    };
    return view;
}

ViewBase* CreateMemoView(DocumentHost& host, AppContext& context, QWidget* parent) {
    return new CMemoView(host, *context.settings, *context.prompter, parent);
}

ViewBase* CreateSearchListView(DocumentHost& host, AppContext& context, QWidget* parent) {
    auto* view = new CSchView(host, *context.settings, *context.prompter, parent);
    view->SetEntryActions(ListEntryActions(view, host, context.ForEntries()));
    view->SetCalendarActions(ProgramCalendarActions(context, view));
    return view;
}

ViewBase* CreateView(ViewKind kind, DocumentHost& host, AppContext& context, QWidget* parent) {
    switch (kind) {
        case ViewKind::Month:
            return CreateMonthView(host, context, parent);
        case ViewKind::Week:
            return CreateWeekView(host, context, parent);
        case ViewKind::Todo:
            return CreateTodoView(host, context, parent);
        case ViewKind::Diary:
            return CreateDiaryView(host, context, parent);
        case ViewKind::Memo:
            return CreateMemoView(host, context, parent);
        case ViewKind::SearchList:
            return CreateSearchListView(host, context, parent);
    }
    return CreateMonthView(host, context, parent);
}

}  // namespace almx
