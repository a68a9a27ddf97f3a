#include "app/alarm_presenter.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "app/app_context.h"
#include "base/prompter.h"
#include "calendar/ui/entry_commands.h"
#include "reminders/ui/alarm_dialog.h"
#include "reminders/ui/dbus/desktop_notifier.h"
#include "reminders/ui/reminders_log.h"
#include "ui/document_host.h"

namespace almx {

AlarmPresenter::AlarmPresenter(QWidget* mainWindow, AppContext& context)
    : mainWindow_(mainWindow), context_(context), notifier_(std::make_unique<DesktopNotifier>()) {}

AlarmPresenter::~AlarmPresenter() = default;

void AlarmPresenter::RestoreMainWindow() {
    // Keeps a maximised window maximised.
    if (mainWindow_ && mainWindow_->isMinimized()) {
        mainWindow_->setWindowState(mainWindow_->windowState() & ~Qt::WindowMinimized);
        mainWindow_->show();
    }
}

bool AlarmPresenter::MailReady() {
    return mailReady && mailReady();
}

void AlarmPresenter::HandMail(std::vector<AlarmMail> mails) {
    // The sender copies what it is given, so the next minute cannot free a message in flight.
    std::vector<OutgoingMail> outgoing;
    outgoing.reserve(mails.size());
    for (AlarmMail& mail : mails) {
        outgoing.push_back({std::move(mail.to), std::move(mail.subject), std::move(mail.body)});
    }
    if (context_.sendMail && context_.sendMail(outgoing)) return;
    for (const OutgoingMail& mail : outgoing) {
        qCWarning(lcReminders) << "alarm mail to" << QString::fromStdString(mail.to)
                               << "not sent: the sender refused it";
    }
    context_.prompter->ShowMessage(alarm_messages::kMailNotSent, MessageKind::Warning);
}

void AlarmPresenter::PlaySound(const std::string& wave) {
    // The window plays it, so that closing the window stops it.
    qCInfo(lcReminders) << "alarm sound"
                        << (wave.empty() ? QStringLiteral("(beep)") : QString::fromStdString(wave));
}

void AlarmPresenter::ShowNotification(const AlarmNotice& notice) {
    pendingNotice_ = static_cast<unsigned>(
        notifier_->Show(QString::fromStdString(notice.entry.title),
                        QString::fromStdString(NotificationBody(notice)), !notice.wave.empty()));
}

bool AlarmPresenter::ShowAlarmWindow(const AlarmNotice& notice) {
    const quint64 handle = pendingNotice_;
    pendingNotice_ = 0;
    qCInfo(lcReminders) << "alarm" << QString::fromStdString(WindowTexts(notice).time)
                        << QString::fromStdString(notice.entry.title);
    bool snoozed = false;
    if (window) {
        snoozed = window(notice);
    } else {
        const CAlmxData entry = notice.entry;
        QPointer<CAlermDlg> dialog = new CAlermDlg(
            notice, *context_.settings, context_.display, *context_.prompter,
            [this, entry] { OpenLink(entry); }, mainWindow_);
        QObject::connect(notifier_.get(), &DesktopNotifier::Activated, dialog,
                         [dialog, handle](quint64 activated) {
                             if (activated != handle || !dialog) return;
                             dialog->show();
                             dialog->raise();
                             dialog->activateWindow();
                         });
        snoozed = dialog->exec() == QDialog::Accepted;
        delete dialog;
    }
    if (handle) notifier_->Close(handle);
    return snoozed;
}

void AlarmPresenter::OpenLink(const CAlmxData& entry) {
    if (!host_ || entry.linkFile.empty()) return;
    qCInfo(lcReminders) << "alarm link" << QString::fromStdString(entry.linkFile);
    almx::OpenLink(mainWindow_, *host_, context_.ForEntries(), &entry);
}

}  // namespace almx
