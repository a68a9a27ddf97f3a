#pragma once
// One factory function per view kind. The views that are not built yet are placeholders;
// each later view replaces the body of its function and nothing else.

#include <QWidget>

#include "app/view_kind.h"

namespace almx {

struct AppContext;
class DocumentHost;
class ViewBase;

ViewBase* CreateMonthView(DocumentHost& host, AppContext& context, QWidget* parent);
// The day list beside the month view.
ViewBase* CreateDayListView(DocumentHost& host, AppContext& context, QWidget* parent);
// Lets the day list follow the month view of its frame and pass it the month's commands.
void LinkDayList(ViewBase* month, ViewBase* dayList);
ViewBase* CreateWeekView(DocumentHost& host, AppContext& context, QWidget* parent);
ViewBase* CreateTodoView(DocumentHost& host, AppContext& context, QWidget* parent);
ViewBase* CreateDiaryView(DocumentHost& host, AppContext& context, QWidget* parent);
ViewBase* CreateMemoView(DocumentHost& host, AppContext& context, QWidget* parent);
ViewBase* CreateSearchListView(DocumentHost& host, AppContext& context, QWidget* parent);

// The view a frame of the kind shows (the month frame's first pane for Month).
ViewBase* CreateView(ViewKind kind, DocumentHost& host, AppContext& context, QWidget* parent);

}  // namespace almx
