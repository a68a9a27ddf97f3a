// The upload session against scripted servers: every step's refusal, replies cut anywhere,
// servers that fall silent, talk without end or drop the line, and the injected clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "exchange/ftp_client.h"

namespace almx {
namespace {

using namespace std::chrono_literals;
using Kind = CVeltaFtp::ActionKind;
namespace m = ftp_messages;

// A server as a table of replies by command verb; the transport's part is played in Pump.
class ScriptedSession {
  public:
    ScriptedSession(FtpSettings settings, std::vector<FtpFile> files)
        : ftp(std::move(settings), std::move(files)) {
        replies = {{"USER", "331 password please\r\n"},
                   {"PASS", "230 logged in\r\n"},
                   {"CWD", "250 ok\r\n"},
                   {"TYPE", "200 type set\r\n"},
                   {"EPSV", "229 Entering Extended Passive Mode (|||5000|)\r\n"},
                   {"PASV", "227 Entering Passive Mode (127,0,0,1,19,137)\r\n"},
                   {"PORT", "200 ok\r\n"},
                   {"STOR", "150 go ahead\r\n"},
                   {"QUIT", "221 bye\r\n"},
                   {"AUTH", "234 go\r\n"},
                   {"PBSZ", "200 ok\r\n"},
                   {"PROT", "200 ok\r\n"}};
    }

    void Run() {
        ftp.Start(now);
        Pump();
    }

    // Carries out what the machine asks, answering from the table, until it waits.
    void Pump() {
        for (int guard = 0; guard < 1000; ++guard) {
            std::vector<CVeltaFtp::Action> actions = ftp.TakeActions();
            if (actions.empty()) return;
            for (const CVeltaFtp::Action& action : actions) {
                kinds.push_back(action.kind);
                switch (action.kind) {
                    case Kind::ConnectControl:
                        controlHost = action.host;
                        if (!connects) break;
                        ftp.ControlConnected(now);
                        Feed(greeting);
                        break;
                    case Kind::SendControl: {
                        std::string line = action.bytes.substr(0, action.bytes.size() - 2);
                        EXPECT_EQ(action.bytes.substr(action.bytes.size() - 2), "\r\n");
                        commands.push_back(line);
                        const std::string verb = line.substr(0, line.find(' '));
                        if (verb == "STOR") stored.push_back(line.substr(5));
                        if (silentAfter && commands.size() >= *silentAfter) break;
                        Feed(replies[verb]);
                        break;
                    }
                    case Kind::StartControlTls:
                        ftp.ControlTlsReady(now);
                        break;
                    case Kind::ConnectData:
                        dataPorts.push_back(action.port);
                        dataHosts.push_back(action.host);
                        ftp.DataConnected(now);
                        break;
                    case Kind::ListenData:
                        ftp.DataListening("127.0.0.1", 5001, now);
                        break;
                    case Kind::SendFileData:
                        if (!dataFlows) break;
                        ftp.DataDone(now);
                        Feed(afterData.size() > sentFiles ? afterData[sentFiles]
                                                          : std::string("226 done\r\n"));
                        ++sentFiles;
                        break;
                    case Kind::CloseData:
                    case Kind::CloseControl:
                        break;
                }
            }
        }
        FAIL() << "the session never settled";
    }

    void Feed(const std::string& bytes) {
        if (bytes.empty()) return;
        if (byteByByte) {
            for (char c : bytes) ftp.ControlBytes(std::string_view(&c, 1), now);
        } else {
            ftp.ControlBytes(bytes, now);
        }
    }

    bool Asked(Kind kind) const {
        return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
    }

    CVeltaFtp ftp;
    FtpClock now{1000};
    std::map<std::string, std::string> replies;
    std::string greeting = "220 welcome\r\n";
    std::vector<std::string> afterData;  // the reply after each file's data
    std::optional<std::size_t> silentAfter;
    bool connects = true;
    bool dataFlows = true;
    bool byteByByte = false;
    std::size_t sentFiles = 0;
    std::string controlHost;
    std::vector<std::string> commands;
    std::vector<std::string> stored;
    std::vector<int> dataPorts;
    std::vector<std::string> dataHosts;
    std::vector<Kind> kinds;
};

FtpSettings Account() {
    FtpSettings settings;
    settings.host = "ftp.example.jp";
    settings.user = "taro";
    settings.password = "s3cret";
    settings.folder = "/www/cal";
    return settings;
}

std::vector<FtpFile> TwoPages() {
    return {{"/out/top.html", "top.html", true}, {"/out/sch202401.html", "sch202401.html", true}};
}

TEST(FtpSession, SendsEveryFileOnOneLoginInPassiveModeAndQuits) {
    ScriptedSession session(Account(), TwoPages());
    session.Run();
    EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Succeeded);
    const std::vector<std::string> expected = {
        "USER taro",     "PASS s3cret", "CWD /www/cal",        "TYPE A", "EPSV",
        "STOR top.html", "EPSV",        "STOR sch202401.html", "QUIT"};
    EXPECT_EQ(session.commands, expected);
    EXPECT_EQ(session.ftp.FilesSent(), 2u);
    EXPECT_EQ(session.dataPorts, (std::vector<int>{5000, 5000}));
    EXPECT_EQ(session.kinds.back(), Kind::CloseControl);
    EXPECT_EQ(session.ftp.Status(), m::kDisconnecting);
}

TEST(FtpSession, RepliesCutIntoSingleBytesAndMultiLineRepliesReadTheSame) {
    ScriptedSession session(Account(), TwoPages());
    session.byteByByte = true;
    session.greeting = "220-Welcome\r\n230 not the end: another code\r\n220-still\r\n220 ready\r\n";
    session.replies["PASS"] = "230-Hello\n 230 indented\n230 in\n";  // bare LF ends too
    session.Run();
    EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Succeeded);
    EXPECT_EQ(session.stored, (std::vector<std::string>{"top.html", "sch202401.html"}));
}

TEST(FtpSession, WrongPasswordIsAConnectionErrorWithTheServersReasonAndSendsNothing) {
    ScriptedSession session(Account(), TwoPages());
    session.replies["PASS"] = "530 Login incorrect.\r\n";
    session.Run();
    EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(session.ftp.Message(), "接続エラー:530 Login incorrect.");
    EXPECT_TRUE(session.stored.empty());
    EXPECT_FALSE(session.Asked(Kind::ConnectData));
    EXPECT_EQ(session.kinds.back(), Kind::CloseControl);
    // The password never shows in what the user is told.
    EXPECT_EQ(session.ftp.Message().find("s3cret"), std::string::npos);
}

TEST(FtpSession, ARefusalAtEachStepEndsWithTheRightMessage) {
    struct Case {
        const char* verb;  // "" for the greeting, "DATA" for the reply after the data
        const char* reply;
        const char* prefix;
    };
    const Case cases[] = {
        {"", "421 too many users\r\n", "接続エラー:421 too many users"},
        {"USER", "530 no such user\r\n", "接続エラー:530"},
        {"USER", "332 need account\r\n", "接続エラー:332"},
        {"CWD", "550 no such folder\r\n", "接続エラー:550 no such folder"},
        {"TYPE", "504 no\r\n", "ファイル転送エラー:/out/top.html\n504 no"},
        {"STOR", "553 not allowed\r\n", "ファイル転送エラー:/out/top.html\n553"},
        {"DATA", "451 disk full\r\n", "ファイル転送エラー:/out/top.html\n451"},
        {"EPSV", "229 no port here\r\n", "ファイル転送エラー:/out/top.html"},
        {"EPSV", "200 what\r\n", "ファイル転送エラー:/out/top.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.verb) + " " + c.reply);
        ScriptedSession session(Account(), TwoPages());
        const std::string verb = c.verb;
        if (verb.empty()) {
            session.greeting = c.reply;
        } else if (verb == "DATA") {
            session.afterData = {c.reply};
        } else {
            session.replies[verb] = c.reply;
        }
        session.Run();
        EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Failed);
        EXPECT_EQ(session.ftp.Message().rfind(c.prefix, 0), 0u) << session.ftp.Message();
        EXPECT_EQ(session.kinds.back(), Kind::CloseControl);
        EXPECT_EQ(session.ftp.FilesSent(), 0u);
    }
}

TEST(FtpSession, RefusedSecondFileStopsThereAfterTheFirstArrived) {
    ScriptedSession session(Account(), TwoPages());
    session.afterData = {"226 ok\r\n", "552 quota exceeded\r\n"};
    session.Run();
    EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(session.ftp.Message(), "ファイル転送エラー:/out/sch202401.html\n552 quota exceeded");
    EXPECT_EQ(session.ftp.FilesSent(), 1u);
}

TEST(FtpSession, FallsBackToPasvAndNeverFollowsAnotherAddress) {
    ScriptedSession session(Account(), TwoPages());
    session.replies["EPSV"] = "500 unknown command\r\n";
    session.replies["PASV"] = "227 Entering Passive Mode (10,9,8,7,19,137)\r\n";
    session.Run();
    EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Succeeded);
    // EPSV is not asked again once refused.
    const std::vector<std::string> expected = {
        "USER taro",     "PASS s3cret", "CWD /www/cal",        "TYPE A", "EPSV", "PASV",
        "STOR top.html", "PASV",        "STOR sch202401.html", "QUIT"};
    EXPECT_EQ(session.commands, expected);
    EXPECT_EQ(session.dataPorts, (std::vector<int>{19 * 256 + 137, 19 * 256 + 137}));
    for (const std::string& host : session.dataHosts) EXPECT_EQ(host, "ftp.example.jp");
}

TEST(FtpSession, MalformedPassiveRepliesAreRefused) {
    for (const char* reply : {"227 (127,0,0,1,300,1)\r\n", "227 (127,0,0,1,0,0)\r\n",
                              "227 nothing\r\n", "227 (1,2,3,4,5)\r\n"}) {
        SCOPED_TRACE(reply);
        ScriptedSession session(Account(), TwoPages());
        session.replies["EPSV"] = "502 no\r\n";
        session.replies["PASV"] = reply;
        session.Run();
        EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Failed);
        EXPECT_FALSE(session.Asked(Kind::ConnectData));
    }
}

TEST(FtpSession, ActiveModeAnnouncesTheListeningAddress) {
    FtpSettings settings = Account();
    settings.passive = false;
    settings.folder.clear();
    ScriptedSession session(settings, {{"/out/a.css", "a.css", false}});
    session.Run();
    EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Succeeded);
    const std::vector<std::string> expected = {
        "USER taro", "PASS s3cret", "TYPE I", "PORT 127,0,0,1,19,137", "STOR a.css", "QUIT"};
    EXPECT_EQ(session.commands, expected);
}

TEST(FtpSession, TlsIsNegotiatedFirstAndNeverDroppedToTheClear) {
    FtpSettings settings = Account();
    settings.tls = true;
    ScriptedSession session(settings, TwoPages());
    session.Run();
    EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Succeeded);
    ASSERT_GE(session.commands.size(), 4u);
    EXPECT_EQ(session.commands[0], "AUTH TLS");
    EXPECT_EQ(session.commands[1], "PBSZ 0");
    EXPECT_EQ(session.commands[2], "PROT P");
    EXPECT_EQ(session.commands[3], "USER taro");

    ScriptedSession refused(settings, TwoPages());
    refused.replies["AUTH"] = "500 AUTH not understood\r\n";
    refused.Run();
    EXPECT_EQ(refused.ftp.Result(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(refused.commands, (std::vector<std::string>{"AUTH TLS"}));
    EXPECT_EQ(refused.ftp.Message().rfind("接続エラー:500", 0), 0u);

    ScriptedSession noProtection(settings, TwoPages());
    noProtection.replies["PROT"] = "534 not here\r\n";
    noProtection.Run();
    EXPECT_EQ(noProtection.ftp.Result(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(noProtection.commands.back(), "PROT P");
}

TEST(FtpSession, ControlCharactersAndBadNamesAreRefusedBeforeConnecting) {
    const std::vector<FtpSettings> hostile = [] {
        std::vector<FtpSettings> list(5, Account());
        list[0].password = "pw\r\nDELE index.html";
        list[1].user = "taro\nSITE CHMOD 777 /";
        list[2].folder = std::string("www\0x", 5);
        list[3].host = "host\r";
        list[4].host = "host:99999";
        return list;
    }();
    for (const FtpSettings& settings : hostile) {
        ScriptedSession session(settings, TwoPages());
        session.Run();
        EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Failed);
        EXPECT_EQ(session.ftp.Message().rfind("接続エラー:", 0), 0u);
        EXPECT_TRUE(session.kinds.empty());
    }
    for (const char* name : {"..", "a\r\nDELE b", "", "x/y"}) {
        ScriptedSession session(Account(),
                                {{"/out/ok.html", "ok.html", true}, {"/out/bad", name, true}});
        session.Run();
        EXPECT_EQ(session.ftp.Result(), CVeltaFtp::Outcome::Failed);
        EXPECT_EQ(session.ftp.Message().rfind("ファイル転送エラー:/out/bad", 0), 0u);
        EXPECT_TRUE(session.kinds.empty());
    }
}

TEST(FtpSession, SilentServersTimeOutOnTheInjectedClock) {
    // Connection never made: 30 s.
    ScriptedSession never(Account(), TwoPages());
    never.connects = false;
    never.Run();
    never.ftp.Tick(never.now + 29s);
    EXPECT_TRUE(never.ftp.Running());
    never.ftp.Tick(never.now + 30s);
    EXPECT_EQ(never.ftp.Message(), std::string("接続エラー:") + m::kTimedOut);

    // Connected, no greeting: 60 s.
    ScriptedSession mute(Account(), TwoPages());
    mute.greeting.clear();
    mute.Run();
    ASSERT_TRUE(mute.ftp.Deadline().has_value());
    EXPECT_EQ(*mute.ftp.Deadline(), mute.now + 60s);
    mute.ftp.Tick(mute.now + 59s);
    EXPECT_TRUE(mute.ftp.Running());
    mute.ftp.Tick(mute.now + 60s);
    EXPECT_EQ(mute.ftp.Message(), std::string("接続エラー:") + m::kNoReply);
    EXPECT_EQ(mute.ftp.TakeActions().back().kind, Kind::CloseControl);

    // Silent after the file's data: a transfer error, not success.
    ScriptedSession afterData(Account(), TwoPages());
    afterData.afterData = {"226 ok\r\n", ""};
    afterData.Run();
    afterData.ftp.Tick(afterData.now + 60s);
    EXPECT_EQ(afterData.ftp.Result(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(afterData.ftp.Message().rfind("ファイル転送エラー:/out/sch202401.html", 0), 0u);

    // Silent after QUIT: every file was confirmed, so the upload stands.
    ScriptedSession quit(Account(), TwoPages());
    quit.replies["QUIT"] = "";
    quit.Run();
    EXPECT_TRUE(quit.ftp.Running());
    quit.ftp.Tick(quit.now + 60s);
    EXPECT_EQ(quit.ftp.Result(), CVeltaFtp::Outcome::Succeeded);
}

TEST(FtpSession, AStalledDataConnectionTimesOutButASlowOneGoesOn) {
    ScriptedSession slow(Account(), TwoPages());
    slow.dataFlows = false;
    slow.Run();
    FtpClock t = slow.now;
    // 70 bytes a minute is above one byte a second.
    for (int minute = 1; minute <= 3; ++minute) {
        slow.ftp.DataProgress(static_cast<std::uint64_t>(70 * minute), t + minute * 60s - 1s);
        slow.ftp.Tick(t + minute * 60s);
        EXPECT_TRUE(slow.ftp.Running()) << minute;
    }
    slow.ftp.DataProgress(70 * 3 + 10, t + 239s);
    slow.ftp.Tick(t + 240s);
    EXPECT_EQ(slow.ftp.Result(), CVeltaFtp::Outcome::Failed);
    EXPECT_EQ(slow.ftp.Message(), std::string("ファイル転送エラー:/out/top.html\n") + m::kStalled);
}

TEST(FtpSession, EndlessRepliesAndGarbageFailInsteadOfGrowing) {
    ScriptedSession endless(Account(), TwoPages());
    endless.greeting = "220-start\r\n";
    endless.Run();
    for (int i = 0; i < 1000 && endless.ftp.Running(); ++i) endless.Feed("220-more\r\n");
    EXPECT_EQ(endless.ftp.Result(), CVeltaFtp::Outcome::Failed);

    ScriptedSession longLine(Account(), TwoPages());
    longLine.greeting.clear();
    longLine.Run();
    for (int i = 0; i < 100 && longLine.ftp.Running(); ++i) {
        longLine.Feed("220 " + std::string(1000, 'x'));
    }
    EXPECT_EQ(longLine.ftp.Result(), CVeltaFtp::Outcome::Failed);

    ScriptedSession garbage(Account(), TwoPages());
    garbage.greeting = "HTTP/1.1 400 Bad Request\r\n";
    garbage.Run();
    EXPECT_EQ(garbage.ftp.Message(), std::string("接続エラー:") + m::kBadReply);

    // A reply nobody asked for.
    ScriptedSession unasked(Account(), TwoPages());
    unasked.dataFlows = false;
    unasked.Run();
    unasked.Feed("226 done\r\n");  // final reply before the data went: waits for the data
    EXPECT_TRUE(unasked.ftp.Running());
    unasked.Feed("421 shutting down\r\n");
    EXPECT_EQ(unasked.ftp.Result(), CVeltaFtp::Outcome::Failed);
}

TEST(FtpSession, DropsAndCancelNeverReportSuccess) {
    ScriptedSession dropped(Account(), TwoPages());
    dropped.dataFlows = false;
    dropped.Run();
    dropped.ftp.ControlClosed("", dropped.now);
    EXPECT_EQ(dropped.ftp.Message(),
              std::string("ファイル転送エラー:/out/top.html\n") + m::kClosed);

    ScriptedSession dataFailed(Account(), TwoPages());
    dataFailed.dataFlows = false;
    dataFailed.Run();
    dataFailed.ftp.DataFailed("Connection reset by peer", dataFailed.now);
    EXPECT_EQ(dataFailed.ftp.Message(),
              "ファイル転送エラー:/out/top.html\nConnection reset by peer");
    const auto closing = dataFailed.ftp.TakeActions();
    ASSERT_EQ(closing.size(), 2u);
    EXPECT_EQ(closing[0].kind, Kind::CloseData);

    ScriptedSession cancelled(Account(), TwoPages());
    cancelled.dataFlows = false;
    cancelled.Run();
    cancelled.ftp.Cancel();
    EXPECT_EQ(cancelled.ftp.Result(), CVeltaFtp::Outcome::Cancelled);
    cancelled.ftp.DataDone(cancelled.now);
    cancelled.Feed("226 ok\r\n");
    EXPECT_EQ(cancelled.ftp.Result(), CVeltaFtp::Outcome::Cancelled);
    EXPECT_EQ(cancelled.ftp.FilesSent(), 0u);
}

TEST(FtpSession, TypeChangesOnlyWhenTheModeOfTheNextFileDiffers) {
    FtpSettings settings = Account();
    settings.folder.clear();
    ScriptedSession session(settings, {{"/o/a.html", "a.html", true},
                                       {"/o/b.html", "b.html", true},
                                       {"/o/c.png", "c.png", false}});
    session.Run();
    std::vector<std::string> types;
    for (const std::string& c : session.commands) {
        if (c.rfind("TYPE", 0) == 0) types.push_back(c);
    }
    EXPECT_EQ(types, (std::vector<std::string>{"TYPE A", "TYPE I"}));
}

TEST(FtpHelpers, HostFieldsNamesAndTextMode) {
    EXPECT_EQ(ParseFtpHost("ftp.example.jp")->port, 21);
    EXPECT_EQ(ParseFtpHost("ftp.example.jp:2121")->port, 2121);
    EXPECT_EQ(ParseFtpHost("ftp.example.jp:2121")->host, "ftp.example.jp");
    EXPECT_EQ(ParseFtpHost("[::1]:2121")->host, "::1");
    EXPECT_EQ(ParseFtpHost("[::1]:2121")->port, 2121);
    EXPECT_EQ(ParseFtpHost("fe80::1")->host, "fe80::1");
    for (const char* bad :
         {"", "host:", "host:0", "host:65536", "host:2x", ":21", "[::1", "[]", "[::1]x"}) {
        EXPECT_FALSE(ParseFtpHost(bad).has_value()) << bad;
    }
    EXPECT_EQ(RemoteNameOf("/home/u/out/sch202401.html"), "sch202401.html");
    EXPECT_EQ(RemoteNameOf("top.html"), "top.html");

    bool cr = false;
    EXPECT_EQ(ToNetworkText("a\r\nb\nc\r", cr), "a\r\nb\r\nc\r");
    EXPECT_EQ(ToNetworkText("\nd\n", cr), "\nd\r\n");  // the CR came in the piece before
}

}  // namespace
}  // namespace almx
