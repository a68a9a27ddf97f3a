#include "reminders/diary_search.h"

#include <filesystem>

#include "base/file_io.h"
#include "reminders/diary_store.h"
#include "text/utf8_matcher.h"

namespace almx {

std::vector<DiaryHit> SearchDiary(DiaryStore& store, std::string_view input,
                                  const text::WordOptions& options) {
    std::vector<DiaryHit> hits;
    if (text::SplitWords(input).empty()) return hits;
    const std::filesystem::path folder = store.FolderInUse();
    for (const std::string& name : store.Index()) {
        std::string path = (folder / name).string();
        FileBytes file = ReadFileBytes(path);
        if (file.status != ReadStatus::Complete) continue;
        DiaryDay day = DiaryStore::Decode(file.bytes);
        const text::MatchText text(day.text);
        if (!text::FindWords(text, input, options)) continue;
        hits.push_back({name, std::move(day.text), std::move(path)});
    }
    return hits;
}

}  // namespace almx
