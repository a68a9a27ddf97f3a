#pragma once
// Everything one schedule file holds: the records and, beside them, the day properties, the
// genre list, the password, the memo pages and the document values.

#include <cstddef>
#include <string>
#include <vector>

#include "core/day_property.h"
#include "core/genre.h"
#include "core/memo_page.h"
#include "core/record_list.h"

namespace almx {

class CAlmxArray {
  public:
    static constexpr int kCurrentVersion = 440;

    // Deletes the records, day properties, genres and memo pages; the document values stay.
    void Clear();

    // Whether the record is one of this container's (and not, say, an entry computed for
    // display); its index when it is.
    bool Contains(const CAlmxData* record) const { return records.Contains(record); }
    std::size_t IndexOf(const CAlmxData* record) const { return records.IndexOf(record); }

    std::size_t ScheduleCount() const;
    std::size_t TodoCount() const;

    // The stored default genres, read as 0 when not below the genre count.
    int DefaultScheduleGenre() const { return genres.DefaultIndex(defaultScheduleGenre); }
    int DefaultTodoGenre() const { return genres.DefaultIndex(defaultTodoGenre); }

    RecordList records;
    DayPropertyMap dayProperties;
    CAlmxFieldArray genres;
    std::string password;  // empty: none
    std::string diaryFolder;
    std::string extraText;  // last cell of the document-values row, kept as read
    int version = kCurrentVersion;
    int defaultScheduleGenre = 0;  // as stored
    int defaultTodoGenre = 0;      // as stored
    int extraNumber = 0;           // the memo index (the memo page shown last), kept as read
    std::vector<CMemoData> memoPages;
};

}  // namespace almx
