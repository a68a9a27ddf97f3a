#pragma once
// The month view's dialogs: 年月日の指定 (CMonthDlg), the number of days to move
// (CDaySpanDlg), 月間表示の週数 (CMotnthWeeksDlg) and 今日のスケジュール (CTodayDlg).

#include <QDialog>

#include "base/date_time.h"
#include "calendar/month_dialog_forms.h"
#include "calendar/month_grid.h"

class QComboBox;
class QPlainTextEdit;
class QSpinBox;

namespace almx {

class Prompter;
struct FontSpec;

class CMonthDlg : public QDialog {
    Q_OBJECT
  public:
    CMonthDlg(const DateTime& initial, Prompter& prompter, QWidget* parent = nullptr);
    DateTime Date() const { return date_; }
    void accept() override;

    QSpinBox* YearBox() const { return year_; }
    QSpinBox* MonthBox() const { return month_; }
    QSpinBox* DayBox() const { return day_; }

  private:
    Prompter& prompter_;
    QSpinBox* year_;
    QSpinBox* month_;
    QSpinBox* day_;
    DateTime date_;
};

class CDaySpanDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CDaySpanDlg(QWidget* parent = nullptr);
    int Days() const;
    QSpinBox* DaysBox() const { return days_; }

  private:
    QSpinBox* days_;
};

class CMotnthWeeksDlg : public QDialog {
    Q_OBJECT
  public:
    CMotnthWeeksDlg(int weeks, QWidget* parent = nullptr);
    int Weeks() const;
    QComboBox* Choice() const { return choice_; }

  private:
    QComboBox* choice_;
};

class CTodayDlg : public QDialog {
    Q_OBJECT
  public:
    CTodayDlg(const TodaySchedules& texts, const FontSpec& font, QWidget* parent = nullptr);
    QPlainTextEdit* Schedules() const { return schedules_; }
    QPlainTextEdit* Todos() const { return todos_; }

  private:
    QPlainTextEdit* schedules_;
    QPlainTextEdit* todos_;
};

}  // namespace almx
