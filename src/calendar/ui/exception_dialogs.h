#pragma once
// The exception list (除外日, CNoSchDlg) and its one-day (CNoSchAddDlg) and range
// (CNoSchSpanDlg) dialogs, bound to an ExceptionForm.

#include <QDialog>
#include <functional>
#include <string>

#include "calendar/exception_form.h"

class QListWidget;

namespace almx {

class DateField;
class Prompter;

// 除外する日. OK runs the check; a refused date keeps the dialog open.
class CNoSchAddDlg : public QDialog {
    Q_OBJECT
  public:
    using Check = std::function<bool(const std::string& day)>;
    CNoSchAddDlg(const std::string& day, Check check, QWidget* parent = nullptr);
    void accept() override;

  private:
    Check check_;
    DateField* day_;
};

// 除外開始日 and 除外終了日.
class CNoSchSpanDlg : public QDialog {
    Q_OBJECT
  public:
    using Check = std::function<bool(const std::string& first, const std::string& last)>;
    CNoSchSpanDlg(const std::string& first, const std::string& last, Check check,
                  QWidget* parent = nullptr);
    void accept() override;

  private:
    Check check_;
    DateField* first_;
    DateField* last_;
};

class CNoSchDlg : public QDialog {
    Q_OBJECT
  public:
    CNoSchDlg(const ExceptionForm& form, const std::string& suggestedDay, Prompter& prompter,
              QWidget* parent = nullptr);
    const ExceptionForm& Form() const { return form_; }

  private:
    void Fill(int select);
    void AddDay();
    void AddRange();
    void Edit();
    void Delete();

    ExceptionForm form_;
    std::string suggested_;
    Prompter& prompter_;
    QListWidget* list_;
};

}  // namespace almx
