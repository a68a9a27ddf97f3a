#pragma once
// The vCalendar and iCalendar file choosers: file dialogs set up from the forms of
// exchange/calendar_exchange.h, which check and remember what OK chose.

#include <QDialog>
#include <QFileDialog>

#include "exchange/calendar_exchange.h"

class QLineEdit;

namespace almx {

class CCalendarSaveDlg : public QFileDialog {
    Q_OBJECT
  public:
    CCalendarSaveDlg(CCalendarSaveForm& form, QWidget* parent = nullptr);
    void done(int result) override;

  private:
    CCalendarSaveForm& form_;
};

class CCalendarOpenDlg : public QFileDialog {
    Q_OBJECT
  public:
    CCalendarOpenDlg(CCalendarOpenForm& form, QWidget* parent = nullptr);
    void done(int result) override;

  private:
    CCalendarOpenForm& form_;
};

class Clock;

// The month view's range export: start and end dates, each with its "ｶﾚﾝﾀﾞ" button.
class CICalRangeDlg : public QDialog {
    Q_OBJECT
  public:
    CICalRangeDlg(CICalRangeForm& form, const Clock& clock, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* startEdit;
    QLineEdit* endEdit;

  private:
    CICalRangeForm& form_;
};

}  // namespace almx
