#pragma once
// The period dialog (期間の設定, CSpanDlg), the day-count dialog (今日から何日？, CCalcDays) and
// the consecutive copy (連続コピー, CSchCopyDlg), each bound to its form.

#include <QDialog>
#include <optional>
#include <utility>

#include "calendar/copy_form.h"
#include "calendar/day_count_form.h"
#include "calendar/span_form.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace almx {

class DateField;
class Prompter;

class CSpanDlg : public QDialog {
    Q_OBJECT
  public:
    CSpanDlg(const SpanForm& form, Prompter& prompter, QWidget* parent = nullptr);
    // A line above the fields saying why the dialog opened.
    void SetNote(const QString& note);
    void accept() override;
    // The accepted period.
    const std::optional<std::pair<DateTime, DateTime>>& Period() const { return period_; }

  private:
    void Read();
    void Show();

    SpanForm form_;
    Prompter& prompter_;
    QLabel* note_;
    DateField* start_;
    DateField* end_;
    std::optional<std::pair<DateTime, DateTime>> period_;
};

class CCalcDays : public QDialog {
    Q_OBJECT
  public:
    CCalcDays(const DayCountForm& form, QWidget* parent = nullptr);

  private:
    void Recalculate();

    DayCountForm form_;
    DateField* target_;
    QLabel* days_;
    QLabel* weeks_;
};

class CSchCopyDlg : public QDialog {
    Q_OBJECT
  public:
    CSchCopyDlg(const CopyForm& form, Prompter& prompter, QWidget* parent = nullptr);
    void accept() override;
    const CopyForm& Form() const { return form_; }

  private:
    CopyForm form_;
    Prompter& prompter_;
    QComboBox* unit_;
    QSpinBox* interval_;
    QLabel* unitEcho_;
    QSpinBox* count_;
};

}  // namespace almx
