#pragma once
// The day-cell model of the calendar views: every day of a range with the entries shown on it,
// in the order all views list them, and the day's colour and picture. The month view, the week
// view, the start-up list of today's schedules, printing, the exports and `almx agenda` read
// their days from a DayCellSet.

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/date_time.h"
#include "calendar/holiday_entries.h"
#include "core/day_property.h"
#include "core/record_list.h"

namespace almx {

class CAlmxFieldArray;
class Clock;
class RecordDateIndex;
class Prompter;
class SettingsStore;

// Update hints a document sends its views, read as bits.
enum ViewHint : int {
    kHintRefill = 1,          // records changed: refill the cells, keep the selected cell
    kHintRepaint = 2,         // repaint only
    kHintRefillColours = 4,   // display colours changed: refill
    kHintRecomputeMonth = 8,  // recompute the shown month from the selected date, refill
    kHintDateChanged = 10,    // the selected date changed (8 and 2)
    kHintRemoveRecord = 16,   // the hint's record is being removed: drop it from every cell
};

inline constexpr const char* kUndefinedGenreMessage =
    "定義されていないジャンルを持つスケジュールがあります";

// The most cells one set fills (some 44 years); longer ranges are filled piece by piece.
inline constexpr int kMaxDayCells = 1 << 14;

struct CellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct DayCell {
    // The entries of the day, holiday entries first. Records are the document's, except the
    // holiday entries computed for display, which the set owns. Schedules with HideInViews are
    // listed (exports may want them) but never drawn; see DrawnInViews.
    std::vector<const CAlmxData*> entries;
    DateTime date;
    CellRect rectangle;
    std::uint32_t colour = 0;  // day colour, else the background; other-month colour applied
    std::string picture;       // the day's picture path; the view loads the image

    // Whether any entry marks the day as a holiday.
    bool HasHolidayEntry() const;
};

// Adds an entry to a day's list where it belongs: a holiday entry at the front; with "SchSort"
// an entry with a start time before the first timed entry whose time prefix for the day sorts
// after its own ("～" sorting first), one without before the first timed entry; else at the end.
void InsertEntry(std::vector<const CAlmxData*>& entries, const CAlmxData* entry,
                 const DateTime& day, bool sortByTime, int todayLimit);

// Whether a listed entry is drawn on the calendar views.
inline bool DrawnInViews(const CAlmxData& entry) {
    return !entry.Has(HideInViews);
}

// The settings a fill reads.
struct DayCellSettings {
    int todayLimit = 0;                     // "System"/"TodayLimit"
    bool sortByTime = true;                 // "System"/"SchSort"
    bool todoOnDeadline = false;            // "View"/"TodoPos"
    std::uint32_t backColour = 0xFFFFFF;    // "View"/"BackColor"
    std::uint32_t otherColour = 0xE0E0E0;   // "View"/"OtherColor"
    bool otherMonthKeepsDayColours = true;  // "View"/"OtherMonthDayColor"
    HolidayDisplaySettings holidays;        // "Holiday"/"Shunbun", "Hurikae"
    RecordDefaults recordDefaults;          // for the computed holiday entries

    static DayCellSettings FromSettings(const SettingsStore& settings);
};

// What a fill reads from the document. The genre list is extended when a record names a genre
// beyond it.
struct DayCellSource {
    const RecordList& records;
    CAlmxFieldArray* genres = nullptr;
    const DayPropertyMap* dayProperties = nullptr;
    // The records by date, when the owner keeps such an index up to date with every edit;
    // ignored when it no longer matches the list (records added, removed or moved).
    const RecordDateIndex* index = nullptr;
};

// The day a to-do is shown on, or none: a done one on its completion date, one without
// deadline today, one without lead days on its deadline ("TodoPos" 1) or today, one with N
// lead days today once its deadline less N days has passed.
std::optional<DateTime> TodoDisplayDay(const CAlmxData& todo, const DateTime& now, int todayLimit,
                                       bool onDeadline);

class DayCellSet {
  public:
    DayCellSet() = default;
    // Room for count cells and 7 spare ones, reused by every fill.
    explicit DayCellSet(int count) { Allocate(count); }
    void Allocate(int count);

    // Fills count cells from start. False (and an empty set) when the count is not 1 to
    // kMaxDayCells or the range leaves the calendar. The prompter, when given, is told of
    // undefined genres and of unknown recurrence kinds.
    bool Fill(const DateTime& start, int count, const DayCellSource& source,
              const DayCellSettings& settings, const Clock& clock, Prompter* prompter);

    // After a month fill: cells outside the shown month get the other-month colour (only the
    // plain ones when day colours are kept).
    void ColourOtherMonths(int year, int month, const DayCellSettings& settings);

    // Whether the entry is one the set made for display (compares addresses only).
    bool MadeForDisplay(const CAlmxData* entry) const;

    // Hint 16: drops the record from every cell.
    void RemoveRecord(const CAlmxData* record);

    // Deletes the cells' entries and the entries computed for display.
    void Clear();

    int Count() const { return used_; }
    DayCell& operator[](int index) { return cells_[static_cast<std::size_t>(index)]; }
    const DayCell& operator[](int index) const { return cells_[static_cast<std::size_t>(index)]; }
    std::span<const DayCell> Cells() const {
        return {cells_.data(), static_cast<std::size_t>(used_)};
    }
    const DateTime& Start() const { return start_; }
    // The cell of a date, or -1.
    int IndexOf(const DateTime& day) const;
    // Whether the last fill appended genres for undefined genre numbers.
    bool GenresExtended() const { return genresExtended_; }

  private:
    // Puts a cell's entries, gathered in the order they were added, in their InsertEntry order.
    void OrderEntries(DayCell& cell, std::vector<std::uint64_t>& tags, bool sortByTime,
                      int todayLimit);

    std::vector<DayCell> cells_;
    int used_ = 0;
    DateTime start_;
    std::deque<CAlmxData> computed_;  // holiday entries made for display; stable addresses
    std::vector<std::uint8_t> mask_;
    std::vector<std::uint8_t> holidayRecordDays_;
    // Per cell, beside its entries as the fill adds them: how each is ordered (holiday, untimed,
    // or timed with its time key) in the high half, the record's place in the document in the
    // low half.
    std::vector<std::vector<std::uint64_t>> tags_;
    // Timed entries of recurring records, whose time key is the same on every day: ordered once
    // per fill and then listed on their days in that order.
    struct Deferred {
        std::uint64_t tag;
        const CAlmxData* entry;
        std::size_t firstDay;  // into deferredDays_
        std::size_t days;
    };
    std::vector<Deferred> deferred_;
    std::vector<std::uint32_t> deferredDays_;  // cells
    std::vector<std::uint32_t> positions_;     // the candidates of an indexed fill
    std::vector<std::uint32_t> order_;         // ordering scratch: places of timed entries
    std::vector<std::uint32_t> presorted_;     // ordering scratch: places of deferred entries
    std::vector<const CAlmxData*> added_;      // ordering scratch: the entries as added
    std::vector<std::uint64_t> candidates_;    // positions an indexed fill looks at
    bool genresExtended_ = false;
};

}  // namespace almx
