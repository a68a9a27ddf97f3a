#include "cli/document_session.h"

#include <system_error>

#include "base/data_folders.h"
#include "base/ini_settings_store.h"
#include "core/legacy_genre_file.h"
#include "document/document_messages.h"

namespace almx::cli {

std::filesystem::path ProgramFolder() {
    return RunningProgramFolder();
}

ReadOnlyDocument::ReadOnlyDocument(const std::optional<std::string>& password)
    : settings_(IniSettingsStore::DefaultPath()) {
    settings_.SetInt("System", "SharedFile", 0);
    if (password) prompter_.ThenText(*password);
    DocumentContext context;
    context.settings = &settings_;
    context.prompter = &prompter_;
    context.clock = &clock_;
    document_ = std::make_unique<CAlmxDoc>(context);
}

bool ReadOnlyDocument::Open(const std::string& path, std::ostream& err) {
    const bool opened = document_->Open(path);
    for (const std::string& message : prompter_.Shown()) {
        if (message != doc_messages::kPasswordPrompt) err << message << '\n';
    }
    return opened;
}

DocumentSession::DocumentSession(OptionReader& options, std::ostream& err) : prompter_(err) {
    if (options.Flag("--defaults")) {
        settings_ = std::make_unique<MemorySettingsStore>();
    } else {
        settingsPath_ = IniSettingsStore::DefaultPath();
        auto store = std::make_unique<IniSettingsStore>(settingsPath_);
        userSettings_ = store.get();
        settings_ = std::move(store);
    }
    std::string password;
    if (options.Value("--password", password)) prompter_.SetPassword(password);
    DocumentContext context;
    context.settings = settings_.get();
    context.prompter = &prompter_;
    context.clock = &clock_;
    context.programFolder = ProgramFolder().string();
    options.Value("--template", context.holidayTemplate);
    genres_ = LoadDefaultGenreList(*settings_, context.programFolder).genres;
    context.applicationGenres = &genres_;
    document_ = std::make_unique<CAlmxDoc>(context);
}

bool DocumentSession::SaveSettings(std::string_view section) {
    return !userSettings_ || userSettings_->WriteSection(settingsPath_, section);
}

}  // namespace almx::cli
