#pragma once
// The day dialog (CDayDlg): the entries of one day as the day-cell model lists them, with
// buttons that add, edit, copy and delete through the entry commands.

#include <QDialog>
#include <vector>

#include "calendar/day_cells.h"
#include "calendar/ui/entry_commands.h"

class QListWidget;
class QPushButton;

namespace almx {

class CDayDlg : public QDialog {
    Q_OBJECT
  public:
    CDayDlg(DocumentHost& host, const EntryEnvironment& env, const DateTime& day,
            QWidget* parent = nullptr);
    ~CDayDlg() override;

    // Whether anything was changed while the dialog was open.
    bool Changed() const { return changed_; }
    // The rows' texts (for tests).
    std::vector<std::string> Rows() const;
    void SelectRow(int row);

    void AddSchedule();
    void AddTodo();
    void Edit();
    void Copy();
    void Delete();

  private:
    void Fill(int select);
    const CAlmxData* Selected() const;
    void Done(bool changed, int select);

    DocumentHost& host_;
    EntryEnvironment env_;
    DateTime day_;
    DayCellSet cells_;
    QListWidget* list_;
    QPushButton* edit_;
    QPushButton* copy_;
    QPushButton* delete_;
    bool changed_ = false;
};

}  // namespace almx
