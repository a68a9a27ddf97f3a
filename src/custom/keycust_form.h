#pragma once
// キーカスタマイズ (CKeycustDlg) without widgets: the key list with its modifier prefixes, the
// command list, binding and unbinding, and the menu texts each step changes. The Qt dialog
// hands it the command table's rows (id and label, in table order) and binds controls to it.

#include <optional>
#include <string>
#include <vector>

#include "custom/keycust_array.h"

namespace almx {

class Prompter;

struct KeycustCommandRow {
    int id;
    std::string label;
};

// A menu item's shortcut text: the text after the tab, or none.
struct MenuTextChange {
    int command;
    std::optional<std::string> text;

    bool operator==(const MenuTextChange&) const = default;
};

class KeycustForm {
  public:
    static constexpr const char* kTitle = "キーカスタマイズ";
    static constexpr const char* kNone = "（なし）";
    static constexpr const char* kFileTitle = "ｷｰ定義ﾌｧｲﾙ名の入力";
    static constexpr const char* kFileFilter = "KEYﾌｧｲﾙ(*.KEY) |*.KEY| 全てのﾌｧｲﾙ(*.*) |*.*||";
    static constexpr const char* kDefaultSuffix = "KEY";

    KeycustForm(CKeycustArray& keys, std::vector<KeycustCommandRow> rows, Prompter& prompter);

    // The key list: every table key with the ticked modifiers before it.
    std::vector<std::string> KeyTexts() const;
    // "（なし）" and then the command labels.
    std::vector<std::string> CommandTexts() const;

    int KeyIndex() const { return keyIndex_; }
    bool Alt() const { return alt_; }
    bool Shift() const { return shift_; }
    bool Ctrl() const { return ctrl_; }
    void SelectKey(int index);
    void SetAlt(bool on) { alt_ = on; }
    void SetShift(bool on) { shift_ = on; }
    void SetCtrl(bool on) { ctrl_ = on; }

    // The command list's selection for the key and ticks: 0 for "（なし）".
    int CommandIndex() const;
    // Chooses an entry of the command list for the selected key and ticks.
    std::vector<MenuTextChange> Choose(int commandIndex);

    // 別名保存: saves under the path, which becomes the current file; "保存できません" on failure.
    bool SaveAs(const std::string& path);
    // 読込: loads the file; "読み込めません" on failure (nothing changes). The menu texts of
    // every command bound before or after.
    std::optional<std::vector<MenuTextChange>> Load(const std::string& path);
    // OK (and closing the dialog): saves to the current file; "保存できません" on failure.
    bool Finish();

    // The menu text of every command bound now or in `before`, for a wholesale change.
    static std::vector<MenuTextChange> MenuTexts(const CKeycustArray& keys,
                                                 const std::vector<int>& before);

  private:
    int SelectedCode() const;

    CKeycustArray& keys_;
    std::vector<KeycustCommandRow> rows_;
    Prompter& prompter_;
    int keyIndex_ = 0;
    bool alt_ = false;
    bool shift_ = false;
    bool ctrl_ = false;
};

}  // namespace almx
