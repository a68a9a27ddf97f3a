#pragma once
// The to-do dialog (Todoの入力, CTodoInputDlg) as a plain form: the control values, the checks
// of OK and the write-back into the record.

#include <array>
#include <cstdint>
#include <string>

#include "base/date_time.h"
#include "calendar/entry_checks.h"

namespace almx {

class CAlmxData;
class Prompter;
class SettingsStore;
struct RecordDefaults;

class TodoForm {
  public:
    // 重要度, index = todoImportance.
    static constexpr std::array<const char*, 6> kImportanceNames{"緊急", "A", "B", "C", "D", "E"};

    // A new to-do: with "Todo"/"DefaultKigen" on, due "Todo"/"DefaultDays" days after today,
    // otherwise without deadline; the document's default genre for to-dos; no lead period.
    static CAlmxData NewTodo(const RecordDefaults& defaults, const DateTime& today,
                             const SettingsStore& settings, int defaultGenre);

    explicit TodoForm(const CAlmxData& record);

    // 完了日付 is enabled only with 完了チェック.
    bool CompletionEnabled() const { return done; }

    // Runs every check; only when all pass is the record written. now: the time a to-do
    // without deadline keeps as its start.
    EntryResult Ok(Prompter& prompter, bool readOnly, const DateTime& now, CAlmxData& record) const;

    bool done = false;         // 完了チェック
    std::string deadline;      // 終了期限
    bool leadPeriod = false;   // 期間指定
    int leadDays = 0;          // 日前から表示
    std::string completion;    // 完了日付
    bool hideInViews = false;  // スケジュール画面非表示
    int importance = 0;        // 重要度
    std::string title;         // 内容
    std::string place;         // 場所
    std::string memo;          // 詳細
    std::uint32_t colour = 0;  // 色...
    bool bold = false;         // 太字
    bool struck = false;       // 取消線
    int genre = 0;             // ジャンル
    std::string linkFile;      // ﾘﾝｸﾌｧｲﾙ...
};

}  // namespace almx
