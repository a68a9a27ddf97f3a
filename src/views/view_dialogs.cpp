#include "views/view_dialogs.h"

#include "base/date_time.h"
#include "views/month_dialogs.h"

namespace almx {

std::optional<DateTime> AskGoToDate(QWidget* parent, const DateTime& initial, Prompter& prompter) {
    CMonthDlg dialog(initial, prompter, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Date();
}

std::optional<int> AskDaysToMove(QWidget* parent) {
    CDaySpanDlg dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Days();
}

}  // namespace almx
