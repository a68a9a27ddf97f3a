#include "exchange/ftp_client.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace almx {

namespace {

namespace m = ftp_messages;

std::optional<int> ParsePort(std::string_view text) {
    int port = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

bool UsableRemoteName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && !HasControlCharacter(name);
}

bool IsAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Only what a host name or an address holds: anything else ("@", "/", "?", "#", spaces)
// would change what the URL means.
bool UsableHost(std::string_view host, bool v6) {
    if (host.empty()) return false;
    for (char c : host) {
        const bool ok = v6 ? (IsAlnum(c) || c == ':' || c == '.')
                           : (IsAlnum(c) || c == '-' || c == '.' || c == '_');
        if (!ok) return false;
    }
    return true;
}

std::optional<FtpEndpoint> ParseHostAndPort(std::string_view field) {
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

}  // namespace

std::optional<FtpEndpoint> ParseFtpHost(std::string_view field) {
    std::optional<FtpEndpoint> endpoint = ParseHostAndPort(field);
    if (!endpoint) return std::nullopt;
    const bool v6 = endpoint->host.find(':') != std::string::npos;
    if (!UsableHost(endpoint->host, v6)) return std::nullopt;
    return endpoint;
}

std::string RemoteNameOf(std::string_view localPath) {
    const std::size_t slash = localPath.rfind('/');
    return std::string(slash == std::string_view::npos ? localPath : localPath.substr(slash + 1));
}

std::string ToLineFeedText(std::string_view piece, bool& heldCr) {
    std::string out;
    out.reserve(piece.size() + 1);
    for (char c : piece) {
        if (heldCr && c != '\n') out.push_back('\r');
        heldCr = c == '\r';
        if (!heldCr) out.push_back(c);
    }
    return out;
}

namespace {

bool Unreserved(char c) {
    return IsAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

void AppendEncoded(std::string& out, std::string_view segment) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : segment) {
        if (Unreserved(c)) {
            out.push_back(c);
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        out.push_back('%');
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 0x0F]);
    }
}

}  // namespace

std::string FtpUrl(const FtpEndpoint& endpoint, std::string_view folder,
                   std::string_view remoteName) {
    std::string url = "ftp://";
    if (endpoint.host.find(':') != std::string::npos) {
        url += "[" + endpoint.host + "]";
    } else {
        url += endpoint.host;
    }
    url += ":" + std::to_string(endpoint.port) + "/";
    // libcurl enters each folder in turn; "%2F" first makes it start from the root.
    if (!folder.empty() && folder.front() == '/') url += "%2F";
    std::size_t at = 0;
    while (at <= folder.size()) {
        std::size_t slash = folder.find('/', at);
        if (slash == std::string_view::npos) slash = folder.size();
        const std::string_view segment = folder.substr(at, slash - at);
        if (!segment.empty()) {
            AppendEncoded(url, segment);
            url.push_back('/');
        }
        at = slash + 1;
    }
    AppendEncoded(url, remoteName);
    return url;
}

CVeltaFtp::CVeltaFtp(FtpSettings settings, std::vector<FtpFile> files)
    : settings_(std::move(settings)), files_(std::move(files)) {}
CVeltaFtp::CVeltaFtp(CVeltaFtp&&) noexcept = default;
CVeltaFtp& CVeltaFtp::operator=(CVeltaFtp&&) noexcept = default;
CVeltaFtp::~CVeltaFtp() = default;

void CVeltaFtp::Fail(bool connecting, std::string_view detail) {
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
}

bool CVeltaFtp::Checked() {
    if (HasControlCharacter(settings_.host) || HasControlCharacter(settings_.user) ||
        HasControlCharacter(settings_.password) || HasControlCharacter(settings_.folder)) {
        Fail(true, m::kBadCharacters);
        return false;
    }
    if (!ParseFtpHost(settings_.host)) {
        Fail(true, m::kBadHost);
        return false;
    }
    // A bad name is refused before anything is sent, so nothing is half uploaded.
    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (!UsableRemoteName(files_[i].remoteName)) {
            current_ = static_cast<int>(i);
            Fail(false, m::kBadRemoteName);
            return false;
        }
    }
    return true;
}

}  // namespace almx
