#pragma once
// The period dialog (期間の設定, CSpanDlg) as a plain form: a start and an end date text, the
// presets that fill them, and the checks of OK.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/date_time.h"

namespace almx {

class Prompter;

class SpanForm {
  public:
    enum class Unit { Years, Months, Weeks, Days };

    // The texts it opens with (初期設定 goes back to them) and the recurrence kind whose
    // period it edits (kinds 2 and 4 adjust the first day of the year presets).
    SpanForm(std::string start, std::string end, int kind);

    // 全期間: 1583/01/01 to 9998/12/31.
    void WholeCalendar();
    // 開始日を含む年度: April 1 of the fiscal year holding the start to March 31 after it.
    // False, after saying why, when the start does not parse.
    bool FiscalYear(Prompter& prompter);
    // 開始日を含む年: January 1 of the start's year to December 31 of the year after.
    bool CalendarYear(Prompter& prompter);
    // The start to the start plus count units (capped at the calendar's end).
    bool FromStart(Unit unit, int count, Prompter& prompter);
    // 最初から and 最後まで.
    void FromBeginning();
    void ToEnd();
    // 初期設定.
    void Initial();

    // OK: both texts must be dates. The period, or nullopt after saying which is wrong.
    std::optional<std::pair<DateTime, DateTime>> Ok(Prompter& prompter) const;

    std::string startText;
    std::string endText;

  private:
    std::optional<DateTime> Start(Prompter& prompter) const;
    // The first day of a year preset beginning in the given month: kind 4 keeps the start's
    // month, kind 2 moves to the first day with the start's weekday.
    DateTime FirstDay(const DateTime& start, int year, int month) const;

    std::string initialStart_;
    std::string initialEnd_;
    int kind_;
};

}  // namespace almx
