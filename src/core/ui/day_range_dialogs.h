#pragma once
// 範囲指定して色の変更 (CDayColorSpanDlg) and 範囲指定で色指定の解除 (CDayColorSpanDelDlg):
// the controls of DayRangeFields; the checks and the change are the form's.

#include <QDialog>

#include "core/day_property.h"

class QLineEdit;
class QPushButton;

namespace almx {

class Prompter;

class CDayColorSpanDlg : public QDialog {
    Q_OBJECT
  public:
    CDayColorSpanDlg(DayPropertyMap& properties, const DayRangeFields& preset, Prompter& prompter,
                     QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* FirstEdit() const { return first_; }
    QLineEdit* LastEdit() const { return last_; }
    std::uint32_t Colour() const { return colour_; }
    void SetColour(std::uint32_t colour);

  protected:
    CDayColorSpanDlg(DayPropertyMap& properties, const DayRangeFields& preset, Prompter& prompter,
                     bool withColour, QWidget* parent);
    DayRangeFields Fields() const;
    DayPropertyMap& properties_;
    Prompter& prompter_;

  private:
    QLineEdit* first_;
    QLineEdit* last_;
    QPushButton* colourButton_ = nullptr;
    std::uint32_t colour_;
};

class CDayColorSpanDelDlg : public CDayColorSpanDlg {
    Q_OBJECT
  public:
    CDayColorSpanDelDlg(DayPropertyMap& properties, const DayRangeFields& preset,
                        Prompter& prompter, QWidget* parent = nullptr);
    void accept() override;
};

}  // namespace almx
