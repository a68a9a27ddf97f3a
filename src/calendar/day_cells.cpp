#include "calendar/day_cells.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdlib>
#include <utility>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/holidays.h"
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

constexpr std::uint32_t kHolidayTag = 0xFFFFFFFFu;  // listed first, latest first
constexpr std::uint32_t kTimedTag = 1u << 30;       // with its time key below
// Marks, in a cell's tags, the timed entries listed already in their order.
constexpr std::uint64_t kPresorted = std::uint64_t{1} << 60;
constexpr std::uint32_t kComputedPlace = 0xFFFFFFFFu;  // the holiday entries made for display

std::uint32_t TagPart(std::uint64_t tag) {
    return static_cast<std::uint32_t>(tag >> 32);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// LogicalDate's day number for a day number and a second of that day.
std::int64_t LogicalDay(std::int64_t day, std::int32_t second, int todayLimit) {
    return FloorDiv(day * 86400 + second - 3600LL * todayLimit, 86400);
}

// DisplayStart and DisplayEnd as day numbers.
std::int64_t DisplayStartDay(const RecordFacts& f, int todayLimit) {
    if (f.Has(StartTimeSet)) return LogicalDay(f.startDay, f.startSecond, todayLimit);
    if (f.Has(EndTimeSet) && f.startDay == f.endDay) {
        return LogicalDay(f.endDay, f.endSecond, todayLimit);
    }
    return f.startDay;
}

std::int64_t DisplayEndDay(const RecordFacts& f, int todayLimit) {
    if (f.Has(EndTimeSet)) return LogicalDay(f.endDay, f.endSecond, todayLimit);
    if (f.Has(StartTimeSet) && f.startDay == f.endDay) {
        return LogicalDay(f.startDay, f.startSecond, todayLimit);
    }
    return f.endDay;
}

// The time prefix SortKey gives an entry on a day, as a number that orders as the texts do:
// no time first, then "～hh:mm", then "hh:mm " before "hh:mm-hh:mm " of the same start. Hours
// are two digits (at most 47), so the digits order as the numbers.
std::uint32_t TimeKey(const RecordFacts& f, std::int64_t day, int todayLimit) {
    const int mode = f.timeDisplay;
    const bool recurring = f.repeatType != RepeatNone;
    const bool showStart = f.Has(StartTimeSet) && (mode == 0 || mode == 1) &&
                           (recurring || day == DisplayStartDay(f, todayLimit));
    const bool showEnd = f.Has(EndTimeSet) && (mode == 0 || mode == 2) &&
                         (recurring || day == DisplayEndDay(f, todayLimit));
    auto minutes = [todayLimit](std::int32_t second) {
        int hour = second / 3600;
        if (hour < todayLimit) hour += 24;
        return static_cast<std::uint32_t>(hour * 60 + second / 60 % 60);
    };
    if (showStart) {
        const std::uint32_t key = 2u << 26 | minutes(f.startSecond) << 13;
        return showEnd ? key | 1u << 12 | minutes(f.endSecond) : key;
    }
    if (showEnd) return 1u << 26 | minutes(f.endSecond) << 13;
    return 0;
}

// Whether a fill reads the record itself rather than only its facts: the occurrence marker does,
// for every rule but the plain ones filled by arithmetic.
bool ReadsRecord(const RecordFacts& f) {
    return !f.Has(IsTodo) && f.startValid && f.endValid &&
           !(f.plain && f.repeatType >= RepeatNone && f.repeatType <= RepeatWeeks);
}

void Prefetch(const void* address) {
    __builtin_prefetch(address);
}

// The lines of a record the marker reads: dates, flags, the rule, the shift rule, exceptions.
void PrefetchRecord(const CAlmxData& record) {
    const auto* bytes = reinterpret_cast<const char*>(&record);
    for (std::size_t line = 0; line < sizeof(CAlmxData); line += 64) Prefetch(bytes + line);
}

// How OrderEntries places an entry listed on a day.
std::uint32_t TagOf(const RecordFacts& f, std::int64_t day, bool sortByTime, int todayLimit) {
    if (f.Has(HolidayMark)) return kHolidayTag;
    if (sortByTime && f.Has(StartTimeSet)) return kTimedTag | TimeKey(f, day, todayLimit);
    return 0;
}

}  // namespace

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
    if (cells_.size() < static_cast<std::size_t>(room)) {
        cells_.resize(static_cast<std::size_t>(room));
        tags_.resize(cells_.size());
    }
}

void DayCellSet::Clear() {
    for (auto& cell : cells_) {
        cell.entries.clear();
    }
    for (auto& tags : tags_) tags.clear();
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

void DayCellSet::OrderEntries(DayCell& cell, std::vector<std::uint64_t>& tags, bool sortByTime,
                              int todayLimit) {
    auto& entries = cell.entries;
    if (entries.size() < 2) return;
    bool timedHoliday = false;
    for (std::size_t i = 0; i < entries.size() && !timedHoliday; ++i) {
        timedHoliday = TagPart(tags[i]) == kHolidayTag && entries[i]->Has(StartTimeSet);
    }
    if (sortByTime && timedHoliday) {
        // A timed holiday entry at the front takes part in the comparisons: replay the
        // insertions one by one, in document order (the entries made for display last).
        order_.resize(entries.size());
        for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<std::uint32_t>(i);
        std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
            return static_cast<std::uint32_t>(tags[a]) < static_cast<std::uint32_t>(tags[b]);
        });
        std::vector<const CAlmxData*> added;
        for (std::uint32_t i : order_) added.push_back(entries[i]);
        entries.clear();
        std::vector<std::string> keys;
        for (const CAlmxData* entry : added) {
            InsertKeyed(entries, keys, entry, KeyFor(entry, cell.date, true, todayLimit), true);
        }
        return;
    }
    // Otherwise insertion builds: the holiday entries, latest first; the untimed entries in the
    // order added; the timed entries in key order, equal keys in document order. The timed
    // entries of recurring records come last, in that order already; the others are ordered here
    // and merged with them.
    added_.assign(entries.begin(), entries.end());
    order_.clear();
    presorted_.clear();
    std::size_t at = 0;
    for (std::size_t i = added_.size(); i-- > 0;) {
        if (TagPart(tags[i]) == kHolidayTag) entries[at++] = added_[i];
    }
    for (std::size_t i = 0; i < added_.size(); ++i) {
        const std::uint32_t tag = TagPart(tags[i]);
        if (tag == kHolidayTag) continue;
        if (tags[i] & kPresorted) {
            presorted_.push_back(static_cast<std::uint32_t>(i));
        } else if (tag == 0) {
            entries[at++] = added_[i];
        } else {
            order_.push_back(static_cast<std::uint32_t>(i));
        }
    }
    std::sort(order_.begin(), order_.end(),
              [&](std::uint32_t a, std::uint32_t b) { return tags[a] < tags[b]; });
    auto next = presorted_.begin();
    for (std::uint32_t i : order_) {
        for (; next != presorted_.end() && (tags[*next] & ~kPresorted) < tags[i]; ++next) {
            entries[at++] = added_[*next];
        }
        entries[at++] = added_[i];
    }
    for (; next != presorted_.end(); ++next) entries[at++] = added_[*next];
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
    // The shift rule asks about the holidays of the window and of the days after it an
    // occurrence can be moved back from, again for every such record: each day is looked up
    // once per fill (0 not yet, 1 a working day, 2 a holiday).
    const long holidaysFrom = firstDay - 2;
    std::vector<std::uint8_t> holidays(static_cast<std::size_t>(lastDay + 66 - holidaysFrom), 0);
    const OccurrenceContext context{
        settings.todayLimit, prompter, [&holidays, holidaysFrom](int year, int month, int day) {
            const long offset = DaysFromCivil(year, month, day) + kEpochToUnixDays - holidaysFrom;
            if (offset < 0 || offset >= static_cast<long>(holidays.size())) {
                return IsHoliday(year, month, day, false);
            }
            std::uint8_t& known = holidays[static_cast<std::size_t>(offset)];
            if (known == 0) known = IsHoliday(year, month, day, false) ? 2 : 1;
            return known == 2;
        }};

    // Extends the genre list for an undefined genre number, as the record's turn comes.
    auto extendGenres = [&](int number) {
        CAlmxFieldArray& genres = *source.genres;
        if (genres.ForRecord(number) || !IsExtendableGenreIndex(number)) return;
        if (prompter) prompter->ShowMessage(kUndefinedGenreMessage, MessageKind::Warning);
        genres.ExtendTo(number);
        genresExtended_ = true;
    };

    const int todayLimit = settings.todayLimit;
    const bool sortByTime = settings.sortByTime;
    const DateTime today = LogicalDate(now, todayLimit);
    const long firstCell = first.DayNumber();
    const std::int64_t calendarFirst = DateTime::FromDate(kMinYear, 1, 1).DayNumber();
    const std::int64_t calendarLast = DateTime::FromDate(kMaxYear, 12, 31).DayNumber();

    // Lists a record on the window's day j (the look-back days only note holiday records); a
    // timed entry whose key is the same every day waits to be listed in key order.
    deferred_.clear();
    deferredDays_.clear();
    auto add = [&](std::size_t j, const CAlmxData& record, std::uint32_t tag,
                   std::uint32_t position, bool defer) {
        if (tag == kHolidayTag) holidayRecordDays_[j] = 1;
        if (j < static_cast<std::size_t>(lookBack)) return;
        const std::size_t cell = j - static_cast<std::size_t>(lookBack);
        if (defer) {
            deferredDays_.push_back(static_cast<std::uint32_t>(cell));
            return;
        }
        cells_[cell].entries.push_back(&record);
        tags_[cell].push_back(std::uint64_t{tag} << 32 | position);
    };
    auto endDeferred = [&](const CAlmxData& record, std::uint32_t tag, std::uint32_t position,
                           std::size_t from) {
        if (deferredDays_.size() == from) return;
        deferred_.push_back(
            {std::uint64_t{tag} << 32 | position, &record, from, deferredDays_.size() - from});
    };
    // Timed entries whose key does not depend on the day: those of recurring records.
    auto keyEveryDay = [](const RecordFacts& f, std::uint32_t tag) {
        return tag != 0 && tag != kHolidayTag && f.repeatType != RepeatNone;
    };

    // The to-do's day as TodoDisplayDay gives it, from the facts.
    auto todoDay = [&](const RecordFacts& f) -> std::optional<std::int64_t> {
        if (f.Has(TodoDone)) {
            if (!f.endValid) return std::nullopt;
            return f.endDay;
        }
        const std::optional<std::int64_t> shown =
            today.IsValid() ? std::optional<std::int64_t>(today.DayNumber()) : std::nullopt;
        if (f.Has(TodoNoDeadline)) return shown;
        if (f.todoLeadDays == -1) {
            if (!settings.todoOnDeadline) return shown;
            return f.startValid ? std::optional<std::int64_t>(f.startDay) : std::nullopt;
        }
        if (f.startDays - static_cast<double>(f.todoLeadDays) < now.Days()) return shown;
        return std::nullopt;
    };

    // What the occurrence marker gives a single record or an every-n-days or weeks rule without
    // shift rule or exceptions, by arithmetic over the window.
    auto markPlain = [&](const RecordFacts& f, const CAlmxData& record, std::uint32_t position) {
        const std::int64_t s = DisplayStartDay(f, todayLimit);
        const std::int64_t e = DisplayEndDay(f, todayLimit);
        if (lastDay < s || firstDay > e) return;
        const std::int64_t lo = std::max<std::int64_t>(firstDay, s);
        const std::int64_t hi = std::min<std::int64_t>(lastDay, e);
        const bool holiday = f.Has(HolidayMark);
        const bool perDay =
            !holiday && sortByTime && f.Has(StartTimeSet) && f.repeatType == RepeatNone;
        const std::uint32_t tag = perDay ? 0 : TagOf(f, lo, sortByTime, todayLimit);
        const bool defer = keyEveryDay(f, tag);
        const std::size_t from = deferredDays_.size();
        auto list = [&](std::int64_t day) {
            add(static_cast<std::size_t>(day - firstDay), record,
                perDay ? TagOf(f, day, sortByTime, todayLimit) : tag, position, defer);
        };
        if (f.repeatType == RepeatNone) {
            for (std::int64_t day = lo; day <= hi; ++day) list(day);
            return;
        }
        const int early = f.Has(StartTimeSet) && f.startSecond / 3600 < todayLimit ? 1 : 0;
        const std::int64_t endLimit = f.Has(EndTimeSet) ? f.endDay : e;
        const std::int64_t g0 = std::max(lo + early, calendarFirst);
        const std::int64_t g1 = std::min({hi + early, endLimit, calendarLast});
        if (g0 > g1) return;
        const std::int64_t n = f.repeatInterval < 1 ? 1 : f.repeatInterval;
        const std::int64_t step = f.repeatType == RepeatDays ? n : 7 * n;
        std::int64_t d = f.startDay;
        if (g0 >= d) {
            const std::int64_t r = (d - g0) % step;
            d = g0 + (r < 0 ? r + step : r);
        }
        for (; d <= g1; d += step) {
            const std::int64_t day = d - early;
            if (day >= lo && day <= hi) list(day);
        }
        if (defer) endDeferred(record, tag, position, from);
    };

    auto visit = [&](const RecordFacts& f, const CAlmxData& record, std::uint32_t position) {
        if (source.genres) {
            const CAlmxField* genre = source.genres->ForRecord(f.genre);
            if (genre && !genre->IsShown()) return;
        }

        if (f.Has(IsTodo)) {
            if (f.Has(HideInViews)) return;
            const std::optional<std::int64_t> day = todoDay(f);
            if (!day) return;
            const std::int64_t offset = *day - firstCell;
            if (offset >= 0 && offset < count) {
                const auto cell = static_cast<std::size_t>(offset);
                cells_[cell].entries.push_back(&record);
                tags_[cell].push_back(std::uint64_t{TagOf(f, *day, sortByTime, todayLimit)} << 32 |
                                      position);
            }
            return;
        }

        if (!f.startValid || !f.endValid) return;
        if (f.plain && f.repeatType >= RepeatNone && f.repeatType <= RepeatWeeks) {
            markPlain(f, record, position);
            return;
        }
        OccurrenceMask(record, windowFirst, windowLast, mask_, context);
        const bool perDay = sortByTime && f.Has(StartTimeSet) && f.repeatType == RepeatNone;
        const std::uint32_t tag = TagOf(f, firstDay, sortByTime, todayLimit);
        const bool defer = keyEveryDay(f, tag);
        const std::size_t from = deferredDays_.size();
        for (std::size_t j = 0; j < windowDays; ++j) {
            if (!mask_[j]) continue;
            add(j, record,
                perDay && tag != kHolidayTag
                    ? TagOf(f, firstDay + static_cast<long>(j), sortByTime, todayLimit)
                    : tag,
                position, defer);
        }
        if (defer) endDeferred(record, tag, position, from);
    };

    const RecordList& records = source.records;
    if (source.index && source.index->Matches(records)) {
        // The index gives the records near the window in document order, with what the fill
        // reads of them; the genre list is extended where the record that needs it comes, as a
        // walk over every record would.
        source.index->MarkCandidates(looseFirst, looseLast, candidates_);
        const auto steps = source.index->GenreSteps();
        const auto facts = source.index->Facts();
        std::vector<std::uint32_t>& positions = positions_;
        positions.clear();
        for (std::size_t word = 0; word < candidates_.size(); ++word) {
            for (std::uint64_t bits = candidates_[word]; bits != 0; bits &= bits - 1) {
                positions.push_back(static_cast<std::uint32_t>(
                    word * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
            }
        }
        // The candidates lie scattered over the document: ask for the facts, and the records
        // the marker will read, a few candidates ahead so that their loads overlap.
        constexpr std::size_t kAhead = 16;
        std::size_t step = 0;
        for (std::size_t i = 0; i < positions.size(); ++i) {
            if (i + kAhead < positions.size()) Prefetch(&facts[positions[i + kAhead]]);
            if (i + kAhead / 2 < positions.size()) {
                const std::size_t next = positions[i + kAhead / 2];
                if (ReadsRecord(facts[next])) PrefetchRecord(records[next]);
            }
            const std::size_t position = positions[i];
            for (; source.genres && step < steps.size() && steps[step].position <= position;
                 ++step) {
                extendGenres(steps[step].genre);
            }
            visit(facts[position], records[position], static_cast<std::uint32_t>(position));
        }
        for (; source.genres && step < steps.size(); ++step) extendGenres(steps[step].genre);
    } else {
        for (std::size_t position = 0; position < records.size(); ++position) {
            const CAlmxData& record = records[position];
            if (source.genres) extendGenres(record.genre);
            // Records plainly outside the window are passed over; the shift rule may move an
            // occurrence from after the window into it, so those always go to the marker.
            // (Read from the raw day counts, a day looser than the day numbers, to skip their
            // rounding: most records of a long file end here.)
            if (!record.Has(IsTodo) && record.shiftRule == 0 && record.start.IsValid() &&
                record.end.IsValid() &&
                (record.start.Days() - 2.0 > looseLast || record.end.Days() + 2.0 < looseFirst)) {
                continue;
            }
            visit(RecordFacts::Of(record), record, static_cast<std::uint32_t>(position));
        }
    }

    // The deferred entries in key order (their tags differ in the document place), each listed
    // after the cell's other entries.
    std::sort(deferred_.begin(), deferred_.end(),
              [](const Deferred& a, const Deferred& b) { return a.tag < b.tag; });
    for (const Deferred& item : deferred_) {
        for (std::size_t k = item.firstDay; k < item.firstDay + item.days; ++k) {
            const std::size_t cell = deferredDays_[k];
            cells_[cell].entries.push_back(item.entry);
            tags_[cell].push_back(item.tag | kPresorted);
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
        const std::uint32_t tag = TagOf(RecordFacts::Of(computed_.back()),
                                        firstCell + static_cast<long>(i), sortByTime, todayLimit);
        tags_[i].push_back(std::uint64_t{tag} << 32 | kComputedPlace);
    }
    for (int i = 0; i < count; ++i) {
        const auto cell = static_cast<std::size_t>(i);
        OrderEntries(cells_[cell], tags_[cell], sortByTime, todayLimit);
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
