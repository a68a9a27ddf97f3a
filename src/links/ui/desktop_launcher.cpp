#include "links/ui/desktop_launcher.h"

#include <QDesktopServices>
#include <QFile>
#include <QString>
#include <QUrl>

namespace almx {

int DesktopLauncher::Open(const std::string& target, const std::string&) {
    if (const int code = UnlaunchableCode(target); code != 0) return code;
    const QString text = QString::fromStdString(target);
    // A "mailto:" address arrives percent-encoded and goes out as it is.
    const QUrl url = text.startsWith(QStringLiteral("mailto:"))
                         ? QUrl::fromEncoded(QByteArray::fromStdString(target), QUrl::StrictMode)
                     : text.contains(QStringLiteral("://")) ? QUrl(text, QUrl::TolerantMode)
                                                            : QUrl::fromLocalFile(text);
    if (!url.isValid()) return launch::kFileNotFound;
    // False only when no program could be asked to open it at all.
    return QDesktopServices::openUrl(url) ? launch::kSuccess : launch::kNoAssociation;
}

bool DesktopTrash::MoveToTrash(const std::string& path) {
    return QFile::moveToTrash(QString::fromStdString(path));
}

}  // namespace almx
