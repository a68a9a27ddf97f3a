#include "cli/console_prompter.h"

namespace almx::cli {

void ConsolePrompter::Answered(std::string_view text, std::string_view answer) {
    err_ << text << " [" << answer << "]\n";
}

void ConsolePrompter::ShowMessage(std::string_view text, MessageKind) {
    err_ << text << '\n';
}

Answer ConsolePrompter::AskYesNo(std::string_view text) {
    Answered(text, yesNo_ == Answer::Yes ? "yes" : "no");
    return yesNo_;
}

Answer ConsolePrompter::AskYesNoCancel(std::string_view text) {
    return AskYesNo(text);
}

Answer ConsolePrompter::AskOkCancel(std::string_view text) {
    return AskYesNo(text) == Answer::Yes ? Answer::Ok : Answer::Cancel;
}

int ConsolePrompter::AskButtons(std::string_view, std::string_view text,
                                const std::vector<std::string>&) {
    Answered(text, "cancel");
    return -1;
}

std::optional<std::string> ConsolePrompter::AskText(std::string_view prompt, std::string_view) {
    Answered(prompt, "cancel");
    return std::nullopt;
}

std::optional<std::string> ConsolePrompter::AskPassword(std::string_view prompt) {
    std::optional<std::string> answer = std::move(password_);
    password_.reset();
    Answered(prompt, answer ? "--password" : "cancel");
    return answer;
}

std::optional<std::string> ConsolePrompter::ChooseFile(std::string_view caption, std::string_view,
                                                       bool) {
    Answered(caption, "cancel");
    return std::nullopt;
}

}  // namespace almx::cli
