#pragma once
// The mail settings dialog without widgets: the fields of the first account and the alarm
// recipient, the enabling of the account fields, the checks and the write-back.

#include <string>

namespace almx {

class MailSettings;
class Prompter;
class SettingsStore;

namespace mail_set_texts {
inline constexpr const char* kCaption = "メール設定";
inline constexpr const char* kSmtp = "SMTPサーバ(&S):";
inline constexpr const char* kMailTo = "送信先アドレス(&M):";
inline constexpr const char* kFrom = "&Fromアドレス:";
inline constexpr const char* kAuth = "認証(&N):";
inline constexpr const char* kAuthNone = "なし";
inline constexpr const char* kAuthPopBefore = "POP Before SMTP";
inline constexpr const char* kAuthSmtp = "SMTP AUTH";
inline constexpr const char* kPort = "SMTPポート(&P):";
inline constexpr const char* kAccountGroup = "認証時アカウント";
inline constexpr const char* kUser = "ユーザ名(&U):";
inline constexpr const char* kPassword = "パスワード(&P):";
inline constexpr const char* kPop = "P&OPサーバ:";
inline constexpr const char* kApop = "&APOP";
inline constexpr const char* kSsl = "暗号化(&E):";
inline constexpr const char* kSslNone = "なし";
inline constexpr const char* kSslStartTls = "STARTTLS";
inline constexpr const char* kSslTls = "SSL/TLS";
inline constexpr const char* kBadPort = "SMTPポートには1～65535の数値を入力してください";
inline constexpr const char* kSaveFailed = "メール設定を保存できませんでした：";
}  // namespace mail_set_texts

// Which account fields the authentication choice enables.
struct MailAccountEnabling {
    bool user = false;
    bool password = false;
    bool pop = false;
    bool apop = false;
};

class CMailSetForm {
  public:
    enum Auth { kNone = 0, kPopBefore = 1, kSmtpAuth = 2 };

    CMailSetForm(MailSettings& mail, SettingsStore& settings, Prompter& prompter);

    // Reloads the accounts and fills the fields from the first one and "MailTo".
    void Load();
    // OK: false (after the message) keeps the dialog open.
    bool Accept();

    static MailAccountEnabling EnablingFor(int auth);

    std::string smtp;
    std::string mailTo;
    std::string from;
    int auth = kNone;
    std::string port = "25";
    std::string user;
    std::string password;
    std::string pop;
    bool apop = false;
    int ssl = 0;  // 0 none, 1 STARTTLS, 2 SSL/TLS

  private:
    MailSettings& mail_;
    SettingsStore& settings_;
    Prompter& prompter_;
    bool bothFlags_ = false;  // the account asked for POP before SMTP and SMTP AUTH at once
    int loadedAuth_ = kNone;
};

}  // namespace almx
