#include "custom/keycust_array.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/file_io.h"
#include "base/settings_store.h"

namespace almx {

namespace {

constexpr const char* kSection = "System";
constexpr const char* kKey = "Keycust";

bool IsRegular(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::uint16_t Flag(bool on) {
    return on ? 1 : 0;
}

std::uint32_t IndexKey(int key, bool alt, bool shift, bool ctrl) {
    return (static_cast<std::uint32_t>(key & 0xFFFF) << 3) | (alt ? 4u : 0u) | (shift ? 2u : 0u) |
           (ctrl ? 1u : 0u);
}

}  // namespace

CKeycustArray::CKeycustArray(SettingsStore& settings, FileWriter& writer, std::string fallbackPath)
    : settings_(settings), writer_(writer), fallback_(std::move(fallbackPath)) {}

CKeycustArray::StartUp CKeycustArray::LoadAtStart() {
    const std::string path = settings_.GetString(kSection, kKey, fallback_);
    if (Load(path)) return StartUp::Loaded;
    path_ = path;
    std::error_code error;
    const bool exists = std::filesystem::exists(std::filesystem::symlink_status(path, error));
    keepCopyOfPath_ = exists;
    return exists ? StartUp::Unreadable : StartUp::Missing;
}

bool CKeycustArray::Load(const std::string& path) {
    if (path.empty() || !IsRegular(path)) return false;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxKeyFileSize) return false;
    FileBytes file = ReadFileBytes(path);
    if (file.status != ReadStatus::Complete || file.bytes.size() > kMaxKeyFileSize) return false;
    std::vector<CKeycust> bindings;
    if (!file.bytes.empty()) {
        KeyFileRead read = ReadKeyFile(file.bytes);
        if (!read.Ok()) return false;
        bindings = std::move(read.bindings);
    }
    bindings_ = std::move(bindings);
    Reindex();
    path_ = path;
    keepCopyOfPath_ = false;
    settings_.SetString(kSection, kKey, path_);
    return true;
}

bool CKeycustArray::Write(const std::string& path) {
    if (path.empty()) return false;
    if (keepCopyOfPath_ && path == path_ && PathExists(path)) {
        if (!CopyToFreeBackup(path)) return false;
        keepCopyOfPath_ = false;
    }
    return SaveReplacing(path, WriteKeyFile(bindings_), writer_);
}

bool CKeycustArray::Save(const std::optional<std::string>& path) {
    const std::string target = path.value_or(path_);
    if (Write(target)) {
        if (path && *path != path_) {
            // Saved under another name: that file is the current one now.
            path_ = *path;
            keepCopyOfPath_ = false;
            settings_.SetString(kSection, kKey, path_);
        }
        return true;
    }
    // The bindings must survive somewhere: the fallback file gets them at once.
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(fallback_).parent_path(), error);
    if (target != fallback_) {
        path_ = fallback_;
        keepCopyOfPath_ = false;
        Write(fallback_);
    }
    settings_.SetString(kSection, kKey, path_);
    return false;
}

void CKeycustArray::StorePath() {
    settings_.SetString(kSection, kKey, path_);
}

int CKeycustArray::Find(int key, bool alt, bool shift, bool ctrl) const {
    const CKeycust wanted{static_cast<std::uint16_t>(key), Flag(alt), Flag(shift), Flag(ctrl), 0};
    for (std::size_t i = 0; i < bindings_.size(); ++i) {
        if (bindings_[i].SameKeys(wanted)) return static_cast<int>(i);
    }
    return -1;
}

void CKeycustArray::SetBindings(std::vector<CKeycust> bindings) {
    bindings_ = std::move(bindings);
    Reindex();
}

void CKeycustArray::Reindex() {
    index_.clear();
    for (const CKeycust& binding : bindings_) {
        index_.emplace(
            IndexKey(binding.key, binding.alt != 0, binding.shift != 0, binding.ctrl != 0),
            binding.command);
    }
}

std::optional<int> CKeycustArray::Lookup(int key, bool alt, bool shift, bool ctrl) const {
    if (key < 0 || key > 0xFFFF) return std::nullopt;
    const auto it = index_.find(IndexKey(key, alt, shift, ctrl));
    if (it == index_.end() || it->second == 0) return std::nullopt;
    return it->second;
}

std::optional<std::string> CKeycustArray::ShortcutFor(int command) const {
    for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) {
        if (it->command == command && InKeyTable(it->key)) return KeyDisplayText(*it);
    }
    return std::nullopt;
}

std::vector<int> CKeycustArray::BoundCommands() const {
    std::vector<int> commands;
    for (const CKeycust& binding : bindings_) {
        if (!InKeyTable(binding.key)) continue;
        if (std::find(commands.begin(), commands.end(), binding.command) == commands.end())
            commands.push_back(binding.command);
    }
    return commands;
}

int CKeycustArray::Bind(int key, bool alt, bool shift, bool ctrl, int command) {
    const int index = Find(key, alt, shift, ctrl);
    if (index >= 0) {
        const int old = bindings_[index].command;
        if (command == 0) {
            bindings_.erase(bindings_.begin() + index);
        } else {
            bindings_[index].command = static_cast<std::uint16_t>(command);
        }
        Reindex();
        return old;
    }
    if (command != 0) {
        bindings_.push_back({static_cast<std::uint16_t>(key), Flag(alt), Flag(shift), Flag(ctrl),
                             static_cast<std::uint16_t>(command)});
        Reindex();
    }
    return 0;
}

}  // namespace almx
