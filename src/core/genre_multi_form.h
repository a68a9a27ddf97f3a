#pragma once
// Setting a genre on many records (複数データにジャンルを設定): every record matching a search
// condition, in container order, after a confirmation per record (ジャンル変更の確認).

#include <span>
#include <string>
#include <vector>

#include "core/search_condition.h"

namespace almx {

class CAlmxData;
class RecordList;
class CAlmxFieldArray;
class Prompter;

struct GenreSearchCondition {
    std::string text;             // 検索語; empty matches every record
    int mode = 0;                 // 条件: 0 contains, 1 equals, 2 starts with, 3 ends with
    bool caseSensitive = false;   // 大文字と小文字を区別
    bool widthSensitive = false;  // 全角と半角を区別
    int targets = 7;              // bit 0 title, bit 1 place, bit 2 memo
};

// The schedule search's condition of the dialog's options.
SearchCondition ToSearchCondition(const GenreSearchCondition& condition);

// The schedule search's record test, folding case and width unless the condition is sensitive
// to them.
bool RecordMatches(const CAlmxData& record, const GenreSearchCondition& condition);

// The confirmation's answers, in button order.
enum GenreChangeButton : int {
    ChangeThis = 0,    // はい
    SkipThis = 1,      // いいえ
    ChangeAll = 2,     // 全て変更
    StopChanging = 3,  // 中止
};

inline constexpr const char* kGenreChangeCaption = "ジャンル変更の確認";
const std::vector<std::string>& GenreChangeButtons();

// The confirmation text for one record: its start and end, title, current and new genre.
std::string GenreChangeQuestion(const CAlmxData& record, const CAlmxFieldArray& genres,
                                int targetGenre);

// Asks for each matching record (until 全て変更 or 中止; closing the question stops), sets the
// genre and the genre's colour on each one confirmed, and reports the count. Returns the count;
// when it is above 0 the caller refreshes the views and marks the document modified.
int SetGenreOnRecords(RecordList& records, const CAlmxFieldArray& genres,
                      const GenreSearchCondition& condition, int targetGenre, Prompter& prompter);

}  // namespace almx
