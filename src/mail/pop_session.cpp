#include "mail/pop_session.h"

#include <algorithm>

#include "mail/md5.h"

namespace almx::mail {

namespace {

bool Positive(const std::string& line) {
    return line.rfind("+OK", 0) == 0;
}

}  // namespace

PopSession::PopSession(MailServerConfig config) : config_(std::move(config)) {}

void PopSession::Send(SessionActions& a, std::string_view line, std::string_view logged) {
    a.send.append(line);
    a.log.emplace_back(logged.empty() ? line : logged);
}

void PopSession::Expect(State next, std::int64_t timeoutMs, std::int64_t nowMs) {
    state_ = next;
    deadline_ = nowMs + timeoutMs;
}

void PopSession::Break(SessionActions& a, std::string message) {
    a.error = std::move(message);
    a.close = true;
    a.finished = true;
    broken_ = true;
    state_ = State::Done;
    deadline_.reset();
}

void PopSession::Quit(SessionActions& a, std::int64_t nowMs) {
    a.statuses.push_back("切断中");
    Send(a, "QUIT\r\n");
    Expect(State::Quit, kReplyTimeoutMs, nowMs);
}

SessionActions PopSession::Start(std::int64_t nowMs) {
    SessionActions a;
    a.statuses.push_back(config_.accountName + "から受信中...");
    a.statuses.push_back("初期化中");
    a.statuses.push_back("POPサーバ接続中");
    Expect(State::Connecting, kConnectTimeoutMs, nowMs);
    return a;
}

SessionActions PopSession::Connected(std::int64_t nowMs) {
    SessionActions a;
    if (state_ != State::Connecting) return a;
    tls_ = config_.popSsl == 2;
    a.statuses.push_back("POP認証中...");
    Expect(State::Greeting, kReplyTimeoutMs, nowMs);
    return a;
}

SessionActions PopSession::ConnectFailed(bool hostNotFound, std::int64_t) {
    SessionActions a;
    if (state_ == State::Done) return a;
    Break(a, hostNotFound ? "ホストが見つかりません(" + config_.popServer + ")"
                          : std::string("Err:POPサーバに接続できません"));
    return a;
}

SessionActions PopSession::TlsFailed(std::string_view reason, std::int64_t) {
    SessionActions a;
    if (state_ == State::Done) return a;
    Break(a, "SSL/TLS接続に失敗しました：" + CleanServerText(reason));
    return a;
}

SessionActions PopSession::TlsReady(std::int64_t nowMs) {
    SessionActions a;
    if (state_ != State::TlsHandshake) return a;
    tls_ = true;
    Login(a, nowMs);
    return a;
}

SessionActions PopSession::Closed(std::int64_t) {
    SessionActions a;
    if (state_ != State::Done) ConnectionLost(a);
    return a;
}

SessionActions PopSession::Tick(std::int64_t nowMs) {
    SessionActions a;
    if (deadline_ && nowMs >= *deadline_ && state_ != State::Done) ConnectionLost(a);
    return a;
}

// The connection went or the wait ran out: after QUIT that is the end in order (the login is
// over, so a server slow to say goodbye does not stop the sending), else a failure.
void PopSession::ConnectionLost(SessionActions& a) {
    if (state_ == State::Quit) {
        state_ = State::Done;
        deadline_.reset();
        a.close = true;
        a.finished = true;
        return;
    }
    Break(a, state_ == State::Connecting ? "Err:POPサーバに接続できません" : "応答がありません");
}

SessionActions PopSession::Received(std::string_view bytes, std::int64_t nowMs) {
    SessionActions a;
    if (state_ == State::Done || bytes.empty()) return a;
    a.log.emplace_back(bytes);
    if (state_ == State::TlsHandshake) {
        Break(a, "SSL/TLS接続に失敗しました：暗号化の前に余分なデータを受信しました");
        return a;
    }
    reader_.Feed(bytes);
    while (state_ != State::Done && state_ != State::TlsHandshake) {
        std::optional<std::string> line = reader_.NextLine();
        if (!line) break;
        if (line->size() > kMaxReplyLine) break;
        OnLine(*line, a, nowMs);
    }
    if (state_ == State::TlsHandshake && reader_.Pending()) {
        Break(a, "SSL/TLS接続に失敗しました：暗号化の前に余分なデータを受信しました");
    } else if (state_ != State::Done && reader_.TooLong()) {
        Break(a, "応答がありません");
    }
    return a;
}

void PopSession::Login(SessionActions& a, std::int64_t nowMs) {
    if (config_.apop) {
        if (timestamp_.empty()) {
            a.error = "POPサーバがAPOPに対応していません";
            return Quit(a, nowMs);
        }
        a.statuses.push_back("ホスト接続中");
        const std::string digest = ToHex(Md5(timestamp_ + config_.password));
        Send(a, "APOP " + config_.user + " " + digest + "\r\n",
             "APOP " + config_.user + " ******\r\n");
        return Expect(State::Apop, kReplyTimeoutMs, nowMs);
    }
    a.statuses.push_back("ホスト接続中");
    Send(a, "USER " + config_.user + "\r\n");
    Expect(State::User, kReplyTimeoutMs, nowMs);
}

void PopSession::OnLine(const std::string& line, SessionActions& a, std::int64_t nowMs) {
    switch (state_) {
        case State::Greeting: {
            if (!Positive(line)) return Break(a, "Err:POPサーバに接続できません");
            const std::size_t open = line.find('<');
            const std::size_t close = open == std::string::npos ? open : line.find('>', open);
            if (close != std::string::npos) timestamp_ = line.substr(open, close - open + 1);
            if (config_.popSsl == 1 && !tls_) {
                Send(a, "STLS\r\n");
                return Expect(State::Stls, kReplyTimeoutMs, nowMs);
            }
            return Login(a, nowMs);
        }
        case State::Stls:
            if (!Positive(line)) {
                a.error = "サーバが暗号化(STARTTLS)に対応していません";
                broken_ = true;
                return Quit(a, nowMs);
            }
            a.startTls = true;
            return Expect(State::TlsHandshake, kReplyTimeoutMs, nowMs);
        case State::User:
            if (!Positive(line)) {
                a.error = "パスワードエラー：" + CleanServerText(line);
                return Quit(a, nowMs);
            }
            a.statuses.push_back("パスワード確認中");
            Send(a, "PASS " + config_.password + "\r\n", "PASS ******\r\n");
            return Expect(State::Pass, kReplyTimeoutMs, nowMs);
        case State::Pass:
        case State::Apop:
            if (!Positive(line)) a.error = "パスワードエラー：" + CleanServerText(line);
            return Quit(a, nowMs);
        case State::Quit:
            state_ = State::Done;
            deadline_.reset();
            a.close = true;
            a.finished = true;
            return;
        default:
            return Break(a, "Err:POPサーバに接続できません");
    }
}

}  // namespace almx::mail
