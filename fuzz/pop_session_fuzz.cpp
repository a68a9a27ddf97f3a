// POP3 server bytes of any kind, split at fuzzed points: the login ends the same however the
// bytes are split, and the password never reaches the log.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "mail/pop_session.h"

namespace {

const char kPassword[] = "Zq9PassWord";

struct Outcome {
    std::optional<std::string> error;
    bool smtpMayFollow = false;
};

Outcome Play(const almx::mail::MailServerConfig& config, std::string_view server,
             const std::vector<std::size_t>& cuts) {
    almx::mail::PopSession session(config);
    Outcome o;
    const auto take = [&](const almx::mail::SessionActions& a) {
        for (const std::string& line : a.log) {
            FUZZ_CHECK(line.find(kPassword) == std::string::npos ||
                       server.find(kPassword) != std::string_view::npos);
        }
        if (a.error && !o.error) o.error = a.error;
    };
    take(session.Start(0));
    take(session.Connected(0));
    std::size_t start = 0;
    for (std::size_t cut : cuts) {
        if (cut <= start || cut > server.size()) continue;
        take(session.Received(server.substr(start, cut - start), 0));
        start = cut;
    }
    take(session.Received(server.substr(start), 0));
    take(session.Closed(0));
    FUZZ_CHECK(session.Finished());
    o.smtpMayFollow = session.SmtpMayFollow();
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size < 3) return 0;
    almx::mail::MailServerConfig config;
    config.user = "taro";
    config.password = kPassword;
    config.apop = data[0] & 1;
    config.popSsl = (data[0] >> 1) & 1;
    std::vector<std::size_t> cuts;
    for (int i = 0; i < 8; ++i)
        cuts.push_back(static_cast<std::size_t>(data[1] * (i + 1) + data[2] * i) % (size + 1));
    std::sort(cuts.begin(), cuts.end());
    std::string_view server(reinterpret_cast<const char*>(data + 3), size - 3);
    const Outcome whole = Play(config, server, {});
    const Outcome split = Play(config, server, cuts);
    FUZZ_CHECK(whole.error == split.error);
    FUZZ_CHECK(whole.smtpMayFollow == split.smtpMayFollow);
    return 0;
}
