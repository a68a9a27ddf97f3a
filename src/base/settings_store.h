#pragma once
// Per-user settings: named sections of integer and text values. The program's store sits on
// QSettings (app/); the model only sees this interface, and tests use MemorySettingsStore.

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace almx {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // Reading never writes: a missing key gives the default.
    virtual int GetInt(std::string_view section, std::string_view key, int defaultValue) const = 0;
    virtual std::string GetString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const = 0;
    virtual void SetInt(std::string_view section, std::string_view key, int value) = 0;
    virtual void SetString(std::string_view section, std::string_view key,
                           std::string_view value) = 0;
};

class MemorySettingsStore : public SettingsStore {
  public:
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const override;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const override;
    void SetInt(std::string_view section, std::string_view key, int value) override;
    void SetString(std::string_view section, std::string_view key, std::string_view value) override;

    bool Contains(std::string_view section, std::string_view key) const;
    std::size_t Size() const { return values_.size(); }

  private:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, std::string, std::less<>> values_;
};

}  // namespace almx
