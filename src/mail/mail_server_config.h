#pragma once
// What one sending needs of the current mail account and the mail switches. The settings
// layer fills it; the engine reads nothing else.

#include <string>

namespace almx::mail {

enum class SmtpAuthChoice { None, PopBeforeSmtp, SmtpAuth };

struct MailServerConfig {
    std::string accountName;  // shown as "<name>から受信中..."
    std::string smtpServer;
    int smtpPort = 25;
    std::string user;
    std::string password;  // in clear
    bool smtpAuth = false;
    bool popBefore = false;
    int smtpSsl = 0;  // 0 none, 1 STARTTLS, 2 TLS from the first byte
    std::string popServer;
    int popPort = 110;
    bool apop = false;
    int popSsl = 0;  // 0 none, 1 STLS, 2 TLS from the first byte
    std::string fromAddress;
    std::string fromName;
    int smailTimeMs = 200;  // waited for the reply to QUIT
    bool manyAlert = false;
    std::string lanDir;  // own folder of LAN mail
    std::string caFile;  // extra CA certificates (PEM)
};

}  // namespace almx::mail
