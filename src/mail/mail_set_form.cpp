#include "mail/mail_set_form.h"

#include <charconv>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/text_entry_check.h"
#include "mail/mail_settings.h"

namespace almx {

namespace t = mail_set_texts;

namespace {

std::string Trimmed(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

CMailSetForm::CMailSetForm(MailSettings& mail, SettingsStore& settings, Prompter& prompter)
    : mail_(mail), settings_(settings), prompter_(prompter) {}

MailAccountEnabling CMailSetForm::EnablingFor(int auth) {
    switch (auth) {
        case kPopBefore:
            return {true, true, true, true};
        case kSmtpAuth:
            return {true, true, false, false};
        default:
            return {};
    }
}

void CMailSetForm::Load() {
    mail_.Reload();
    mailTo = settings_.GetString("System", "MailTo", "");
    const MailAccount a =
        mail_.Accounts().empty() ? mail_.DefaultAccount(0) : mail_.Accounts().front();
    smtp = a.smtp;
    from = a.address;
    port = std::to_string(a.smtpPort);
    user = a.userId;
    password = a.password;
    pop = a.pop;
    apop = a.apop;
    ssl = a.smtpSsl;
    auth = a.popBefore ? kPopBefore : (a.smtpAuth ? kSmtpAuth : kNone);
    bothFlags_ = a.popBefore && a.smtpAuth;
    loadedAuth_ = auth;
}

bool CMailSetForm::Accept() {
    const std::string portText = Trimmed(port);
    int portNumber = 0;
    const auto [end, ec] =
        std::from_chars(portText.data(), portText.data() + portText.size(), portNumber);
    if (portText.empty() || ec != std::errc() || end != portText.data() + portText.size() ||
        portNumber < 1 || portNumber > 65535) {
        prompter_.ShowMessage(t::kBadPort, MessageKind::Warning);
        return false;
    }
    if (!CheckRepresentable(prompter_, {{"SMTPサーバ", smtp},
                                        {"送信先アドレス", mailTo},
                                        {"Fromアドレス", from},
                                        {"ユーザ名", user},
                                        {"パスワード", password},
                                        {"POPサーバ", pop}})) {
        return false;
    }
    settings_.SetString("System", "MailTo", Trimmed(mailTo));
    if (mail_.Accounts().empty()) mail_.Accounts().push_back(mail_.DefaultAccount(0));
    MailAccount& a = mail_.Accounts().front();
    a.smtp = Trimmed(smtp);
    a.address = Trimmed(from);
    a.smtpPort = portNumber;
    a.userId = Trimmed(user);
    a.password = password;
    a.pop = Trimmed(pop);
    a.apop = apop;
    a.popBefore = auth == kPopBefore;
    // An account that asked for both keeps SMTP AUTH while the choice stays as it was shown.
    a.smtpAuth = auth == kSmtpAuth || (bothFlags_ && auth == loadedAuth_);
    // One choice for both servers: POP before SMTP normally talks to the same provider.
    const int choice = ssl < 0 || ssl > 2 ? 0 : ssl;
    a.smtpSsl = choice;
    if (a.popSsl != choice) {
        if (choice == mail_ssl::kImplicit && a.popPort == 110) a.popPort = 995;
        if (choice != mail_ssl::kImplicit && a.popPort == 995) a.popPort = 110;
        a.popSsl = choice;
    }
    mail_.SetCurrentIndex(0);
    if (!mail_.SaveAccounts()) {
        prompter_.ShowMessage(std::string(t::kSaveFailed) + mail_.Path(), MessageKind::Error);
        return false;
    }
    return true;
}

}  // namespace almx
