#pragma once
// How the alarm check reaches the user in the program: the main window, the alarm window,
// its sound and desktop notification, the linked file and the mail sender.

#include <QPointer>
#include <functional>
#include <memory>

#include "reminders/alarm_check.h"

class QWidget;

namespace almx {

struct AppContext;
class DesktopNotifier;
class DocumentHost;

class AlarmPresenter : public AlarmUi {
  public:
    AlarmPresenter(QWidget* mainWindow, AppContext& context);
    ~AlarmPresenter() override;

    // The document whose check runs (its linked files are opened relative to it).
    void SetDocument(DocumentHost* host) { host_ = host; }
    // Whether the first mail account has a server.
    std::function<bool()> mailReady;
    // Tests answer the window themselves; empty: the modal CAlermDlg.
    std::function<bool(const AlarmNotice&)> window;

    void RestoreMainWindow() override;
    bool MailReady() override;
    void HandMail(std::vector<AlarmMail> mails) override;
    void PlaySound(const std::string& wave) override;
    void ShowNotification(const AlarmNotice& notice) override;
    bool ShowAlarmWindow(const AlarmNotice& notice) override;
    void OpenLink(const CAlmxData& entry) override;

    DesktopNotifier* Notifier() const { return notifier_.get(); }

  private:
    QWidget* mainWindow_;
    AppContext& context_;
    DocumentHost* host_ = nullptr;
    std::unique_ptr<DesktopNotifier> notifier_;
    // The notification shown for the window about to open.
    unsigned pendingNotice_ = 0;
};

namespace alarm_messages {
inline constexpr const char* kMailNotSent = "アラームのメールを送信できませんでした。";
}

}  // namespace almx
