#pragma once
// The exception list (除外日, CNoSchDlg) and its two entry dialogs (CNoSchAddDlg: one day,
// CNoSchSpanDlg: a range) as a plain form over a copy of a record's exceptions.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/record.h"

namespace almx {

class Prompter;

class ExceptionForm {
  public:
    explicit ExceptionForm(std::vector<CDaySpan> spans) : spans_(std::move(spans)) {}

    // "%d/%02d/%02d", or "%d/%02d/%02d ～ %d/%02d/%02d" for a range.
    static std::string RowText(const CDaySpan& span);
    std::vector<std::string> Rows() const;

    // 1日追加 and 期間で追加: false, after saying why, when a date does not parse or a range
    // ends before it starts.
    bool AddDay(std::string_view day, Prompter& prompter);
    bool AddRange(std::string_view first, std::string_view last, Prompter& prompter);

    // 編集: one-day rows open the one-day dialog, ranges the range dialog, with these texts.
    bool IsOneDay(std::size_t index) const;
    std::string FirstText(std::size_t index) const;
    std::string LastText(std::size_t index) const;
    bool EditDay(std::size_t index, std::string_view day, Prompter& prompter);
    bool EditRange(std::size_t index, std::string_view first, std::string_view last,
                   Prompter& prompter);

    // 削除, after "削除しますか？".
    bool Delete(std::size_t index, Prompter& prompter);

    const std::vector<CDaySpan>& Spans() const { return spans_; }

  private:
    bool ReadDay(std::string_view text, Prompter& prompter, CDaySpan& span) const;
    bool ReadRange(std::string_view first, std::string_view last, Prompter& prompter,
                   CDaySpan& span) const;

    std::vector<CDaySpan> spans_;
};

}  // namespace almx
