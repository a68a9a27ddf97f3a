#include "app/view_factory.h"

#include "app/app_context.h"
#include "views/placeholder_view.h"

namespace almx {

ViewBase* CreateMonthView(DocumentHost& host, AppContext&, QWidget* parent) {
    return new PlaceholderView(host, QStringLiteral("月間予定表"), parent);
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
