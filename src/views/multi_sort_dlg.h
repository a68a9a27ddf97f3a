#pragma once
// CMultiSortDlg (整列): the key positions of a list's order with their directions. Every button
// acts on the list's key list at once; the list refills when the dialog closes.

#include <QDialog>

#include "core/multi_sort.h"

class QListWidget;
class QPushButton;

namespace almx {

class CMultiSortDlg : public QDialog {
    Q_OBJECT
  public:
    CMultiSortDlg(SortListKind kind, SortKeyList& keys, QWidget* parent = nullptr);

    QListWidget& List() { return *list_; }
    // The buttons, as a click would press them.
    void MoveUp();
    void MoveDown();
    void SetDirection(bool descending);

  private:
    void Show(int selected);

    MultiSortForm form_;
    QListWidget* list_;
};

}  // namespace almx
