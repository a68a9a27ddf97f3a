#pragma once
// The diary search (検索リスト): every day of the index whose text holds the words.

#include <string>
#include <string_view>
#include <vector>

#include "text/word_search.h"

namespace almx {

class DiaryStore;

struct DiaryHit {
    std::string name;  // the file name, as indexed
    std::string text;  // the day's text, UTF-8 with "\n" line breaks
    std::string path;
};

// Reads each indexed file whole and tests it; in index order (by name). Files that cannot be
// read are skipped.
std::vector<DiaryHit> SearchDiary(DiaryStore& store, std::string_view input,
                                  const text::WordOptions& options);

}  // namespace almx
