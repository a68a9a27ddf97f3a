#include "mail/mail_engine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <map>

#include "base/clock.h"
#include "base/prompter.h"
#include "mail/scripted_transport.h"

namespace almx::mail {
namespace {

namespace fs = std::filesystem;

// Answers SMTP and POP3 commands by their verb; single answers can be replaced.
struct ServerScript {
    std::map<std::string, std::optional<std::string>> answers{
        {"EHLO", "250-mail\r\n250 AUTH PLAIN\r\n"},
        {"HELO", "250 hi\r\n"},
        {"AUTH", "235 ok\r\n"},
        {"MAIL", "250 ok\r\n"},
        {"RCPT", "250 ok\r\n"},
        {"DATA", "354 go\r\n"},
        {"END", "250 queued\r\n"},
        {"QUIT", "221 bye\r\n"},
        {"USER", "+OK\r\n"},
        {"PASS", "+OK\r\n"}};
    bool inData = false;

    std::optional<std::string> Answer(const std::string& chunk) {
        if (inData) {
            inData = false;
            return answers["END"];
        }
        const std::string verb = chunk.substr(0, chunk.find_first_of(" \r"));
        if (verb == "DATA") inData = true;
        return answers.count(verb) ? answers[verb] : std::optional<std::string>("500 what\r\n");
    }
};

class MailEngineTest : public ::testing::Test {
  protected:
    MailEngineTest() : clock(DateTime::FromParts(2026, 12, 8, 9, 0)) {
        folder = fs::temp_directory_path() /
                 ("almx-engine-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        config.smtpServer = "127.0.0.1";
        config.fromAddress = "me@example.jp";
        config.user = "taro";
        config.password = "pw-Secret9";
        transport.greet = [](const TransportTarget& t) -> std::optional<std::string> {
            return t.port == 110 ? "+OK pop ready\r\n" : "220 smtp ready\r\n";
        };
        transport.answer = [this](const std::string& chunk) { return server.Answer(chunk); };
    }
    ~MailEngineTest() override { fs::remove_all(folder); }

    static CMail Mail(const std::string& to) {
        CMail m;
        m.to = to;
        m.subject = "Almanix通知";
        m.body = "TEST";
        return m;
    }
    SendOutcome Send(MailEngine& engine, const std::vector<CMail>& mails) {
        SendOutcome outcome;
        int calls = 0;
        engine.SendQueue(mails, config, [&](const SendOutcome& o) {
            outcome = o;
            ++calls;
        });
        transport.Pump();
        transport.Advance(kQuitWaitLimitMs);
        EXPECT_EQ(calls, 1);
        return outcome;
    }
    std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    ManualClock clock;
    ScriptedPrompter prompter;
    ScriptedTransport transport;
    ServerScript server;
    MailServerConfig config;
    fs::path folder;
};

TEST_F(MailEngineTest, SendsAndKeepsLogsPrivateWithoutThePassword) {
    config.smtpAuth = true;
    MailEngine engine(transport, prompter, clock, folder);
    std::vector<CMail> mails{Mail("a@example.com"), Mail("b@example.com")};
    mails[1].state = CMail::kSent;  // already sent: left alone
    const SendOutcome o = Send(engine, mails);
    EXPECT_TRUE(o.AllSent());
    EXPECT_EQ(o.states, (std::vector<int>{CMail::kSent, CMail::kSent}));
    ASSERT_EQ(transport.sent.size(), 1u);
    EXPECT_EQ(transport.sent[0].find("RCPT TO:<b@example.com>"), std::string::npos);
    const std::string log = Read(folder / "smail.log");
    EXPECT_NE(log.find("MAIL FROM:<me@example.jp>"), std::string::npos);
    EXPECT_NE(log.find("AUTH PLAIN ******"), std::string::npos);
    EXPECT_EQ(log.find("pw-Secret9"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat((folder / "smail.log").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_NE(Read(folder / "smail.$$$").find("\r\n.\r\n"), std::string::npos);
}

TEST_F(MailEngineTest, ChecksComeBeforeAnyConnection) {
    MailEngine engine(transport, prompter, clock, folder);
    config.fromAddress.clear();
    SendOutcome o = Send(engine, {Mail("a@example.com")});
    EXPECT_EQ(o.error, "メール設定を行ってください");
    EXPECT_TRUE(transport.connections.empty());

    config.fromAddress = "me@example.jp";
    o = Send(engine, {Mail("bad address@x"), Mail(""), Mail("ok@example.com")});
    EXPECT_TRUE(prompter.Saw("メールアドレスが正しくありません：bad address@x"));
    EXPECT_TRUE(prompter.Saw("送信先を指定してください"));
    EXPECT_EQ(o.states, (std::vector<int>{CMail::kWaiting, CMail::kWaiting, CMail::kSent}));

    CMail attached = Mail("a@example.com");
    attached.attachment = (folder / "missing.bin").string();
    o = Send(engine, {attached});
    EXPECT_EQ(o.error, "添付ファイルが開けません");
    EXPECT_EQ(transport.connections.size(), 1u);
}

TEST_F(MailEngineTest, FailureLeavesTheRestWaiting) {
    server.answers["RCPT"] = std::nullopt;  // the server drops after RCPT
    MailEngine engine(transport, prompter, clock, folder);
    const SendOutcome o = Send(engine, {Mail("a@example.com"), Mail("b@example.com")});
    EXPECT_EQ(o.error, kNoResponse);
    EXPECT_EQ(o.states, (std::vector<int>{CMail::kWaiting, CMail::kWaiting}));
}

TEST_F(MailEngineTest, SecondCallWaitsForTheNextConnection) {
    MailEngine engine(transport, prompter, clock, folder);
    std::vector<int> order;
    engine.SendQueue({Mail("a@example.com")}, config, [&](const SendOutcome& o) {
        EXPECT_TRUE(o.AllSent());
        order.push_back(1);
    });
    EXPECT_TRUE(engine.Busy());
    engine.SendQueue({Mail("b@example.com")}, config, [&](const SendOutcome& o) {
        EXPECT_TRUE(o.AllSent());
        order.push_back(2);
    });
    EXPECT_EQ(transport.connections.size(), 1u);
    transport.Pump();
    transport.Advance(kQuitWaitLimitMs);
    transport.Advance(kQuitWaitLimitMs);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    ASSERT_EQ(transport.sent.size(), 2u);
    EXPECT_NE(transport.sent[1].find("RCPT TO:<b@example.com>"), std::string::npos);
    EXPECT_FALSE(engine.Busy());
}

TEST_F(MailEngineTest, PopBeforeSmtp) {
    config.popBefore = true;
    config.popServer = "127.0.0.1";
    MailEngine engine(transport, prompter, clock, folder);
    server.answers["PASS"] = "-ERR wrong\r\n";
    SendOutcome o = Send(engine, {Mail("a@example.com")});
    EXPECT_TRUE(prompter.Saw("パスワードエラー：-ERR wrong"));
    EXPECT_TRUE(o.AllSent());  // a refused login still sends
    ASSERT_EQ(transport.connections.size(), 2u);
    EXPECT_EQ(transport.connections[0].port, 110);
    EXPECT_EQ(transport.connections[1].port, 25);
    const std::string rec = Read(folder / "rec.log");
    EXPECT_NE(rec.find("PASS ******"), std::string::npos);
    EXPECT_EQ(rec.find("pw-Secret9"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat((folder / "inbox.log").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    server.answers["USER"] = std::nullopt;  // lost connection: nothing is sent
    o = Send(engine, {Mail("a@example.com")});
    EXPECT_EQ(o.error, "応答がありません");
    EXPECT_FALSE(o.AllSent());
    EXPECT_EQ(transport.connections.size(), 3u);
}

// A prompter whose message box lets the event loop run, as a modal box does.
class PumpingPrompter : public ScriptedPrompter {
  public:
    explicit PumpingPrompter(ScriptedTransport& transport) : transport_(transport) {}
    void ShowMessage(std::string_view text, MessageKind kind) override {
        ScriptedPrompter::ShowMessage(text, kind);
        sentBefore = transport_.sent.empty() ? 0 : transport_.sent.back().size();
        transport_.Pump();
        transport_.Advance(kQuitWaitLimitMs);
        sentAfter = transport_.sent.empty() ? 0 : transport_.sent.back().size();
        if (during) during();
    }
    std::size_t sentBefore = 0, sentAfter = 0;
    std::function<void()> during;

  private:
    ScriptedTransport& transport_;
};

TEST_F(MailEngineTest, SocketEventsWaitWhileAMessageBoxIsOpen) {
    PumpingPrompter boxes(transport);
    server.answers["MAIL"] = "550 refused\r\n";
    MailEngine engine(transport, boxes, clock, folder);
    SendOutcome outcome;
    bool done = false;
    bool doneWhileBoxOpen = true;
    boxes.during = [&] { doneWhileBoxOpen = done; };
    engine.SendQueue({Mail("a@example.com")}, config, [&](const SendOutcome& o) {
        outcome = o;
        done = true;
    });
    transport.Pump();
    // The QUIT went out before the box; its reply and the timer waited until it was closed.
    EXPECT_TRUE(boxes.Saw("エラーが発生しました：550 refused"));
    EXPECT_EQ(boxes.sentBefore, boxes.sentAfter);
    EXPECT_FALSE(doneWhileBoxOpen);
    EXPECT_TRUE(done);
    EXPECT_FALSE(outcome.AllSent());
    EXPECT_FALSE(engine.Busy());
}

TEST_F(MailEngineTest, LanFolderGetsTheMessageAppended) {
    fs::create_directories(folder / "lan");
    MailEngine engine(transport, prompter, clock, folder);
    const std::string lan = (folder / "lan").string();
    SendOutcome o = Send(engine, {Mail(lan)});
    EXPECT_TRUE(o.AllSent());
    EXPECT_TRUE(transport.connections.empty());
    EXPECT_NE(Read(folder / "lan" / "inbox.log").find("Subject: Almanix"), std::string::npos);
    o = Send(engine, {Mail((folder / "nowhere").string())});
    EXPECT_FALSE(o.AllSent());
    EXPECT_EQ(o.error, "エラー：LANメール送信先が開けません\n\n" + (folder / "nowhere").string());
}

}  // namespace
}  // namespace almx::mail
