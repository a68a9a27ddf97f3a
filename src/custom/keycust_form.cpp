#include "custom/keycust_form.h"

#include <algorithm>

#include "base/prompter.h"

namespace almx {

KeycustForm::KeycustForm(CKeycustArray& keys, std::vector<KeycustCommandRow> rows,
                         Prompter& prompter)
    : keys_(keys), rows_(std::move(rows)), prompter_(prompter) {}

std::vector<std::string> KeycustForm::KeyTexts() const {
    const std::string prefix = ModifierPrefix(alt_, shift_, ctrl_);
    std::vector<std::string> texts;
    for (const KeyTableEntry& entry : KeyTable()) texts.push_back(prefix + entry.name);
    return texts;
}

std::vector<std::string> KeycustForm::CommandTexts() const {
    std::vector<std::string> texts{kNone};
    for (const KeycustCommandRow& row : rows_) texts.push_back(row.label);
    return texts;
}

void KeycustForm::SelectKey(int index) {
    const int count = static_cast<int>(KeyTable().size());
    keyIndex_ = std::clamp(index, 0, count - 1);
}

int KeycustForm::SelectedCode() const {
    return KeyTable()[static_cast<std::size_t>(keyIndex_)].code;
}

int KeycustForm::CommandIndex() const {
    const std::optional<int> command = keys_.Lookup(SelectedCode(), alt_, shift_, ctrl_);
    if (!command) return 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].id == *command) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::vector<MenuTextChange> KeycustForm::Choose(int commandIndex) {
    if (commandIndex < 0 || commandIndex > static_cast<int>(rows_.size())) return {};
    const int command = commandIndex == 0 ? 0 : rows_[commandIndex - 1].id;
    const int old = keys_.Bind(SelectedCode(), alt_, shift_, ctrl_, command);
    std::vector<MenuTextChange> changes;
    if (old != 0 && old != command) changes.push_back({old, keys_.ShortcutFor(old)});
    if (command != 0) {
        changes.push_back({command, KeyTexts()[static_cast<std::size_t>(keyIndex_)]});
    }
    return changes;
}

bool KeycustForm::SaveAs(const std::string& path) {
    if (keys_.Save(path)) return true;
    prompter_.ShowMessage(keycust_messages::kCannotSave, MessageKind::Warning);
    return false;
}

std::optional<std::vector<MenuTextChange>> KeycustForm::Load(const std::string& path) {
    const std::vector<int> before = keys_.BoundCommands();
    if (!keys_.Load(path)) {
        prompter_.ShowMessage(keycust_messages::kCannotLoad, MessageKind::Warning);
        return std::nullopt;
    }
    return MenuTexts(keys_, before);
}

bool KeycustForm::Finish() {
    if (keys_.Save()) return true;
    prompter_.ShowMessage(keycust_messages::kCannotSave, MessageKind::Warning);
    return false;
}

std::vector<MenuTextChange> KeycustForm::MenuTexts(const CKeycustArray& keys,
                                                   const std::vector<int>& before) {
    std::vector<int> commands = before;
    for (int command : keys.BoundCommands()) {
        if (std::find(commands.begin(), commands.end(), command) == commands.end())
            commands.push_back(command);
    }
    std::vector<MenuTextChange> changes;
    for (int command : commands) changes.push_back({command, keys.ShortcutFor(command)});
    return changes;
}

}  // namespace almx
