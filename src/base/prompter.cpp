#include "base/prompter.h"

#include <algorithm>
#include <utility>

namespace almx {

ScriptedPrompter& ScriptedPrompter::Then(Answer answer) {
    script_.push_back({answer, -1, std::nullopt});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ThenButton(int index) {
    script_.push_back({Answer::Ok, index, std::nullopt});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ThenText(std::optional<std::string> text) {
    script_.push_back({text ? Answer::Ok : Answer::Cancel, -1, std::move(text)});
    return *this;
}

ScriptedPrompter::Reply ScriptedPrompter::Next() {
    if (script_.empty()) return {Answer::Cancel, -1, std::nullopt};
    Reply reply = script_.front();
    script_.pop_front();
    return reply;
}

void ScriptedPrompter::ShowMessage(std::string_view text, MessageKind) {
    shown_.emplace_back(text);
}

Answer ScriptedPrompter::AskYesNo(std::string_view text) {
    shown_.emplace_back(text);
    return Next().answer;
}

Answer ScriptedPrompter::AskYesNoCancel(std::string_view text) {
    shown_.emplace_back(text);
    return Next().answer;
}

Answer ScriptedPrompter::AskOkCancel(std::string_view text) {
    shown_.emplace_back(text);
    return Next().answer;
}

int ScriptedPrompter::AskButtons(std::string_view, std::string_view text,
                                 const std::vector<std::string>&) {
    shown_.emplace_back(text);
    return Next().button;
}

std::optional<std::string> ScriptedPrompter::AskText(std::string_view prompt, std::string_view) {
    shown_.emplace_back(prompt);
    return Next().text;
}

std::optional<std::string> ScriptedPrompter::AskPassword(std::string_view prompt) {
    shown_.emplace_back(prompt);
    return Next().text;
}

std::optional<std::string> ScriptedPrompter::ChooseFile(std::string_view caption, std::string_view,
                                                        bool) {
    shown_.emplace_back(caption);
    return Next().text;
}

bool ScriptedPrompter::Saw(std::string_view text) const {
    return std::find(shown_.begin(), shown_.end(), text) != shown_.end();
}

void NoticeCollector::ShowMessage(std::string_view text, MessageKind kind) {
    if (std::find(seen_.begin(), seen_.end(), text) != seen_.end()) return;
    seen_.emplace_back(text);
    pending_.push_back({std::string(text), kind});
}

std::vector<NoticeCollector::Notice> NoticeCollector::TakePending() {
    return std::exchange(pending_, {});
}

void NoticeCollector::ShowPending(Prompter& prompter) {
    for (const Notice& notice : TakePending()) prompter.ShowMessage(notice.text, notice.kind);
}

}  // namespace almx
