#pragma once
// The Prompter of the program: Qt message boxes and input dialogs over a parent window.

#include <QPointer>
#include <QWidget>

#include "base/prompter.h"

namespace almx {

class QtPrompter : public Prompter {
  public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(std::string_view text, MessageKind kind) override;
    Answer AskYesNo(std::string_view text) override;
    Answer AskYesNoCancel(std::string_view text) override;
    Answer AskOkCancel(std::string_view text) override;
    int AskButtons(std::string_view caption, std::string_view text,
                   const std::vector<std::string>& buttons) override;
    std::optional<std::string> AskText(std::string_view prompt, std::string_view initial) override;
    std::optional<std::string> AskPassword(std::string_view prompt) override;
    std::optional<std::string> ChooseFile(std::string_view caption, std::string_view filter,
                                          bool forSaving) override;

  private:
    QPointer<QWidget> parent_;
};

// "Almanixﾌｧｲﾙ(*.alx) |*.alx||" style filters to Qt's "Almanixﾌｧｲﾙ (*.alx);;...".
QString QtFileFilter(std::string_view filter);

}  // namespace almx
