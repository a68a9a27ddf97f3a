#pragma once
// The program's settings store: QSettings in INI form at the user's XDG config location
// (organisation "Korvanta", application "Almanix").

#include <QSettings>
#include <memory>

#include "base/settings_store.h"

namespace almx {

class QtSettingsStore : public SettingsStore {
  public:
    // The user's store; or an INI file of one's own (tests).
    QtSettingsStore();
    explicit QtSettingsStore(const QString& iniPath);

    int GetInt(std::string_view section, std::string_view key, int defaultValue) const override;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const override;
    void SetInt(std::string_view section, std::string_view key, int value) override;
    void SetString(std::string_view section, std::string_view key, std::string_view value) override;

    void Sync() { settings_->sync(); }
    QSettings& Settings() { return *settings_; }

    // QSettings keeps the keys of the group "General" at the file's top level; our sections
    // never clash with that because this name is what a section "General" is stored under.
    static QString GroupName(std::string_view section);

  private:
    QString Key(std::string_view section, std::string_view key) const;

    std::unique_ptr<QSettings> settings_;
};

}  // namespace almx
