#include "calendar/month_dialog_forms.h"

#include "base/prompter.h"

namespace almx {

DateFieldsForm DateFieldsForm::From(const DateTime& date) {
    return {date.Year(), date.Month(), date.Day()};
}

std::optional<DateTime> DateFieldsForm::Confirm(Prompter& prompter) const {
    if (!IsValidDate(year, month, day)) {
        prompter.ShowMessage(kInvalidDateMessage, MessageKind::Warning);
        return std::nullopt;
    }
    return DateTime::FromDate(year, month, day);
}

}  // namespace almx
