#pragma once
// The one way the program's commands hand messages to the sending engine, and the test mail
// built on it. The engine is connected by whoever owns it; until then the function is empty
// and the commands say that sending is not available.

#include <functional>
#include <string>
#include <vector>

namespace almx {

class MailSettings;
class Prompter;
class SettingsStore;

// A plain-text message for the current account.
struct OutgoingMail {
    std::string to;
    std::string subject;
    std::string body;
    std::string attachment{};  // full path of one file, or empty
};

// Queues the messages for sending; false when they were refused (the engine has told the
// user why).
using MailSendFunction = std::function<bool(const std::vector<OutgoingMail>& messages)>;

namespace mail_outbox_messages {
inline constexpr const char* kMailNotSet = "エラー：メールの設定がされていません";
inline constexpr const char* kMailServerNotSet = "エラー：メールのサーバ設定がされていません";
inline constexpr const char* kNoRecipient = "送信先を指定してください";
inline constexpr const char* kSendUnavailable = "メールの送信機能は、まだ使用できません";
inline constexpr const char* kTestSubject = "Almanix通知";
inline constexpr const char* kTestBody = "TEST";
}  // namespace mail_outbox_messages

// Whether mail can be sent at all: an account exists and the first one names an SMTP server.
enum class MailReadiness { NoAccount, NoServer, Ready };
MailReadiness CheckMailReadiness(const MailSettings& mail);

// The test mail: one message to "MailTo" with subject "Almanix通知" and body "TEST". The
// settings are checked first (the alarm-mail toggle's messages, then a missing recipient);
// an empty send function says sending is not available. True when the message was queued.
bool SendTestMail(const MailSettings& mail, const SettingsStore& settings,
                  const MailSendFunction& send, Prompter& prompter);

}  // namespace almx
