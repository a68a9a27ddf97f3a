#pragma once
// FTP servers on 127.0.0.1 for the upload tests: the pyftpdlib ones and the misbehaving ones
// of data/ftp_servers.py, and vsftpd speaking explicit FTPS with a certificate made by openssl.
// Every server ends by itself; the destructor stops it earlier.

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

namespace almx::testing {

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool HavePyftpdlib() {
    return std::system("/usr/bin/python3 -c 'import pyftpdlib' >/dev/null 2>&1") == 0;
}

// A free TCP port on the loopback interface (bound, read, released).
inline int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

class LoopbackFtp {
  public:
    // mode: see data/ftp_servers.py. Files arrive in root; logins are listed beside it.
    LoopbackFtp(const std::string& mode, const fs::path& root, int seconds = 60) : root_(root) {
        const fs::path portFile = root.parent_path() / (mode + ".port");
        const std::string command = "/usr/bin/python3 '" + std::string(ALMX_SOURCE_DIR) +
                                    "/tests/exchange/data/ftp_servers.py' " + mode + " '" +
                                    root.string() + "' '" + portFile.string() + "' " +
                                    std::to_string(seconds) + " >/dev/null 2>&1 &";
        if (std::system(command.c_str()) != 0) return;
        for (int i = 0; i < 200 && !fs::exists(portFile); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::istringstream in(ReadAll(portFile));
        in >> port_ >> pid_;
    }
    ~LoopbackFtp() {
        if (pid_ > 0) ::kill(pid_, SIGTERM);
    }
    LoopbackFtp(const LoopbackFtp&) = delete;
    LoopbackFtp& operator=(const LoopbackFtp&) = delete;

    int Port() const { return port_; }
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
    int Logins() const {
        const std::string text = ReadAll(root_.parent_path() / "logins");
        int lines = 0;
        for (char c : text) lines += c == '\n';
        return lines;
    }

  private:
    fs::path root_;
    int port_ = 0;
    int pid_ = 0;
};

// vsftpd in the foreground with TLS required on control and data, anonymous upload into
// dir/anon/up, a certificate for 127.0.0.1 made by openssl (dir/cert.pem is its authority).
// Port() is 0 when vsftpd or openssl is missing or the server would not start.
class LoopbackFtps {
  public:
    explicit LoopbackFtps(const fs::path& dir) : dir_(dir) {
        if (!fs::exists("/usr/sbin/vsftpd") ||
            std::system("command -v openssl >/dev/null 2>&1") != 0) {
            return;
        }
        fs::create_directories(dir / "anon" / "up");
        fs::create_directories(dir / "empty");
        fs::permissions(dir / "anon", fs::perms(0555));
        fs::permissions(dir / "anon" / "up", fs::perms(0777));
        const std::string key = (dir / "key.pem").string();
        const std::string cert = (dir / "cert.pem").string();
        const std::string make =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "
            "/CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout '" +
            key + "' -out '" + cert + "' >/dev/null 2>&1";
        if (std::system(make.c_str()) != 0) return;
        const int port = FreeLoopbackPort();
        std::ofstream(dir / "vsftpd.conf")
            << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" << port
            << "\nbackground=NO\nrun_as_launching_user=YES\nanonymous_enable=YES\n"
               "no_anon_password=YES\nanon_root="
            << (dir / "anon").string()
            << "\nanon_upload_enable=YES\nwrite_enable=YES\nanon_umask=022\nascii_upload_enable="
               "YES\n"
               "local_enable=NO\nseccomp_sandbox=NO\nsecure_chroot_dir="
            << (dir / "empty").string()
            << "\npasv_enable=YES\npasv_address=127.0.0.1\nport_enable=YES\n"
               "connect_from_port_20=NO\nssl_enable=YES\nallow_anon_ssl=YES\n"
               "force_anon_logins_ssl=YES\nforce_anon_data_ssl=YES\nrequire_ssl_reuse=NO\n"
               "ssl_ciphers=HIGH\nrsa_cert_file="
            << cert << "\nrsa_private_key_file=" << key
            << "\nxferlog_enable=NO\nvsftpd_log_file=" << (dir / "vsftpd.log").string()
            << "\nidle_session_timeout=60\ndata_connection_timeout=60\n";
        // vsftpd 3.0.3 breaks off binary uploads over TLS 1.3 with 426; the test keeps it to 1.2.
        std::ofstream(dir / "openssl.cnf")
            << "openssl_conf = conf\n[conf]\nssl_conf = ssl\n[ssl]\nsystem_default = sys\n"
               "[sys]\nMaxProtocol = TLSv1.2\n";
        const std::string run = "OPENSSL_CONF='" + (dir / "openssl.cnf").string() +
                                "' timeout 60 /usr/sbin/vsftpd '" + (dir / "vsftpd.conf").string() +
                                "' >'" + (dir / "vsftpd.out").string() + "' 2>&1 & echo $! >'" +
                                (dir / "vsftpd.pid").string() + "'";
        if (std::system(run.c_str()) != 0) return;
        std::istringstream(ReadAll(dir / "vsftpd.pid")) >> pid_;
        // Ready once it accepts a connection.
        for (int i = 0; i < 100; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<uint16_t>(port));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            const bool up =
                ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            ::close(fd);
            if (up) {
                port_ = port;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~LoopbackFtps() {
        if (pid_ > 0) ::kill(pid_, SIGTERM);
    }
    LoopbackFtps(const LoopbackFtps&) = delete;
    LoopbackFtps& operator=(const LoopbackFtps&) = delete;

    int Port() const { return port_; }
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string CaFile() const { return (dir_ / "cert.pem").string(); }
    fs::path Uploads() const { return dir_ / "anon" / "up"; }
    std::string Log() const { return ReadAll(dir_ / "vsftpd.out") + ReadAll(dir_ / "vsftpd.log"); }

  private:
    fs::path dir_;
    int port_ = 0;
    int pid_ = 0;
};

}  // namespace almx::testing
