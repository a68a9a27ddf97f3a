// Server bytes of any kind, split at fuzzed points: the SMTP dialogue ends the same however
// the bytes are split, counts a message sent only after its data went out, and never logs the
// password.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "mail/base64.h"
#include "mail/smtp_session.h"

namespace {

using almx::mail::SessionActions;

struct Outcome {
    std::optional<std::string> error;
    std::vector<int> sent;
    bool finished = false;
};

const char kPassword[] = "Zq9PassWord";

Outcome Play(const almx::mail::MailServerConfig& config,
             const std::vector<almx::mail::OutgoingMessage>& messages, std::string_view server,
             const std::vector<std::size_t>& cuts) {
    almx::mail::SmtpSession session(config, messages);
    Outcome o;
    std::string sentSoFar;
    const std::string secret64 = almx::mail::Base64Encode(kPassword);
    const auto take = [&](const SessionActions& a) {
        for (const std::string& line : a.log) {
            FUZZ_CHECK(line.find(kPassword) == std::string::npos ||
                       server.find(kPassword) != std::string_view::npos);
            FUZZ_CHECK(line.find(secret64) == std::string::npos ||
                       server.find(secret64) != std::string_view::npos);
        }
        sentSoFar += a.send;
        for (int index : a.sent) {
            // Sent only after its data went out.
            FUZZ_CHECK(sentSoFar.find(messages[static_cast<std::size_t>(index)].data) !=
                       std::string::npos);
            o.sent.push_back(index);
        }
        if (a.error && !o.error) o.error = a.error;
        o.finished = o.finished || a.finished;
    };
    take(session.Start(0));
    take(session.Connected("127.0.0.1", 0));
    std::size_t start = 0;
    for (std::size_t cut : cuts) {
        if (cut <= start || cut > server.size()) continue;
        take(session.Received(server.substr(start, cut - start), 0));
        start = cut;
    }
    take(session.Received(server.substr(start), 0));
    take(session.Closed(0));
    FUZZ_CHECK(session.Finished());
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size < 3) return 0;
    almx::mail::MailServerConfig config;
    config.user = "taro";
    config.password = kPassword;
    config.smtpAuth = data[0] & 1;
    config.smtpSsl = (data[0] >> 1) & 1;
    std::vector<std::size_t> cuts;
    for (int i = 0; i < 8; ++i)
        cuts.push_back(static_cast<std::size_t>(data[1] * (i + 1) + data[2] * i) % (size + 1));
    std::sort(cuts.begin(), cuts.end());
    std::string_view server(reinterpret_cast<const char*>(data + 3), size - 3);
    std::vector<almx::mail::OutgoingMessage> messages{
        {"me@example.jp", {"a@example.com", "b@example.com"}, "Subject: a\r\n\r\none\r\n.\r\n"},
        {"me@example.jp", {"c@example.com"}, "Subject: b\r\n\r\ntwo\r\n.\r\n"}};
    const Outcome whole = Play(config, messages, server, {});
    const Outcome split = Play(config, messages, server, cuts);
    FUZZ_CHECK(whole.error == split.error);
    FUZZ_CHECK(whole.sent == split.sent);
    return 0;
}
