#pragma once
// カレンダー, エクスポート and テキストコピー: Qt dialogs bound to the forms of exchange/, the
// clipboard, and the CSV file choosers of the exchange commands.

#include <QDialog>
#include <optional>
#include <string>

#include "base/date_time.h"
#include "exchange/export_forms.h"
#include "exchange/range_export.h"

class QCheckBox;
class QLineEdit;

namespace almx {

class Clock;
class CVeltaCalenderCtrl;

// The date picker: the program's month calendar with six rows, so every day of a month can be
// picked; OK or a double click takes the selected date. Today is marked by the clock's today
// (the system's without one).
class CCalenderDlg : public QDialog {
    Q_OBJECT
  public:
    CCalenderDlg(const DateTime& date, QWidget* parent = nullptr, const Clock* clock = nullptr);
    DateTime Date() const;
    CVeltaCalenderCtrl* Calendar() const { return calendar_; }

  private:
    CVeltaCalenderCtrl* calendar_;
};

// A date text box's "ｶﾚﾝﾀﾞ" button: opens the picker on the box's date (today when it holds
// none) and writes the chosen date back.
void PickDateInto(QLineEdit* edit, const Clock& clock, QWidget* parent);

class CExportCsvDlg : public QDialog {
    Q_OBJECT
  public:
    CExportCsvDlg(CExportCsvForm& form, const Clock& clock, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* startEdit;
    QLineEdit* endEdit;
    QLineEdit* fileEdit;
    QCheckBox* hiddenBox;

  private:
    CExportCsvForm& form_;
};

class CTextCopyDlg : public QDialog {
    Q_OBJECT
  public:
    CTextCopyDlg(CTextCopyForm& form, const Clock& clock, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* startEdit;
    QLineEdit* endEdit;
    QCheckBox* yearBox;
    QCheckBox* weekdayBox;

  private:
    CTextCopyForm& form_;
};

// The system clipboard, plain text.
class QtClipboard : public ClipboardSink {
  public:
    void SetText(const std::string& text) override;
};

// A CSV file to write or read: filter "*.csv *.CSV" (and every file when reading), default
// suffix csv, the current folder left alone. Empty when cancelled.
std::string ChooseCsvFile(QWidget* parent, const char* title, const std::string& initial,
                          bool forSaving);

}  // namespace almx
