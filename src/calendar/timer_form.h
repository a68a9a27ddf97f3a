#pragma once
// The per-schedule notification dialog (通知設定, CTimerDlg) as a plain form over a record's
// alarmMinutes and alarmMode.

#include <array>

namespace almx {

class TimerForm {
  public:
    // The choices of "通知方法(&A):", in list order.
    static constexpr std::array<const char*, 3> kChoices{"通知しない", "画面で通知",
                                                         "メールで通知"};
    // The usual top of the lead minutes' up-down control; a larger stored value is kept.
    static constexpr int kMaxMinutes = 32767;

    TimerForm(int alarmMinutes, int alarmMode);

    // The new values: the mode's three dialog bits (other bits kept), and the minutes, or -1
    // when no action is left.
    void WriteTo(int& alarmMinutes, int& alarmMode) const;

    int minutes = 0;        // 分前に通知
    int choice = 0;         // index into kChoices
    bool openLink = false;  // リンクファイルを開く(&L)

  private:
    int otherBits_ = 0;
};

}  // namespace almx
