#pragma once
// 年月日の指定: one date, preset by the caller (delete old schedules).

#include <QDialog>
#include <optional>

#include "base/date_time.h"

class QDateEdit;

namespace almx {

class DateDialog : public QDialog {
    Q_OBJECT
  public:
    DateDialog(const QString& prompt, const DateTime& preset, QWidget* parent = nullptr);
    DateTime Date() const;

  private:
    QDateEdit* edit_;
};

// The chosen date, or nullopt when cancelled.
std::optional<DateTime> AskDate(QWidget* parent, const QString& prompt, const DateTime& preset);

}  // namespace almx
