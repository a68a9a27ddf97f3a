#include "calendar/copy_form.h"

#include "base/prompter.h"

namespace almx {

namespace {

// The start moved by months, or invalid when the month lacks the day (or leaves the calendar).
DateTime MovedByMonths(const DateTime& start, long months) {
    const long index = start.Year() * 12L + (start.Month() - 1) + months;
    if (index < kMinYear * 12L || index > kMaxYear * 12L + 11) return DateTime::Invalid();
    const int year = static_cast<int>(index / 12);
    const int month = static_cast<int>(index % 12) + 1;
    if (start.Day() > DaysInMonth(year, month)) return DateTime::Invalid();
    return DateTime::FromParts(year, month, start.Day(), start.Hour(), start.Minute(),
                               start.Second());
}

}  // namespace

const char* CopyForm::UnitText() const {
    return unit >= Days && unit <= Years ? kUnitTexts[static_cast<std::size_t>(unit)] : "";
}

bool CopyForm::Ok(Prompter& prompter) const {
    if (interval < 1 || interval > kMaxInterval) {
        prompter.ShowMessage("間隔には1から9999までの数を入力してください", MessageKind::Warning);
        return false;
    }
    if (count < 1 || count > kMaxCount) {
        prompter.ShowMessage("回数には1から999までの数を入力してください", MessageKind::Warning);
        return false;
    }
    return true;
}

std::vector<CAlmxData> CopyForm::MakeCopies(const CAlmxData& source) const {
    std::vector<CAlmxData> copies;
    const DateTime& start = source.start;
    if (!start.IsValid() || interval < 1 || count < 1) return copies;
    const double duration = DaySpan(source.start, source.end);
    const bool openEnded = source.end.IsValid() && source.end.Year() == kMaxYear;
    const DateTime lastDay = DateTime::FromDate(kMaxYear, 12, 31).WithTime(23, 59, 59);
    for (long i = 1; i <= count; ++i) {
        const long steps = i * interval;
        DateTime moved;
        switch (unit) {
            case Days:
                moved = start.PlusDays(steps);
                break;
            case Weeks:
                moved = start.PlusDays(7 * steps);
                break;
            case Months:
                moved = MovedByMonths(start, steps);
                break;
            case Years:
                moved = MovedByMonths(start, 12 * steps);
                break;
            default:
                return copies;
        }
        if (!moved.IsValid()) continue;
        if (lastDay < moved) break;  // every later step lies further out
        CAlmxData copy = source;
        copy.start = moved;
        if (!openEnded) {
            copy.end = DateTime::FromDays(moved.Days() + duration);
            if (!copy.end.IsValid() || lastDay < copy.end) continue;
        }
        copies.push_back(std::move(copy));
    }
    return copies;
}

}  // namespace almx
