#include "mail/ui/net/blocking_send.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <memory>

#include "mail/ui/net/qt_mail_transport.h"

namespace almx::mail {

SendOutcome SendAndWait(const std::vector<CMail>& mails, const MailServerConfig& config,
                        Prompter& prompter, const Clock& clock) {
    int argc = 1;
    char name[] = "almx";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
    QtMailTransport transport;
    MailEngine engine(transport, prompter, clock, MailStateFolder());
    QEventLoop loop;
    SendOutcome result;
    bool done = false;
    engine.SendQueue(mails, config, [&](const SendOutcome& outcome) {
        result = outcome;
        done = true;
        loop.quit();
    });
    if (!done) loop.exec();
    return result;
}

}  // namespace almx::mail
