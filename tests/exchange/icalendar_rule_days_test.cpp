// The writer's own arithmetic must agree with what it replaces: a rule's first occurrence and
// the days its exceptions remove are the days the calendar marks for the rule, and the UIDs'
// numbers are std::mt19937_64's. The reader, which maps each entry as it ends, must read a file
// whose header lines come late as if they had come first.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "calendar/recurrence.h"
#include "exchange/vcalendar.h"

namespace almx {
namespace {

// Rules of every kind with the awkward values: month ends, the 29th to 31st, "last day",
// spans running past the month, the fourth and last week together, intervals of 0 to 4,
// chosen months, starts in leap years, ends near and far.
CAlmxData RandomRule(std::mt19937& random) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    CAlmxData r;
    const DateTime day = DateTime::FromDate(2015, 1, 1).PlusDays(pick(0, 12 * 365));
    const bool timed = pick(0, 1) == 1;
    r.start = timed ? day.WithTime(pick(0, 23), 15 * pick(0, 3)) : day;
    r.Set(StartTimeSet, timed);
    r.end = pick(0, 3) == 0 ? DateTime::FromDate(9998, 12, 31) : day.PlusDays(pick(0, 2500));
    if (timed && pick(0, 1) == 1) {
        r.end = r.end.WithTime(pick(0, 23), 0);
        r.Set(EndTimeSet);
    }
    r.repeatType = pick(RepeatDays, RepeatChosenMonths);
    r.repeatInterval = pick(0, 4);
    const int days[] = {-1, 1, 15, 28, 29, 30, 31, day.Day()};
    r.repeatFirstDay = days[pick(0, 7)];
    r.repeatLastDay = pick(0, 2) == 0 ? days[pick(0, 7)] : r.repeatFirstDay;
    if (r.repeatType >= RepeatMonths && pick(0, 1) == 1) {
        r.positionMode = 1;
        for (int n = pick(1, 3); n > 0; --n) {
            r.validWeeks[static_cast<std::size_t>(pick(0, 4))] = 1;
            r.validWeekdays[static_cast<std::size_t>(pick(0, 6))] = 1;
        }
    }
    if (pick(0, 1) == 1) {
        for (auto& month : r.validMonths) month = static_cast<std::uint8_t>(pick(0, 1));
    }
    for (int n = pick(0, 3); n > 0; --n) {
        const DateTime first = day.PlusDays(pick(-30, 900));
        r.exceptions.push_back(CDaySpan::FromDates(first, first.PlusDays(pick(0, 40))));
    }
    return r;
}

// The days OccurrenceMask marks for the rule alone in [from, to].
std::vector<DateTime> MarkedDays(const CAlmxData& record, const DateTime& from,
                                 const DateTime& to) {
    CAlmxData plain = record;
    plain.exceptions.clear();
    plain.shiftRule = 0;
    std::vector<DateTime> days;
    if (to < from) return days;
    const std::vector<std::uint8_t> mask = OccurrenceMask(plain, from, to);
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i]) days.push_back(from.PlusDays(static_cast<long>(i)));
    }
    return days;
}

TEST(ICalendarRuleDays, FirstOccurrenceAndExceptionDaysAreTheMarkedDays) {
    std::mt19937 random(2026);
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        const CAlmxData r = RandomRule(random);
        SCOPED_TRACE(i);
        const RuleText rule = RecordRule(r);
        const DateTime start = r.start.Date();
        const DateTime last = r.end.Date();
        // Far ends are looked at over eight years; a first day beyond that is not checked.
        const DateTime horizon = std::min(last, start.PlusDays(8 * 366));
        const std::vector<DateTime> marked = MarkedDays(r, start, horizon);
        if (!marked.empty()) {
            EXPECT_EQ(rule.first, marked.front());
        } else if (horizon == last) {
            EXPECT_EQ(rule.first, start);
        }
        std::vector<DateTime> expected;
        for (const CDaySpan& span : r.exceptions) {
            const DateTime from = std::max(span.First(), rule.first);
            for (const DateTime& d : MarkedDays(r, from, std::min(span.Last(), last))) {
                expected.push_back(r.Has(StartTimeSet) ? d.WithTimeOf(r.start) : d);
            }
        }
        EXPECT_EQ(rule.exdates, expected);
        compared += static_cast<int>(expected.size());
    }
    // The cases must reach exception days, not only empty lists.
    EXPECT_GT(compared, 1000);
}

TEST(ICalendarRuleDays, RulesWithoutAnyDayKeepTheStartAndNoExdates) {
    CAlmxData r;
    r.start = DateTime::FromDate(2026, 2, 10);
    r.end = DateTime::FromDate(9998, 12, 31);
    r.repeatType = RepeatYears;
    r.repeatFirstDay = r.repeatLastDay = 30;  // February has no 30th
    r.exceptions.push_back(CDaySpan::FromDates(r.start, r.start.PlusDays(400)));
    const RuleText rule = RecordRule(r);
    EXPECT_EQ(rule.first, r.start);
    EXPECT_TRUE(rule.exdates.empty());

    // A weekly rule ending before its first week is over has only its start.
    r.repeatType = RepeatWeeks;
    r.end = r.start.PlusDays(3);
    r.exceptions = {CDaySpan::FromDates(r.start.PlusDays(-5), r.start.PlusDays(5))};
    const RuleText weekly = RecordRule(r);
    EXPECT_EQ(weekly.first, r.start);
    EXPECT_EQ(weekly.exdates, std::vector<DateTime>{r.start});
}

TEST(ICalendarUidRandom, GivesTheSequenceOfTheStandardEngine) {
    for (const std::uint64_t seed : {0ULL, 7ULL, 42ULL, 0xFFFFFFFFFFFFFFFFULL}) {
        std::mt19937_64 standard(seed);
        UidRandom ours(seed);
        // Several refills of the 312 words.
        for (int i = 0; i < 2000; ++i) ASSERT_EQ(ours(), standard()) << seed << " " << i;
    }
}

TEST(ICalendarLateHeader, ProducerAndZoneAfterTheEntriesCountEachEntryOnce) {
    // "5FR" is the last Friday only in our own files; the PRODID saying so comes last, after
    // a zone. The summary holds a character Shift_JIS cannot hold.
    const std::string file =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
        "BEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20260130\r\n"
        "RRULE:FREQ=MONTHLY;BYDAY=5FR\r\nSUMMARY:\xF0\x9F\x98\x80\r\nEND:VEVENT\r\n"
        "BEGIN:VTODO\r\nUID:b\r\nDUE;VALUE=DATE:20260201\r\nSUMMARY:t\r\nEND:VTODO\r\n"
        "BEGIN:VTIMEZONE\r\nTZID:X\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
        "TZOFFSETFROM:+0000\r\nTZOFFSETTO:+0000\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
        "PRODID:-//Velta Ltd//Almanix EXP//EN\r\nEND:VCALENDAR\r\n";
    const CalendarImport result = ReadCalendar(file, DateTime::FromDate(2026, 1, 1));
    EXPECT_EQ(result.accepted, 2);
    EXPECT_EQ(result.failed, 0);
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.replaced, 1u);
    EXPECT_EQ(result.records[0].repeatType, RepeatMonths);
    EXPECT_EQ(result.records[0].validWeeks[4], 1);
    EXPECT_EQ(result.records[0].title, "?");
    EXPECT_TRUE(result.records[1].Has(IsTodo));

    std::size_t replaced = 0;
    const CVCalenderList list = ParseCalendar(file, replaced);
    EXPECT_EQ(list.components.size(), 2u);
    EXPECT_EQ(replaced, 1u);
    EXPECT_TRUE(list.components[0].ownProducer);
}

}  // namespace
}  // namespace almx
