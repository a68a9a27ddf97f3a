#pragma once
// The recurrence dialog (CRepeatDlg) and its custom dialog (CRepeatCustomDlg), bound to
// RepeatForm and RepeatCustomForm.

#include <QDialog>
#include <array>

#include "calendar/repeat_form.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace almx {

class Prompter;

class CRepeatCustomDlg : public QDialog {
    Q_OBJECT
  public:
    CRepeatCustomDlg(const RepeatCustomForm& form, Prompter& prompter, QWidget* parent = nullptr);
    void accept() override;
    const RepeatCustomForm& Form() const { return form_; }

  private:
    void Read();
    void Enable();

    RepeatCustomForm form_;
    Prompter& prompter_;
    QCheckBox* position_;
    std::array<QCheckBox*, 5> weeks_{};
    std::array<QCheckBox*, 7> weekdays_{};
    std::array<QCheckBox*, 12> months_{};
};

class CRepeatDlg : public QDialog {
    Q_OBJECT
  public:
    CRepeatDlg(const RepeatForm& form, Prompter& prompter, QWidget* parent = nullptr);
    void accept() override;
    // The accepted values (normalised by OK).
    const RepeatForm& Form() const { return form_; }

  private:
    void Read();
    void Show();
    void Enable();
    void ShowPeriodAndText();
    // The period dialog on the current dates; true when it gave a period. tooShort: opened by
    // OK because the period is shorter than the kind needs.
    bool EditPeriod(bool tooShort = false);
    void Custom();

    RepeatForm form_;
    Prompter& prompter_;
    QComboBox* kind_;
    QSpinBox* interval_;
    QLabel* intervalUnit_;
    QComboBox* firstDay_;
    QComboBox* lastDay_;
    QCheckBox* position_;
    QComboBox* week_;
    QComboBox* weekday_;
    QComboBox* month_;
    QPushButton* custom_;
    QLabel* period_;
    QLabel* description_;
};

}  // namespace almx
