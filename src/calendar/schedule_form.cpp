#include "calendar/schedule_form.h"

#include "base/prompter.h"
#include "calendar/recurrence.h"
#include "core/genre.h"

namespace almx {

namespace {

constexpr const char* kBadStart = "正しい開始日時を入力してください";
constexpr const char* kBadEnd = "正しい終了日時を入力してください";
constexpr const char* kEndBeforeStart = "開始日時より後の終了日時を入力してください";

// A date text with an optional time text (full-width forms read as half-width).
std::optional<DateTime> ReadDateTime(const std::string& date, const std::string& time) {
    if (time.empty()) return ParseDate(date);
    return ParseTime(date, TimeTextToHalfWidth(time));
}

}  // namespace

RecordDefaults ScheduleForm::NewScheduleDefaults(RecordDefaults defaults,
                                                 const SettingsStore& settings) {
    constexpr int kUnset = -2;
    const int lead = settings.GetInt("System", "TimerDelay", kUnset);
    if (lead >= -1) defaults.alarmMinutes = lead;
    return defaults;
}

CAlmxData ScheduleForm::NewSchedule(const RecordDefaults& defaults, const DateTime& day,
                                    const CAlmxFieldArray& genres, int genre, int timeDisplay) {
    CAlmxData record(defaults);
    record.start = day.Date();
    record.end = record.start;
    record.repeatFirstDay = record.start.Day();
    record.repeatLastDay = record.start.Day();
    record.genre = genre;
    if (const CAlmxField* field = genres.ForRecord(genre)) record.colour = field->colour;
    record.timeDisplay = timeDisplay >= 0 && timeDisplay <= 3 ? timeDisplay : 0;
    return record;
}

ScheduleForm::ScheduleForm(const CAlmxData& record)
    : startDate(FormatDate(record.start)),
      endDate(FormatDate(record.end)),
      startTime(record.Has(StartTimeSet) ? FormatTime(record.start) : std::string()),
      endTime(record.Has(EndTimeSet) ? FormatTime(record.end) : std::string()),
      title(record.title),
      place(record.place),
      memo(record.memo),
      hideInViews(record.Has(HideInViews)),
      holidayMark(record.Has(HolidayMark)),
      bold((record.textStyle & 1) != 0),
      struck((record.textStyle & 2) != 0),
      timeDisplay(record.timeDisplay),
      genre(record.genre),
      colour(record.colour),
      linkFile(record.linkFile),
      alarmMinutes(record.alarmMinutes),
      alarmMode(record.alarmMode),
      rule_(record) {}

CAlmxData ScheduleForm::RuleWithPeriod() const {
    CAlmxData rule = rule_;
    std::optional<DateTime> first = ParseDate(startDate);
    std::optional<DateTime> last = ParseDate(endDate.empty() ? startDate : endDate);
    rule.start = first ? *first : DateTime::Invalid();
    rule.end = last ? *last : DateTime::Invalid();
    return rule;
}

RepeatForm ScheduleForm::OpenRepeat() const {
    return RepeatForm(RuleWithPeriod());
}

void ScheduleForm::TakeRepeat(const RepeatForm& repeat) {
    CAlmxData rule = RuleWithPeriod();
    repeat.WriteTo(rule);
    rule_.repeatType = rule.repeatType;
    rule_.repeatInterval = rule.repeatInterval;
    rule_.repeatFirstDay = rule.repeatFirstDay;
    rule_.repeatLastDay = rule.repeatLastDay;
    rule_.positionMode = rule.positionMode;
    rule_.validWeeks = rule.validWeeks;
    rule_.validWeekdays = rule.validWeekdays;
    rule_.validMonths = rule.validMonths;
    startDate = FormatDate(repeat.periodStart);
    endDate = FormatDate(repeat.periodEnd);
}

std::string ScheduleForm::RepeatDescription() const {
    CAlmxData rule = RuleWithPeriod();
    if (rule.repeatType == RepeatNone || !rule.start.IsValid()) return {};
    return RepeatText(rule);
}

EntryResult ScheduleForm::Ok(Prompter& prompter, bool readOnly, CAlmxData& record) const {
    if (readOnly) {
        prompter.ShowMessage(kReadOnlyEditMessage, MessageKind::Warning);
        return EntryResult::Closed;
    }
    const std::string& endDateText = endDate.empty() ? startDate : endDate;
    std::optional<DateTime> start = ReadDateTime(startDate, startTime);
    if (!start) {
        prompter.ShowMessage(kBadStart, MessageKind::Warning);
        return EntryResult::Stay;
    }
    std::optional<DateTime> end = ReadDateTime(endDateText, endTime);
    if (!end) {
        prompter.ShowMessage(kBadEnd, MessageKind::Warning);
        return EntryResult::Stay;
    }
    // Without an end time the end is compared at the start time.
    std::optional<DateTime> compared = end;
    if (endTime.empty() && !startTime.empty()) {
        if (auto atStartTime = ReadDateTime(endDateText, startTime)) compared = atStartTime;
    }
    if (*compared < *start) {
        prompter.ShowMessage(kEndBeforeStart, MessageKind::Warning);
        return EntryResult::Stay;
    }
    if (!CheckRepresentable(
            prompter,
            {{"スケジュール内容", title}, {"場所", place}, {"詳細", memo}, {"リンク", linkFile}})) {
        return EntryResult::Stay;
    }

    record.start = *start;
    record.Set(StartTimeSet, !startTime.empty());
    record.end = *end;
    record.Set(EndTimeSet, !endTime.empty());
    record.title = title;
    record.place = place;
    record.memo = memo;
    record.Set(HideInViews, hideInViews);
    record.Set(HolidayMark, holidayMark);
    record.colour = colour;
    record.linkFile = linkFile;
    record.genre = genre;
    record.timeDisplay = timeDisplay;
    record.textStyle = (record.textStyle & ~3) | (bold ? 1 : 0) | (struck ? 2 : 0);
    record.repeatType = rule_.repeatType;
    record.repeatFirstDay = rule_.repeatFirstDay;
    record.repeatLastDay = rule_.repeatLastDay;
    record.repeatInterval = rule_.repeatInterval;
    record.positionMode = rule_.positionMode;
    record.validWeeks = rule_.validWeeks;
    record.validWeekdays = rule_.validWeekdays;
    record.validMonths = rule_.validMonths;
    record.exceptions = rule_.exceptions;
    record.shiftRule = rule_.shiftRule;
    record.alarmMinutes = alarmMinutes;
    record.alarmMode = alarmMode;
    return EntryResult::Accepted;
}

}  // namespace almx
