#pragma once
// The Prompter of the almx command: every text goes to the error stream, and questions are
// answered from the command's options.

#include <optional>
#include <ostream>
#include <string>

#include "base/prompter.h"

namespace almx::cli {

class ConsolePrompter : public Prompter {
  public:
    explicit ConsolePrompter(std::ostream& err) : err_(err) {}

    // The answer to the password prompt; given once, so a wrong one ends the prompt.
    void SetPassword(std::optional<std::string> password) { password_ = std::move(password); }
    // The answer to every yes/no question (default No).
    void SetYesNo(Answer answer) { yesNo_ = answer; }

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
    void Answered(std::string_view text, std::string_view answer);

    std::ostream& err_;
    std::optional<std::string> password_;
    Answer yesNo_ = Answer::No;
};

}  // namespace almx::cli
