#pragma once
// The main frame's option dialogs: 曜日色 (CWeekCol), 日付表示形式 (CDayDrawDlg), 通知設定
// (CAlermSetDlg) and the sheet その他の設定 with its pages 動作, 編集 and ファイル. Each binds
// its controls to a form of app/option_forms.h; OK hands the form back.

#include <QDialog>
#include <array>

#include "app/option_forms.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace almx {

class ColourButton;

class CWeekCol : public QDialog {
    Q_OBJECT
  public:
    CWeekCol(const WeekColourForm& form, QWidget* parent = nullptr);
    WeekColourForm Form() const;
    ColourButton* Button(int weekday) const { return buttons_[static_cast<std::size_t>(weekday)]; }

  private:
    std::array<ColourButton*, 7> buttons_{};
};

class CDayDrawDlg : public QDialog {
    Q_OBJECT
  public:
    CDayDrawDlg(const DayDrawForm& form, QWidget* parent = nullptr);
    DayDrawForm Form() const;

  private:
    QButtonGroup* position_;
    QButtonGroup* frame_;
};

class CAlermSetDlg : public QDialog {
    Q_OBJECT
  public:
    CAlermSetDlg(const AlarmSettingsForm& form, QWidget* parent = nullptr);
    AlarmSettingsForm Form() const;

  private:
    QSpinBox* minutes_;
    QLineEdit* wave_;
    QComboBox* mode_;
};

class CHolidayDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kTitle = "休日の設定";
    CHolidayDlg(const HolidayForm& form, QWidget* parent = nullptr);
    HolidayForm Form() const;
    QCheckBox* Shunbun() const { return shunbun_; }
    QCheckBox* Hurikae() const { return hurikae_; }

  private:
    QCheckBox* shunbun_;
    QCheckBox* hurikae_;
};

class COptionSheet : public QDialog {
    Q_OBJECT
  public:
    COptionSheet(const OtherSettingsForm& form, QWidget* parent = nullptr);
    OtherSettingsForm Form() const;
    QTabWidget* Pages() const { return pages_; }

  private:
    QWidget* SystemPage();
    QWidget* EditPage();
    QWidget* FilePage();

    OtherSettingsForm form_;
    QTabWidget* pages_;
    // 動作
    QComboBox* startLayout_;
    QCheckBox* initTodo_;
    QCheckBox* showFirst_;
    QCheckBox* schSort_;
    QCheckBox* viewDateSync_;
    QCheckBox* noLastCur_;
    QCheckBox* shunbun_;
    QCheckBox* hurikae_;
    QSpinBox* todayLimit_;
    // 編集
    QComboBox* scheduleGenre_;
    QComboBox* viewTime_;
    QComboBox* todoGenre_;
    QCheckBox* defaultKigen_;
    QSpinBox* defaultDays_;
    QCheckBox* ime_;
    QCheckBox* confirmCancel_;
    // ファイル
    QCheckBox* absolutePath_;
    QButtonGroup* newDirMode_;
    QLineEdit* newDir_;
    QComboBox* saveSpan_;
    QCheckBox* sharedFile_;
};

}  // namespace almx
