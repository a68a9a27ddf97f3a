#include "core/search_history.h"

#include <algorithm>
#include <cstdio>

#include "base/settings_store.h"

namespace almx {

namespace {

std::string Key(int position) {
    char key[8];
    std::snprintf(key, sizeof key, "str%02d", position);
    return key;
}

}  // namespace

SearchHistory SearchHistory::Load(const SettingsStore& settings) {
    SearchHistory history;
    for (int i = 0; i < kSearchHistorySize; ++i) {
        std::string word = settings.GetString("FindList", Key(i), "");
        auto& entries = history.entries_;
        if (std::find(entries.begin(), entries.end(), word) == entries.end()) {
            entries.push_back(std::move(word));
        }
    }
    return history;
}

void SearchHistory::Save(SettingsStore& settings) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        settings.SetString("FindList", Key(static_cast<int>(i)), entries_[i]);
    }
}

std::vector<std::string> SearchHistory::BoxItems() const {
    std::vector<std::string> items;
    for (const std::string& entry : entries_) {
        if (!entry.empty()) items.push_back(entry);
    }
    return items;
}

std::string SearchHistory::BoxText() const {
    return entries_.empty() ? std::string() : entries_.front();
}

void SearchHistory::Add(const std::string& word) {
    const auto at = std::find(entries_.begin(), entries_.end(), word);
    if (at != entries_.end()) {
        std::rotate(entries_.begin(), at, at + 1);
        return;
    }
    entries_.insert(entries_.begin(), word);
    if (entries_.size() > static_cast<std::size_t>(kSearchHistorySize)) {
        entries_.erase(entries_.begin() + kSearchHistorySize);
    }
}

}  // namespace almx
