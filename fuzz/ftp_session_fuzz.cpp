// The upload session fed a server's bytes in pieces: the replies read the same however the
// bytes are cut, and a session never reports success without every file confirmed.
#include <string>
#include <vector>

#include "exchange/ftp_client.h"
#include "fuzz_check.h"

namespace {

std::vector<int> Codes(std::string_view bytes, std::size_t cut) {
    almx::FtpReplyReader reader;
    std::vector<int> codes;
    const bool ok = reader.Feed(bytes.substr(0, cut)) && reader.Feed(bytes.substr(cut));
    while (auto reply = reader.Next()) codes.push_back(reply->code);
    codes.push_back(ok ? 0 : -1);
    return codes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = data[0] % (size + 1);
    std::vector<int> whole = Codes(all, all.size());
    std::vector<int> split = Codes(all, cut);
    FUZZ_CHECK(whole == split);

    almx::FtpSettings settings;
    settings.host = "127.0.0.1";
    settings.user = "u";
    settings.password = "p";
    settings.folder = "f";
    settings.tls = (data[0] & 1) != 0;
    settings.passive = (data[0] & 2) != 0;
    almx::CVeltaFtp ftp(settings, {{"/a/x.html", "x.html", true}, {"/a/y.png", "y.png", false}});
    almx::FtpClock now{0};
    ftp.Start(now);
    std::size_t pos = 1;
    for (int round = 0; round < 10000 && ftp.Running(); ++round) {
        for (const auto& action : ftp.TakeActions()) {
            using Kind = almx::CVeltaFtp::ActionKind;
            if (action.kind == Kind::ConnectControl) ftp.ControlConnected(now);
            if (action.kind == Kind::StartControlTls) ftp.ControlTlsReady(now);
            if (action.kind == Kind::ConnectData) ftp.DataConnected(now);
            if (action.kind == Kind::ListenData) ftp.DataListening("127.0.0.1", 4000, now);
            if (action.kind == Kind::SendFileData) ftp.DataDone(now);
        }
        if (!ftp.Running()) break;
        if (pos >= size) {
            now += std::chrono::seconds(61);
            ftp.Tick(now);
            continue;
        }
        const std::size_t n = 1 + data[pos] % 16;
        ftp.ControlBytes(all.substr(pos, n), now);
        pos += n;
    }
    FUZZ_CHECK(!ftp.Running());
    if (ftp.Result() == almx::CVeltaFtp::Outcome::Succeeded) FUZZ_CHECK(ftp.FilesSent() == 2);
    if (ftp.Result() == almx::CVeltaFtp::Outcome::Failed) FUZZ_CHECK(!ftp.Message().empty());
    return 0;
}
