#pragma once
// The program's settings read from its QSettings INI file, for the almx command: sections
// "[Name]", then "key=value" lines; values may be quoted and carry backslash escapes. Reading
// only: what is set stays in memory and never reaches the file.

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "base/settings_store.h"

namespace almx {

class IniSettingsStore : public SettingsStore {
  public:
    // An empty store when the file cannot be read.
    explicit IniSettingsStore(const std::string& path);
    // Parses INI text (UTF-8).
    static IniSettingsStore FromText(std::string_view text);

    // $XDG_CONFIG_HOME/Korvanta/Almanix.ini, or ~/.config/Korvanta/Almanix.ini.
    static std::string DefaultPath();

    int GetInt(std::string_view section, std::string_view key, int defaultValue) const override;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const override;
    void SetInt(std::string_view section, std::string_view key, int value) override;
    void SetString(std::string_view section, std::string_view key, std::string_view value) override;

    bool Loaded() const { return loaded_; }

  private:
    IniSettingsStore() = default;
    void Parse(std::string_view text);
    const std::string* Find(std::string_view section, std::string_view key) const;

    using Key = std::pair<std::string, std::string>;
    std::map<Key, std::string, std::less<>> values_;
    bool loaded_ = false;
};

}  // namespace almx
