#pragma once
// The word history of the text search: at most 20 words, the most recent first, kept in
// "FindList" under "str00" to "str19".

#include <string>
#include <vector>

namespace almx {

class SettingsStore;

inline constexpr int kSearchHistorySize = 20;

class SearchHistory {
  public:
    // Every position in order, an entry equal to one before it left out (so one empty at most).
    static SearchHistory Load(const SettingsStore& settings);
    void Save(SettingsStore& settings) const;

    const std::vector<std::string>& Entries() const { return entries_; }
    // The word box: its list (the entries that are not empty) and its text (the first entry).
    std::vector<std::string> BoxItems() const;
    std::string BoxText() const;
    // A confirmed word goes to the front: moved when it is there, else inserted, the 21st
    // entry dropped.
    void Add(const std::string& word);

  private:
    std::vector<std::string> entries_;
};

}  // namespace almx
