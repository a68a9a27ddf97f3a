#pragma once
// Small pieces the entry dialogs share: text conversion, the date field with its calendar
// button, the 48-entry time combo box, the colour button and the OK/cancel row.

#include <QColor>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time.h"

class QDialog;

namespace almx {

class Clock;
class Prompter;
class SettingsStore;

// What the schedule and to-do dialogs need besides the record.
struct EntryDialogContext {
    Prompter& prompter;
    const SettingsStore& settings;  // "Edit"/"Cancel"
    const Clock& clock;             // the time picker's start, a to-do's "now"
    std::vector<std::string> genres;
    bool readOnly = false;
    // The link dialog for a schedule text and its current link; nothing when cancelled. Empty:
    // links cannot be edited here.
    std::function<std::optional<std::string>(QWidget* parent, const std::string& title,
                                             const std::string& link)>
        editLink = nullptr;
};

inline QString ToQ(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string FromQ(const QString& text) {
    return text.toStdString();
}

QColor ColourToQ(std::uint32_t colour);  // 0x00BBGGRR
std::uint32_t ColourFromQ(const QColor& colour);

// A calendar to pick a date; nullopt when cancelled.
std::optional<DateTime> PickDate(QWidget* parent, const DateTime& initial);

// A date text with a カレンダー button beside it.
class DateField : public QWidget {
    Q_OBJECT
  public:
    explicit DateField(QWidget* parent = nullptr);
    std::string Text() const { return FromQ(edit_->text()); }
    void SetText(std::string_view text) { edit_->setText(ToQ(text)); }
    QLineEdit* Edit() { return edit_; }

  signals:
    void Edited();

  private:
    QLineEdit* edit_;
    QPushButton* button_;
};

// An editable combo box listing "00:00", "00:30", ... "23:30".
class TimeCombo : public QComboBox {
    Q_OBJECT
  public:
    explicit TimeCombo(QWidget* parent = nullptr);
    std::string Text() const { return FromQ(currentText()); }
    void SetText(std::string_view text) { setEditText(ToQ(text)); }
};

// A button showing a colour; clicking opens the colour chooser.
class EntryColourButton : public QPushButton {
    Q_OBJECT
  public:
    EntryColourButton(const QString& caption, QWidget* parent = nullptr);
    std::uint32_t Colour() const { return colour_; }
    void SetColour(std::uint32_t colour);

  signals:
    void ColourChanged(std::uint32_t colour);

  private:
    void Choose();
    std::uint32_t colour_ = 0;
};

// OK and キャンセル, wired to the dialog's accept and reject.
QDialogButtonBox* OkCancelButtons(QDialog* dialog);

}  // namespace almx
