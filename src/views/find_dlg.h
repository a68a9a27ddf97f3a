#pragma once
// CAlmxFindDlg (検索): edits a copy of a search condition; Result() after "開始".

#include <QDialog>

#include "core/search_condition.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace almx {

class CAlmxFindDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAlmxFindDlg(const SearchCondition& condition, QWidget* parent = nullptr);

    // The condition as the controls hold it (targets as ticked, possibly none).
    SearchCondition Result() const;

    QLineEdit* TextBox() const { return text_; }
    QComboBox* ModeBox() const { return mode_; }
    QCheckBox* IgnoreCaseBox() const { return ignoreCase_; }
    QCheckBox* IgnoreWidthBox() const { return ignoreWidth_; }
    QCheckBox* TargetBox(int bit) const;

  private:
    SearchCondition condition_;
    QLineEdit* text_;
    QComboBox* mode_;
    QCheckBox* ignoreCase_;
    QCheckBox* ignoreWidth_;
    QCheckBox* title_;
    QCheckBox* place_;
    QCheckBox* memo_;
};

// Runs the dialog centred on the parent; on "開始" the condition takes the edits.
bool AskFindConditionDialog(QWidget* parent, SearchCondition& condition);

}  // namespace almx
