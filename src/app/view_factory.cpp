#include "app/view_factory.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>

#include "app/app_context.h"
#include "calendar/ui/entry_commands.h"
#include "views/day_view.h"
#include "views/month_view.h"
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
    view->SetCommandHandler(57609,
                            [view, settings, draw] { PreviewView(view, *settings, draw); });
    view->SetCommandHandler(32786,
                            [view, settings, prompter] { RunPrintForm(view, *settings, *prompter); });
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
    InstallPrintCommands(view, host, context);
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
    InstallPrintCommands(view, host, context);
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

ViewBase* CreateDiaryView(DocumentHost& host, AppContext&, QWidget* parent) {
    return new PlaceholderView(host, QStringLiteral("日記ビュー"), parent);
}

ViewBase* CreateMemoView(DocumentHost& host, AppContext&, QWidget* parent) {
    return new PlaceholderView(host, QStringLiteral("メモビュー"), parent);
}

ViewBase* CreateSearchListView(DocumentHost& host, AppContext& context, QWidget* parent) {
    auto* view = new CSchView(host, *context.settings, *context.prompter, parent);
    view->SetEntryActions(ListEntryActions(view, host, context.ForEntries()));
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
