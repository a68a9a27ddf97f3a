#pragma once
// CSortDlg (整列): one key and a direction for re-ordering the whole document.

#include <QDialog>

#include "core/record_sort.h"

class QComboBox;

namespace almx {

struct SortChoice {
    SortKey key = SortKey::Start;
    SortOrder order = SortOrder::Ascending;
};

class CSortDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CSortDlg(QWidget* parent = nullptr);

    SortChoice Choice() const;
    QComboBox* KeyBox() const { return key_; }
    QComboBox* OrderBox() const { return order_; }

  private:
    QComboBox* key_;
    QComboBox* order_;
};

}  // namespace almx
