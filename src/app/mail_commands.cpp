#include "app/mail_commands.h"

#include "app/app_context.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "document/document.h"
#include "exchange/export_forms.h"
#include "exchange/range_export.h"
#include "mail/mail_hooks.h"
#include "mail/mail_outbox.h"
#include "mail/mail_settings.h"
#include "mail/ui/mail_dialogs.h"
#include "mail/ui/program_mail.h"

namespace almx {

std::string MailFolderOf(const AppContext& context) {
    return context.mailFolder.empty() ? MailSettings::DefaultFolder() : context.mailFolder;
}

MailSetup CurrentMailSetup(const AppContext& context) {
    MailSettings mail(MailFolderOf(context));
    mail.Reload();
    switch (CheckMailReadiness(mail)) {
        case MailReadiness::NoAccount:
            return MailSetup::NoAccount;
        case MailReadiness::NoServer:
            return MailSetup::NoServer;
        case MailReadiness::Ready:
            break;
    }
    return MailSetup::Ready;
}

MailSendFunction ProgramMailSender(const AppContext& context, mail::ProgramMail& engine) {
    return [&context, &engine](const std::vector<OutgoingMail>& messages) {
        auto settings = std::make_shared<MailSettings>(MailFolderOf(context));
        settings->Reload();
        engine.SetComposeHooks(ComposeHooksFrom(settings, *context.clock, *context.prompter));
        std::vector<mail::CMail> mails;
        mails.reserve(messages.size());
        for (const OutgoingMail& message : messages) {
            mail::CMail mail;
            mail.to = message.to;
            mail.subject = message.subject;
            mail.body = message.body;
            mail.attachment = message.attachment;
            mails.push_back(std::move(mail));
        }
        // The engine reports failures itself; nothing waits on the outcome here.
        engine.SendQueue(mails, settings->Sender(), [](const mail::SendOutcome&) {});
        return true;
    };
}

void RunMailSettings(AppContext& context, QWidget* parent) {
    MailSettings mail(MailFolderOf(context));
    CMailSetForm form(mail, *context.settings, *context.prompter);
    form.Load();
    CMailSetDlg dialog(form, parent);
    dialog.exec();
}

void RunTestMail(AppContext& context) {
    MailSettings mail(MailFolderOf(context));
    mail.Reload();
    SendTestMail(mail, *context.settings, context.sendMail, *context.prompter);
}

void RunScheduleMail(CAlmxDoc& doc, AppContext& context, QWidget* parent) {
    CTextMailForm form(*context.settings, *context.prompter);
    form.Preset(Today(*context.clock, context.display.todayLimit));
    CTextMailDlg dialog(form, *context.clock, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    if (context.launcher == nullptr) return;
    CAlmxArray& array = doc.Array();
    const DayCellSource source{array.records, &array.genres, &array.dayProperties};
    CAlmxTextExport exporter(source, form.start, form.end,
                             {*context.settings, *context.clock, *context.prompter});
    MailSchedulesAsText(form, exporter, DayTextCopyOptions(*context.settings), *context.launcher,
                        *context.prompter);
}

}  // namespace almx
