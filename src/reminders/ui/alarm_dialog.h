#pragma once
// The alarm window: one schedule whose notification minute came, with the snooze minutes.
// Stays above other windows, plays "AlermWave" once (or beeps) and stops it when it closes.

#include <QDialog>
#include <functional>
#include <memory>

#include "reminders/alarm_check.h"

class QLineEdit;
class QPushButton;
class QSoundEffect;
class QSpinBox;

namespace almx {

class Prompter;
class SettingsStore;
struct DisplaySettings;

class CAlermDlg : public QDialog {
    Q_OBJECT
  public:
    // openLink opens the entry's linked file as the link commands do.
    CAlermDlg(const AlarmNotice& notice, SettingsStore& settings, DisplaySettings& display,
              Prompter& prompter, std::function<void()> openLink, QWidget* parent = nullptr);
    ~CAlermDlg() override;

    QSpinBox* SnoozeMinutes() const { return snooze_; }
    QPushButton* SnoozeButton() const { return snoozeButton_; }
    QPushButton* CloseButton() const { return closeButton_; }
    QPushButton* OpenButton() const { return openButton_; }
    QLineEdit* Field(const char* objectName) const;
    // Whether a wave file is playing (false after the window closed).
    bool SoundPlaying() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    void Snooze();
    void StopSound();

    SettingsStore& settings_;
    DisplaySettings& display_;
    Prompter& prompter_;
    std::function<void()> openLink_;
    QSpinBox* snooze_;
    QPushButton* snoozeButton_;
    QPushButton* closeButton_;
    QPushButton* openButton_;
    QSoundEffect* sound_ = nullptr;
    bool placed_ = false;
};

// Plays a wave file once, asynchronously, or beeps when the path is empty; the effect it
// returns keeps playing until it is destroyed or stopped. Null when it beeped.
QSoundEffect* PlayAlarmSound(const std::string& wave, QObject* owner);

}  // namespace almx
