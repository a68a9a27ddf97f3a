#include "calendar/exception_form.h"

#include "base/prompter.h"

namespace almx {

namespace {

constexpr const char* kBadDay = "正しい日付を入力してください";
constexpr const char* kBadFirst = "正しい開始日付を入力してください";
constexpr const char* kBadLast = "正しい終了日付を入力してください";
constexpr const char* kReversed = "除外終了日には除外開始日以降の日付を入力してください";

}  // namespace

std::string ExceptionForm::RowText(const CDaySpan& span) {
    std::string text = FormatDate(span.First());
    if (!(span.First() == span.Last())) text += " ～ " + FormatDate(span.Last());
    return text;
}

std::vector<std::string> ExceptionForm::Rows() const {
    std::vector<std::string> rows;
    rows.reserve(spans_.size());
    for (const CDaySpan& span : spans_) rows.push_back(RowText(span));
    return rows;
}

bool ExceptionForm::ReadDay(std::string_view text, Prompter& prompter, CDaySpan& span) const {
    std::optional<DateTime> day = ParseDate(text);
    if (!day) {
        prompter.ShowMessage(kBadDay, MessageKind::Warning);
        return false;
    }
    span = CDaySpan::FromDates(*day, *day);
    return true;
}

bool ExceptionForm::ReadRange(std::string_view first, std::string_view last, Prompter& prompter,
                              CDaySpan& span) const {
    std::optional<DateTime> from = ParseDate(first);
    if (!from) {
        prompter.ShowMessage(kBadFirst, MessageKind::Warning);
        return false;
    }
    std::optional<DateTime> to = ParseDate(last);
    if (!to) {
        prompter.ShowMessage(kBadLast, MessageKind::Warning);
        return false;
    }
    // A reversed range would except nothing at all.
    if (*to < *from) {
        prompter.ShowMessage(kReversed, MessageKind::Warning);
        return false;
    }
    span = CDaySpan::FromDates(*from, *to);
    return true;
}

bool ExceptionForm::AddDay(std::string_view day, Prompter& prompter) {
    CDaySpan span;
    if (!ReadDay(day, prompter, span)) return false;
    spans_.push_back(span);
    return true;
}

bool ExceptionForm::AddRange(std::string_view first, std::string_view last, Prompter& prompter) {
    CDaySpan span;
    if (!ReadRange(first, last, prompter, span)) return false;
    spans_.push_back(span);
    return true;
}

bool ExceptionForm::IsOneDay(std::size_t index) const {
    return index < spans_.size() && spans_[index].First() == spans_[index].Last();
}

std::string ExceptionForm::FirstText(std::size_t index) const {
    return index < spans_.size() ? FormatDate(spans_[index].First()) : std::string();
}

std::string ExceptionForm::LastText(std::size_t index) const {
    return index < spans_.size() ? FormatDate(spans_[index].Last()) : std::string();
}

bool ExceptionForm::EditDay(std::size_t index, std::string_view day, Prompter& prompter) {
    CDaySpan span;
    if (index >= spans_.size() || !ReadDay(day, prompter, span)) return false;
    spans_[index] = span;
    return true;
}

bool ExceptionForm::EditRange(std::size_t index, std::string_view first, std::string_view last,
                              Prompter& prompter) {
    CDaySpan span;
    if (index >= spans_.size() || !ReadRange(first, last, prompter, span)) return false;
    spans_[index] = span;
    return true;
}

bool ExceptionForm::Delete(std::size_t index, Prompter& prompter) {
    if (index >= spans_.size()) return false;
    if (prompter.AskYesNo("削除しますか？") != Answer::Yes) return false;
    spans_.erase(spans_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

}  // namespace almx
