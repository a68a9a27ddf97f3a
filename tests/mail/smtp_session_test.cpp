#include "mail/smtp_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "mail/base64.h"
#include "mail/md5.h"

namespace almx::mail {
namespace {

// A server that answers each command by its verb; tests replace single answers.
struct FakeSmtpServer {
    std::string greeting = "220 mail.example ESMTP\r\n";
    std::string ehlo = "250-mail.example\r\n250-AUTH LOGIN CRAM-MD5 PLAIN\r\n250 SIZE 1000\r\n";
    std::map<std::string, std::string> answers{
        {"HELO", "250 hello\r\n"},       {"AUTH", "334 PDEyMzQ1QGV4YW1wbGU+\r\n"},
        {"MAIL", "250 ok\r\n"},          {"RCPT", "250 ok\r\n"},
        {"DATA", "354 go on\r\n"},       {"END", "250 queued\r\n"},
        {"CRED", "235 welcome\r\n"},     {"QUIT", "221 bye\r\n"},
        {"STARTTLS", "220 go ahead\r\n"}};
    std::vector<std::string> received;  // every chunk the client sent
    bool inData = false;
    int loginSteps = 0;

    std::string Answer(const std::string& chunk) {
        received.push_back(chunk);
        if (inData) {
            inData = false;
            return answers["END"];
        }
        const std::string verb = chunk.substr(0, chunk.find_first_of(" \r"));
        if (verb == "EHLO") return ehlo;
        if (verb == "DATA") {
            const std::string a = answers["DATA"];
            inData = a.rfind("354", 0) == 0;
            return a;
        }
        if (chunk.rfind("AUTH LOGIN", 0) == 0) loginSteps = 1;
        if (answers.count(verb)) return answers[verb];
        if (loginSteps > 0) {
            --loginSteps;
            return "334 UGFzc3dvcmQ6\r\n";
        }
        return answers["CRED"];  // an authentication line
    }
};

struct Outcome {
    std::optional<std::string> error;
    std::vector<int> sent;
    std::vector<std::string> statuses;
    std::string log;
    bool finished = false;
    bool closed = false;
    bool startTls = false;
};

class SmtpSessionTest : public ::testing::Test {
  protected:
    SmtpSessionTest() {
        config.smtpServer = "mail.example";
        config.user = "taro";
        config.password = "s3cret-pass";
        messages.push_back({"me@example.jp",
                            {"a@example.com", "b@example.com"},
                            "Subject: one\r\n\r\nbody\r\n.\r\n"});
        messages.push_back({"me@example.jp", {"c@example.com"}, "Subject: two\r\n\r\nx\r\n.\r\n"});
    }

    void Take(const SessionActions& a, Outcome& o) {
        if (a.error && !o.error) o.error = a.error;
        o.sent.insert(o.sent.end(), a.sent.begin(), a.sent.end());
        o.statuses.insert(o.statuses.end(), a.statuses.begin(), a.statuses.end());
        for (const std::string& l : a.log) o.log += l;
        o.finished = o.finished || a.finished;
        o.closed = o.closed || a.close;
        o.startTls = o.startTls || a.startTls;
    }

    // Feeds the server's bytes in pieces of `piece` bytes (0: whole) and answers what the
    // session sends until it finishes or stops asking.
    Outcome Run(FakeSmtpServer& server, std::size_t piece = 0, bool tlsWorks = true) {
        SmtpSession session(config, messages);
        Outcome o;
        std::int64_t now = 1000;
        Take(session.Start(now), o);
        Take(session.Connected("127.0.0.1", now), o);
        std::string incoming = server.greeting;
        for (int guard = 0; guard < 100 && !o.finished; ++guard) {
            SessionActions merged;
            const std::size_t step = piece == 0 ? incoming.size() : piece;
            for (std::size_t i = 0; i < incoming.size() && !merged.finished; i += step) {
                SessionActions a =
                    session.Received(std::string_view(incoming).substr(i, step), now);
                Take(a, o);
                merged.send += a.send;
                merged.startTls = merged.startTls || a.startTls;
                merged.finished = a.finished;
            }
            if (merged.startTls && tlsWorks) {
                SessionActions a = session.TlsReady(now);
                Take(a, o);
                merged.send += a.send;
            }
            if (merged.send.empty()) break;
            incoming = server.Answer(merged.send);
        }
        transcript = server.received;
        return o;
    }

    bool Sent(const std::string& prefix) const {
        for (const std::string& c : transcript) {
            if (c.rfind(prefix, 0) == 0) return true;
        }
        return false;
    }

    MailServerConfig config;
    std::vector<OutgoingMessage> messages;
    std::vector<std::string> transcript;
};

TEST_F(SmtpSessionTest, PlainDialogueSendsEveryMessage) {
    FakeSmtpServer server;
    const Outcome o = Run(server);
    EXPECT_FALSE(o.error);
    EXPECT_EQ(o.sent, (std::vector<int>{0, 1}));
    EXPECT_TRUE(o.finished);
    const std::vector<std::string> expected{"HELO [127.0.0.1]\r\n",
                                            "MAIL FROM:<me@example.jp>\r\n",
                                            "RCPT TO:<a@example.com>\r\n",
                                            "RCPT TO:<b@example.com>\r\n",
                                            "DATA\r\n",
                                            messages[0].data,
                                            "MAIL FROM:<me@example.jp>\r\n",
                                            "RCPT TO:<c@example.com>\r\n",
                                            "DATA\r\n",
                                            messages[1].data,
                                            "QUIT\r\n"};
    EXPECT_EQ(transcript, expected);
    EXPECT_EQ(o.statuses.front(), "SMTPサーバ接続中");
    EXPECT_NE(std::find(o.statuses.begin(), o.statuses.end(), "送信先送信中：2/2"),
              o.statuses.end());
    EXPECT_NE(std::find(o.statuses.begin(), o.statuses.end(), "メール送信中：2/2"),
              o.statuses.end());
    EXPECT_EQ(o.statuses.back(), "切断中");
}

TEST_F(SmtpSessionTest, SameOutcomeHoweverTheRepliesAreSplit) {
    config.smtpAuth = true;
    for (std::size_t piece : {1u, 2u, 3u, 7u}) {
        FakeSmtpServer server;
        const Outcome o = Run(server, piece);
        EXPECT_FALSE(o.error) << piece;
        EXPECT_EQ(o.sent, (std::vector<int>{0, 1})) << piece;
    }
    // Two replies in one packet answer two commands in turn.
    FakeSmtpServer joined;
    joined.answers["RCPT"] = "250 ok\r\n";
    const Outcome o = Run(joined);
    EXPECT_EQ(o.sent.size(), 2u);
}

TEST_F(SmtpSessionTest, RefusalAtEachStepSendsQuitAndCountsNothingAfterIt) {
    struct Case {
        const char* step;
        const char* answer;
        std::vector<int> sent;
    };
    const std::vector<Case> cases{
        {"greeting", "554 go away\r\n", {}},    {"HELO", "501 bad hello\r\n", {}},
        {"MAIL", "550 sender refused\r\n", {}}, {"RCPT", "550 no such user\r\n", {}},
        {"DATA", "451 later\r\n", {}},          {"END", "552 too big\r\n", {}},
        {"DATA", "250 not a go-ahead\r\n", {}}, {"END", "354 again?\r\n", {}},
    };
    for (const Case& c : cases) {
        FakeSmtpServer server;
        if (std::string(c.step) == "greeting")
            server.greeting = c.answer;
        else
            server.answers[c.step] = c.answer;
        const Outcome o = Run(server);
        ASSERT_TRUE(o.error) << c.step;
        EXPECT_EQ(*o.error, "エラーが発生しました：" +
                                std::string(c.answer).substr(0, std::string(c.answer).size() - 2))
            << c.step;
        EXPECT_EQ(o.sent, c.sent) << c.step << " " << c.answer;
        EXPECT_EQ(transcript.back(), "QUIT\r\n") << c.step;
        if (std::string(c.step) == "DATA") {
            EXPECT_FALSE(Sent("Subject:")) << "body before 354";
        }
    }
}

TEST_F(SmtpSessionTest, RecipientForwardedWith251IsAccepted) {
    FakeSmtpServer server;
    server.answers["RCPT"] = "251 User not local; will forward\r\n";
    EXPECT_EQ(Run(server).sent.size(), 2u);
}

TEST_F(SmtpSessionTest, GarbageAndEndlessLinesEndTheSending) {
    for (const char* greeting : {"hello there\r\n", "2200 ready\r\n", "22 ready\r\n",
                                 "220-one\r\n221 two\r\n", "\x16\x03\x01\x02\r\n"}) {
        FakeSmtpServer server;
        server.greeting = greeting;
        const Outcome o = Run(server);
        EXPECT_EQ(o.error, "エラーが発生しました：サーバの応答が正しくありません") << greeting;
        EXPECT_TRUE(o.closed) << greeting;
        EXPECT_TRUE(o.sent.empty());
    }
    FakeSmtpServer endless;
    endless.answers["MAIL"] = "250 " + std::string(kMaxReplyLine + 10, 'x');
    const Outcome o = Run(endless, 1000);
    EXPECT_EQ(o.error, "エラーが発生しました：サーバの応答が長すぎます");
    EXPECT_TRUE(o.sent.empty());
    // A long reply that does end is still read.
    FakeSmtpServer longReply;
    longReply.answers["MAIL"] = "250 " + std::string(3000, 'x') + "\r\n";
    EXPECT_EQ(Run(longReply).sent.size(), 2u);
}

TEST_F(SmtpSessionTest, DropsAndSilenceCountNothingAsSent) {
    SmtpSession session(config, messages);
    std::int64_t now = 0;
    session.Start(now);
    // Connecting gives up after 30 s.
    EXPECT_FALSE(session.Tick(now + kConnectTimeoutMs - 1).finished);
    SessionActions a = session.Tick(now + kConnectTimeoutMs);
    EXPECT_EQ(a.error, "SMTPサーバに接続できません");

    SmtpSession silent(config, messages);
    silent.Start(now);
    silent.Connected("127.0.0.1", now);
    EXPECT_FALSE(silent.Tick(now + kReplyTimeoutMs - 1).finished);
    a = silent.Tick(now + kReplyTimeoutMs);
    EXPECT_EQ(a.error, kNoResponse);
    EXPECT_TRUE(a.close);
    EXPECT_TRUE(a.send.empty());

    // The end of the data is given 180 s; a drop there leaves the message unsent.
    SmtpSession slow(config, {messages[0]});
    slow.Start(now);
    slow.Connected("127.0.0.1", now);
    for (const char* r : {"220 hi\r\n", "250 hello\r\n", "250 ok\r\n", "250 ok\r\n", "250 ok\r\n"})
        slow.Received(r, now);
    a = slow.Received("354 go\r\n", now);
    EXPECT_EQ(a.send, messages[0].data);
    EXPECT_FALSE(slow.Tick(now + kReplyTimeoutMs).finished);
    EXPECT_FALSE(slow.Tick(now + kDataEndTimeoutMs - 1).finished);
    a = slow.Closed(now + 1000);
    EXPECT_EQ(a.error, kNoResponse);
    EXPECT_TRUE(a.sent.empty());
    EXPECT_TRUE(slow.SentMessages().empty());
}

TEST_F(SmtpSessionTest, QuitWaitsSmailTimeAtMostFiveSeconds) {
    for (int smailTime : {200, 60000}) {
        config.smailTimeMs = smailTime;
        SmtpSession session(config, {});
        session.Start(0);
        session.Connected("::1", 0);
        SessionActions a = session.Received("220 hi\r\n", 0);
        EXPECT_EQ(a.send, "HELO [IPv6:::1]\r\n");
        a = session.Received("250 hi\r\n", 0);
        EXPECT_EQ(a.send, "QUIT\r\n");
        const std::int64_t wait = std::min(smailTime, 5000);
        EXPECT_FALSE(session.Tick(wait - 1).finished);
        a = session.Tick(wait);
        EXPECT_TRUE(a.finished);
        EXPECT_TRUE(a.close);
        EXPECT_FALSE(a.error);
    }
}

TEST_F(SmtpSessionTest, AuthenticationPicksTheFirstListedMechanism) {
    config.smtpAuth = true;
    // CRAM-MD5: user, blank, HMAC-MD5 of the challenge in hex, base64.
    FakeSmtpServer cram;
    Outcome o = Run(cram);
    ASSERT_FALSE(o.error);
    EXPECT_EQ(transcript[0], "EHLO [127.0.0.1]\r\n");
    EXPECT_EQ(transcript[1], "AUTH CRAM-MD5\r\n");
    EXPECT_EQ(Base64Decode(transcript[2].substr(0, transcript[2].size() - 2)),
              "taro " + ToHex(HmacMd5("s3cret-pass", "<12345@example>")));
    EXPECT_EQ(o.log.find("s3cret"), std::string::npos);
    EXPECT_EQ(o.log.find(transcript[2]), std::string::npos);

    FakeSmtpServer login;
    login.ehlo = "250-mail\r\n250 AUTH PLAIN LOGIN\r\n";
    o = Run(login);
    ASSERT_FALSE(o.error);
    EXPECT_EQ(transcript[1], "AUTH LOGIN\r\n");
    EXPECT_EQ(transcript[2], Base64Encode("taro") + "\r\n");
    EXPECT_EQ(transcript[3], Base64Encode("s3cret-pass") + "\r\n");
    EXPECT_EQ(o.log.find(Base64Encode("s3cret-pass")), std::string::npos);

    FakeSmtpServer plain;
    plain.ehlo = "250-mail\r\n250-AUTH=PLAIN\r\n250 8BITMIME\r\n";
    plain.answers["AUTH"] = "235 ok\r\n";
    o = Run(plain);
    ASSERT_FALSE(o.error);
    EXPECT_EQ(transcript[1],
              "AUTH PLAIN " + Base64EncodeBytes(std::string("\0taro\0s3cret-pass", 17)) + "\r\n");
    EXPECT_NE(o.log.find("AUTH PLAIN ******"), std::string::npos);
    EXPECT_EQ(o.log.find(transcript[1]), std::string::npos);

    FakeSmtpServer none;
    none.ehlo = "250-mail\r\n250 AUTH GSSAPI\r\n";
    o = Run(none);
    EXPECT_EQ(o.error, "SMTP認証をサポートしていません");
    EXPECT_FALSE(Sent("MAIL"));
}

TEST_F(SmtpSessionTest, WithoutAListCramThenLoginAndTheResultMustBe235) {
    config.smtpAuth = true;
    FakeSmtpServer server;
    server.ehlo = "250 mail\r\n";
    server.answers["AUTH"] = "502 unknown\r\n";
    Outcome o = Run(server);
    EXPECT_EQ(o.error, "SMTP認証をサポートしていません");
    EXPECT_TRUE(Sent("AUTH LOGIN"));

    FakeSmtpServer refused;
    refused.answers["CRED"] = "535 bad credentials\r\n";
    o = Run(refused);
    EXPECT_EQ(o.error, "エラーが発生しました：535 bad credentials");
    EXPECT_FALSE(Sent("MAIL"));
    EXPECT_TRUE(o.sent.empty());

    // Only 235 means authenticated; a 250 there is not taken for it.
    FakeSmtpServer odd;
    odd.answers["CRED"] = "250 fine\r\n";
    o = Run(odd);
    EXPECT_EQ(o.error, "エラーが発生しました：250 fine");
    EXPECT_FALSE(Sent("MAIL"));
}

TEST_F(SmtpSessionTest, StartTlsIsRequiredAndEhloIsSentAgain) {
    config.smtpSsl = 1;
    FakeSmtpServer without;
    Outcome o = Run(without);
    EXPECT_EQ(o.error, "サーバが暗号化(STARTTLS)に対応していません");
    EXPECT_FALSE(Sent("MAIL"));

    FakeSmtpServer with;
    with.ehlo = "250-mail\r\n250 STARTTLS\r\n";
    o = Run(with);
    EXPECT_FALSE(o.error);
    EXPECT_TRUE(o.startTls);
    EXPECT_EQ(transcript[0], "EHLO [127.0.0.1]\r\n");
    EXPECT_EQ(transcript[1], "STARTTLS\r\n");
    EXPECT_EQ(transcript[2], "EHLO [127.0.0.1]\r\n");
    EXPECT_EQ(o.sent.size(), 2u);

    // Bytes after the go-ahead, before the handshake, abort: no plain text goes on.
    FakeSmtpServer injected;
    injected.ehlo = "250-mail\r\n250 STARTTLS\r\n";
    injected.answers["STARTTLS"] = "220 go ahead\r\n250 injected\r\n";
    o = Run(injected);
    ASSERT_TRUE(o.error);
    EXPECT_EQ(o.error->rfind("SSL/TLS接続に失敗しました：", 0), 0u);
    EXPECT_EQ(transcript.back(), "STARTTLS\r\n");
    EXPECT_TRUE(o.closed);

    // A failed handshake ends it too.
    SmtpSession session(config, messages);
    session.Start(0);
    session.Connected("127.0.0.1", 0);
    session.Received("220 hi\r\n", 0);
    session.Received("250-mail\r\n250 STARTTLS\r\n", 0);
    EXPECT_TRUE(session.Received("220 go\r\n", 0).startTls);
    SessionActions a = session.TlsFailed("certificate\nexpired", 0);
    EXPECT_EQ(a.error, "SSL/TLS接続に失敗しました：certificateexpired");
    EXPECT_TRUE(a.close);
}

TEST(ReplyReaderTest, ServerTextIsCutAndCleaned) {
    EXPECT_EQ(CleanServerText("550 <b>bad</b>\x07\r\n"), "550 <b>bad</b>");
    EXPECT_EQ(CleanServerText(std::string(600, 'x')).size(), 512u);
    EXPECT_EQ(CleanServerText("a\xff"
                              "b"),
              "a?b");
    // A character is not cut in half at the limit.
    EXPECT_EQ(CleanServerText(std::string(511, 'x') + "あ").size(), 511u);
}

}  // namespace
}  // namespace almx::mail
