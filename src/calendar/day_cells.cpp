#include "calendar/day_cells.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdlib>
#include <utility>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/record_date_index.h"
#include "calendar/recurrence.h"
#include "core/genre.h"
#include "core/record_display.h"

namespace almx {

namespace {

// Colours are kept in the settings as decimal texts.
std::uint32_t ReadColour(const SettingsStore& settings, const char* section, const char* key,
                         std::uint32_t fallback) {
    const std::string text = settings.GetString(section, key, std::to_string(fallback));
    unsigned long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return fallback;
    return static_cast<std::uint32_t>(value & 0xFFFFFFFFul);
}

bool InCalendar(const DateTime& day) {
    return day.IsValid() && day.Year() >= 1 && day.Year() <= 9999;
}

// The time prefix by which timed entries are ordered; "～" becomes 0x01 so that end-only
// times sort first.
std::string SortKey(const CAlmxData& entry, const DateTime& day, int todayLimit) {
    std::string key = TimePrefix(entry, day, UseRecordTimeDisplay, todayLimit);
    static constexpr std::string_view kWaveDash = "～";
    for (std::size_t at = key.find(kWaveDash); at != std::string::npos;
         at = key.find(kWaveDash, at + 1)) {
        key.replace(at, kWaveDash.size(), 1, '\x01');
    }
    return key;
}

}  // namespace

// A key of at most 16 bytes, none of them zero, as two big-endian numbers padded with zeros:
// they compare as the texts do (bytes unsigned, a text before the longer ones it begins).
std::optional<DayCellSet::PackedKey> DayCellSet::Pack(std::string_view key,
                                                      const CAlmxData* entry) {
    if (key.size() > 16) return std::nullopt;
    std::uint64_t parts[2] = {0, 0};
    for (std::size_t i = 0; i < key.size(); ++i) {
        const auto byte = static_cast<unsigned char>(key[i]);
        if (byte == 0) return std::nullopt;
        parts[i / 8] |= std::uint64_t{byte} << (8 * (7 - i % 8));
    }
    return PackedKey{parts[0], parts[1], entry};
}

bool DayCell::HasHolidayEntry() const {
    return std::any_of(entries.begin(), entries.end(),
                       [](const CAlmxData* entry) { return entry->Has(HolidayMark); });
}

DayCellSettings DayCellSettings::FromSettings(const SettingsStore& settings) {
    DayCellSettings s;
    s.todayLimit = settings.GetInt("System", "TodayLimit", 0);
    s.sortByTime = settings.GetInt("System", "SchSort", 1) == 1;
    s.todoOnDeadline = settings.GetInt("View", "TodoPos", 0) == 1;
    s.backColour = ReadColour(settings, "View", "BackColor", 16777215);
    s.otherColour = ReadColour(settings, "View", "OtherColor", 14737632);
    s.otherMonthKeepsDayColours = settings.GetInt("View", "OtherMonthDayColor", 1) == 1;
    s.holidays = HolidayDisplaySettings::FromSettings(settings);
    s.recordDefaults = RecordDefaults::FromSettings(settings);
    return s;
}

std::optional<DateTime> TodoDisplayDay(const CAlmxData& todo, const DateTime& now, int todayLimit,
                                       bool onDeadline) {
    const DateTime today = LogicalDate(now, todayLimit);
    if (todo.Has(TodoDone)) return todo.end.Date();
    if (todo.Has(TodoNoDeadline)) return today;
    if (todo.todoLeadDays == -1) return onDeadline ? todo.start.Date() : today;
    // Shown from the day its deadline less the lead days has passed.
    if (todo.start.Days() - static_cast<double>(todo.todoLeadDays) < now.Days()) return today;
    return std::nullopt;
}

void DayCellSet::Allocate(int count) {
    const int room = std::clamp(count, 0, kMaxDayCells) + 7;
    if (cells_.size() < static_cast<std::size_t>(room))
        cells_.resize(static_cast<std::size_t>(room));
}

void DayCellSet::Clear() {
    for (auto& cell : cells_) {
        cell.entries.clear();
    }
    computed_.clear();
    used_ = 0;
}

int DayCellSet::IndexOf(const DateTime& day) const {
    if (used_ == 0 || !day.IsValid()) return -1;
    const long offset = DateDifference(start_, day);
    return offset >= 0 && offset < used_ ? static_cast<int>(offset) : -1;
}

namespace {

// The insertion itself, with the sort keys of the entries kept beside them.
void InsertKeyed(std::vector<const CAlmxData*>& entries, std::vector<std::string>& keys,
                 const CAlmxData* entry, std::string key, bool sortByTime) {
    const bool timed = entry->Has(StartTimeSet);
    std::size_t at = entries.size();
    if (entry->Has(HolidayMark)) {
        at = 0;
    } else if (sortByTime) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const bool otherTimed = entries[i]->Has(StartTimeSet);
            if (timed ? (otherTimed && keys[i] > key) : otherTimed) {
                at = i;
                break;
            }
        }
    }
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), entry);
    keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(at), std::move(key));
}

std::string KeyFor(const CAlmxData* entry, const DateTime& day, bool sortByTime, int todayLimit) {
    return sortByTime && entry->Has(StartTimeSet) ? SortKey(*entry, day, todayLimit)
                                                  : std::string();
}

}  // namespace

void InsertEntry(std::vector<const CAlmxData*>& entries, const CAlmxData* entry,
                 const DateTime& day, bool sortByTime, int todayLimit) {
    std::vector<std::string> keys;
    keys.reserve(entries.size());
    for (const CAlmxData* other : entries)
        keys.push_back(KeyFor(other, day, sortByTime, todayLimit));
    InsertKeyed(entries, keys, entry, KeyFor(entry, day, sortByTime, todayLimit), sortByTime);
}

void DayCellSet::OrderEntries(DayCell& cell, bool sortByTime, int todayLimit) {
    auto& entries = cell.entries;
    if (entries.size() < 2) return;
    const bool timedHoliday = std::any_of(entries.begin(), entries.end(), [](const auto* e) {
        return e->Has(HolidayMark) && e->Has(StartTimeSet);
    });
    if (sortByTime && timedHoliday) {
        // A timed holiday entry at the front takes part in the comparisons: replay the
        // insertions one by one.
        std::vector<const CAlmxData*> added;
        added.swap(entries);
        std::vector<std::string> keys;
        for (const CAlmxData* entry : added) {
            InsertKeyed(entries, keys, entry, KeyFor(entry, cell.date, true, todayLimit), true);
        }
        return;
    }
    // Otherwise insertion builds: the holiday entries, latest first; the untimed entries in the
    // order added; the timed entries in key order, equal keys in the order added.
    untimed_.clear();
    timed_.clear();
    packed_.clear();
    bool packable = true;
    std::size_t holidays = 0;
    for (const CAlmxData* entry : entries) {
        if (entry->Has(HolidayMark)) {
            entries[holidays++] = entry;
        } else if (sortByTime && entry->Has(StartTimeSet)) {
            std::string key = SortKey(*entry, cell.date, todayLimit);
            if (packable) {
                const std::optional<PackedKey> packed = Pack(key, entry);
                if (packed) {
                    packed_.push_back(*packed);
                } else {
                    packable = false;
                }
            }
            timed_.emplace_back(std::move(key), entry);
        } else {
            untimed_.push_back(entry);
        }
    }
    std::reverse(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(holidays));
    std::size_t at = holidays;
    for (const CAlmxData* entry : untimed_) entries[at++] = entry;
    if (packable) {
        // The time keys are short: compared as two numbers, in the order of the texts.
        std::stable_sort(packed_.begin(), packed_.end(), [](const auto& a, const auto& b) {
            return a.high != b.high ? a.high < b.high : a.low < b.low;
        });
        for (const PackedKey& key : packed_) entries[at++] = key.entry;
        return;
    }
    std::stable_sort(timed_.begin(), timed_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [key, entry] : timed_) entries[at++] = entry;
}

bool DayCellSet::Fill(const DateTime& start, int count, const DayCellSource& source,
                      const DayCellSettings& settings, const Clock& clock, Prompter* prompter) {
    Clear();
    genresExtended_ = false;
    const DateTime first = start.Date();
    if (count < 1 || count > kMaxDayCells || !InCalendar(first) ||
        !InCalendar(first.PlusDays(count - 1))) {
        return false;
    }
    Allocate(count);
    used_ = count;
    start_ = first;

    for (int i = 0; i < count; ++i) {
        DayCell& cell = cells_[static_cast<std::size_t>(i)];
        cell.date = first.PlusDays(i);
        const CDateProp* property =
            source.dayProperties ? FindDayProperty(*source.dayProperties, cell.date) : nullptr;
        cell.colour = property ? property->colour : settings.backColour;
        cell.picture = property ? property->text : std::string();
    }

    // The window reaches back a week: substitute holidays depend on the days before a range.
    const int lookBack = InCalendar(first.PlusDays(-kHolidayLookBack)) ? kHolidayLookBack : 0;
    const DateTime windowFirst = first.PlusDays(-lookBack);
    const DateTime windowLast = first.PlusDays(count - 1);
    const std::size_t windowDays = static_cast<std::size_t>(count + lookBack);
    mask_.resize(windowDays);
    holidayRecordDays_.assign(windowDays, 0);
    const long firstDay = windowFirst.DayNumber();
    const long lastDay = windowLast.DayNumber();
    // The display days of a record lie within this many days of its start and end dates.
    const long margin = 2 + std::abs(static_cast<long>(settings.todayLimit)) / 24;
    const double looseFirst = static_cast<double>(firstDay - margin);
    const double looseLast = static_cast<double>(lastDay + margin);

    const DateTime now = clock.Now();
    const OccurrenceContext context{settings.todayLimit, prompter, {}};

    // Extends the genre list for an undefined genre number, as the record's turn comes.
    auto extendGenres = [&](int number) {
        CAlmxFieldArray& genres = *source.genres;
        if (genres.ForRecord(number) || !IsExtendableGenreIndex(number)) return;
        if (prompter) prompter->ShowMessage(kUndefinedGenreMessage, MessageKind::Warning);
        genres.ExtendTo(number);
        genresExtended_ = true;
    };

    auto visit = [&](const CAlmxData& record) {
        if (source.genres) {
            const CAlmxField* genre = source.genres->ForRecord(record.genre);
            if (genre && !genre->IsShown()) return;
        }

        if (record.Has(IsTodo)) {
            if (record.Has(HideInViews)) return;
            const auto day =
                TodoDisplayDay(record, now, settings.todayLimit, settings.todoOnDeadline);
            if (!day) return;
            const int index = IndexOf(*day);
            if (index >= 0) {
                cells_[static_cast<std::size_t>(index)].entries.push_back(&record);
            }
            return;
        }

        // Records plainly outside the window are passed over; the shift rule may move an
        // occurrence from after the window into it, so those always go to the marker.
        // (Read from the raw day counts, a day looser than the day numbers, to skip their
        // rounding: most records of a long file end here.)
        if (record.shiftRule == 0 && record.start.IsValid() && record.end.IsValid() &&
            (record.start.Days() - 2.0 > looseLast || record.end.Days() + 2.0 < looseFirst)) {
            return;
        }
        OccurrenceMask(record, windowFirst, windowLast, mask_, context);
        const bool holiday = record.Has(HolidayMark);
        for (std::size_t j = 0; j < windowDays; ++j) {
            if (!mask_[j]) continue;
            if (holiday) holidayRecordDays_[j] = 1;
            if (j >= static_cast<std::size_t>(lookBack)) {
                cells_[j - static_cast<std::size_t>(lookBack)].entries.push_back(&record);
            }
        }
    };

    const RecordList& records = source.records;
    if (source.index && source.index->Matches(records)) {
        // The index gives the records near the window in document order; the genre list is
        // extended where the record that needs it comes, as a walk over every record would.
        source.index->MarkCandidates(looseFirst, looseLast, candidates_);
        const auto steps = source.index->GenreSteps();
        std::size_t step = 0;
        for (std::size_t word = 0; word < candidates_.size(); ++word) {
            for (std::uint64_t bits = candidates_[word]; bits != 0; bits &= bits - 1) {
                const std::size_t position =
                    word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
                for (; source.genres && step < steps.size() && steps[step].position <= position;
                     ++step) {
                    extendGenres(steps[step].genre);
                }
                visit(records[position]);
            }
        }
        for (; source.genres && step < steps.size(); ++step) extendGenres(steps[step].genre);
    } else {
        for (const CAlmxData& record : records) {
            if (source.genres) extendGenres(record.genre);
            visit(record);
        }
    }

    const HolidayRecordQuery hasHolidayRecord = [&](const DateTime& day) {
        const long offset = day.DayNumber() - firstDay;
        return offset >= 0 && offset < static_cast<long>(windowDays) &&
               holidayRecordDays_[static_cast<std::size_t>(offset)] != 0;
    };
    auto computed = ComputedHolidayEntries(first, count, hasHolidayRecord, settings.holidays,
                                           settings.recordDefaults);
    for (std::size_t i = 0; i < computed.size(); ++i) {
        if (!computed[i]) continue;
        computed_.push_back(std::move(*computed[i]));
        cells_[i].entries.push_back(&computed_.back());
    }
    for (int i = 0; i < count; ++i) {
        OrderEntries(cells_[static_cast<std::size_t>(i)], settings.sortByTime, settings.todayLimit);
    }
    return true;
}

void DayCellSet::ColourOtherMonths(int year, int month, const DayCellSettings& settings) {
    for (int i = 0; i < used_; ++i) {
        DayCell& cell = cells_[static_cast<std::size_t>(i)];
        if (cell.date.Year() == year && cell.date.Month() == month) continue;
        if (!settings.otherMonthKeepsDayColours || cell.colour == settings.backColour) {
            cell.colour = settings.otherColour;
        }
    }
}

bool DayCellSet::MadeForDisplay(const CAlmxData* entry) const {
    for (const CAlmxData& made : computed_) {
        if (&made == entry) return true;
    }
    return false;
}

void DayCellSet::RemoveRecord(const CAlmxData* record) {
    for (int i = 0; i < used_; ++i) std::erase(cells_[static_cast<std::size_t>(i)].entries, record);
}

}  // namespace almx
