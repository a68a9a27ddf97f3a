#include "mail/mail_engine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "base/clock.h"
#include "base/file_io.h"
#include "base/prompter.h"

namespace almx::mail {

namespace {

// Appends (or, with truncate, replaces) bytes in a file only its owner may read.
bool WritePrivate(const std::filesystem::path& path, std::string_view bytes, bool truncate) {
    const int fd = ::open(path.c_str(),
                          O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : O_APPEND), 0600);
    if (fd < 0) return false;
    ::fchmod(fd, 0600);
    bool ok = true;
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0 && ok;
}

bool EnsureFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) return false;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, ec);
    return true;
}

}  // namespace

std::filesystem::path MailStateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/') return std::filesystem::path(state) / "Almanix";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/tmp") / ".local/state/Almanix";
}

bool SendOutcome::AllSent() const {
    for (int s : states) {
        if (s != CMail::kSent) return false;
    }
    return true;
}

MailEngine::MailEngine(MailTransport& transport, Prompter& prompter, const Clock& clock,
                       std::filesystem::path stateFolder)
    : transport_(transport), prompter_(prompter), clock_(clock), folder_(std::move(stateFolder)) {
    transport_.SetListener(this);
}

MailEngine::~MailEngine() {
    transport_.SetListener(nullptr);
}

void MailEngine::Show(const std::string& message) {
    // Socket events that come while the box is open wait until it is closed.
    inMessageBox_ = true;
    prompter_.ShowMessage(message, MessageKind::Warning);
    inMessageBox_ = false;
}

void MailEngine::Log(const std::string& bytes) {
    if (!logName_.empty()) WritePrivate(folder_ / logName_, bytes, false);
}

bool MailEngine::Spool(const std::string& data) {
    return EnsureFolder(folder_) && WritePrivate(folder_ / "smail.$$$", data, true);
}

std::optional<std::string> MailEngine::WriteLan(const std::string& folder,
                                                const std::string& content) {
    std::string path = folder;
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    if (!path.empty() && path.back() != '/') path += '/';
    path += "inbox.log";
    // Someone else reads this file: the umask decides who.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    if (ok) {
        ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
        ok = ::close(fd) == 0 && ok;
    }
    if (ok) return std::nullopt;
    return "エラー：LANメール送信先が開けません\n\n" + folder;
}

void MailEngine::SendQueue(const std::vector<CMail>& mails, const MailServerConfig& config,
                           Done done) {
    auto batch = std::make_unique<Batch>();
    batch->config = config;
    batch->done = std::move(done);
    batch->outcome.states.assign(mails.size(), CMail::kWaiting);
    const auto report = [&](const std::string& message) {
        if (batch->outcome.error.empty()) batch->outcome.error = message;
        Show(message);
    };
    bool any = false;
    for (const CMail& m : mails) any = any || m.state == CMail::kWaiting;
    if (any && (config.smtpServer.empty() || config.fromAddress.empty())) {
        report("メール設定を行ってください");
        if (batch->done) batch->done(batch->outcome);
        return;
    }
    for (std::size_t i = 0; i < mails.size(); ++i) {
        if (mails[i].state != CMail::kWaiting) {
            batch->outcome.states[i] = mails[i].state;
            continue;
        }
        ComposeContext context = hooks_;
        context.config = &batch->config;
        context.prompter = &prompter_;
        context.now = clock_.Now();
        context.seed = static_cast<std::uint64_t>(transport_.NowMs()) * 7919 + ++counter_ * 104729 +
                       static_cast<std::uint64_t>(context.now.SecondsOfDay());
        if (!context.readFile) {
            context.readFile = [](const std::string& path) -> std::optional<std::string> {
                FileBytes file = ReadFileBytes(path);
                if (file.status != ReadStatus::Complete) return std::nullopt;
                return std::move(file.bytes);
            };
        }
        const ComposedMail composed = ComposeMail(mails[i], context);
        if (!composed.Ok()) {
            if (!composed.error.empty()) report(composed.error);
            continue;
        }
        bool lanFailed = false;
        for (const std::string& folder : composed.lanFolders) {
            if (auto error = WriteLan(folder, composed.lanContent)) {
                report(*error);
                lanFailed = true;
            }
        }
        if (composed.envelope.empty()) {
            if (!lanFailed) batch->outcome.states[i] = CMail::kSent;
            continue;
        }
        OutgoingMessage out{composed.mailFrom, composed.envelope, DotStuff(composed.content)};
        if (!Spool(out.data)) {
            report("スプールファイルに書き込めません：" + (folder_ / "smail.$$$").string());
            continue;
        }
        batch->outgoing.push_back(std::move(out));
        batch->index.push_back(static_cast<int>(i));
    }
    if (batch->outgoing.empty()) {
        if (batch->done) batch->done(batch->outcome);
        return;
    }
    waiting_.push_back(std::move(batch));
    if (!active_) StartNext();
}

void MailEngine::StartNext() {
    if (waiting_.empty()) return;
    active_ = std::move(waiting_.front());
    waiting_.pop_front();
    EnsureFolder(folder_);
    const MailServerConfig& config = active_->config;
    if (config.popBefore) {
        logName_ = "rec.log";
        WritePrivate(folder_ / logName_, "", true);
        // The receive bookkeeping file the login opens; nothing is written to it.
        WritePrivate(folder_ / "inbox.log", "", false);
        pop_ = std::make_unique<PopSession>(config);
        Apply(pop_->Start(transport_.NowMs()));
        transport_.Connect({config.popServer, config.popPort, config.popSsl == 2, config.caFile});
        return;
    }
    StartSmtp();
}

void MailEngine::StartSmtp() {
    pop_.reset();
    held_.clear();  // what the POP3 connection still had to say
    const MailServerConfig& config = active_->config;
    logName_ = "smail.log";
    WritePrivate(folder_ / logName_, "", true);
    if (progress_) progress_->ShowProgress("送信中...", "初期化中");
    smtp_ = std::make_unique<SmtpSession>(config, active_->outgoing);
    Apply(smtp_->Start(transport_.NowMs()));
    transport_.Connect({config.smtpServer, config.smtpPort, config.smtpSsl == 2, config.caFile});
}

void MailEngine::Finish() {
    held_.clear();
    smtp_.reset();
    pop_.reset();
    logName_.clear();
    transport_.SetDeadline(std::nullopt);
    if (progress_) progress_->HideProgress();
    std::unique_ptr<Batch> batch = std::move(active_);
    if (batch && batch->done) batch->done(batch->outcome);
    StartNext();
}

void MailEngine::Apply(const SessionActions& a) {
    for (const std::string& line : a.log) Log(line);
    if (progress_) {
        for (const std::string& status : a.statuses) {
            const bool heading =
                status.size() > 3 && status.compare(status.size() - 3, 3, "...") == 0;
            if (!heading) progress_->ShowProgress(pop_ ? "POP認証中..." : "送信中...", status);
        }
        if (a.progress) progress_->SetProgress(a.progress->first, a.progress->second);
    }
    if (!a.send.empty()) transport_.Send(a.send);
    if (a.startTls) transport_.StartTls();
    for (int sent : a.sent) {
        if (active_ && sent >= 0 && static_cast<std::size_t>(sent) < active_->index.size())
            active_->outcome.states[active_->index[sent]] = CMail::kSent;
    }
    if (a.close) transport_.Close();
    if (pop_)
        transport_.SetDeadline(pop_->Deadline());
    else if (smtp_)
        transport_.SetDeadline(smtp_->Deadline());
    if (a.error) {
        if (active_ && active_->outcome.error.empty()) active_->outcome.error = *a.error;
        Show(*a.error);
    }
    if (!a.finished) return;
    if (pop_) {
        if (pop_->SmtpMayFollow()) {
            StartSmtp();
            return;
        }
    }
    Finish();
}

void MailEngine::Dispatch(std::function<SessionActions()> event) {
    if (inMessageBox_ || !active_) {
        if (active_) held_.push_back(std::move(event));
        return;
    }
    Apply(event());
    while (!held_.empty() && !inMessageBox_ && active_) {
        auto next = std::move(held_.front());
        held_.pop_front();
        Apply(next());
    }
}

void MailEngine::OnConnected(const std::string& localAddress) {
    Dispatch([this, localAddress] {
        const std::int64_t now = transport_.NowMs();
        return pop_    ? pop_->Connected(now)
               : smtp_ ? smtp_->Connected(localAddress, now)
                       : SessionActions{};
    });
}

void MailEngine::OnConnectFailed(bool hostNotFound) {
    Dispatch([this, hostNotFound] {
        const std::int64_t now = transport_.NowMs();
        return pop_    ? pop_->ConnectFailed(hostNotFound, now)
               : smtp_ ? smtp_->ConnectFailed(hostNotFound, now)
                       : SessionActions{};
    });
}

void MailEngine::OnBytes(std::string_view bytes) {
    Dispatch([this, data = std::string(bytes)] {
        const std::int64_t now = transport_.NowMs();
        return pop_    ? pop_->Received(data, now)
               : smtp_ ? smtp_->Received(data, now)
                       : SessionActions{};
    });
}

void MailEngine::OnTlsReady() {
    Dispatch([this] {
        const std::int64_t now = transport_.NowMs();
        return pop_ ? pop_->TlsReady(now) : smtp_ ? smtp_->TlsReady(now) : SessionActions{};
    });
}

void MailEngine::OnTlsFailed(const std::string& reason) {
    Dispatch([this, reason] {
        const std::int64_t now = transport_.NowMs();
        return pop_    ? pop_->TlsFailed(reason, now)
               : smtp_ ? smtp_->TlsFailed(reason, now)
                       : SessionActions{};
    });
}

void MailEngine::OnClosed() {
    Dispatch([this] {
        const std::int64_t now = transport_.NowMs();
        return pop_ ? pop_->Closed(now) : smtp_ ? smtp_->Closed(now) : SessionActions{};
    });
}

void MailEngine::OnTimer() {
    Dispatch([this] {
        const std::int64_t now = transport_.NowMs();
        return pop_ ? pop_->Tick(now) : smtp_ ? smtp_->Tick(now) : SessionActions{};
    });
}

}  // namespace almx::mail
