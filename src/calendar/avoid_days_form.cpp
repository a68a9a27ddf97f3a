#include "calendar/avoid_days_form.h"

#include "core/record.h"

namespace almx {

namespace {
constexpr int kDialogBits = ShiftSaturday | ShiftSunday | ShiftHoliday | ShiftDrop;
}

AvoidDaysForm::AvoidDaysForm(int shiftRule)
    : saturday((shiftRule & ShiftSaturday) != 0),
      sunday((shiftRule & ShiftSunday) != 0),
      holiday((shiftRule & ShiftHoliday) != 0),
      dayBefore((shiftRule & ShiftDrop) == 0) {}

int AvoidDaysForm::Apply(int shiftRule) const {
    int rule = shiftRule & ~kDialogBits;
    if (saturday) rule |= ShiftSaturday;
    if (sunday) rule |= ShiftSunday;
    if (holiday) rule |= ShiftHoliday;
    if (!dayBefore) rule |= ShiftDrop;
    return rule;
}

}  // namespace almx
