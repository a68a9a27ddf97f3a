#pragma once
// The link dialogs: the record's link dialog (the link with Browse, Open, Delete and New), the
// link prompt of the open-link command (the link with Browse), and the link-file options
// (CLinkFileOptDlg, command 32905).

#include <QDialog>
#include <optional>
#include <string>

#include "links/link_actions.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace almx {

// The file chooser of Browse, starting in folder; nothing when cancelled.
std::optional<std::string> ChooseLinkFile(QWidget* parent, const LinkSettings& settings,
                                          const std::string& folder);

class LinkDialog : public QDialog {
    Q_OBJECT
  public:
    LinkDialog(const LinkServices& services, const std::string& documentPath,
               const std::string& title, const std::string& link, QWidget* parent = nullptr);
    std::string Link() const { return editor_.Link(); }

  private:
    // Runs one button's action on the edited text and shows the link it leaves.
    template <typename Action>
    void Run(Action action);

    LinkEditor editor_;
    QLineEdit* link_;
};

class LinkPromptDialog : public QDialog {
    Q_OBJECT
  public:
    LinkPromptDialog(const LinkSettings& settings, const std::string& documentPath,
                     const std::string& initial, QWidget* parent = nullptr);
    std::string Link() const;

  private:
    QLineEdit* link_;
};

// The link dialog for the entry dialogs; nothing when cancelled.
std::optional<std::string> EditLink(QWidget* parent, const LinkServices& services,
                                    const std::string& documentPath, const std::string& title,
                                    const std::string& link);
// The link prompt for OpenRecordLink.
LinkPrompt LinkPromptFor(QWidget* parent, const LinkServices& services,
                         const std::string& documentPath);

class CLinkFileOptDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CLinkFileOptDlg(const LinkSettings& settings, QWidget* parent = nullptr);
    void accept() override;
    const LinkSettings& Settings() const { return settings_; }

  private:
    void Enable();

    LinkSettings settings_;
    QButtonGroup* mode_;
    QLineEdit* folder_;
    QPushButton* browse_;
};

// 32905: the options dialog, written back on OK.
void EditLinkFileOptions(QWidget* parent, SettingsStore& settings);

}  // namespace almx
