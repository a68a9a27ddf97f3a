#include "mail/smtp_session.h"

#include <algorithm>

#include "mail/base64.h"
#include "mail/md5.h"

namespace almx::mail {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '=') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

std::string ErrorText(const SmtpReply& reply) {
    return "エラーが発生しました：" + CleanServerText(reply.Text());
}

}  // namespace

SmtpSession::SmtpSession(MailServerConfig config, std::vector<OutgoingMessage> messages)
    : config_(std::move(config)), messages_(std::move(messages)) {}

void SmtpSession::Send(SessionActions& a, std::string_view line, std::string_view logged) {
    a.send.append(line);
    a.log.emplace_back(logged.empty() ? line : logged);
}

void SmtpSession::Expect(State next, std::int64_t timeoutMs, std::int64_t nowMs) {
    state_ = next;
    deadline_ = nowMs + timeoutMs;
}

std::string SmtpSession::Hello(bool extended) const {
    std::string literal = localAddress_.empty() ? "127.0.0.1" : localAddress_;
    literal =
        literal.find(':') != std::string::npos ? "[IPv6:" + literal + "]" : "[" + literal + "]";
    return std::string(extended ? "EHLO " : "HELO ") + literal + "\r\n";
}

SessionActions SmtpSession::Start(std::int64_t nowMs) {
    SessionActions a;
    a.statuses.push_back("SMTPサーバ接続中");
    Expect(State::Connecting, kConnectTimeoutMs, nowMs);
    return a;
}

SessionActions SmtpSession::Connected(std::string_view localAddress, std::int64_t nowMs) {
    SessionActions a;
    if (state_ != State::Connecting) return a;
    localAddress_ = std::string(localAddress);
    tls_ = config_.smtpSsl == 2;
    Expect(State::Greeting, kReplyTimeoutMs, nowMs);
    return a;
}

SessionActions SmtpSession::ConnectFailed(bool hostNotFound, std::int64_t) {
    SessionActions a;
    if (state_ == State::Done) return a;
    Drop(a, hostNotFound ? "ホストが見つかりません(" + config_.smtpServer + ")"
                         : std::string("SMTPサーバに接続できません"));
    return a;
}

SessionActions SmtpSession::TlsFailed(std::string_view reason, std::int64_t) {
    SessionActions a;
    if (state_ == State::Done) return a;
    Drop(a, "SSL/TLS接続に失敗しました：" + CleanServerText(reason));
    return a;
}

SessionActions SmtpSession::Closed(std::int64_t) {
    SessionActions a;
    if (state_ != State::Done) ConnectionLost(a);
    return a;
}

SessionActions SmtpSession::Tick(std::int64_t nowMs) {
    SessionActions a;
    if (deadline_ && nowMs >= *deadline_ && state_ != State::Done) ConnectionLost(a);
    return a;
}

// The connection went or the wait ran out: after QUIT that is the end in order, else a
// failure.
void SmtpSession::ConnectionLost(SessionActions& a) {
    if (state_ == State::Quit) {
        state_ = State::Done;
        deadline_.reset();
        a.close = true;
        a.finished = true;
        return;
    }
    Drop(a, state_ == State::Connecting ? "SMTPサーバに接続できません" : kNoResponse);
}

SessionActions SmtpSession::TlsReady(std::int64_t nowMs) {
    SessionActions a;
    if (state_ != State::TlsHandshake) return a;
    tls_ = true;
    Send(a, Hello(true));
    Expect(State::HelloAgain, kReplyTimeoutMs, nowMs);
    return a;
}

SessionActions SmtpSession::Received(std::string_view bytes, std::int64_t nowMs) {
    SessionActions a;
    if (state_ == State::Done || bytes.empty()) return a;
    a.log.emplace_back(bytes);
    if (state_ == State::TlsHandshake) {
        // Clear text after the go-ahead for TLS would be read as if it came encrypted.
        Drop(a,
             "SSL/TLS接続に失敗しました：" + std::string("暗号化の前に余分なデータを受信しました"));
        return a;
    }
    reader_.Feed(bytes);
    while (state_ != State::Done && state_ != State::TlsHandshake) {
        std::optional<SmtpReply> reply = reader_.Next();
        if (!reply) break;
        OnReply(*reply, a, nowMs);
    }
    if (state_ == State::TlsHandshake && reader_.Pending()) {
        Drop(a,
             "SSL/TLS接続に失敗しました：" + std::string("暗号化の前に余分なデータを受信しました"));
        return a;
    }
    if (state_ != State::Done && reader_.Error() != ReplyError::None) {
        const bool quitting = state_ == State::Quit;
        const std::string message = reader_.Error() == ReplyError::TooLong
                                        ? "エラーが発生しました：サーバの応答が長すぎます"
                                        : "エラーが発生しました：サーバの応答が正しくありません";
        if (quitting) {
            state_ = State::Done;
            deadline_.reset();
            a.close = true;
            a.finished = true;
        } else {
            Drop(a, message);
        }
    }
    return a;
}

void SmtpSession::Drop(SessionActions& a, std::string message) {
    a.error = std::move(message);
    a.close = true;
    a.finished = true;
    state_ = State::Done;
    deadline_.reset();
}

void SmtpSession::Fail(SessionActions& a, std::string message, std::int64_t nowMs) {
    a.error = std::move(message);
    Quit(a, nowMs);
}

void SmtpSession::Quit(SessionActions& a, std::int64_t nowMs) {
    a.statuses.push_back("切断中");
    Send(a, "QUIT\r\n");
    Expect(State::Quit, std::clamp<std::int64_t>(config_.smailTimeMs, 0, kQuitWaitLimitMs), nowMs);
}

void SmtpSession::AfterHello(const SmtpReply& reply, SessionActions& a, std::int64_t nowMs) {
    mechanisms_.clear();
    authListed_ = false;
    startTlsOffered_ = false;
    for (std::size_t i = 1; i < reply.lines.size(); ++i) {
        const std::string line = reply.lines[i].size() > 4 ? reply.lines[i].substr(4) : "";
        std::vector<std::string> words = Words(Upper(line));
        if (words.empty()) continue;
        if (words[0] == "STARTTLS") startTlsOffered_ = true;
        if (words[0] == "AUTH") {
            authListed_ = true;
            mechanisms_.insert(mechanisms_.end(), words.begin() + 1, words.end());
        }
    }
    if (config_.smtpSsl == 1 && !tls_) {
        if (!startTlsOffered_) {
            Fail(a, "サーバが暗号化(STARTTLS)に対応していません", nowMs);
            return;
        }
        Send(a, "STARTTLS\r\n");
        Expect(State::StartTls, kReplyTimeoutMs, nowMs);
        return;
    }
    if (config_.smtpAuth) {
        StartAuth(a, nowMs);
        return;
    }
    NextMessage(a, nowMs);
}

void SmtpSession::StartAuth(SessionActions& a, std::int64_t nowMs) {
    a.statuses.push_back("SMTP認証開始");
    const auto listed = [this](const char* name) {
        return std::find(mechanisms_.begin(), mechanisms_.end(), name) != mechanisms_.end();
    };
    cramFallback_ = !authListed_;
    if (!authListed_ || listed("CRAM-MD5")) {
        Send(a, "AUTH CRAM-MD5\r\n");
        Expect(State::AuthCram, kReplyTimeoutMs, nowMs);
    } else if (listed("LOGIN")) {
        a.statuses.push_back("SMTP PLAIN認証開始");
        Send(a, "AUTH LOGIN\r\n");
        Expect(State::AuthLoginUser, kReplyTimeoutMs, nowMs);
    } else if (listed("PLAIN")) {
        a.statuses.push_back("SMTP認証中");
        std::string credentials;
        credentials += '\0';
        credentials += config_.user;
        credentials += '\0';
        credentials += config_.password;
        Send(a, "AUTH PLAIN " + Base64EncodeBytes(credentials) + "\r\n", "AUTH PLAIN ******\r\n");
        Expect(State::AuthResult, kReplyTimeoutMs, nowMs);
    } else {
        Fail(a, "SMTP認証をサポートしていません", nowMs);
    }
}

void SmtpSession::NextMessage(SessionActions& a, std::int64_t nowMs) {
    if (message_ >= messages_.size()) {
        Quit(a, nowMs);
        return;
    }
    recipient_ = 0;
    Send(a, "MAIL FROM:<" + messages_[message_].mailFrom + ">\r\n");
    Expect(State::MailFrom, kReplyTimeoutMs, nowMs);
}

void SmtpSession::OnReply(const SmtpReply& reply, SessionActions& a, std::int64_t nowMs) {
    const int code = reply.code;
    switch (state_) {
        case State::Greeting:
            if (code != 220) return Fail(a, ErrorText(reply), nowMs);
            Send(a, Hello(config_.smtpAuth || config_.smtpSsl != 0));
            return Expect(State::Hello, kReplyTimeoutMs, nowMs);
        case State::Hello:
        case State::HelloAgain:
            if (code != 250) return Fail(a, ErrorText(reply), nowMs);
            return AfterHello(reply, a, nowMs);
        case State::StartTls:
            if (code != 220) return Fail(a, "サーバが暗号化(STARTTLS)に対応していません", nowMs);
            a.startTls = true;
            return Expect(State::TlsHandshake, kReplyTimeoutMs, nowMs);
        case State::AuthCram:
            if (code == 334) {
                const std::string line = reply.lines.back();
                const std::string challenge = Base64Decode(line.size() > 4 ? line.substr(4) : "");
                const std::string response =
                    config_.user + " " + ToHex(HmacMd5(config_.password, challenge));
                a.statuses.push_back("SMTP認証中");
                Send(a, Base64Encode(response) + "\r\n", "******\r\n");
                return Expect(State::AuthResult, kReplyTimeoutMs, nowMs);
            }
            if (!cramFallback_) return Fail(a, ErrorText(reply), nowMs);
            a.statuses.push_back("SMTP PLAIN認証開始");
            Send(a, "AUTH LOGIN\r\n");
            return Expect(State::AuthLoginUser, kReplyTimeoutMs, nowMs);
        case State::AuthLoginUser:
            if (code != 334) return Fail(a, "SMTP認証をサポートしていません", nowMs);
            a.statuses.push_back("SMTP USER認証中");
            Send(a, Base64EncodeBytes(config_.user) + "\r\n");
            return Expect(State::AuthLoginPass, kReplyTimeoutMs, nowMs);
        case State::AuthLoginPass:
            if (code != 334) return Fail(a, "SMTP認証をサポートしていません", nowMs);
            a.statuses.push_back("SMTP PASSWORD認証中");
            Send(a, Base64EncodeBytes(config_.password) + "\r\n", "******\r\n");
            return Expect(State::AuthResult, kReplyTimeoutMs, nowMs);
        case State::AuthResult:
            if (code != 235) return Fail(a, ErrorText(reply), nowMs);
            return NextMessage(a, nowMs);
        case State::MailFrom:
        case State::RcptTo: {
            if (code != 250 && !(state_ == State::RcptTo && code == 251))
                return Fail(a, ErrorText(reply), nowMs);
            const OutgoingMessage& m = messages_[message_];
            if (recipient_ < m.envelope.size()) {
                a.statuses.push_back("送信先送信中：" + std::to_string(recipient_ + 1) + "/" +
                                     std::to_string(m.envelope.size()));
                Send(a, "RCPT TO:<" + m.envelope[recipient_++] + ">\r\n");
                return Expect(State::RcptTo, kReplyTimeoutMs, nowMs);
            }
            a.statuses.push_back("メール送信中：" + std::to_string(message_ + 1) + "/" +
                                 std::to_string(messages_.size()));
            a.progress = {static_cast<int>(message_) + 1, static_cast<int>(messages_.size())};
            Send(a, "DATA\r\n");
            return Expect(State::Data, kReplyTimeoutMs, nowMs);
        }
        case State::Data:
            if (code != 354) return Fail(a, ErrorText(reply), nowMs);
            Send(a, messages_[message_].data);
            return Expect(State::DataEnd, kDataEndTimeoutMs, nowMs);
        case State::DataEnd:
            if (code != 250) return Fail(a, ErrorText(reply), nowMs);
            sent_.push_back(static_cast<int>(message_));
            a.sent.push_back(static_cast<int>(message_));
            ++message_;
            return NextMessage(a, nowMs);
        case State::Quit:
            state_ = State::Done;
            deadline_.reset();
            a.close = true;
            a.finished = true;
            return;
        default:
            // A reply nobody asked for (before the greeting was awaited): the server is not
            // speaking SMTP with us.
            return Drop(a, ErrorText(reply));
    }
}

}  // namespace almx::mail
