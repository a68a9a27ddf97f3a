#pragma once
// The consecutive copy (連続コピー, CSchCopyDlg) as a plain form: unit, interval and count in,
// the copies of a record out.

#include <array>
#include <vector>

#include "core/record.h"

namespace almx {

class Prompter;

class CopyForm {
  public:
    enum Unit : int { Days = 0, Weeks = 1, Months = 2, Years = 3 };
    static constexpr std::array<const char*, 4> kUnitTexts{"日ごと", "週間ごと", "ヶ月ごと",
                                                           "年ごと"};
    // Bounds of the number fields; each copy is a record of its own.
    static constexpr int kMaxInterval = 9999;
    static constexpr int kMaxCount = 999;

    // The unit's text, echoed next to the interval.
    const char* UnitText() const;

    // False, after saying why, when the interval or the count is out of range.
    bool Ok(Prompter& prompter) const;

    // For i = 1 to count, a full copy of the record moved i steps on; steps that land on a day
    // the month lacks (ヶ月ごと from the 31st, 年ごと from February 29) or beyond the calendar
    // make no copy. An end in the last calendar year (an open-ended rule) stays as it is.
    std::vector<CAlmxData> MakeCopies(const CAlmxData& source) const;

    int unit = Weeks;
    int interval = 1;
    int count = 1;
};

}  // namespace almx
