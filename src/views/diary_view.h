#pragma once
// The diary view: a month calendar at the top left, the day's schedules below it and the day's
// diary text in an editor to the right. Leaving a day saves its text when it was modified; a
// save that fails keeps the day, so no typed text is lost.

#include <QPlainTextEdit>
#include <functional>
#include <optional>

#include "core/display_settings.h"
#include "reminders/diary_search.h"
#include "reminders/diary_store.h"
#include "text/word_search.h"
#include "views/calendar_view_base.h"
#include "views/text_search_dlgs.h"

namespace almx {

class CDayView;
class CVeltaCalenderCtrl;
class Clock;
class Prompter;
class SettingsStore;
struct EntryActions;

namespace diary_cmd {
// The diary menus reuse the ids of the same actions elsewhere, with the diary's labels.
inline constexpr int kBodyFont = 32779;          // 本文(&T)...
inline constexpr int kTimeDisplayFirst = 32921;  // データ毎の設定(&D) .. 表示しない(&N)
inline constexpr int kTimeDisplayLast = 32925;
inline constexpr int kHtmlPages = 32901;   // HTMLファイル出力(&H)...
inline constexpr int kSearchList = 32941;  // 検索リスト(&S)...
inline constexpr int kSave = 57603;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPasteCmd = 57637;
inline constexpr int kDelete = 32782;
inline constexpr int kOneUp = 32842;
inline constexpr int kOneDown = 32843;
inline constexpr int kOpenLink = 32829;
}  // namespace diary_cmd

namespace diary_view_msg {
inline constexpr const char* kAskDiscard =
    "この日の日記を保存できませんでした。変更を破棄して閉じますか？";
}

// "DiaryFont" and its default.
FontSpec DiaryFontSpec(const SettingsStore& settings);

class CDiaryView : public CalendarViewBase {
    Q_OBJECT
  public:
    CDiaryView(DocumentHost& host, DisplaySettings& display, SettingsStore& settings,
               Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);
    ~CDiaryView() override;

    const DateTime& Date() const { return date_; }
    // Leaves the current day (saving it) and shows the date; false when the date is outside
    // the calendar or the day could not be saved (the view then stays).
    bool GoTo(const DateTime& date);
    // Saves the text when it was modified; false when it could not be written.
    bool Commit();
    // Closing: commits, and after a failed save asks before discarding the text.
    bool MayClose();
    // Reloads the day when its file changed on disk and the editor holds no change.
    void CheckDisk();

    QPlainTextEdit& Editor() { return *editor_; }
    CVeltaCalenderCtrl& Calendar() { return *calendar_; }
    CDayView& DayList() { return *dayList_; }
    const DiaryDay& Day() const { return day_; }

    // The day dialog of the calendar's "編集" (set by the program).
    std::function<void(const DateTime&)> editDay;
    // The HTML diary pages (set by the program).
    std::function<void()> htmlPages;
    void SetEntryActions(EntryActions actions);

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;
    std::optional<DateTime> SelectedDate() const override { return date_; }

  protected:
    void OnUpdate(QObject* sender, int hint, const CAlmxData* record) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The dialogs, one seam each (tests answer them).
    virtual std::optional<WordQuery> AskSearch();
    virtual std::optional<int> ChooseHit(const std::vector<DiaryHit>& hits, const WordQuery& query);
    virtual void RunHtmlPages();

  private:
    DiaryStore* Store() { return Host().Diary(); }
    void LoadDay();
    void LayOut();
    void Search();
    bool Move(long days);
    bool MoveMonths(int months);
    void ApplyFont();

    CVeltaCalenderCtrl* calendar_;
    CDayView* dayList_;
    QPlainTextEdit* editor_;
    FontSpec font_;
    DateTime date_;
    DiaryDay day_;
    bool syncing_ = false;  // the calendar is being set by the view
};

}  // namespace almx
