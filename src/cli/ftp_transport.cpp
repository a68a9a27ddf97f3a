#include "cli/ftp_transport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

namespace almx::cli {

namespace {

using Kind = CVeltaFtp::ActionKind;

FtpClock Now() {
    return std::chrono::duration_cast<FtpClock>(
        std::chrono::steady_clock::now().time_since_epoch());
}

class Fd {
  public:
    Fd() = default;
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    void Reset(int fd) {
        Close();
        fd_ = fd;
    }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int Get() const { return fd_; }
    bool Open() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

int ConnectTo(const sockaddr* address, socklen_t length) {
    const int fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, address, length) != 0 && errno != EINPROGRESS) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string SocketError(int fd) {
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
    return error ? std::strerror(error) : std::string();
}

class Session {
  public:
    Session(CVeltaFtp& ftp, const std::function<void()>& progress)
        : ftp_(ftp), progress_(progress) {}

    void Run() {
        ftp_.Start(Now());
        while (true) {
            Act();
            Report();
            if (!ftp_.Running()) break;
            Wait();
        }
        Act();  // the closing actions
    }

  private:
    void Report() {
        if (ftp_.Status() != status_ || ftp_.CurrentFile() != file_) {
            status_ = ftp_.Status();
            file_ = ftp_.CurrentFile();
            if (progress_) progress_();
        }
    }

    void Act() {
        for (const CVeltaFtp::Action& action : ftp_.TakeActions()) {
            switch (action.kind) {
                case Kind::ConnectControl:
                    ConnectControl(action.host, action.port);
                    break;
                case Kind::SendControl:
                    SendControl(action.bytes);
                    break;
                case Kind::StartControlTls:
                    ftp_.ControlClosed("almx ftp: TLS is not available here", Now());
                    break;
                case Kind::ConnectData:
                    ConnectData(action.port);
                    break;
                case Kind::ListenData:
                    Listen();
                    break;
                case Kind::SendFileData:
                    StartFile(action.file);
                    break;
                case Kind::CloseData:
                    data_.Close();
                    listen_.Close();
                    sending_ = false;
                    break;
                case Kind::CloseControl:
                    control_.Close();
                    break;
            }
        }
    }

    void ConnectControl(const std::string& host, int port) {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(port);
        const int error = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
        if (error != 0) {
            ftp_.ControlClosed(::gai_strerror(error), Now());
            return;
        }
        for (addrinfo* a = found; a && !control_.Open(); a = a->ai_next) {
            const int fd = ConnectTo(a->ai_addr, a->ai_addrlen);
            if (fd >= 0) control_.Reset(fd);
        }
        ::freeaddrinfo(found);
        if (!control_.Open()) {
            ftp_.ControlClosed(std::strerror(errno), Now());
            return;
        }
        controlConnecting_ = true;
    }

    void SendControl(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            pollfd p{control_.Get(), POLLOUT, 0};
            if (::poll(&p, 1, 10000) <= 0) break;
            const ssize_t n =
                ::send(control_.Get(), bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EINTR) break;
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        if (done < bytes.size()) ftp_.ControlClosed(std::strerror(errno), Now());
    }

    void ConnectData(int port) {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        // The control connection's peer: never an address a reply names.
        if (::getpeername(control_.Get(), reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
            ftp_.DataFailed(std::strerror(errno), Now());
            return;
        }
        if (peer.ss_family == AF_INET) {
            reinterpret_cast<sockaddr_in*>(&peer)->sin_port = htons(static_cast<uint16_t>(port));
        } else {
            reinterpret_cast<sockaddr_in6*>(&peer)->sin6_port = htons(static_cast<uint16_t>(port));
        }
        const int fd = ConnectTo(reinterpret_cast<sockaddr*>(&peer), length);
        if (fd < 0) {
            ftp_.DataFailed(std::strerror(errno), Now());
            return;
        }
        data_.Reset(fd);
        dataConnecting_ = true;
    }

    void Listen() {
        sockaddr_storage local{};
        socklen_t length = sizeof local;
        ::getsockname(control_.Get(), reinterpret_cast<sockaddr*>(&local), &length);
        if (local.ss_family == AF_INET) {
            reinterpret_cast<sockaddr_in*>(&local)->sin_port = 0;
        } else {
            reinterpret_cast<sockaddr_in6*>(&local)->sin6_port = 0;
        }
        const int fd = ::socket(local.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&local), length) != 0 ||
            ::listen(fd, 1) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
            if (fd >= 0) ::close(fd);
            ftp_.DataFailed(std::strerror(errno), Now());
            return;
        }
        listen_.Reset(fd);
        char text[INET6_ADDRSTRLEN] = {};
        int port = 0;
        if (local.ss_family == AF_INET) {
            auto* v4 = reinterpret_cast<sockaddr_in*>(&local);
            ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
            port = ntohs(v4->sin_port);
        } else {
            auto* v6 = reinterpret_cast<sockaddr_in6*>(&local);
            ::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
            port = ntohs(v6->sin6_port);
        }
        ftp_.DataListening(text, port, Now());
    }

    void StartFile(std::size_t index) {
        const FtpFile& file = ftp_.Files()[index];
        input_ = std::ifstream(file.localPath, std::ios::binary);
        if (!input_) {
            ftp_.DataFailed(std::strerror(errno), Now());
            return;
        }
        text_ = file.text;
        lastWasCr_ = false;
        pending_.clear();
        sent_ = 0;
        sending_ = true;
    }

    void Wait() {
        pollfd fds[3];
        nfds_t n = 0;
        int controlAt = -1, dataAt = -1, listenAt = -1;
        if (control_.Open()) {
            controlAt = static_cast<int>(n);
            fds[n++] = {control_.Get(), static_cast<short>(controlConnecting_ ? POLLOUT : POLLIN),
                        0};
        }
        if (data_.Open() && (dataConnecting_ || sending_)) {
            dataAt = static_cast<int>(n);
            fds[n++] = {data_.Get(), POLLOUT, 0};
        }
        if (listen_.Open() && sending_ && !data_.Open()) {
            listenAt = static_cast<int>(n);
            fds[n++] = {listen_.Get(), POLLIN, 0};
        }
        int timeout = 1000;
        if (std::optional<FtpClock> deadline = ftp_.Deadline()) {
            const auto left = (*deadline - Now()).count();
            timeout = static_cast<int>(std::clamp<long long>(left, 0, 1000));
        }
        const int ready = ::poll(fds, n, timeout);
        const FtpClock now = Now();
        if (ready > 0) {
            if (controlAt >= 0 && fds[controlAt].revents) OnControl(now);
            if (dataAt >= 0 && fds[dataAt].revents && ftp_.Running())
                OnData(fds[dataAt].revents, now);
            if (listenAt >= 0 && fds[listenAt].revents && ftp_.Running()) {
                const int fd =
                    ::accept4(listen_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (fd >= 0) {
                    data_.Reset(fd);
                    listen_.Close();
                    ftp_.DataConnected(now);
                }
            }
        }
        ftp_.Tick(Now());
    }

    void OnControl(FtpClock now) {
        if (controlConnecting_) {
            const std::string error = SocketError(control_.Get());
            controlConnecting_ = false;
            if (!error.empty()) return ftp_.ControlClosed(error, now);
            return ftp_.ControlConnected(now);
        }
        char buffer[4096];
        const ssize_t got = ::recv(control_.Get(), buffer, sizeof buffer, 0);
        if (got > 0)
            return ftp_.ControlBytes(std::string_view(buffer, static_cast<std::size_t>(got)), now);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
        ftp_.ControlClosed(got < 0 ? std::strerror(errno) : "", now);
    }

    void OnData(short events, FtpClock now) {
        if (dataConnecting_) {
            dataConnecting_ = false;
            const std::string error = SocketError(data_.Get());
            if (!error.empty()) return ftp_.DataFailed(error, now);
            return ftp_.DataConnected(now);
        }
        if (events & (POLLERR | POLLHUP)) return ftp_.DataFailed(SocketError(data_.Get()), now);
        if (pending_.empty() && input_) {
            char buffer[65536];
            input_.read(buffer, sizeof buffer);
            const std::string_view piece(buffer, static_cast<std::size_t>(input_.gcount()));
            pending_ = text_ ? ToNetworkText(piece, lastWasCr_) : std::string(piece);
        }
        if (!pending_.empty()) {
            const ssize_t n = ::send(data_.Get(), pending_.data(), pending_.size(), MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return ftp_.DataFailed(std::strerror(errno), now);
            if (n > 0) {
                pending_.erase(0, static_cast<std::size_t>(n));
                sent_ += static_cast<std::uint64_t>(n);
                ftp_.DataProgress(sent_, now);
            }
            return;
        }
        if (input_.bad()) return ftp_.DataFailed(std::strerror(errno), now);
        // The whole file went: the server learns the end from the close.
        ::shutdown(data_.Get(), SHUT_WR);
        data_.Close();
        sending_ = false;
        ftp_.DataDone(now);
    }

    CVeltaFtp& ftp_;
    const std::function<void()>& progress_;
    Fd control_, data_, listen_;
    bool controlConnecting_ = false;
    bool dataConnecting_ = false;
    bool sending_ = false;
    std::ifstream input_;
    bool text_ = true;
    bool lastWasCr_ = false;
    std::string pending_;
    std::uint64_t sent_ = 0;
    std::string status_;
    int file_ = -2;
};

}  // namespace

void RunFtpSession(CVeltaFtp& ftp, const std::function<void()>& progress) {
    Session(ftp, progress).Run();
}

}  // namespace almx::cli
