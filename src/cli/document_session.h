#pragma once
// What the document subcommands of almx share: the settings (the program's INI file, or the
// defaults with --defaults), the clock, the console prompter (--password) and the document.

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/ini_settings_store.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "cli/command_registry.h"
#include "cli/console_prompter.h"
#include "document/document.h"

namespace almx::cli {

class DocumentSession {
  public:
    // Takes --defaults, --password and --template from the options.
    DocumentSession(OptionReader& options, std::ostream& err);

    CAlmxDoc& Document() { return *document_; }
    ConsolePrompter& Prompter() { return prompter_; }
    SettingsStore& Settings() { return *settings_; }
    // Writes what was set in the section into the user's settings file (nothing with
    // --defaults); false when the file cannot be written.
    bool SaveSettings(std::string_view section);
    const std::string& SettingsPath() const { return settingsPath_; }

  private:
    std::unique_ptr<SettingsStore> settings_;
    IniSettingsStore* userSettings_ = nullptr;  // settings_ when it is the user's file
    std::string settingsPath_;
    SystemClock clock_;
    ConsolePrompter prompter_;
    CAlmxFieldArray genres_;
    std::unique_ptr<CAlmxDoc> document_;
};

// A document opened for reading only, under the user's settings, without taking the file's
// lock (a listing must not lock the file for others). A given password answers the password
// question once.
class ReadOnlyDocument {
  public:
    explicit ReadOnlyDocument(const std::optional<std::string>& password);

    // False when the file could not be opened; the document's messages, but the password
    // question, go to err.
    bool Open(const std::string& path, std::ostream& err);

    CAlmxDoc& Document() { return *document_; }
    SettingsStore& Settings() { return settings_; }

  private:
    IniSettingsStore settings_;
    ScriptedPrompter prompter_;
    SystemClock clock_;
    std::unique_ptr<CAlmxDoc> document_;
};

// The folder of the running program, where the holiday template is shipped.
std::filesystem::path ProgramFolder();

}  // namespace almx::cli
