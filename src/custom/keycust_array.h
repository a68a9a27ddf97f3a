#pragma once
// CKeycustArray: the process's key bindings, the path of the current key assignment file
// ("System"/"Keycust") and the loading and saving of it.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "custom/keycust.h"

namespace almx {

class FileWriter;
class SettingsStore;

namespace keycust_messages {
inline constexpr const char* kCannotSave = "保存できません";
inline constexpr const char* kCannotLoad = "読み込めません";
}  // namespace keycust_messages

class CKeycustArray {
  public:
    enum class StartUp { Loaded, Missing, Unreadable };

    // fallbackPath: "almx32.key" in "Velta/Almanix" under the per-user data folder, where the
    // bindings go when the current file cannot be written.
    CKeycustArray(SettingsStore& settings, FileWriter& writer, std::string fallbackPath);

    const std::vector<CKeycust>& Bindings() const { return bindings_; }
    const std::string& Path() const { return path_; }
    const std::string& FallbackPath() const { return fallback_; }

    // Reads "System"/"Keycust" (default: the fallback file) and loads it. The path stays the
    // configured one even when it does not load, so the first save creates it.
    StartUp LoadAtStart();
    // Reads the whole file first: a missing, unreadable, too large or malformed file changes
    // neither the bindings nor the path. A 0-byte file holds no bindings.
    bool Load(const std::string& path);
    // Writes the bindings to the path (or the current one) through a temporary file. On
    // failure the bindings go to the fallback file at once, which becomes the current path.
    // False in every failure case.
    bool Save(const std::optional<std::string>& path = std::nullopt);
    // Writes the current path to "System"/"Keycust" (at exit).
    void StorePath();

    // The command bound to the key with exactly these modifiers; nullopt when none.
    std::optional<int> Lookup(int key, bool alt, bool shift, bool ctrl) const;
    // The binding's index, or -1.
    int Find(int key, bool alt, bool shift, bool ctrl) const;
    // The shortcut text a command's menu item shows: the last of its bindings whose key is in
    // the table (as start-up puts every binding's text in order); nullopt when none.
    std::optional<std::string> ShortcutFor(int command) const;
    // Every command that has a binding with a key of the table.
    std::vector<int> BoundCommands() const;

    // Binds the key to the command (0 removes the binding). The command the binding had
    // before, 0 when it was new.
    int Bind(int key, bool alt, bool shift, bool ctrl, int command);
    void SetBindings(std::vector<CKeycust> bindings);

  private:
    bool Write(const std::string& path);
    void Reindex();

    SettingsStore& settings_;
    FileWriter& writer_;
    std::string fallback_;
    std::vector<CKeycust> bindings_;
    // Key and modifiers to the first binding's command: a key press looks up in constant time.
    std::unordered_map<std::uint32_t, int> index_;
    std::string path_;
    // The current file exists but could not be read: its first overwrite keeps a copy.
    bool keepCopyOfPath_ = false;
};

}  // namespace almx
