#include "links/ui/link_dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/settings_store.h"

namespace almx {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// The link edit with its label, and a row for buttons after it.
QLineEdit* LinkRow(QDialog* dialog, QVBoxLayout* layout, const std::string& text) {
    auto* edit = new QLineEdit(Q(text), dialog);
    edit->setMinimumWidth(360);
    auto* label = new QLabel(QStringLiteral("リンクファイル(&F):"), dialog);
    label->setBuddy(edit);
    layout->addWidget(label);
    layout->addWidget(edit);
    return edit;
}

}  // namespace

std::optional<std::string> ChooseLinkFile(QWidget* parent, const LinkSettings& settings,
                                          const std::string& folder) {
    const LinkChooserFilter first = LinkFilter(settings);
    // Qt reads a filter's patterns from its last parentheses.
    const QString filters =
        QStringLiteral("%1 (%2);;%3 (*)").arg(Q(first.label), Q(first.pattern), Q(kAllFilesLabel));
    QString start = Q(folder);
    if (!settings.linkExt.empty() && settings.linkExt.find_first_of("*?") == std::string::npos) {
        start += Q(settings.linkExt);
    }
    const QString chosen =
        QFileDialog::getOpenFileName(parent, Q(kLinkChooserTitle), start, filters);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

LinkDialog::LinkDialog(const LinkServices& services, const std::string& documentPath,
                       const std::string& title, const std::string& link, QWidget* parent)
    : QDialog(parent), editor_(services, documentPath, title, link) {
    setWindowTitle(QStringLiteral("リンクファイル"));
    auto* layout = new QVBoxLayout(this);
    link_ = LinkRow(this, layout, link);
    auto* row = new QHBoxLayout;
    auto add = [&](const QString& label, auto action) {
        auto* button = new QPushButton(label, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, action] { Run(action); });
        row->addWidget(button);
    };
    add(QStringLiteral("参照(&B)..."), [this](LinkEditor& editor) {
        if (auto chosen = ChooseLinkFile(this, editor.Settings(), editor.BrowseFolder())) {
            editor.TakeChosenFile(*chosen);
        }
    });
    add(QStringLiteral("開く(&O)"), [](LinkEditor& editor) { editor.Open(); });
    add(QStringLiteral("削除(&D)"), [](LinkEditor& editor) { editor.Delete(); });
    add(QStringLiteral("新規(&N)"), [](LinkEditor& editor) { editor.New(); });
    layout->addLayout(row);
    layout->addWidget(OkCancel(this));
    connect(this, &QDialog::accepted, this,
            [this] { editor_.SetLink(link_->text().toStdString()); });
}

template <typename Action>
void LinkDialog::Run(Action action) {
    editor_.SetLink(link_->text().toStdString());
    action(editor_);
    link_->setText(Q(editor_.Link()));
}

LinkPromptDialog::LinkPromptDialog(const LinkSettings& settings, const std::string& documentPath,
                                   const std::string& initial, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("リンクファイル"));
    auto* layout = new QVBoxLayout(this);
    link_ = LinkRow(this, layout, initial);
    auto* browse = new QPushButton(QStringLiteral("参照(&B)..."), this);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this, settings, documentPath] {
        const std::string current = link_->text().toStdString();
        if (auto chosen = ChooseLinkFile(this, settings,
                                         BrowseStartFolder(current, documentPath, settings))) {
            link_->setText(Q(StoredLink(*chosen, documentPath, settings)));
        }
    });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(browse);
    layout->addLayout(row);
    layout->addWidget(OkCancel(this));
}

std::string LinkPromptDialog::Link() const {
    return link_->text().toStdString();
}

std::optional<std::string> EditLink(QWidget* parent, const LinkServices& services,
                                    const std::string& documentPath, const std::string& title,
                                    const std::string& link) {
    LinkDialog dialog(services, documentPath, title, link, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Link();
}

LinkPrompt LinkPromptFor(QWidget* parent, const LinkServices& services,
                         const std::string& documentPath) {
    return
        [parent, services, documentPath](const std::string& initial) -> std::optional<std::string> {
            LinkPromptDialog dialog(LinkSettings::Load(services.settings), documentPath, initial,
                                    parent);
            if (dialog.exec() != QDialog::Accepted) return std::nullopt;
            return dialog.Link();
        };
}

CLinkFileOptDlg::CLinkFileOptDlg(const LinkSettings& settings, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      mode_(new QButtonGroup(this)),
      folder_(new QLineEdit(Q(settings.newDir), this)),
      browse_(new QPushButton(QStringLiteral("参照(&B)..."), this)) {
    setWindowTitle(QStringLiteral("リンクファイル設定"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("新規作成するリンクファイルのフォルダ"), this));
    const auto& names = LinkSettings::FolderModeNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* button = new QRadioButton(Q(names[i]), this);
        mode_->addButton(button, static_cast<int>(i));
        layout->addWidget(button);
    }
    if (QAbstractButton* chosen = mode_->button(settings_.newDirMode)) chosen->setChecked(true);
    auto* row = new QHBoxLayout;
    folder_->setMinimumWidth(300);
    row->addWidget(folder_);
    row->addWidget(browse_);
    layout->addLayout(row);
    layout->addWidget(OkCancel(this));
    connect(mode_, &QButtonGroup::idToggled, this, [this] { Enable(); });
    connect(browse_, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(
            this, QStringLiteral("フォルダの選択"), folder_->text());
        if (!folder.isEmpty()) folder_->setText(folder);
    });
    Enable();
}

void CLinkFileOptDlg::Enable() {
    const bool own = mode_->checkedId() == 2;
    folder_->setEnabled(own);
    browse_->setEnabled(own);
}

void CLinkFileOptDlg::accept() {
    settings_.newDirMode = std::max(0, mode_->checkedId());
    settings_.newDir = folder_->text().toStdString();
    QDialog::accept();
}

void EditLinkFileOptions(QWidget* parent, SettingsStore& settings) {
    CLinkFileOptDlg dialog(LinkSettings::Load(settings), parent);
    if (dialog.exec() == QDialog::Accepted) dialog.Settings().Store(settings);
}

}  // namespace almx
