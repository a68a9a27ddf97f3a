#pragma once
// The schedule dialog (スケジュールの入力, CSchInput) and the to-do dialog (Todoの入力,
// CTodoInputDlg). Each edits a copy of a record through its form; after exec() returns
// Accepted, Record() holds the written copy.

#include <QDialog>

#include "calendar/schedule_form.h"
#include "calendar/todo_form.h"
#include "calendar/ui/entry_widgets.h"
#include "core/record.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace almx {

class CSchInput : public QDialog {
    Q_OBJECT
  public:
    CSchInput(const CAlmxData& record, EntryDialogContext context, QWidget* parent = nullptr);
    void accept() override;
    void reject() override;
    const CAlmxData& Record() const { return record_; }

  private:
    void Read();
    void ShowDates();
    void ShowRule();
    void PickTime(TimeCombo* field, TimeCombo* other);
    void Repeat();
    void Exceptions();
    void AvoidDays();
    void Timer();
    void Link();

    CAlmxData record_;
    ScheduleForm form_;
    EntryDialogContext context_;
    DateField* startDate_;
    DateField* endDate_;
    TimeCombo* startTime_;
    TimeCombo* endTime_;
    QLineEdit* title_;
    QLineEdit* place_;
    QPlainTextEdit* memo_;
    QLabel* rule_;
    QCheckBox* hide_;
    QCheckBox* holiday_;
    QCheckBox* bold_;
    QCheckBox* struck_;
    QComboBox* timeDisplay_;
    QComboBox* genre_;
    EntryColourButton* colour_;
    QLineEdit* link_;
    QLabel* alarm_;
};

class CTodoInputDlg : public QDialog {
    Q_OBJECT
  public:
    CTodoInputDlg(const CAlmxData& record, EntryDialogContext context, QWidget* parent = nullptr);
    void accept() override;
    const CAlmxData& Record() const { return record_; }

  private:
    void Read();
    void Enable();

    CAlmxData record_;
    TodoForm form_;
    EntryDialogContext context_;
    QCheckBox* done_;
    DateField* deadline_;
    QCheckBox* lead_;
    QSpinBox* leadDays_;
    DateField* completion_;
    QCheckBox* hide_;
    QComboBox* importance_;
    QLineEdit* title_;
    QLineEdit* place_;
    QPlainTextEdit* memo_;
    EntryColourButton* colour_;
    QCheckBox* bold_;
    QCheckBox* struck_;
    QComboBox* genre_;
    QLineEdit* link_;
};

// 0 to count - 1 of the genre combo; a record's genre beyond the list is added as its number
// so that OK keeps it.
void FillGenres(QComboBox* box, const std::vector<std::string>& names, int genre);

}  // namespace almx
