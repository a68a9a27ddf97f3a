#include "app/view_factory.h"

#include <QLabel>

#include "app/app_context.h"
#include "calendar/ui/entry_commands.h"
#include "views/month_view.h"
#include "views/placeholder_view.h"

namespace almx {

ViewBase* CreateMonthView(DocumentHost& host, AppContext& context, QWidget* parent) {
    auto* view = new CAlmxView(host, context.display, *context.settings, *context.prompter,
                               *context.clock, parent);
    InstallDayEntryCommands(
        [view](int id, std::function<void()> handler) {
            view->SetCommandHandler(id, std::move(handler));
        },
        view, host, EntryEnvironment{*context.settings, *context.prompter, *context.clock},
        [view] { return view->Selected(); });
    // The status bar's message pane shows the view's texts (the date, a date being typed).
    QObject::connect(view, &CAlmxView::StatusTextChanged, view, [view](const QString& text) {
        if (auto* message = view->window()->findChild<QLabel*>(QStringLiteral("message")))
            message->setText(text);
    });
    return view;
}

ViewBase* CreateDayListView(DocumentHost& host, AppContext&, QWidget* parent) {
    return new PlaceholderView(host, QStringLiteral("スケジュールリスト"), parent);
}

ViewBase* CreateWeekView(DocumentHost& host, AppContext&, QWidget* parent) {
    return new PlaceholderView(host, QStringLiteral("週間予定表"), parent);
}

ViewBase* CreateTodoView(DocumentHost& host, AppContext&, QWidget* parent) {
    return new PlaceholderView(host, QStringLiteral("ToDoリスト"), parent);
}

ViewBase* CreateDiaryView(DocumentHost& host, AppContext&, QWidget* parent) {
    return new PlaceholderView(host, QStringLiteral("日記ビュー"), parent);
}

ViewBase* CreateMemoView(DocumentHost& host, AppContext&, QWidget* parent) {
    return new PlaceholderView(host, QStringLiteral("メモビュー"), parent);
}

ViewBase* CreateSearchListView(DocumentHost& host, AppContext&, QWidget* parent) {
    return new PlaceholderView(host, QStringLiteral("検索リスト"), parent);
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
