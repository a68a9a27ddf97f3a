#include "exchange/ftp_client.h"

#include <algorithm>
#include <charconv>

#include "text/encoding.h"

namespace almx {

namespace {

namespace m = ftp_messages;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<int> ParsePort(std::string_view text) {
    int port = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

// A reply's text as a detail: one line, printable, bounded.
std::string Detail(const FtpReplyReader::Reply& reply) {
    std::string out = std::to_string(reply.code) + " ";
    std::string_view text = reply.text;
    // The text starts with the code and a separator on the first line.
    if (text.size() >= 4) text.remove_prefix(4);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out.push_back(byte < 0x20 || byte == 0x7F ? ' ' : c);
        if (out.size() >= 300) break;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// "229 Entering Extended Passive Mode (|||6446|)".
std::optional<int> EpsvPort(std::string_view text) {
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos || open + 4 >= text.size()) return std::nullopt;
    const char d = text[open + 1];
    if (text[open + 2] != d || text[open + 3] != d) return std::nullopt;
    const std::size_t start = open + 4;
    const std::size_t end = text.find(d, start);
    if (end == std::string_view::npos) return std::nullopt;
    return ParsePort(text.substr(start, end - start));
}

// "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)": only the port is used; the data
// connection goes to the control connection's peer whatever address the reply names.
std::optional<int> PasvPort(std::string_view text) {
    if (text.size() < 4) return std::nullopt;
    std::size_t i = 4;
    while (i < text.size() && !IsDigit(text[i])) ++i;
    int numbers[6];
    for (int n = 0; n < 6; ++n) {
        int value = 0;
        auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value);
        if (error != std::errc() || value < 0 || value > 255) return std::nullopt;
        numbers[n] = value;
        i = static_cast<std::size_t>(end - text.data());
        if (n < 5) {
            if (i >= text.size() || text[i] != ',') return std::nullopt;
            ++i;
        }
    }
    const int port = numbers[4] * 256 + numbers[5];
    if (port == 0) return std::nullopt;
    return port;
}

bool UsableRemoteName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && !HasControlCharacter(name);
}

}  // namespace

std::optional<FtpEndpoint> ParseFtpHost(std::string_view field) {
    FtpEndpoint endpoint;
    if (field.empty()) return std::nullopt;
    if (field.front() == '[') {
        const std::size_t close = field.find(']');
        if (close == std::string_view::npos || close == 1) return std::nullopt;
        endpoint.host = std::string(field.substr(1, close - 1));
        std::string_view rest = field.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            std::optional<int> port = ParsePort(rest.substr(1));
            if (!port) return std::nullopt;
            endpoint.port = *port;
        }
        return endpoint;
    }
    const std::size_t colon = field.find(':');
    if (colon != std::string_view::npos && field.find(':', colon + 1) == std::string_view::npos) {
        std::optional<int> port = ParsePort(field.substr(colon + 1));
        if (!port || colon == 0) return std::nullopt;
        endpoint.host = std::string(field.substr(0, colon));
        endpoint.port = *port;
        return endpoint;
    }
    endpoint.host = std::string(field);  // a name, or a v6 address without brackets
    return endpoint;
}

std::string RemoteNameOf(std::string_view localPath) {
    const std::size_t slash = localPath.rfind('/');
    return std::string(slash == std::string_view::npos ? localPath : localPath.substr(slash + 1));
}

std::string ToNetworkText(std::string_view piece, bool& lastWasCr) {
    std::string out;
    out.reserve(piece.size() + piece.size() / 32);
    for (char c : piece) {
        if (c == '\n' && !lastWasCr) out.push_back('\r');
        out.push_back(c);
        lastWasCr = c == '\r';
    }
    return out;
}

bool FtpReplyReader::TakeLine(std::string& line) {
    const std::size_t lf = buffer_.find('\n', scanned_);
    if (lf == std::string::npos) {
        scanned_ = buffer_.size();
        if (buffer_.size() > kMaxLine) malformed_ = true;
        return false;
    }
    if (lf > kMaxLine) {
        malformed_ = true;
        return false;
    }
    line.assign(buffer_, 0, lf);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    buffer_.erase(0, lf + 1);
    scanned_ = 0;
    return true;
}

bool FtpReplyReader::Feed(std::string_view bytes) {
    if (malformed_) return false;
    buffer_.append(bytes);
    std::string line;
    while (!malformed_ && TakeLine(line)) {
        const bool coded = line.size() >= 3 && IsDigit(line[0]) && IsDigit(line[1]) &&
                           IsDigit(line[2]) &&
                           (line.size() == 3 || line[3] == ' ' || line[3] == '-');
        const int code = coded ? (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0') : 0;
        if (pendingCode_ == 0) {
            if (!coded || code < 100 || code > 599) {
                malformed_ = true;
                break;
            }
            if (line.size() > 3 && line[3] == '-') {
                pendingCode_ = code;
                pending_.push_back(line);
                continue;
            }
            ready_.push_back({code, line});
            continue;
        }
        pending_.push_back(line);
        if (pending_.size() > kMaxLines) {
            malformed_ = true;
            break;
        }
        if (coded && code == pendingCode_ && (line.size() == 3 || line[3] == ' ')) {
            Reply reply{pendingCode_, {}};
            for (std::size_t i = 0; i < pending_.size(); ++i) {
                if (i) reply.text.push_back('\n');
                reply.text += pending_[i];
            }
            ready_.push_back(std::move(reply));
            pending_.clear();
            pendingCode_ = 0;
        }
    }
    return !malformed_;
}

std::optional<FtpReplyReader::Reply> FtpReplyReader::Next() {
    if (ready_.empty()) return std::nullopt;
    Reply reply = std::move(ready_.front());
    ready_.erase(ready_.begin());
    return reply;
}

CVeltaFtp::CVeltaFtp(FtpSettings settings, std::vector<FtpFile> files)
    : settings_(std::move(settings)), files_(std::move(files)) {}

void CVeltaFtp::Push(ActionKind kind) {
    actions_.push_back(Action{kind, {}, {}, 0, false, 0});
}

std::vector<CVeltaFtp::Action> CVeltaFtp::TakeActions() {
    std::vector<Action> out;
    out.swap(actions_);
    return out;
}

std::optional<FtpClock> CVeltaFtp::Deadline() const {
    if (!Running()) return std::nullopt;
    if (stallWatch_) return windowStart_ + kStallWindow;
    return deadline_;
}

bool CVeltaFtp::InConnect() const {
    switch (step_) {
        case Step::Idle:
        case Step::Connecting:
        case Step::Greeting:
        case Step::AuthTls:
        case Step::TlsHandshake:
        case Step::Pbsz:
        case Step::Prot:
        case Step::User:
        case Step::Pass:
        case Step::Cwd:
            return true;
        default:
            return false;
    }
}

void CVeltaFtp::Fail(std::string_view detail) {
    if (!Running()) return;
    const bool connecting = InConnect();
    message_ = connecting ? m::kConnectError : m::kTransferError;
    message_ += ":";
    if (connecting) {
        message_ += detail;
    } else {
        message_ += current_ >= 0 ? files_[static_cast<std::size_t>(current_)].localPath : "";
        if (!detail.empty()) {
            message_ += "\n";
            message_ += detail;
        }
    }
    outcome_ = Outcome::Failed;
    step_ = Step::Done;
    stallWatch_ = false;
    deadline_.reset();
    if (dataOpen_) Push(ActionKind::CloseData);
    Push(ActionKind::CloseControl);
}

void CVeltaFtp::Succeed() {
    outcome_ = Outcome::Succeeded;
    step_ = Step::Done;
    deadline_.reset();
    Push(ActionKind::CloseControl);
}

void CVeltaFtp::Cancel() {
    if (!Running()) return;
    outcome_ = Outcome::Cancelled;
    step_ = Step::Done;
    stallWatch_ = false;
    deadline_.reset();
    if (dataOpen_) Push(ActionKind::CloseData);
    Push(ActionKind::CloseControl);
}

void CVeltaFtp::Start(FtpClock now) {
    if (step_ != Step::Idle) return;
    std::optional<FtpEndpoint> endpoint = ParseFtpHost(settings_.host);
    if (HasControlCharacter(settings_.host) || HasControlCharacter(settings_.user) ||
        HasControlCharacter(settings_.password) || HasControlCharacter(settings_.folder)) {
        Fail(m::kBadCharacters);
        actions_.clear();  // nothing was opened
        return;
    }
    if (!endpoint || endpoint->host.empty()) {
        Fail(m::kBadHost);
        actions_.clear();
        return;
    }
    // A bad name is refused before anything is sent, so nothing is half uploaded.
    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (!UsableRemoteName(files_[i].remoteName)) {
            step_ = Step::Type;  // a transfer failure of that file
            current_ = static_cast<int>(i);
            Fail(m::kBadRemoteName);
            actions_.clear();
            return;
        }
    }
    endpoint_ = *endpoint;
    status_ = m::kConnecting;
    step_ = Step::Connecting;
    deadline_ = now + kConnectLimit;
    Action connect{ActionKind::ConnectControl, {}, endpoint_.host, endpoint_.port, false, 0};
    actions_.push_back(std::move(connect));
}

void CVeltaFtp::ControlConnected(FtpClock now) {
    if (step_ != Step::Connecting) return;
    step_ = Step::Greeting;
    deadline_ = now + kReplyLimit;
}

void CVeltaFtp::Command(std::string_view text, Step next, FtpClock now) {
    Action send{ActionKind::SendControl, std::string(text) + "\r\n", {}, 0, false, 0};
    actions_.push_back(std::move(send));
    step_ = next;
    deadline_ = now + kReplyLimit;
}

void CVeltaFtp::ControlBytes(std::string_view bytes, FtpClock now) {
    if (!Running()) return;
    if (!reader_.Feed(bytes)) {
        Fail(m::kBadReply);
        return;
    }
    while (Running()) {
        std::optional<FtpReplyReader::Reply> reply = reader_.Next();
        if (!reply) break;
        OnReply(*reply, now);
    }
}

void CVeltaFtp::ControlTlsReady(FtpClock now) {
    if (step_ != Step::TlsHandshake) return;
    Command("PBSZ 0", Step::Pbsz, now);
}

void CVeltaFtp::ControlClosed(std::string_view detail, FtpClock) {
    if (!Running()) return;
    if (step_ == Step::Quit) {
        Succeed();
        return;
    }
    Fail(detail.empty() ? std::string_view(m::kClosed) : detail);
}

void CVeltaFtp::OnReply(const FtpReplyReader::Reply& reply, FtpClock now) {
    const int code = reply.code;
    const int kind = code / 100;
    // A preliminary reply asks to wait for the real one, except where it starts the data.
    if (kind == 1 && step_ != Step::Stor) {
        if (step_ == Step::Greeting || step_ == Step::Quit) return;
        Fail(Detail(reply));
        return;
    }
    switch (step_) {
        case Step::Greeting:
            if (code != 220) return Fail(Detail(reply));
            status_ = m::kConnecting;
            if (settings_.tls) return Command("AUTH TLS", Step::AuthTls, now);
            return Command("USER " + text::ToShiftJis(settings_.user), Step::User, now);
        case Step::AuthTls:
            // Never on in the clear when TLS was asked for.
            if (code != 234) return Fail(Detail(reply));
            step_ = Step::TlsHandshake;
            deadline_ = now + kConnectLimit;
            return Push(ActionKind::StartControlTls);
        case Step::Pbsz:
            if (kind != 2) return Fail(Detail(reply));
            return Command("PROT P", Step::Prot, now);
        case Step::Prot:
            if (kind != 2) return Fail(Detail(reply));
            return Command("USER " + text::ToShiftJis(settings_.user), Step::User, now);
        case Step::User:
            if (code == 230) break;
            if (code != 331) return Fail(Detail(reply));
            return Command("PASS " + text::ToShiftJis(settings_.password), Step::Pass, now);
        case Step::Pass:
            if (code != 230 && code != 202) return Fail(Detail(reply));
            break;
        case Step::Cwd:
            if (kind != 2) return Fail(Detail(reply));
            status_ = m::kConnected;
            return NextFile(now);
        case Step::Type:
            if (kind != 2) return Fail(Detail(reply));
            return OpenData(now);
        case Step::Epsv: {
            if (code == 229) {
                std::optional<int> port = EpsvPort(reply.text);
                if (!port) return Fail(m::kBadReply);
                step_ = Step::DataConnecting;
                deadline_ = now + kConnectLimit;
                dataOpen_ = true;
                Action data{ActionKind::ConnectData, {}, endpoint_.host, *port, settings_.tls, 0};
                actions_.push_back(std::move(data));
                return;
            }
            if (kind != 5) return Fail(Detail(reply));
            epsvRefused_ = true;
            return Command("PASV", Step::Pasv, now);
        }
        case Step::Pasv: {
            if (code != 227) return Fail(Detail(reply));
            std::optional<int> port = PasvPort(reply.text);
            if (!port) return Fail(m::kBadReply);
            step_ = Step::DataConnecting;
            deadline_ = now + kConnectLimit;
            dataOpen_ = true;
            Action data{ActionKind::ConnectData, {}, endpoint_.host, *port, settings_.tls, 0};
            actions_.push_back(std::move(data));
            return;
        }
        case Step::Port:
            if (kind != 2) return Fail(Detail(reply));
            return SendStor(now);
        case Step::Stor:
            if (kind != 1) return Fail(Detail(reply));
            step_ = Step::Sending;
            deadline_.reset();
            stallWatch_ = true;
            windowStart_ = now;
            windowBytes_ = 0;
            dataBytes_ = 0;
            {
                Action send{ActionKind::SendFileData,          {}, {}, 0, settings_.tls,
                            static_cast<std::size_t>(current_)};
                actions_.push_back(std::move(send));
            }
            return;
        case Step::Sending:
            if (kind != 2) return Fail(Detail(reply));
            finalReply_ = true;
            return FinishFileIfDone(now);
        case Step::Quit:
            return Succeed();
        default:
            // Nothing was asked: a server that speaks now is closing or confused.
            return Fail(Detail(reply));
    }
    // Logged in.
    if (!settings_.folder.empty()) {
        return Command("CWD " + text::ToShiftJis(settings_.folder), Step::Cwd, now);
    }
    status_ = m::kConnected;
    NextFile(now);
}

void CVeltaFtp::NextFile(FtpClock now) {
    const std::size_t next = current_ < 0 ? 0 : static_cast<std::size_t>(current_) + 1;
    if (next >= files_.size()) return Quit(now);
    current_ = static_cast<int>(next);
    status_ = m::kTransferring;
    dataDone_ = false;
    finalReply_ = false;
    const int type = files_[next].text ? 'A' : 'I';
    if (type != type_) {
        type_ = type;
        return Command(type == 'A' ? "TYPE A" : "TYPE I", Step::Type, now);
    }
    OpenData(now);
}

void CVeltaFtp::OpenData(FtpClock now) {
    if (!settings_.passive) {
        step_ = Step::Listening;
        deadline_ = now + kConnectLimit;
        dataOpen_ = true;
        Action listen{ActionKind::ListenData, {}, {}, 0, settings_.tls, 0};
        actions_.push_back(std::move(listen));
        return;
    }
    if (epsvRefused_) return Command("PASV", Step::Pasv, now);
    Command("EPSV", Step::Epsv, now);
}

void CVeltaFtp::DataListening(std::string_view address, int port, FtpClock now) {
    if (step_ != Step::Listening) return;
    if (address.find(':') != std::string_view::npos) {
        return Command("EPRT |2|" + std::string(address) + "|" + std::to_string(port) + "|",
                       Step::Port, now);
    }
    std::string numbers(address);
    std::replace(numbers.begin(), numbers.end(), '.', ',');
    Command("PORT " + numbers + "," + std::to_string(port / 256) + "," + std::to_string(port % 256),
            Step::Port, now);
}

void CVeltaFtp::DataConnected(FtpClock now) {
    if (step_ == Step::DataConnecting) SendStor(now);
}

void CVeltaFtp::SendStor(FtpClock now) {
    const FtpFile& file = files_[static_cast<std::size_t>(current_)];
    Command("STOR " + text::ToShiftJis(file.remoteName), Step::Stor, now);
}

void CVeltaFtp::DataProgress(std::uint64_t sent, FtpClock) {
    if (step_ == Step::Sending) dataBytes_ = sent;
}

void CVeltaFtp::DataDone(FtpClock now) {
    if (step_ != Step::Sending || dataDone_) return;
    dataDone_ = true;
    dataOpen_ = false;
    stallWatch_ = false;
    deadline_ = now + kReplyLimit;
    FinishFileIfDone(now);
}

void CVeltaFtp::DataFailed(std::string_view detail, FtpClock) {
    if (!Running()) return;
    Fail(detail);
}

void CVeltaFtp::FinishFileIfDone(FtpClock now) {
    if (!dataDone_ || !finalReply_) return;
    ++sent_;
    NextFile(now);
}

void CVeltaFtp::Quit(FtpClock now) {
    status_ = m::kDisconnecting;
    current_ = -1;
    Command("QUIT", Step::Quit, now);
}

void CVeltaFtp::Tick(FtpClock now) {
    if (!Running()) return;
    if (stallWatch_) {
        if (now - windowStart_ < kStallWindow) return;
        // Below one byte a second over the window.
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - windowStart_);
        if (dataBytes_ - windowBytes_ < static_cast<std::uint64_t>(seconds.count())) {
            return Fail(m::kStalled);
        }
        windowStart_ = now;
        windowBytes_ = dataBytes_;
        return;
    }
    if (!deadline_ || now < *deadline_) return;
    // Every file went and was confirmed: a server that does not answer QUIT loses nothing.
    if (step_ == Step::Quit) return Succeed();
    const bool waitingForConnection = step_ == Step::Connecting || step_ == Step::DataConnecting ||
                                      step_ == Step::Listening || step_ == Step::TlsHandshake;
    Fail(waitingForConnection ? m::kTimedOut : m::kNoReply);
}

}  // namespace almx
