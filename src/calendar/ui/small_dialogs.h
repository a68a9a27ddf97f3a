#pragma once
// The small dialogs around the schedule dialog: the time picker (CTimeInputDlg), the
// avoid-days dialog (CKaihiDlg) and the notification dialog (CTimerDlg). Each binds its
// controls to its form; the caller reads the form after exec() returns Accepted.

#include <QDialog>

#include "calendar/avoid_days_form.h"
#include "calendar/time_form.h"
#include "calendar/timer_form.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollBar;
class QSpinBox;

namespace almx {

// 時間の入力.
class CTimeInputDlg : public QDialog {
    Q_OBJECT
  public:
    CTimeInputDlg(const TimeForm& form, QWidget* parent = nullptr);
    const TimeForm& Form() const { return form_; }

  private:
    void Show();

    TimeForm form_;
    QScrollBar* hour_;
    QScrollBar* minute_;
    QLabel* text_;
};

// 回避日設定.
class CKaihiDlg : public QDialog {
    Q_OBJECT
  public:
    CKaihiDlg(const AvoidDaysForm& form, QWidget* parent = nullptr);
    void accept() override;
    const AvoidDaysForm& Form() const { return form_; }

  private:
    AvoidDaysForm form_;
    QCheckBox* saturday_;
    QCheckBox* sunday_;
    QCheckBox* holiday_;
    QCheckBox* dayBefore_;
};

// 通知設定.
class CTimerDlg : public QDialog {
    Q_OBJECT
  public:
    CTimerDlg(const TimerForm& form, QWidget* parent = nullptr);
    void accept() override;
    const TimerForm& Form() const { return form_; }

  private:
    TimerForm form_;
    QSpinBox* minutes_;
    QComboBox* choice_;
    QCheckBox* openLink_;
};

}  // namespace almx
