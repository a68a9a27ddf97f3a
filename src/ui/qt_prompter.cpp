#include "ui/qt_prompter.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace almx {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QString kCaption = QStringLiteral("Almanix");

// Messages may carry text from outside (a server's reply): never read as rich text.
QMessageBox::StandardButton Box(QWidget* parent, QMessageBox::Icon icon, std::string_view text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton preferred) {
    QMessageBox box(icon, kCaption, ToQString(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (preferred != QMessageBox::NoButton) box.setDefaultButton(preferred);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void QtPrompter::ShowMessage(std::string_view text, MessageKind kind) {
    switch (kind) {
        case MessageKind::Information:
            Box(parent_, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::NoButton);
            break;
        case MessageKind::Warning:
            Box(parent_, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::NoButton);
            break;
        case MessageKind::Error:
            Box(parent_, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::NoButton);
            break;
    }
}

Answer QtPrompter::AskYesNo(std::string_view text) {
    auto button = Box(parent_, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No,
                      QMessageBox::Yes);
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtPrompter::AskYesNoCancel(std::string_view text) {
    auto button = Box(parent_, QMessageBox::Question, text,
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes) return Answer::Yes;
    if (button == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

Answer QtPrompter::AskOkCancel(std::string_view text) {
    auto button = Box(parent_, QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel,
                      QMessageBox::Ok);
    return button == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

int QtPrompter::AskButtons(std::string_view caption, std::string_view text,
                           const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Question, ToQString(caption), ToQString(text),
                    QMessageBox::NoButton, parent_);
    box.setTextFormat(Qt::PlainText);
    std::vector<QAbstractButton*> made;
    for (const std::string& label : buttons) {
        made.push_back(box.addButton(ToQString(label), QMessageBox::AcceptRole));
    }
    box.addButton(QMessageBox::Cancel);
    box.exec();
    for (std::size_t i = 0; i < made.size(); ++i) {
        if (box.clickedButton() == made[i]) return static_cast<int>(i);
    }
    return -1;
}

std::optional<std::string> QtPrompter::AskText(std::string_view prompt, std::string_view initial) {
    bool ok = false;
    QString text = QInputDialog::getText(parent_, kCaption, ToQString(prompt), QLineEdit::Normal,
                                         ToQString(initial), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

std::optional<std::string> QtPrompter::AskPassword(std::string_view prompt) {
    bool ok = false;
    QString text = QInputDialog::getText(parent_, kCaption, ToQString(prompt), QLineEdit::Password,
                                         QString(), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

std::optional<std::string> QtPrompter::ChooseFile(std::string_view caption, std::string_view filter,
                                                  bool forSaving) {
    QString path = forSaving ? QFileDialog::getSaveFileName(parent_, ToQString(caption), QString(),
                                                            QtFileFilter(filter))
                             : QFileDialog::getOpenFileName(parent_, ToQString(caption), QString(),
                                                            QtFileFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

QString QtFileFilter(std::string_view filter) {
    // "Name |*.a;*.b| Other |*.*||": alternating names and patterns.
    QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        if (name.isEmpty() && patterns.isEmpty()) break;
        QString qtPatterns = patterns;
        qtPatterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (name.contains(QLatin1Char('('))
                        ? name
                        : name + QStringLiteral(" (") + qtPatterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace almx
