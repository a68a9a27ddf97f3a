#include "base/settings_store.h"

#include <charconv>

namespace almx {

namespace {
std::pair<std::string, std::string> MakeKey(std::string_view section, std::string_view key) {
    return {std::string(section), std::string(key)};
}
}  // namespace

int MemorySettingsStore::GetInt(std::string_view section, std::string_view key,
                                int defaultValue) const {
    auto it = values_.find(MakeKey(section, key));
    if (it == values_.end()) return defaultValue;
    int value = 0;
    const std::string& text = it->second;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)ptr;
    return ec == std::errc() ? value : defaultValue;
}

std::string MemorySettingsStore::GetString(std::string_view section, std::string_view key,
                                           std::string_view defaultValue) const {
    auto it = values_.find(MakeKey(section, key));
    return it == values_.end() ? std::string(defaultValue) : it->second;
}

void MemorySettingsStore::SetInt(std::string_view section, std::string_view key, int value) {
    values_[MakeKey(section, key)] = std::to_string(value);
}

void MemorySettingsStore::SetString(std::string_view section, std::string_view key,
                                    std::string_view value) {
    values_[MakeKey(section, key)] = std::string(value);
}

bool MemorySettingsStore::Contains(std::string_view section, std::string_view key) const {
    return values_.count(MakeKey(section, key)) != 0;
}

}  // namespace almx
