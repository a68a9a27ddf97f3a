#include "mail/mail_composer.h"

#include <gtest/gtest.h>

#include <regex>

#include "base/prompter.h"
#include "mail/base64.h"
#include "mail/mail_address.h"
#include "mail/md5.h"

namespace almx::mail {
namespace {

class ComposerTest : public ::testing::Test {
  protected:
    ComposerTest() {
        config.fromAddress = "me@example.jp";
        config.fromName = "";
        context.config = &config;
        context.prompter = &prompter;
        context.now = DateTime::FromParts(2026, 12, 8, 18, 47, 31);
        context.seed = 42;
        context.readFile = [this](const std::string& path) -> std::optional<std::string> {
            if (path != filePath) return std::nullopt;
            return fileBytes;
        };
    }
    ComposedMail Compose(const CMail& mail) { return ComposeMail(mail, context); }

    // The Message-ID digits are random; the rest of the bytes are fixed.
    static std::string WithoutId(const std::string& content) {
        return std::regex_replace(
            content, std::regex("Message-ID: <20261208184731\\.[0-9]{15}@example\\.jp>"),
            "Message-ID: <ID>");
    }
    static std::vector<std::string> Lines(const std::string& content) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t nl; (nl = content.find("\r\n", start)) != std::string::npos;
             start = nl + 2)
            lines.push_back(content.substr(start, nl - start));
        lines.push_back(content.substr(start));
        return lines;
    }

    MailServerConfig config;
    ScriptedPrompter prompter;
    ComposeContext context;
    std::string filePath = "/home/u/docs/report.bin";
    std::string fileBytes;
};

TEST_F(ComposerTest, PlainMessageByteForByte) {
    CMail mail;
    mail.to = "a@example.com, 山田<taro@example.jp>";
    mail.subject = "予定";
    mail.body = "一行目\n.\n.dot\r\nend";
    const ComposedMail out = Compose(mail);
    ASSERT_TRUE(out.Ok()) << out.error;
    EXPECT_FALSE(out.utf8);
    EXPECT_EQ(out.mailFrom, "me@example.jp");
    EXPECT_EQ(out.envelope, (std::vector<std::string>{"a@example.com", "taro@example.jp"}));
    const std::string expected =
        "X-MAILER: Velta Quillpost\r\n"
        "MIME-Version: 1.0\r\n"
        "Date: Tue, 08 Dec 2026 18:47:31 +0900\r\n"
        "Message-ID: <ID>\r\n"
        "To: a@example.com,=?ISO-2022-JP?B?IBskQjszRUQbKEI=?=<taro@example.jp>\r\n"
        "From: me@example.jp\r\n"
        "Subject: =?ISO-2022-JP?B?GyRCTT1EahsoQg==?=\r\n"
        "Content-Type: text/plain; charset=\"iso-2022-jp\"\r\n"
        "\r\n\r\n"
        "\x1b$B0l9TL\\\x1b(B\r\n.\r\n.dot\r\nend";
    EXPECT_EQ(WithoutId(out.content), expected);
    // On the wire every line starting with "." gets one more, and the engine's end follows.
    const std::string wire = DotStuff(out.content);
    EXPECT_NE(wire.find("\r\n..\r\n..dot\r\nend\r\n.\r\n"), std::string::npos);
}

TEST_F(ComposerTest, SenderNameReferencesAndCc) {
    config.fromName = "Suzuki, Ichiro";
    CMail mail;
    mail.to = "\"Yamada, Taro\" <t@example.com>";
    mail.cc = "c@example.com(Cee)";
    mail.bcc = "hidden@example.com";
    mail.references = "<a@x> <b@y>";
    mail.subject = "Re: hi";
    const ComposedMail out = Compose(mail);
    ASSERT_TRUE(out.Ok()) << out.error;
    EXPECT_EQ(out.envelope,
              (std::vector<std::string>{"t@example.com", "c@example.com", "hidden@example.com"}));
    const std::string text = WithoutId(out.content);
    EXPECT_EQ(text.substr(0, text.find("X-MAILER")),
              "In-Reply-To: <b@y>\r\nReferences: <a@x> <b@y>\r\n");
    EXPECT_NE(text.find("\r\nTo: \"Yamada, Taro\" <t@example.com>\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nCc: Cee<c@example.com>\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nFrom: \"Suzuki, Ichiro\"<me@example.jp>\r\n"), std::string::npos);
    EXPECT_EQ(text.find("hidden"), std::string::npos);
}

TEST_F(ComposerTest, OnlyBccLeavesNoEmptyToLine) {
    CMail mail;
    mail.bcc = "hidden@example.com";
    const ComposedMail out = Compose(mail);
    ASSERT_TRUE(out.Ok());
    const std::string text = WithoutId(out.content);
    EXPECT_EQ(text.find("To:"), std::string::npos);
    // The header ends only at the blank lines before the body.
    EXPECT_LT(text.find("From: "), text.find("\r\n\r\n"));
}

TEST_F(ComposerTest, HeaderTextsLoseLineBreaksAndControls) {
    CMail mail;
    mail.to = "a@example.com";
    mail.subject = "hello\r\nBcc: victim@example.com\x01";
    mail.references = "<a@x>\nX-Evil: 1";
    const ComposedMail out = Compose(mail);
    ASSERT_TRUE(out.Ok());
    EXPECT_NE(out.content.find("Subject: helloBcc: victim@example.com\r\n"), std::string::npos);
    for (const std::string& line : Lines(out.content)) {
        EXPECT_NE(line.rfind("Bcc:", 0), 0u);
        EXPECT_NE(line.rfind("X-Evil", 0), 0u);
    }
}

TEST_F(ComposerTest, BadAddressesAreRefusedWithTheItem) {
    for (const char* to : {"a b@example.com", "a@example.com,<x\"y@z>", "bad\x7f@x",
                           "日本@example.jp", "a@example.com,(Name only)"}) {
        CMail mail;
        mail.to = to;
        const ComposedMail out = Compose(mail);
        EXPECT_EQ(out.error.rfind("メールアドレスが正しくありません：", 0), 0u) << to;
        EXPECT_TRUE(out.envelope.empty()) << to;
    }
    CMail tooLong;
    tooLong.to = std::string(250, 'a') + "@x.jp";
    EXPECT_FALSE(Compose(tooLong).Ok());
    CMail nobody;
    nobody.to = " , ";
    EXPECT_EQ(Compose(nobody).error, "送信先を指定してください");
    CMail badFrom;
    badFrom.to = "a@example.com";
    config.fromAddress = "";
    EXPECT_EQ(Compose(badFrom).error.rfind("メールアドレスが正しくありません：", 0), 0u);
}

TEST_F(ComposerTest, TextJisCannotCarryGoesOutAsUtf8) {
    for (const char* body : {"ｱｲｳ", "髙橋", "①番", "𠮷野家"}) {
        CMail mail;
        mail.to = "a@example.com";
        mail.subject = body;
        mail.body = std::string(body) + "\n二行目";
        const ComposedMail out = Compose(mail);
        ASSERT_TRUE(out.Ok());
        EXPECT_TRUE(out.utf8) << body;
        EXPECT_NE(out.content.find("Subject: =?UTF-8?B?"), std::string::npos);
        EXPECT_NE(out.content.find("Content-Type: text/plain; charset=\"UTF-8\"\r\n"
                                   "Content-Transfer-Encoding: base64\r\n\r\n\r\n"),
                  std::string::npos);
        const std::string encoded = out.content.substr(out.content.rfind("\r\n\r\n") + 4);
        EXPECT_EQ(Base64Decode(encoded), std::string(body) + "\r\n二行目");
        for (unsigned char c : out.content) EXPECT_LT(c, 0x80);
    }
    // Characters JIS X 0208 has stay in ISO-2022-JP, the wave dash among them.
    CMail plain;
    plain.to = "a@example.com";
    plain.body = "高橋～東京";
    EXPECT_FALSE(Compose(plain).utf8);
}

TEST_F(ComposerTest, LongLinesAndLongHeadersStayWithin998) {
    CMail mail;
    mail.to = "a@example.com";
    mail.body = std::string(1200, 'x');
    mail.subject = std::string(300, 'a') + "漢字" + std::string(100, 'b');
    const ComposedMail out = Compose(mail);
    ASSERT_TRUE(out.Ok());
    EXPECT_TRUE(out.utf8);
    for (const std::string& line : Lines(out.content)) EXPECT_LE(line.size(), 998u);
    // Subject words are folded and decode back to the whole subject.
    const std::size_t at = out.content.find("Subject: ");
    EXPECT_NE(out.content.find("?=\r\n =?UTF-8?B?", at), std::string::npos);

    // Plain ASCII header texts that long are folded too; references keep the newest ids.
    CMail ascii;
    ascii.to = std::string(1500, 'n') + " <a@example.com>";
    ascii.subject = std::string(2000, 's');
    for (int i = 0; i < 200; ++i) ascii.references += "<id" + std::to_string(i) + "@example.com> ";
    ascii.references += "<last\xe3\x81\x82@example.com>";
    const ComposedMail folded = Compose(ascii);
    ASSERT_TRUE(folded.Ok());
    for (const std::string& line : Lines(folded.content)) EXPECT_LE(line.size(), 998u);
    for (unsigned char c : folded.content) EXPECT_LT(c, 0x80);
    EXPECT_NE(folded.content.find("<last@example.com>\r\n"), std::string::npos);
    EXPECT_EQ(folded.content.find("<id0@"), std::string::npos);
}

TEST_F(ComposerTest, ManyRecipientsAreFoldedAfterCommas) {
    CMail mail;
    for (int i = 0; i < 12; ++i) mail.to += "recipient" + std::to_string(i) + "@example.com,";
    const ComposedMail out = Compose(mail);
    ASSERT_TRUE(out.Ok());
    EXPECT_EQ(out.envelope.size(), 12u);
    for (const std::string& line : Lines(out.content)) EXPECT_LE(line.size(), 78u) << line;
    EXPECT_NE(out.content.find("@example.com,\r\n recipient"), std::string::npos);
}

TEST_F(ComposerTest, TenRecipientQuestionAndHundredLimit) {
    config.manyAlert = true;
    CMail mail;
    for (int i = 0; i < 11; ++i) mail.cc += "r" + std::to_string(i) + "@example.com,";
    prompter.Then(Answer::Cancel);
    ComposedMail out = Compose(mail);
    EXPECT_TRUE(out.cancelled);
    EXPECT_TRUE(prompter.Saw("10人以上をCcで送信します。よろしいですか？"));

    config.manyAlert = false;
    CMail many;
    for (int i = 0; i < 101; ++i) many.to += "r" + std::to_string(i) + "@example.com,";
    out = Compose(many);
    ASSERT_TRUE(out.Ok());
    EXPECT_EQ(out.envelope.size(), 100u);
    EXPECT_EQ(out.envelope.back(), "r99@example.com");
    EXPECT_TRUE(prompter.Saw("To:同時に100件までのメールしか送信できません"));
}

TEST_F(ComposerTest, AttachmentInBase64Blocks) {
    fileBytes = std::string(58, '\x01');
    CMail mail;
    mail.to = "a@example.com";
    mail.body = "本文";
    mail.attachment = filePath;
    const ComposedMail out = Compose(mail);
    ASSERT_TRUE(out.Ok());
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        out.content, m, std::regex("boundary=\"(======Boundary=[0-9]{15})\"\r\n\r\n\r\n")));
    const std::string b = m[1];
    const std::string tail = "\r\n--" + b +
                             "\r\nContent-Type: text/plain; charset=\"ISO-2022-JP\"\r\n\r\n" +
                             "\x1b$BK\\J8\x1b(B" + "\r\n--" + b +
                             "\r\nContent-Type: application/octet-stream; name=\"report.bin\"\r\n"
                             "Content-Transfer-Encoding: base64\r\n\r\n" +
                             Base64EncodeBytes(fileBytes.substr(0, 57)) + "\r\n" +
                             Base64EncodeBytes(fileBytes.substr(57)) + "\r\n\r\n--" + b + "--\r\n";
    EXPECT_EQ(out.content.substr(out.content.size() - tail.size()), tail);
    EXPECT_EQ(Base64EncodeBytes(fileBytes.substr(0, 57)).size(), 76u);

    mail.attachment = "/nowhere/missing.txt";
    EXPECT_EQ(Compose(mail).error, "添付ファイルが開けません");
}

TEST_F(ComposerTest, LanFolderRecipientsGetNoHeaderOrEnvelope) {
    config.lanDir = "/srv/lan/me";
    config.fromName = "Me";
    CMail mail;
    mail.to = "/srv/lan/you, a@example.com";
    mail.subject = "件名";
    mail.body = "本文";
    const ComposedMail out = Compose(mail);
    ASSERT_TRUE(out.Ok());
    EXPECT_EQ(out.lanFolders, std::vector<std::string>{"/srv/lan/you"});
    EXPECT_EQ(out.envelope, std::vector<std::string>{"a@example.com"});
    EXPECT_NE(out.content.find("\r\nTo: a@example.com\r\n"), std::string::npos);
    EXPECT_NE(out.lanContent.find("Date: Tue, 08 Dec 2026 18:47:31\r\n"), std::string::npos);
    EXPECT_NE(out.lanContent.find("From: Me </srv/lan/me>\r\n"), std::string::npos);
    EXPECT_NE(out.lanContent.find("\x8c\x8f\x96\xbc"), std::string::npos);  // 件名 in Shift_JIS
}

TEST(MailAddressTest, ItemPartsAndSplitting) {
    EXPECT_EQ(SplitRecipients("a@x, \"B, C\" <b@y>,c@z").size(), 3u);
    AddressParts p = ParseAddressItem(" 名前 <n@x> ");
    EXPECT_EQ(p.address, "n@x");
    EXPECT_EQ(p.name, " 名前 ");
    p = ParseAddressItem("n@x (Name)");
    EXPECT_EQ(p.address, "n@x");
    EXPECT_EQ(p.name, "Name");
    EXPECT_EQ(QuoteDisplayName("A. B"), "\"A. B\"");
    EXPECT_EQ(QuoteDisplayName("Plain Name"), "Plain Name");
    EXPECT_EQ(QuoteDisplayName("say \"hi\""), "\"say \\\"hi\\\"\"");
}

TEST(Md5Test, RfcVectors) {
    EXPECT_EQ(ToHex(Md5("")), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(ToHex(Md5("abc")), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(
        ToHex(Md5(
            "12345678901234567890123456789012345678901234567890123456789012345678901234567890")),
        "57edf4a22be3c955ac49da2e2107b67a");
    EXPECT_EQ(ToHex(Md5("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(ToHex(HmacMd5(std::string(16, '\x0b'), "Hi There")),
              "9294727a3638bb1c13f48ef8158bfc9d");
    EXPECT_EQ(ToHex(HmacMd5("Jefe", "what do ya want for nothing?")),
              "750c783e6ab0b503eaa86e310a5db738");
    EXPECT_EQ(ToHex(HmacMd5(std::string(80, '\xaa'),
                            "Test Using Larger Than Block-Size Key - Hash Key First")),
              "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd");
    // APOP example of RFC 1939.
    EXPECT_EQ(ToHex(Md5("<1896.697170952@dbc.mtview.ca.us>tanstaaf")),
              "c4c9334bac560ecc979e58001b3e22fb");
}

}  // namespace
}  // namespace almx::mail
