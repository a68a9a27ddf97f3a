#include "exchange/export_forms.h"

#include "base/prompter.h"
#include "base/settings_store.h"

namespace almx {

namespace t = export_form_texts;

DateTime PickerDate(const std::string& text, const DateTime& today) {
    const auto date = ParseDate(text);
    return date ? *date : today.Date();
}

int SpanDays(const DateTime& start, const DateTime& end) {
    const long days = DateDifference(start, end);
    return days < 0 ? 0 : static_cast<int>(days);
}

bool CheckRange(const std::string& startText, const std::string& endText, Prompter& prompter,
                DateTime& start, DateTime& end) {
    const auto first = ParseDate(startText);
    if (!first) {
        prompter.ShowMessage(t::kBadStart, MessageKind::Warning);
        return false;
    }
    const auto last = ParseDate(endText);
    if (!last || *last < *first) {
        prompter.ShowMessage(t::kBadEnd, MessageKind::Warning);
        return false;
    }
    start = *first;
    end = *last;
    return true;
}

namespace {

// now + span days, kept inside the calendar.
DateTime SpanEnd(const DateTime& now, int span) {
    const DateTime last = DateTime::FromDate(kMaxYear, 12, 31);
    if (span <= 0) return now.Date();
    if (span >= DateDifference(now, last)) return last;
    return now.Date().PlusDays(span);
}

}  // namespace

CExportCsvForm::CExportCsvForm(SettingsStore& settings, Prompter& prompter)
    : settings_(settings), prompter_(prompter) {}

void CExportCsvForm::Preset(const DateTime& now) {
    startText = FormatDate(now);
    endText = FormatDate(SpanEnd(now, settings_.GetInt("System", "ExportSpan", 14)));
    fileName = settings_.GetString("System", "ExportFile", "");
    includeHidden = settings_.GetInt("System", "ExportNoView", 0) != 0;
}

bool CExportCsvForm::Accept() {
    if (!CheckRange(startText, endText, prompter_, start, end)) return false;
    if (fileName.empty()) {
        prompter_.ShowMessage(t::kNoFileName, MessageKind::Warning);
        return false;
    }
    settings_.SetString("System", "ExportFile", fileName);
    settings_.SetInt("System", "ExportNoView", includeHidden ? 1 : 0);
    settings_.SetInt("System", "ExportSpan", SpanDays(start, end));
    return true;
}

CTextCopyForm::CTextCopyForm(SettingsStore& settings, Prompter& prompter)
    : settings_(settings), prompter_(prompter) {}

void CTextCopyForm::Preset(const DateTime& now) {
    startText = FormatDate(now);
    endText = FormatDate(SpanEnd(now, settings_.GetInt("System", "TextCopySpan", 14)));
    withYear = settings_.GetInt("TextCopy", "Year", 0) != 0;
    withWeekday = settings_.GetInt("TextCopy", "Youbi", 1) != 0;
}

bool CTextCopyForm::Accept() {
    if (!CheckRange(startText, endText, prompter_, start, end)) return false;
    settings_.SetInt("TextCopy", "Year", withYear ? 1 : 0);
    settings_.SetInt("TextCopy", "Youbi", withWeekday ? 1 : 0);
    settings_.SetInt("System", "TextCopySpan", SpanDays(start, end));
    return true;
}

int DayTextCopyOptions(const SettingsStore& settings) {
    return (settings.GetInt("TextCopy", "Year", 0) != 0 ? 1 : 0) +
           (settings.GetInt("TextCopy", "Youbi", 1) != 0 ? 2 : 0);
}

}  // namespace almx
