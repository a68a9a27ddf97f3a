// CVeltaFtp::Run: the transfer itself, the one part of the upload that needs libcurl; it lives
// outside the model library so that only the programs that upload link libcurl.

#include <cstdio>
#include <cstring>

#include <curl/curl.h>

#include "exchange/ftp_client.h"

namespace almx {

namespace {

namespace m = ftp_messages;

// A server's line or libcurl's text as a detail: one line, printable, bounded.
std::string Printable(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (out.size() >= 300) break;
        const auto byte = static_cast<unsigned char>(c);
        out.push_back(byte < 0x20 || byte == 0x7F ? ' ' : c);
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

void InitCurlOnce() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

// Failures of reaching the server or its folder, and every time limit, are connection errors.
bool IsConnectionError(CURLcode code) {
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
        case CURLE_LOGIN_DENIED:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_REMOTE_ACCESS_DENIED:  // the folder could not be entered
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_GOT_NOTHING:
        case CURLE_USE_SSL_FAILED:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_URL_MALFORMAT:
        case CURLE_FAILED_INIT:
            return true;
        default:
            return false;
    }
}

// Codes where the server said no: its own words explain it best.
bool IsRefusal(CURLcode code) {
    switch (code) {
        case CURLE_LOGIN_DENIED:
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_UPLOAD_FAILED:
        case CURLE_USE_SSL_FAILED:
        case CURLE_FTP_PORT_FAILED:
        case CURLE_FTP_COULDNT_SET_TYPE:
        case CURLE_FTP_ACCEPT_FAILED:
            return true;
        default:
            return false;
    }
}

}  // namespace

// What the callbacks of one upload share.
struct CVeltaFtp::Session {
    CVeltaFtp* owner = nullptr;
    const Progress* progress = nullptr;
    CURLM* multi = nullptr;  // keeps the connection between the files
    CURL* curl = nullptr;
    std::FILE* input = nullptr;
    bool text = true;
    bool heldCr = false;
    std::string pending;  // converted bytes not yet handed to libcurl
    std::size_t pendingAt = 0;
    bool readFailed = false;
    bool cancelled = false;
    std::string partialLine;
    std::string lastReply;
    bool loggedIn = false;
    char error[CURL_ERROR_SIZE] = {};

    ~Session() {
        CloseInput();
        if (curl) curl_easy_cleanup(curl);
        // Sends QUIT on the connection that is still open.
        if (multi) curl_multi_cleanup(multi);
    }

    bool Continue() {
        if (!cancelled && progress && *progress && !(*progress)()) cancelled = true;
        return !cancelled;
    }

    // One file: libcurl's own loop, but waking at least every 100 ms so that the caller
    // repaints and "キャンセル" answers even while the server says nothing.
    CURLcode Perform() {
        if (curl_multi_add_handle(multi, curl) != CURLM_OK) return CURLE_FAILED_INIT;
        CURLcode result = CURLE_OK;
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                result = CURLE_FAILED_INIT;
                break;
            }
            bool done = false;
            int queued = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
                if (message->msg == CURLMSG_DONE) {
                    result = message->data.result;
                    done = true;
                }
            }
            if (done) break;
            if (running == 0) {
                result = CURLE_GOT_NOTHING;
                break;
            }
            if (curl_multi_poll(multi, nullptr, 0, 100, nullptr) != CURLM_OK) {
                result = CURLE_FAILED_INIT;
                break;
            }
            if (!Continue()) {
                result = CURLE_ABORTED_BY_CALLBACK;
                break;
            }
        }
        curl_multi_remove_handle(multi, curl);
        return result;
    }
    void CloseInput() {
        if (input) std::fclose(input);
        input = nullptr;
    }

    static std::size_t Read(char* buffer, std::size_t size, std::size_t count, void* data) {
        auto* s = static_cast<Session*>(data);
        if (s->cancelled) return CURL_READFUNC_ABORT;
        const std::size_t room = size * count;
        if (!s->text) {
            const std::size_t n = std::fread(buffer, 1, room, s->input);
            if (n == 0 && std::ferror(s->input)) {
                s->readFailed = true;
                return CURL_READFUNC_ABORT;
            }
            return n;
        }
        // libcurl turns each LF into CR LF in text mode: it gets lines ending in LF only.
        while (s->pendingAt >= s->pending.size()) {
            char raw[16384];
            const std::size_t n = std::fread(raw, 1, sizeof raw, s->input);
            if (n == 0) {
                if (std::ferror(s->input)) {
                    s->readFailed = true;
                    return CURL_READFUNC_ABORT;
                }
                if (!s->heldCr) return 0;
                s->heldCr = false;
                s->pending = "\r";
            } else {
                s->pending = ToLineFeedText(std::string_view(raw, n), s->heldCr);
            }
            s->pendingAt = 0;
        }
        const std::size_t n = std::min(room, s->pending.size() - s->pendingAt);
        std::memcpy(buffer, s->pending.data() + s->pendingAt, n);
        s->pendingAt += n;
        return n;
    }

    static int Info(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto* s = static_cast<Session*>(data);
        CVeltaFtp& ftp = *s->owner;
        if (ftp.status_ == ftp_messages::kConnecting) {
            curl_off_t connected = 0;
            curl_off_t ready = 0;
            curl_easy_getinfo(s->curl, CURLINFO_CONNECT_TIME_T, &connected);
            curl_easy_getinfo(s->curl, CURLINFO_PRETRANSFER_TIME_T, &ready);
            if (ready > 0) {
                ftp.status_ = ftp_messages::kTransferring;
            } else if (connected > 0 && s->loggedIn) {
                ftp.status_ = ftp_messages::kConnected;
            }
        } else if (ftp.status_ == ftp_messages::kConnected) {
            curl_off_t ready = 0;
            curl_easy_getinfo(s->curl, CURLINFO_PRETRANSFER_TIME_T, &ready);
            if (ready > 0) ftp.status_ = ftp_messages::kTransferring;
        }
        return s->Continue() ? 0 : 1;
    }

    // Keeps the server's last reply line; what we send (the password among it) is never kept.
    static int Debug(CURL*, curl_infotype type, char* bytes, std::size_t size, void* data) {
        if (type != CURLINFO_HEADER_IN) return 0;
        auto* s = static_cast<Session*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            const char c = bytes[i];
            if (c == '\n') {
                s->lastReply = Printable(s->partialLine);
                for (const char* done : {"230 ", "202 ", "232 "}) {
                    if (s->lastReply.rfind(done, 0) == 0) s->loggedIn = true;
                }
                s->partialLine.clear();
            } else if (c != '\r' && s->partialLine.size() < 1024) {
                s->partialLine.push_back(c);
            }
        }
        return 0;
    }
};

CVeltaFtp::Outcome CVeltaFtp::Run(const Progress& progress) {
    if (outcome_ != Outcome::Running || !Checked()) return outcome_;
    const FtpEndpoint endpoint = *ParseFtpHost(settings_.host);
    InitCurlOnce();
    Session s;
    s.owner = this;
    s.progress = &progress;
    s.multi = curl_multi_init();
    s.curl = curl_easy_init();
    if (!s.multi || !s.curl) {
        Fail(true, curl_easy_strerror(CURLE_FAILED_INIT));
        return outcome_;
    }
    CURL* c = s.curl;
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, s.error);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, &Session::Read);
    curl_easy_setopt(c, CURLOPT_READDATA, &s);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Session::Info);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &s);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, &Session::Debug);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &s);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);  // feeds Debug only
    // The password goes only here, never into the URL.
    if (!settings_.user.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, settings_.user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, settings_.password.c_str());
    }
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, limits_.connect);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, limits_.reply);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, limits_.stall);
    curl_easy_setopt(c, CURLOPT_FTP_USE_EPSV, 1L);
    // A passive reply naming another address is not followed: the data goes to the same peer.
    curl_easy_setopt(c, CURLOPT_FTP_SKIP_PASV_IP, 1L);
    if (!settings_.passive) curl_easy_setopt(c, CURLOPT_FTPPORT, "-");
    if (settings_.tls) {
        curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!caFile_.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, caFile_.c_str());
    } else {
        curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_NONE));
    }

    status_ = m::kConnecting;
    if (progress && !progress()) {
        outcome_ = Outcome::Cancelled;
        return outcome_;
    }
    for (std::size_t i = 0; i < files_.size(); ++i) {
        const FtpFile& file = files_[i];
        current_ = static_cast<int>(i);
        if (i > 0) status_ = m::kTransferring;
        s.CloseInput();
        s.input = std::fopen(file.localPath.c_str(), "rb");
        if (!s.input) {
            Fail(false, m::kCannotRead);
            return outcome_;
        }
        s.text = file.text;
        s.heldCr = false;
        s.pending.clear();
        s.pendingAt = 0;
        s.error[0] = '\0';
        s.lastReply.clear();
        const std::string url = FtpUrl(endpoint, settings_.folder, file.remoteName);
        curl_easy_setopt(c, CURLOPT_URL, url.c_str());
        curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, file.text ? 1L : 0L);
        const CURLcode code = s.Perform();
        s.CloseInput();
        if (code == CURLE_OK) {
            ++sent_;
            continue;
        }
        if (s.cancelled) {
            outcome_ = Outcome::Cancelled;
            return outcome_;
        }
        if (s.readFailed) {
            Fail(false, m::kCannotRead);
            return outcome_;
        }
        std::string detail;
        if (IsRefusal(code) && !s.lastReply.empty() &&
            (s.lastReply[0] == '4' || s.lastReply[0] == '5')) {
            detail = s.lastReply;
        } else {
            detail = Printable(s.error[0] ? s.error : curl_easy_strerror(code));
        }
        // Whatever breaks before the login is done is a connection error too.
        Fail(IsConnectionError(code) || !s.loggedIn, detail);
        return outcome_;
    }
    status_ = m::kDisconnecting;
    if (progress) progress();
    outcome_ = Outcome::Succeeded;
    return outcome_;
}

}  // namespace almx
