#include "reminders/alarm_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/clock.h"
#include "base/settings_store.h"
#include "calendar/record_alarm.h"
#include "core/record_list.h"

namespace almx {

namespace {

long long MinutesBetween(const DateTime& from, const DateTime& to) {
    return std::llround(DaySpan(from, to) * 1440.0);
}

std::string Format(const char* format, int a, int b, int c = 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

std::string DateText(const DateTime& time) {
    if (!time.IsValid()) return {};
    return Format("%d/%02d/%02d", time.Year(), time.Month(), time.Day());
}

std::string TimeText(const DateTime& time) {
    if (!time.IsValid()) return {};
    return Format("%02d:%02d", time.Hour(), time.Minute());
}

bool MayRing(const CAlmxData& record) {
    return !record.Has(IsTodo) && record.Has(StartTimeSet) && record.alarmMinutes != -1 &&
           record.start.IsValid();
}

}  // namespace

DateTime WholeMinute(const DateTime& time) {
    if (!time.IsValid()) return time;
    return time.PlusSeconds(-time.Second());
}

AlarmWindowTexts WindowTexts(const AlarmNotice& notice) {
    const CAlmxData& entry = notice.entry;
    AlarmWindowTexts texts;
    texts.time = TimeText(notice.minute);
    if (notice.minute.IsValid() && entry.start.IsValid()) {
        const long long ahead = MinutesBetween(notice.minute, WholeMinute(entry.start));
        char buffer[64];
        if (ahead > 0) {
            std::snprintf(buffer, sizeof buffer, "（%lld分前）", ahead);
            texts.time += buffer;
        } else if (ahead < 0) {
            std::snprintf(buffer, sizeof buffer, "（%lld分経過）", -ahead);
            texts.time += buffer;
        }
    }
    texts.title = entry.title;
    texts.place = entry.place;
    texts.memo = entry.memo;
    texts.startDate = DateText(entry.start);
    texts.endDate = DateText(entry.end);
    if (entry.Has(StartTimeSet)) texts.startTime = TimeText(entry.start);
    if (entry.Has(EndTimeSet)) texts.endTime = TimeText(entry.end);
    texts.link = entry.linkFile;
    return texts;
}

std::string NotificationBody(const AlarmNotice& notice) {
    const AlarmWindowTexts texts = WindowTexts(notice);
    std::string plain = texts.time;
    if (!texts.place.empty()) plain += "\n" + texts.place;
    std::string body;
    for (char c : plain) {
        switch (c) {
            case '&':
                body += "&amp;";
                break;
            case '<':
                body += "&lt;";
                break;
            case '>':
                body += "&gt;";
                break;
            case '"':
                body += "&quot;";
                break;
            case '\'':
                body += "&apos;";
                break;
            default:
                body += c;
        }
    }
    return body;
}

bool ParseSnoozeMinutes(const std::string& text, int& minutes) {
    std::size_t begin = text.find_first_not_of(' ');
    std::size_t end = text.find_last_not_of(' ');
    if (begin == std::string::npos) return false;
    long value = 0;
    for (std::size_t i = begin; i <= end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
        if (value > 32768) return false;
    }
    if (value < 1) return false;
    minutes = static_cast<int>(value);
    return true;
}

std::string AlarmMailBody(const CAlmxData& entry, const DateTime& minute) {
    static const char* const kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
    char head[128];
    std::snprintf(head, sizeof head, "%04d年%02d月%02d日(%s) %02d時%02d分\r\n\r\n", minute.Year(),
                  minute.Month(), minute.Day(), kWeekdays[minute.DayOfWeek()], minute.Hour(),
                  minute.Minute());
    std::string body = head;
    body += "内容：";
    body += entry.title;
    if (!entry.place.empty()) {
        body += "\r\n場所：";
        body += entry.place;
    }
    if (!entry.memo.empty()) {
        body += "\r\n詳細：\r\n";
        for (std::size_t i = 0; i < entry.memo.size(); ++i) {
            const char c = entry.memo[i];
            if (c == '\r') {
                body += "\r\n";
                if (i + 1 < entry.memo.size() && entry.memo[i + 1] == '\n') ++i;
            } else if (c == '\n') {
                body += "\r\n";
            } else {
                body += c;
            }
        }
    }
    body += "\r\n";
    return body;
}

std::vector<DateTime> DueMinutes(const CAlmxData& record, const DateTime& from, const DateTime& to,
                                 const OccurrenceContext& context) {
    std::vector<DateTime> minutes;
    if (!MayRing(record) || !from.IsValid() || !to.IsValid() || to < from) return minutes;
    const int lead = record.alarmMinutes;
    if (!record.IsRecurring()) {
        const DateTime t = WholeMinute(record.start).PlusMinutes(-static_cast<long long>(lead));
        if (!(t < from) && !(to < t)) minutes.push_back(t);
        return minutes;
    }
    // u = t + lead lies on a day with the start's hour and minute: one candidate per day.
    const DateTime first = from.PlusMinutes(lead).Date();
    const DateTime last = to.PlusMinutes(lead).Date();
    for (DateTime day = first; !(last < day); day = day.PlusDays(1)) {
        const DateTime t =
            day.WithTime(record.start.Hour(), record.start.Minute()).PlusMinutes(-lead);
        if (t < from || to < t) continue;
        if (IsAlarmDue(record, t, context)) minutes.push_back(t);
    }
    return minutes;
}

DateTime SnoozeDueMinute(const CAlmxSnoozeData& entry) {
    const int lead = entry.alarmMinutes != -1 ? entry.alarmMinutes : 0;
    return WholeMinute(entry.snoozeTime).PlusMinutes(-static_cast<long long>(lead));
}

CAlmxData OccurrenceAt(const CAlmxData& record, const DateTime& minute) {
    CAlmxData copy = record;
    if (!record.IsRecurring() || !record.start.IsValid()) return copy;
    const int lead = record.alarmMinutes != -1 ? record.alarmMinutes : 0;
    const DateTime day = minute.PlusMinutes(lead).Date();
    // For a rule, end is the last day of the period: the occurrence ends that day at its time.
    copy.start = day.WithTimeOf(record.start);
    const DateTime end = day.WithTimeOf(record.end);
    copy.end = record.end.IsValid() && copy.start < end ? end : copy.start;
    copy.repeatType = RepeatNone;
    copy.exceptions.clear();
    return copy;
}

AlarmCheck::AlarmCheck(SnoozeList& snoozes, SettingsStore& settings, const Clock& clock)
    : snoozes_(snoozes), settings_(settings), clock_(clock) {}

int AlarmCheck::Logical(const DateTime& time) const {
    const int limit = settings_.GetInt("System", "TodayLimit", 0);
    return static_cast<int>(time.PlusSeconds(-3600LL * limit).DayNumber());
}

AlarmCheck::Result AlarmCheck::Run(const RecordList& records, const DateTime& now, AlarmUi& ui,
                                   const DateTime& previousTick) {
    Result result;
    if (!now.IsValid()) return result;
    const DateTime to = WholeMinute(now);
    const DateTime last = WholeMinute(lastCheck_);
    DateTime from = to;
    if (checkedOnce_) {
        if (to == last) return result;
        if (to < last) {
            // Set back a little: the minutes up to the last check were given already.
            if (MinutesBetween(to, last) <= kSetBackMinutes) return result;
        } else {
            from = last.PlusMinutes(1);
        }
    }
    // Minutes while the program's clock ran for another document are not caught up.
    if (previousTick.IsValid() && from < WholeMinute(previousTick).PlusMinutes(1)) {
        from = WholeMinute(previousTick).PlusMinutes(1);
    }
    if (to < from) from = to;
    const DateTime earliest = to.PlusMinutes(-(kCatchUpMinutes - 1));
    if (from < earliest) from = earliest;

    result.checked = true;
    result.dateChanged = !checkedOnce_ || Logical(now) != Logical(lastCheck_);
    lastCheck_ = now;
    checkedOnce_ = true;

    std::vector<Due> due;
    const long long toMinuteOfDay = to.SecondsOfDay() / 60;
    for (const CAlmxData& record : records) {
        if (!MayRing(record)) continue;
        DateTime minute = DateTime::Invalid();
        if (from == to) {
            // The hour and minute of t + lead must be the start's: one sum rules out the rest.
            const long long u = ((toMinuteOfDay + record.alarmMinutes) % 1440 + 1440) % 1440;
            if (record.start.SecondsOfDay() / 60 != u) continue;
            if (IsAlarmDue(record, to, occurrences)) minute = to;
        } else {
            std::vector<DateTime> minutes = DueMinutes(record, from, to, occurrences);
            if (!minutes.empty()) minute = minutes.back();
        }
        if (minute.IsValid()) due.push_back({OccurrenceAt(record, minute), minute, snoozes_.end()});
    }
    for (auto it = snoozes_.begin(); it != snoozes_.end(); ++it) {
        if (firing_.count(&*it) || to < SnoozeDueMinute(*it)) continue;
        firing_.insert(&*it);
        due.push_back({*it, to, it});
    }
    result.fired = static_cast<int>(due.size());
    Deliver(due, ui);
    return result;
}

void AlarmCheck::Deliver(std::vector<Due>& due, AlarmUi& ui) {
    // The minute's mail goes out before any window waits for the user.
    const bool mailAll = settings_.GetInt("System", "AlermMail", 0) != 0;
    const std::string to = settings_.GetString("System", "MailTo", "");
    std::vector<AlarmMail> mails;
    bool ready = false;
    bool asked = false;
    for (Due& item : due) {
        const int mode = item.entry.alarmMode;
        item.screen = (mode & AlarmOnScreen) && !mailAll;
        const bool byMail = ((mode & AlarmOnScreen) && mailAll) || (mode & AlarmByMail);
        if (!byMail) continue;
        if (!asked) {
            ready = !to.empty() && ui.MailReady();
            asked = true;
        }
        if (!ready) {
            // Not lost silently: the window shows it instead.
            item.screen = true;
            continue;
        }
        mails.push_back({to, alarm_text::kMailSubject, AlarmMailBody(item.entry, item.minute)});
    }
    if (!mails.empty()) ui.HandMail(std::move(mails));

    for (Due& item : due) {
        const bool snoozed = Ring(item, ui);
        if (item.snooze == snoozes_.end()) {
            if (snoozed) {
                snoozes_.emplace_back(item.entry, clock_.Now(),
                                      settings_.GetInt("System", "Snooze", 5));
            }
            continue;
        }
        firing_.erase(&*item.snooze);
        if (snoozed) {
            item.snooze->Rearm(clock_.Now(), settings_.GetInt("System", "Snooze", 5));
        } else {
            snoozes_.erase(item.snooze);
        }
    }
}

bool AlarmCheck::Ring(const Due& item, AlarmUi& ui) {
    const int mode = item.entry.alarmMode;
    if ((mode & (AlarmOnScreen | AlarmByMail | AlarmOpenLink)) == 0) return false;
    ui.RestoreMainWindow();
    bool snoozed = false;
    if (item.screen) {
        AlarmNotice notice{item.entry, item.minute, settings_.GetString("System", "AlermWave", "")};
        ui.PlaySound(notice.wave);
        ui.ShowNotification(notice);
        snoozed = ui.ShowAlarmWindow(notice);
    }
    if ((mode & AlarmOpenLink) && !item.entry.linkFile.empty()) ui.OpenLink(item.entry);
    return snoozed;
}

std::vector<PlannedAlarm> PlanAlarms(const RecordList& records, const DateTime& from,
                                     const DateTime& to, const OccurrenceContext& context) {
    std::vector<PlannedAlarm> planned;
    for (const CAlmxData& record : records) {
        if ((record.alarmMode & (AlarmOnScreen | AlarmByMail | AlarmOpenLink)) == 0) continue;
        for (const DateTime& minute : DueMinutes(record, from, to, context)) {
            planned.push_back({minute, &record});
        }
    }
    std::stable_sort(
        planned.begin(), planned.end(),
        [](const PlannedAlarm& a, const PlannedAlarm& b) { return a.minute < b.minute; });
    return planned;
}

}  // namespace almx
