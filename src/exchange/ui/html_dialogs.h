#pragma once
// HTML出力 and its options: Qt dialogs bound to the settings structures of exchange/html_calendar.
// The section is a parameter so the diary's pages can reuse the output dialog.

#include <QDialog>

#include "exchange/html_calendar.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace almx {

class SettingsStore;

class CHtmlOutDlg : public QDialog {
    Q_OBJECT
  public:
    // The fields come from request (texts and "Navi" as loaded, the range as preset).
    CHtmlOutDlg(HtmlMonthOutSettings& request, SettingsStore& settings, QWidget* parent = nullptr,
                const char* section = "HtmlMonthOut");

    // Whether "出力してプレビュー" closed the dialog.
    bool Preview() const { return preview_; }

    QLineEdit* folderEdit;
    QLineEdit* fileEdit;
    QLineEdit* topEdit;
    QLineEdit* backUrlEdit;
    QCheckBox* naviBox;
    QLineEdit* mobileFileEdit;
    QLineEdit* mobileTopEdit;
    QSpinBox* startYear;
    QSpinBox* startMonth;
    QSpinBox* endYear;
    QSpinBox* endMonth;

    // Takes every field and stores it (both confirm buttons).
    void Confirm(bool preview);

  private:
    HtmlMonthOutSettings& request_;
    SettingsStore& settings_;
    const char* section_;
    bool preview_ = false;
};

class CHtmlOptionDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CHtmlOptionDlg(SettingsStore& settings, QWidget* parent = nullptr);
    void accept() override;

    QCheckBox* fontTagBox;
    QCheckBox* colorBox;
    QCheckBox* backColorBox;
    QCheckBox* cssOutBox;
    QLineEdit* cssColorEdit;
    QLineEdit* viewWidthEdit;

  private:
    SettingsStore& settings_;
};

}  // namespace almx
