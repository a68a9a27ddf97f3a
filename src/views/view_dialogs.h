#pragma once
// The calendar views' small dialogs: a date to go to and a number of days to move (the colour
// and font choosers are in views/list_support.h).

#include <optional>

class QWidget;

namespace almx {

class DateTime;
class Prompter;

// CMonthDlg ("指定の日付へ").
std::optional<DateTime> AskGoToDate(QWidget* parent, const DateTime& initial, Prompter& prompter);
// CDaySpanDlg (days forward, negative back).
std::optional<int> AskDaysToMove(QWidget* parent);

}  // namespace almx
