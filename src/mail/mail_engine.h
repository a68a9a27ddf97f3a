#pragma once
// The process's one mail engine: SendQueue composes the messages (asking its questions
// before any connection), then runs the optional POP3 login and the SMTP dialogue over the
// transport, one batch per connection, and reports each batch's outcome by callback.

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mail/mail_composer.h"
#include "mail/mail_message.h"
#include "mail/mail_server_config.h"
#include "mail/mail_transport.h"
#include "mail/pop_session.h"
#include "mail/smtp_session.h"

namespace almx {
class Clock;
class Prompter;
}  // namespace almx

namespace almx::mail {

// The folder of "smail.log", "rec.log" and "smail.$$$": $XDG_STATE_HOME/Almanix, else
// ~/.local/state/Almanix.
std::filesystem::path MailStateFolder();

// What the window "電子メール" shows.
class MailProgress {
  public:
    virtual ~MailProgress() = default;
    virtual void ShowProgress(const std::string& line1, const std::string& line2) = 0;
    virtual void SetProgress(int done, int total) = 0;
    virtual void HideProgress() = 0;
};

struct SendOutcome {
    std::vector<int> states;  // per message given, in order: CMail::kSent or kWaiting
    std::string error;        // the first message shown, if any
    bool AllSent() const;
};

class MailEngine : private TransportListener {
  public:
    using Done = std::function<void(const SendOutcome&)>;

    MailEngine(MailTransport& transport, Prompter& prompter, const Clock& clock,
               std::filesystem::path stateFolder);
    ~MailEngine() override;

    void SetProgress(MailProgress* progress) { progress_ = progress; }
    // Address-book expansion, signatures and the attachment reader of the composer.
    void SetComposeHooks(ComposeContext hooks) { hooks_ = std::move(hooks); }

    // Copies every message of state 3 and sends them with the account; done is called once
    // with the outcome (also when nothing could be sent). A call while a sending runs waits
    // for the next connection.
    void SendQueue(const std::vector<CMail>& mails, const MailServerConfig& config, Done done);
    bool Busy() const { return active_ != nullptr; }

  private:
    struct Batch {
        MailServerConfig config;
        std::vector<OutgoingMessage> outgoing;
        std::vector<int> index;  // message number of each outgoing message
        SendOutcome outcome;
        Done done;
    };

    void OnConnected(const std::string& localAddress) override;
    void OnConnectFailed(bool hostNotFound) override;
    void OnBytes(std::string_view bytes) override;
    void OnTlsReady() override;
    void OnTlsFailed(const std::string& reason) override;
    void OnClosed() override;
    void OnTimer() override;

    void Dispatch(std::function<SessionActions()> event);
    void Apply(const SessionActions& actions);
    void StartNext();
    void StartSmtp();
    void Finish();
    void Show(const std::string& message);
    void Log(const std::string& bytes);
    bool Spool(const std::string& data);
    std::optional<std::string> WriteLan(const std::string& folder, const std::string& content);

    MailTransport& transport_;
    Prompter& prompter_;
    const Clock& clock_;
    std::filesystem::path folder_;
    MailProgress* progress_ = nullptr;
    ComposeContext hooks_;
    std::deque<std::unique_ptr<Batch>> waiting_;
    std::unique_ptr<Batch> active_;
    std::unique_ptr<PopSession> pop_;
    std::unique_ptr<SmtpSession> smtp_;
    std::string logName_;
    bool inMessageBox_ = false;
    std::deque<std::function<SessionActions()>> held_;
    std::uint64_t counter_ = 0;
};

}  // namespace almx::mail
