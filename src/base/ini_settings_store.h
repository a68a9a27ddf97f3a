#pragma once
// The program's settings read from its QSettings INI file, for the almx command: sections
// "[Name]", then "key=value" lines; values may be quoted and carry backslash escapes. What is
// set stays in memory; only WriteSection puts a section's changes into the file.

#include <map>
#include <set>
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

    // Puts the keys of the section set since the store was made into the INI file at path, as
    // QSettings writes them (the program reads them back); every other line stays as it was,
    // a missing file or section is created. False when the file cannot be written.
    bool WriteSection(const std::string& path, std::string_view section) const;
    // A value as QSettings writes it into an INI file.
    static std::string EscapeValue(std::string_view value);

  private:
    IniSettingsStore() = default;
    void Parse(std::string_view text);
    const std::string* Find(std::string_view section, std::string_view key) const;

    using Key = std::pair<std::string, std::string>;
    std::map<Key, std::string, std::less<>> values_;
    std::set<Key> changed_;
    bool loaded_ = false;
};

}  // namespace almx
