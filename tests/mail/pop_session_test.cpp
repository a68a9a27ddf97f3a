#include "mail/pop_session.h"

#include <gtest/gtest.h>

#include <functional>

#include "mail/md5.h"

namespace almx::mail {
namespace {

class PopSessionTest : public ::testing::Test {
  protected:
    PopSessionTest() {
        config.accountName = "接続00";
        config.popServer = "pop.example";
        config.user = "taro";
        config.password = "tanstaaf";
    }

    // Runs a login against a list of server lines (the greeting first), each fed in pieces
    // of `piece` bytes; returns what the client sent, the log and the last error.
    struct Result {
        std::vector<std::string> sent;
        std::string log;
        std::optional<std::string> error;
        bool smtpMayFollow = false;
        bool finished = false;
    };
    Result Run(const std::vector<std::string>& lines, std::size_t piece = 0) {
        PopSession session(config);
        Result r;
        std::function<void(const SessionActions&)> take = [&](const SessionActions& a) {
            if (!a.send.empty()) r.sent.push_back(a.send);
            for (const std::string& l : a.log) r.log += l;
            if (a.error) r.error = a.error;
            if (a.startTls) take(session.TlsReady(0));
        };
        take(session.Start(0));
        take(session.Connected(0));
        for (const std::string& line : lines) {
            const std::size_t step = piece == 0 ? line.size() : piece;
            for (std::size_t i = 0; i < line.size(); i += step)
                take(session.Received(line.substr(i, step), 0));
        }
        r.finished = session.Finished();
        r.smtpMayFollow = session.SmtpMayFollow();
        return r;
    }

    MailServerConfig config;
};

TEST_F(PopSessionTest, UserAndPassLoginNeverLogsThePassword) {
    for (std::size_t piece : {0u, 1u, 5u}) {
        const Result r =
            Run({"+OK ready\r\n", "+OK user\r\n", "+OK logged in\r\n", "+OK bye\r\n"}, piece);
        EXPECT_EQ(r.sent,
                  (std::vector<std::string>{"USER taro\r\n", "PASS tanstaaf\r\n", "QUIT\r\n"}));
        EXPECT_FALSE(r.error);
        EXPECT_TRUE(r.smtpMayFollow);
        EXPECT_NE(r.log.find("PASS ******\r\n"), std::string::npos);
        EXPECT_EQ(r.log.find("tanstaaf"), std::string::npos);
    }
}

TEST_F(PopSessionTest, RefusedLoginStillLetsSmtpFollow) {
    Result r = Run({"+OK ready\r\n", "+OK\r\n", "-ERR bad password\r\n", "+OK bye\r\n"});
    EXPECT_EQ(r.error, "パスワードエラー：-ERR bad password");
    EXPECT_TRUE(r.smtpMayFollow);
    // A refused user name gets no password.
    r = Run({"+OK ready\r\n", "-ERR who?\r\n", "+OK bye\r\n"});
    EXPECT_EQ(r.error, "パスワードエラー：-ERR who?");
    EXPECT_EQ(r.sent, (std::vector<std::string>{"USER taro\r\n", "QUIT\r\n"}));
    EXPECT_TRUE(r.smtpMayFollow);
}

TEST_F(PopSessionTest, BadGreetingOrLostConnectionStopsTheSending) {
    Result r = Run({"-ERR go away\r\n"});
    EXPECT_EQ(r.error, "Err:POPサーバに接続できません");
    EXPECT_FALSE(r.smtpMayFollow);
    EXPECT_TRUE(r.sent.empty());

    PopSession dropped(config);
    dropped.Start(0);
    dropped.Connected(0);
    dropped.Received("+OK ready\r\n", 0);
    SessionActions a = dropped.Closed(0);
    EXPECT_EQ(a.error, "応答がありません");
    EXPECT_FALSE(dropped.SmtpMayFollow());

    PopSession silent(config);
    silent.Start(0);
    silent.Connected(0);
    EXPECT_FALSE(silent.Tick(kReplyTimeoutMs - 1).finished);
    EXPECT_EQ(silent.Tick(kReplyTimeoutMs).error, "応答がありません");
    EXPECT_FALSE(silent.SmtpMayFollow());

    // An endless line is not buffered for ever.
    PopSession endless(config);
    endless.Start(0);
    endless.Connected(0);
    a = endless.Received(std::string(kMaxReplyLine + 1, '+'), 0);
    EXPECT_TRUE(a.close);
    EXPECT_FALSE(endless.SmtpMayFollow());
}

TEST_F(PopSessionTest, ApopUsesTheGreetingTimestamp) {
    config.apop = true;
    Result r =
        Run({"+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>\r\n", "+OK\r\n", "+OK\r\n"});
    EXPECT_EQ(r.sent.front(), "APOP taro c4c9334bac560ecc979e58001b3e22fb\r\n");
    EXPECT_NE(r.log.find("APOP taro ******\r\n"), std::string::npos);
    EXPECT_EQ(r.log.find("c4c9334b"), std::string::npos);
    EXPECT_TRUE(r.smtpMayFollow);

    r = Run({"+OK POP3 server ready\r\n", "+OK bye\r\n"});
    EXPECT_EQ(r.error, "POPサーバがAPOPに対応していません");
    EXPECT_EQ(r.sent, std::vector<std::string>{"QUIT\r\n"});
}

TEST_F(PopSessionTest, StlsIsRequiredWhenAsked) {
    config.popSsl = 1;
    Result r = Run({"+OK ready\r\n", "+OK begin TLS\r\n", "+OK\r\n", "+OK\r\n", "+OK\r\n"});
    EXPECT_EQ(r.sent.front(), "STLS\r\n");
    EXPECT_EQ(r.sent[1], "USER taro\r\n");
    EXPECT_TRUE(r.smtpMayFollow);

    r = Run({"+OK ready\r\n", "-ERR no TLS\r\n", "+OK bye\r\n"});
    EXPECT_EQ(r.error, "サーバが暗号化(STARTTLS)に対応していません");
    EXPECT_FALSE(r.smtpMayFollow);
    for (const std::string& s : r.sent) EXPECT_EQ(s.find("USER"), std::string::npos);
}

}  // namespace
}  // namespace almx::mail
