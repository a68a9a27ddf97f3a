#pragma once
// The schedule dialog (スケジュールの入力, CSchInput) as a plain form: the control values, the
// values its sub-dialogs edit until OK, the checks of OK and the write-back into the record.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/settings_store.h"
#include "calendar/entry_checks.h"
#include "calendar/repeat_form.h"
#include "core/record.h"

namespace almx {

class CAlmxFieldArray;
class Prompter;

class ScheduleForm {
  public:
    // 時刻表示, index = timeDisplay.
    static constexpr std::array<const char*, 4> kTimeDisplayNames{"開始・終了", "開始のみ",
                                                                  "終了のみ", "表示せず"};

    // A new schedule on the day: the recurrence day range on the day of the month, the given
    // genre and its colour, the time display of "View"/"ViewTime".
    // The defaults of a new schedule: the document's, with the lead set through the week
    // view's timer command ("System"/"TimerDelay") when it was set.
    static RecordDefaults NewScheduleDefaults(RecordDefaults defaults,
                                              const SettingsStore& settings);
    static CAlmxData NewSchedule(const RecordDefaults& defaults, const DateTime& day,
                                 const CAlmxFieldArray& genres, int genre, int timeDisplay);

    explicit ScheduleForm(const CAlmxData& record);

    // 繰り返し...: the recurrence dialog on the rule and the period of the date texts; its
    // accepted result comes back with TakeRepeat (the date texts become the period).
    RepeatForm OpenRepeat() const;
    void TakeRepeat(const RepeatForm& repeat);
    // The rule's description for the dialog (empty without a rule).
    std::string RepeatDescription() const;
    int RepeatKind() const { return rule_.repeatType; }

    // 除外日... and 回避日... edit these; 通知... edits alarmMinutes and alarmMode.
    std::vector<CDaySpan>& Exceptions() { return rule_.exceptions; }
    const std::vector<CDaySpan>& Exceptions() const { return rule_.exceptions; }
    int& ShiftRule() { return rule_.shiftRule; }

    // Runs every check; only when all pass is the record written.
    EntryResult Ok(Prompter& prompter, bool readOnly, CAlmxData& record) const;

    std::string startDate;     // 開始日付
    std::string endDate;       // 終了日付
    std::string startTime;     // 開始時刻
    std::string endTime;       // 終了時刻
    std::string title;         // スケジュール内容
    std::string place;         // 場所
    std::string memo;          // 詳細
    bool hideInViews = false;  // スケジュール画面非表示
    bool holidayMark = false;  // 休日
    bool bold = false;         // 太字
    bool struck = false;       // 取消線
    int timeDisplay = 0;       // 時刻表示
    int genre = 0;             // ジャンル
    std::uint32_t colour = 0;  // 色...
    std::string linkFile;      // リンク...
    int alarmMinutes = 0;      // 通知...
    int alarmMode = 1;

  private:
    // The record's recurrence as the sub-dialogs left it, with the period of the date texts.
    CAlmxData RuleWithPeriod() const;

    CAlmxData rule_;  // the recurrence fields, exceptions and shift rule being edited
};

}  // namespace almx
