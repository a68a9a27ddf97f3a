// Fills through the date index list exactly what a walk over every record lists: the same
// entries on every day in the same order, the same genres added and the same messages.

#include "calendar/record_date_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../../bench/sample_document.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "calendar/day_cells.h"
#include "calendar/recurrence.h"
#include "core/genre.h"

namespace almx {
namespace {

DateTime D(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}

CAlmxFieldArray ThreeGenres() {
    CAlmxFieldArray genres = CAlmxFieldArray::General();
    genres.Append(CAlmxField("仕事", 0xFF0000));
    genres.Append(CAlmxField("家族", 0x00FF00));
    genres.Append(CAlmxField("趣味", 0x0000FF));
    return genres;
}

struct Filled {
    std::vector<std::vector<const CAlmxData*>> days;
    std::vector<std::string> genreNames;
    std::vector<std::string> messages;
    bool ok = false;
};

// One fill of count days from start, with or without the index, on a copy of the genres.
Filled FillOnce(const RecordList& records, const RecordDateIndex* index,
                const CAlmxFieldArray& genres, const DateTime& start, int count,
                const DayCellSettings& settings, const Clock& clock) {
    CAlmxFieldArray ownGenres = genres;
    const DayPropertyMap properties;
    ScriptedPrompter prompter;
    DayCellSet set(count);
    Filled filled;
    filled.ok = set.Fill(start, count, {records, &ownGenres, &properties, index}, settings, clock,
                         &prompter);
    for (const DayCell& cell : set.Cells()) {
        std::vector<const CAlmxData*> entries;
        // Holiday entries computed for display are the set's own: compare their titles.
        for (const CAlmxData* entry : cell.entries) {
            entries.push_back(set.MadeForDisplay(entry) ? nullptr : entry);
        }
        filled.days.push_back(std::move(entries));
    }
    filled.genreNames = ownGenres.Names();
    filled.messages = prompter.Shown();
    return filled;
}

void ExpectSameFills(const RecordList& records, const CAlmxFieldArray& genres,
                     const DayCellSettings& settings, const Clock& clock,
                     const std::vector<std::pair<DateTime, int>>& windows) {
    const RecordDateIndex index(records);
    ASSERT_TRUE(index.Matches(records));
    for (const auto& [start, count] : windows) {
        SCOPED_TRACE(start.Year() * 10000 + start.Month() * 100 + start.Day());
        SCOPED_TRACE(count);
        const Filled walked = FillOnce(records, nullptr, genres, start, count, settings, clock);
        const Filled indexed = FillOnce(records, &index, genres, start, count, settings, clock);
        ASSERT_EQ(walked.ok, indexed.ok);
        ASSERT_EQ(walked.days.size(), indexed.days.size());
        for (std::size_t i = 0; i < walked.days.size(); ++i) {
            ASSERT_EQ(walked.days[i], indexed.days[i]) << "day " << i;
        }
        EXPECT_EQ(walked.genreNames, indexed.genreNames);
        EXPECT_EQ(walked.messages, indexed.messages);
    }
}

// Month grids, weeks, single days and a year over the sample document's years and beyond.
std::vector<std::pair<DateTime, int>> ManyWindows() {
    std::vector<std::pair<DateTime, int>> windows;
    for (int m = 0; m < 8 * 12; m += 5) {
        const DateTime first = D(2015 + m / 12, 1 + m % 12, 1);
        windows.emplace_back(first.PlusDays(-first.DayOfWeek()), 42);
        windows.emplace_back(first.PlusDays(9), 7);
        windows.emplace_back(first.PlusDays(17), 1);
    }
    windows.emplace_back(D(2019, 1, 1), 365);
    windows.emplace_back(D(1, 1, 1), 10);  // the calendar's first days: no look-back
    return windows;
}

TEST(RecordDateIndex, FillsListTheSameEntriesInTheSameOrderAsAWalkOverEveryRecord) {
    RecordList records(bench::SampleRecords(2500));
    // A record in a hidden genre and records beyond the genre list (extended as they come,
    // with a message each time the list grows), a long single record and a shift rule.
    records[40].genre = 2;
    records[300].genre = 7;
    records[301].genre = 5;
    records[900].genre = 9;
    records[1200].genre = -4;
    records[50].start = D(2018, 3, 1);
    records[50].end = D(2020, 6, 1);
    records[50].repeatType = 0;
    records[60].shiftRule = 14;
    CAlmxFieldArray genres = ThreeGenres();
    genres.At(2)->shown = 0;
    const ManualClock clock(DateTime::FromParts(2019, 6, 15, 12, 0));

    DayCellSettings settings;
    ExpectSameFills(records, genres, settings, clock, ManyWindows());

    // The day change hour widens the days a record is looked for on; sorting off keeps the
    // document order; to-dos on their deadlines.
    settings.todayLimit = 5;
    settings.sortByTime = false;
    settings.todoOnDeadline = true;
    ExpectSameFills(records, genres, settings, clock, ManyWindows());
}

// A filled day lists its entries as inserting them one by one in document order (the holiday
// entries made for display last) would.
TEST(RecordDateIndex, FilledDaysAreInTheOrderOfInsertingTheirEntriesOneByOne) {
    const RecordList records(bench::SampleRecords(3000));
    const RecordDateIndex index(records);
    const ManualClock clock(DateTime::FromParts(2019, 6, 15, 12, 0));
    std::size_t timedDays = 0;
    for (int todayLimit : {0, 4}) {
        DayCellSettings settings;
        settings.todayLimit = todayLimit;
        DayCellSet set(42);
        CAlmxFieldArray genres = ThreeGenres();
        for (const DateTime& start : {D(2018, 4, 29), D(2019, 12, 29), D(2020, 4, 26)}) {
            ASSERT_TRUE(
                set.Fill(start, 42, {records, &genres, nullptr, &index}, settings, clock, nullptr));
            for (const DayCell& cell : set.Cells()) {
                std::vector<const CAlmxData*> added = cell.entries;
                auto rank = [&](const CAlmxData* entry) {
                    return set.MadeForDisplay(entry) ? records.size() : records.IndexOf(entry);
                };
                std::stable_sort(added.begin(), added.end(),
                                 [&](const auto* a, const auto* b) { return rank(a) < rank(b); });
                std::vector<const CAlmxData*> inserted;
                for (const CAlmxData* entry : added) {
                    InsertEntry(inserted, entry, cell.date, true, todayLimit);
                }
                ASSERT_EQ(cell.entries, inserted);
                timedDays += std::count_if(added.begin(), added.end(),
                                           [](const auto* e) { return e->Has(StartTimeSet); }) > 1;
            }
        }
    }
    EXPECT_GT(timedDays, 100u);  // the comparison met days with several timed entries
}

// What a day lists by the rules themselves, one record at a time: the occurrence marker (to-dos
// on TodoDisplayDay), hidden genres left out, each entry inserted as InsertEntry places it. The
// holiday entries made for display are left out on both sides.
std::vector<std::vector<const CAlmxData*>> ListedByTheRules(const RecordList& records,
                                                            const CAlmxFieldArray& genres,
                                                            const DateTime& start, int count,
                                                            const DayCellSettings& settings,
                                                            const Clock& clock) {
    std::vector<std::vector<const CAlmxData*>> days(static_cast<std::size_t>(count));
    const DateTime last = start.PlusDays(count - 1);
    for (const CAlmxData& record : records) {
        const CAlmxField* genre = genres.ForRecord(record.genre);
        if (genre && !genre->IsShown()) continue;
        if (record.Has(IsTodo)) {
            if (record.Has(HideInViews)) continue;
            const auto day =
                TodoDisplayDay(record, clock.Now(), settings.todayLimit, settings.todoOnDeadline);
            if (!day || !day->IsValid()) continue;
            const long offset = DateDifference(start, *day);
            if (offset < 0 || offset >= count) continue;
            InsertEntry(days[static_cast<std::size_t>(offset)], &record, *day, settings.sortByTime,
                        settings.todayLimit);
            continue;
        }
        const std::vector<std::uint8_t> mask =
            OccurrenceMask(record, start, last, {settings.todayLimit, nullptr, {}});
        for (std::size_t i = 0; i < mask.size(); ++i) {
            if (!mask[i]) continue;
            InsertEntry(days[i], &record, start.PlusDays(static_cast<long>(i)), settings.sortByTime,
                        settings.todayLimit);
        }
    }
    return days;
}

void ExpectListedByTheRules(const RecordList& records, const CAlmxFieldArray& genres,
                            const DayCellSettings& settings, const Clock& clock,
                            const std::vector<std::pair<DateTime, int>>& windows) {
    const RecordDateIndex index(records);
    for (const auto& [start, count] : windows) {
        SCOPED_TRACE(start.Year() * 10000 + start.Month() * 100 + start.Day());
        SCOPED_TRACE(count);
        const auto expected = ListedByTheRules(records, genres, start, count, settings, clock);
        for (const RecordDateIndex* used : {&index, static_cast<const RecordDateIndex*>(nullptr)}) {
            Filled filled = FillOnce(records, used, genres, start, count, settings, clock);
            ASSERT_TRUE(filled.ok);
            ASSERT_EQ(filled.days.size(), expected.size());
            for (std::size_t i = 0; i < expected.size(); ++i) {
                std::erase(filled.days[i], nullptr);
                ASSERT_EQ(filled.days[i], expected[i]) << "day " << i << (used ? " indexed" : "");
            }
        }
    }
}

// Single records and every-n-days or weeks rules, the ones a fill lists by arithmetic, at the
// edges of the display rules: times before the day change hour, end-only times, each time
// display, spans over several days, damaged intervals, a start after the end.
RecordList EdgeRecords() {
    RecordList records;
    auto add = [&](const char* title, DateTime start, DateTime end, std::uint8_t flags,
                   int repeat = RepeatNone, int interval = 1, int timeDisplay = 0) {
        CAlmxData r;
        r.title = title;
        r.start = start;
        r.end = end;
        r.flags = flags;
        r.repeatType = repeat;
        r.repeatInterval = interval;
        r.timeDisplay = timeDisplay;
        records.push_back(r);
    };
    const auto T = [](int d, int h, int m) { return DateTime::FromParts(2024, 3, d, h, m); };
    const std::uint8_t both = StartTimeSet | EndTimeSet;
    add("早朝", T(5, 2, 30), T(5, 3, 0), both);
    add("夜通し", T(5, 22, 0), T(6, 1, 30), both);
    add("終わりだけ", T(6, 0, 0), T(6, 9, 0), EndTimeSet);
    add("始まりだけ", T(6, 9, 0), D(2024, 3, 6), StartTimeSet);
    add("複数日時刻", T(4, 9, 0), T(8, 17, 0), both);
    add("同時刻", T(6, 9, 0), T(6, 10, 0), both);
    for (int mode = 1; mode <= 3; ++mode) add("表示", T(6, 9, 0), T(6, 9, 30), both, 0, 1, mode);
    add("毎日早朝", T(1, 1, 0), T(31, 2, 0), both, RepeatDays);
    add("毎日終わり", T(2, 0, 0), T(29, 8, 15), EndTimeSet, RepeatDays, 2);
    add("毎週", T(3, 9, 0), T(31, 9, 0), StartTimeSet, RepeatWeeks);
    add("隔週", T(4, 3, 0), T(31, 4, 0), both, RepeatWeeks, 2);
    add("間隔0", T(5, 7, 0), T(20, 8, 0), both, RepeatDays, 0);
    add("間隔負", D(2024, 3, 5), D(2024, 3, 25), 0, RepeatWeeks, -3);
    add("逆順", D(2024, 3, 12), D(2024, 3, 9), 0);
    add("逆順毎日", D(2024, 3, 12), D(2024, 3, 9), 0, RepeatDays);
    add("時刻表示なし毎日", T(7, 6, 0), T(14, 7, 0), both, RepeatDays, 1, 3);
    add("暦の始め", D(kMinYear, 1, 1), D(kMinYear, 1, 20), 0, RepeatDays, 3);
    return records;
}

TEST(RecordDateIndex, FillsListWhatTheOccurrenceRulesGiveEachRecord) {
    const ManualClock clock(DateTime::FromParts(2024, 3, 6, 12, 0));
    std::vector<std::pair<DateTime, int>> windows = {{D(2024, 2, 25), 42},
                                                     {D(2024, 3, 3), 7},
                                                     {D(2024, 3, 6), 1},
                                                     {D(2024, 3, 5), 3},
                                                     {D(kMinYear, 1, 1), 14}};
    const RecordList edges = EdgeRecords();
    for (int todayLimit : {0, 3, 5, 30, -4}) {
        for (bool sortByTime : {true, false}) {
            SCOPED_TRACE(todayLimit);
            SCOPED_TRACE(sortByTime);
            DayCellSettings settings;
            settings.todayLimit = todayLimit;
            settings.sortByTime = sortByTime;
            ExpectListedByTheRules(edges, CAlmxFieldArray::General(), settings, clock, windows);
        }
    }

    // The sample document: every kind of rule, to-dos, exceptions, shift rules, a hidden genre.
    RecordList sample(bench::SampleRecords(2000));
    sample[70].genre = 2;
    CAlmxFieldArray genres = ThreeGenres();
    genres.At(2)->shown = 0;
    const ManualClock sampleClock(DateTime::FromParts(2019, 6, 15, 12, 0));
    std::vector<std::pair<DateTime, int>> sampleWindows;
    for (int m = 0; m < 5 * 12; m += 7) {
        const DateTime first = D(2017 + m / 12, 1 + m % 12, 1);
        sampleWindows.emplace_back(first.PlusDays(-first.DayOfWeek()), 42);
        sampleWindows.emplace_back(first.PlusDays(11), 7);
    }
    for (int todayLimit : {0, 8}) {
        SCOPED_TRACE(todayLimit);
        DayCellSettings settings;
        settings.todayLimit = todayLimit;
        settings.todoOnDeadline = todayLimit != 0;
        ExpectListedByTheRules(sample, genres, settings, sampleClock, sampleWindows);
    }
}

TEST(RecordDateIndex, AFillIgnoresAnIndexOfAnotherStateOfTheList) {
    RecordList records{};
    CAlmxData first;
    first.title = "前";
    first.start = first.end = D(2024, 4, 10);
    records.push_back(first);
    const RecordDateIndex index(records);
    CAlmxData added;
    added.title = "後";
    added.start = added.end = D(2024, 4, 11);
    records.push_back(added);
    EXPECT_FALSE(index.Matches(records));
    const RecordList other{first};
    EXPECT_FALSE(index.Matches(other));

    const ManualClock clock(DateTime::FromParts(2024, 4, 1, 9, 0));
    const Filled filled = FillOnce(records, &index, CAlmxFieldArray::General(), D(2024, 4, 10), 2,
                                   DayCellSettings(), clock);
    ASSERT_EQ(filled.days.size(), 2u);
    EXPECT_EQ(filled.days[0], std::vector<const CAlmxData*>{&records[0]});
    EXPECT_EQ(filled.days[1], std::vector<const CAlmxData*>{&records[1]});
}

TEST(RecordDateIndex, LongSpansAndOddDatesAreFoundWhereverTheWindowLies) {
    RecordList records;
    CAlmxData longOne;  // longer than the spans found by their start
    longOne.title = "長期";
    longOne.start = D(2020, 1, 1);
    longOne.end = D(2020, 12, 31);
    records.push_back(longOne);
    CAlmxData edge;  // just under the long ones: starts two months before the window
    edge.title = "境界";
    edge.start = D(2020, 3, 1);
    edge.end = D(2020, 4, 29);
    records.push_back(edge);
    CAlmxData broken;  // no valid end: always looked at
    broken.title = "壊れ";
    broken.start = D(2020, 5, 2);
    broken.end = DateTime::Invalid();
    records.push_back(broken);
    const ManualClock clock(DateTime::FromParts(2020, 1, 1, 9, 0));
    ExpectSameFills(
        records, CAlmxFieldArray::General(), DayCellSettings(), clock,
        {{D(2020, 4, 28), 7}, {D(2020, 6, 1), 1}, {D(2020, 5, 1), 3}, {D(2021, 1, 1), 7}});
    const RecordDateIndex index(records);
    const Filled filled = FillOnce(records, &index, CAlmxFieldArray::General(), D(2020, 4, 29), 2,
                                   DayCellSettings(), clock);
    ASSERT_EQ(filled.days.size(), 2u);
    EXPECT_EQ(filled.days[0], (std::vector<const CAlmxData*>{&records[0], &records[1]}));
    EXPECT_EQ(filled.days[1], std::vector<const CAlmxData*>{&records[0]});
}

// The shift rule moves an occurrence back over weekends and holidays: from 6 May 2020 (a
// substitute holiday) over the long holidays to Friday 1 May, five days before the record starts.
TEST(RecordDateIndex, ARecordTheShiftRuleMovesDaysBackIsFoundInTheWindowItLandsIn) {
    RecordList records;
    CAlmxData moved;
    moved.title = "振替";
    moved.start = moved.end = D(2020, 5, 6);
    moved.shiftRule = ShiftSaturday | ShiftSunday | ShiftHoliday;
    records.push_back(moved);
    CAlmxData monthly = moved;  // the same on a monthly rule
    monthly.title = "毎月";
    monthly.end = D(2020, 12, 31);
    monthly.repeatType = RepeatMonths;
    monthly.repeatFirstDay = monthly.repeatLastDay = 6;
    records.push_back(monthly);
    const ManualClock clock(DateTime::FromParts(2020, 4, 1, 9, 0));
    const RecordDateIndex index(records);
    const Filled filled = FillOnce(records, &index, CAlmxFieldArray::General(), D(2020, 5, 1), 1,
                                   DayCellSettings(), clock);
    ASSERT_EQ(filled.days.size(), 1u);
    EXPECT_EQ(filled.days[0], (std::vector<const CAlmxData*>{&records[0], &records[1]}));
    ExpectSameFills(records, CAlmxFieldArray::General(), DayCellSettings(), clock,
                    {{D(2020, 5, 1), 1}, {D(2020, 4, 26), 7}, {D(2020, 5, 6), 1}});
}

}  // namespace
}  // namespace almx
