#pragma once
// The memo view's dialogs: the modeless find/replace dialog, and the reorder dialog that works
// on a copy of the memo list (MemoSortForm) which the view applies on OK.

#include <QDialog>

#include "reminders/memo_book.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace almx {

class CMemoFindDlg : public QDialog {
    Q_OBJECT
  public:
    // replace: with the replacement field and its two buttons.
    CMemoFindDlg(const MemoFindState& state, bool replace, QWidget* parent = nullptr);

    // Shows or hides the replacement part (the dialog is reused for both commands).
    void SetReplaceMode(bool replace);
    bool ReplaceMode() const { return replaceMode_; }
    // The controls' state.
    MemoFindState State() const;

    QLineEdit* WhatEdit() const { return what_; }
    QLineEdit* ReplacementEdit() const { return replacement_; }
    QCheckBox* CaseBox() const { return case_; }
    QRadioButton* UpButton() const { return up_; }
    QRadioButton* DownButton() const { return down_; }
    QPushButton* FindNextButton() const { return findNext_; }
    QPushButton* ReplaceButton() const { return replace_; }
    QPushButton* ReplaceAllButton() const { return replaceAll_; }
    QPushButton* CancelButton() const { return cancel_; }

  signals:
    void FindNextRequested();
    void ReplaceRequested();
    void ReplaceAllRequested();

  private:
    QLineEdit* what_;
    QLabel* replacementLabel_;
    QLineEdit* replacement_;
    QCheckBox* case_;
    QRadioButton* up_;
    QRadioButton* down_;
    QPushButton* findNext_;
    QPushButton* replace_;
    QPushButton* replaceAll_;
    QPushButton* cancel_;
    bool replaceMode_ = false;
};

class CMemoSortDlg : public QDialog {
    Q_OBJECT
  public:
    CMemoSortDlg(MemoSortForm& form, QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    void Up();
    void Down();

  private:
    void Fill();

    MemoSortForm& form_;
    QListWidget* list_;
};

}  // namespace almx
